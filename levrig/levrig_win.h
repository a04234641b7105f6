// The volume library's C interface (levrig.dll), for programs that load it.
//
//   LevRig(owner, commandLine)       shows a volume window on the calling
//       thread and returns when it closes: 0 when it was shown, 1 when it
//       could not be (after an error box).
//   LevRigAsync(owner, commandLine)  shows it on a thread of the library's
//       own and returns once it is shown (0) or has failed (1); a window of
//       the same direction already open is brought forward instead (0).
//       LevRigAsync(any, null) closes every such window and returns 1; call
//       it before unloading the library.
// owner may be null. The command line (options in volume_options.h) stays
// the caller's; the library copies what it keeps. No exception leaves these
// functions.
#pragma once

#include <windows.h>

#include <cstdint>

extern "C" {
typedef int32_t(WINAPI* LevRigFunction)(HWND owner, const wchar_t* commandLine);
}

constexpr const char* kLevRigName = "LevRig";
constexpr const char* kLevRigAsyncName = "LevRigAsync";
