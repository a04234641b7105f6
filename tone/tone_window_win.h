// The reference tone window (class ".ToneWnd"): a piano octave of note
// buttons that play the current temperament's notes through the playback
// device of the settings, with an octave chooser, a level slider and an
// optional repeating silence. Owned by the main window; UI thread only. Its
// private messages are in tone_window_messages_win.h.
#pragma once

#include <windows.h>

namespace tonvale {

constexpr wchar_t kToneWindowClass[] = L".ToneWnd";

// The window procedure the class is registered with; messages it does not
// handle go to DefDlgProcW.
LRESULT CALLBACK toneWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The class as the program entry registers it: DLGWINDOWEXTRA extra bytes,
// the small icon, the arrow cursor, no background brush.
WNDCLASSEXW toneWindowClass(HINSTANCE instance, HICON smallIcon);

// Restores the main window and, unless the tone window exists already,
// creates it, shown or hidden; its handle goes to gProcess.toneWindow (null
// when the creation failed).
void openToneWindow(bool visible);

// Hz of the note of pitchClass (from A) in octave with the current settings:
// reference pitch, semitone shift, note naming and temperament.
double noteFrequency(int pitchClass, int octave);

} // namespace tonvale
