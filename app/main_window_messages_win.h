// Private messages of the main window, and the messages it sends to a window
// that borrows the engine. Everything runs on the UI thread except where a
// message comes from the engine thread (posted).
#pragma once

#include <windows.h>

#include "engine/engine_messages_win.h"

namespace tonvale {

enum MainWindowMessage : UINT {
    // Posted by the engine: wParam the engine's PitchReading*, lParam 0.
    // The main window (or the borrower it passes it to) clears its busy flag.
    kMainReading = kEngineReading, // WM_APP + 0
    // Posted by the engine: wParam the error code, lParam the MMRESULT.
    kMainEngineError = kEngineError, // WM_APP + 1
    // Press the Power button (as the auto-start does). No parameters.
    kMainPressPower = WM_APP + 2,
    // Engine control for other windows. wParam 0: stop the engine, returns
    // 1. Otherwise wParam is the borrowing window: start the engine for it
    // (it is asked for the parameters with kBorrowerFillParams); returns 1,
    // or shows "Failed to create the recording thread." and returns 0.
    kMainEngineControl = WM_APP + 4,
    // Returns 1 while the engine runs, else 0.
    kMainEngineRunning = WM_APP + 5,
};

// Sent by the main window to the window that borrowed the engine.
enum BorrowerMessage : UINT {
    // wParam: the PitchReading*. The borrower clears its busy flag.
    kBorrowerReading = WM_APP + 0,
    // wParam: the EngineParams* to fill, valid during the call.
    kBorrowerFillParams = WM_APP + 1,
    // The engine failed; the error box that follows is owned by the
    // borrower, which stops the engine (kMainEngineControl, wParam 0).
    kBorrowerEngineFailed = WM_APP + 2,
};

} // namespace tonvale
