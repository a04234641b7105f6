// The windows LevRigAsync opens, one thread each, and the list that keeps
// their threads.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tonvale {
namespace levrig {

// Offers the command line to the open windows (one of the same direction
// comes forward and takes it: 0); else starts a window thread and waits
// until the window is shown (0) or has failed (1), letting messages sent to
// the calling thread through meanwhile. 0 without anything started when no
// event can be had.
int32_t openWindow(HWND owner, const wchar_t* commandLine);

// Closes every window of the list, waits for each thread and frees the
// list. Returns 1.
int32_t closeAllWindows();

} // namespace levrig
} // namespace tonvale
