// The sampling-rate measurement dialog: runs a capture or playback
// measurement thread for about 31 seconds with a count-down and reports the
// device's real rate, or why it could not be measured. UI thread only.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tonvale {

// Modal on owner. deviceName: for the title (null or empty: the default
// device's name). Returns the measured rate in Hz, or 0 when the user
// cancelled or the measurement failed.
double measureCaptureRate(HWND owner, uint32_t nominalRate, int bits, int32_t deviceIndex,
                          const wchar_t* deviceName);
double measurePlaybackRate(HWND owner, uint32_t nominalRate, int bits, int32_t deviceIndex,
                           const wchar_t* deviceName);

} // namespace tonvale
