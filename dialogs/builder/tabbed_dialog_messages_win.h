// Private messages of the tabbed dialog host.
#pragma once

#include <windows.h>

namespace tonvale {

// Posted by the thread's keyboard hook on Ctrl+Tab (wParam 1) or
// Ctrl+Shift+Tab (wParam 0) while the focus is in the host; lParam 0.
constexpr UINT kTabbedDialogMoveTab = WM_APP + 0;

} // namespace tonvale
