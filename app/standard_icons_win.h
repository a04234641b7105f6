// The system's standard icons as the message box shows them.
#pragma once

#include <windows.h>

namespace tonvale {

// IDI_APPLICATION ... IDI_ASTERISK (32512-32516): on Windows 6.0 and later
// LoadIconMetric at the large size (looked up in comctl32 once), cached for
// the run; before that, when the lookup fails, and for other ids,
// LoadIconW(NULL, id). Null when there is no such icon. Shared icons: never
// destroy them.
HICON loadStandardIcon(WORD id);

} // namespace tonvale
