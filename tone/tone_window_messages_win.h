// Private messages of the reference tone window (class ".ToneWnd").
#pragma once

#include <windows.h>

namespace tonvale {

// From the main window: stop the tone. wParam: a ToneWindowStop value;
// lParam 0. Sent, so that the tone has stopped when it returns.
constexpr UINT kToneWindowStop = WM_APP;

enum class ToneWindowStop : WPARAM {
    fadeOut = 0,
    atOnce = 1, // the main window is closing or switching the engine over
};

// From the tone generator thread, posted once when it fails: wParam a
// ToneFailure code, lParam the MMRESULT of the failing call (0 for memory).
// The thread then waits to be stopped.
constexpr UINT kToneWindowGeneratorFailed = WM_APP + 1;

enum class ToneFailure : WPARAM {
    outOfMemory = 101,  // the buffers could not be allocated
    cannotOpen = 102,   // the format query or the device open failed
    bufferFailed = 103, // preparing or writing a buffer failed
};

// From the main window after the settings changed: show the note names and
// tooltips of the current note naming. wParam and lParam 0.
constexpr UINT kToneWindowRefresh = WM_APP + 2;

} // namespace tonvale
