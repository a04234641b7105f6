// The spectrum window (".SpeWnd"): a resizable popup owned by the main
// window that shows the spectrum of the analysed input while the engine
// runs. It asks the engine thread for spectra with thread messages and draws
// the ones that come inside the readings the main window passes on
// (spectrum_messages_win.h). Its place (from the main window), view size,
// band and decibel offset are kept in the "Spectrum View" settings.
#pragma once

#include <windows.h>

namespace tonvale {

constexpr wchar_t kSpectrumWindowClassName[] = L".SpeWnd";
constexpr int kSpectrumWindowExtraBytes = DLGWINDOWEXTRA; // the state in DWLP_USER

// Control ids: the band radio buttons "1/1" ... "1/8", then the view.
constexpr int kFirstBandButtonId = 100;
constexpr int kSpectrumViewId = 104;

LRESULT CALLBACK spectrumWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Restores the main window, then creates the spectrum window if it is not
// open (hidden unless `visible`). Returns the window, null when it could not
// be made. gProcess.spectrumWindow holds it until its WM_DESTROY.
HWND openSpectrumWindow(bool visible);

// The main window's "Spectrum..." command: an open window is brought
// forward; otherwise it is opened and, when an engine runs (thread non-null),
// connected to it at once.
void spectrumCommand(HANDLE engineThread, DWORD engineThreadId);

// Registers ".SpeWnd" and ".Spect" with instance; false when either fails.
// The program entry registers them itself in its own order; tests use this.
bool registerSpectrumClasses(HINSTANCE instance, HICON smallIcon);

} // namespace tonvale
