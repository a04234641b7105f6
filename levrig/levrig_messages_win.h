// Private messages of the volume library, by receiver.
#pragma once

#include <windows.h>

namespace tonvale {
namespace levrig {

// Thread messages of a window thread (posted by LevRigAsync).
//   kCloseWindowThread: close the window and end the thread. No parameters.
//   kOfferRequest: lParam = WindowRequest* of the poster, which waits for the
//     request's event or the thread's end and so keeps it alive meanwhile.
constexpr UINT kCloseWindowThread = WM_APP;
constexpr UINT kOfferRequest = WM_APP + 1;

// The panels window: device-state notices are queued in its endpoint list;
// process them. No parameters. Posted once for a queue that was empty.
constexpr UINT kProcessNotices = WM_APP;

// An endpoint or line panel: its device values changed; read them again. No
// parameters. At most one is queued (the object's update-pending flag).
constexpr UINT kValuesChanged = WM_APP;

} // namespace levrig
} // namespace tonvale
