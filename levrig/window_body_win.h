// The body of a volume window, run on its own thread (LevRigAsync) or on the
// caller's (LevRig): parse the command line, build the endpoint list, show
// the window, run the thread's message loop, keep the window's place.
#pragma once

#include <windows.h>

namespace tonvale {
namespace levrig {

// A request to show a window, from LevRigAsync. The strings belong to the
// caller, who waits (for the event or the thread's end) while the request
// is in use.
struct WindowRequest {
    HWND owner = nullptr;
    const wchar_t* commandLine = nullptr;
    HANDLE event = nullptr;
    // 1: failed or not taken; 0: shown (or, offered to a window, taken).
    volatile LONG result = 1;
};

// Runs the window until it closes. request (null for LevRig) gets its result
// and its event signalled once the window is shown or has failed. Returns 0
// when the window was shown, 1 when it could not be (after an error box).
int runWindowBody(HWND owner, const wchar_t* commandLine, WindowRequest* request) noexcept;

} // namespace levrig
} // namespace tonvale
