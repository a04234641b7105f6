// Private messages of the spectrum window (".SpeWnd") and of its view
// (".Spect"). All are sent on the UI thread; nothing is allocated by them.
// The window's requests to the engine thread are the engine's own thread
// messages (engine/engine_messages_win.h, kEngineSpectrumRequest).
#pragma once

#include <windows.h>

namespace tonvale {

// Sent by the main window to the spectrum window.
enum SpectrumWindowMessage : UINT {
    // The engine started: wParam = its thread handle (borrowed, the main
    // window closes it), lParam = its thread id. The window asks it for
    // spectra at once.
    kSpectrumEngineStarted = WM_APP + 0,
    // The engine is about to stop: the window cancels its spectra, forgets
    // the thread and clears the view. No parameters.
    kSpectrumEngineStopped = WM_APP + 1,
    // A reading: wParam = the engine's PitchReading*, valid only during the
    // call (the main window clears its busy flag afterwards). A reading
    // without spectrum values changes nothing.
    kSpectrumReading = WM_APP + 2,
};

// Sent by the spectrum window to its view.
enum SpectrumViewMessage : UINT {
    // Draw a frame: lParam unused, wParam = const SpectrumFrame*, read
    // during the call only (its values belong to the reading). Null clears
    // the view to black and drops its buffer.
    kViewDrawFrame = WM_APP + 0,
    // Returns the height of the axis strip at the bottom of the view.
    kViewAxisHeight = WM_APP + 1,
    // The next frame starts from a fresh buffer (after a move or an
    // activation). No parameters.
    kViewRebuild = WM_APP + 2,
};

} // namespace tonvale
