// The reference-signal capture dialog: borrows the main window's engine,
// waits for a steady 440, 880, 1000 or 2000 Hz tone and reports the ratio of
// the nominal to the observed frequency. UI thread only; the main window
// (gProcess.mainWindow) must exist.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tonvale {

// Modal on owner. deviceIndex: wave-in index (-1 the default device);
// deviceName for the title (null or empty: the default device's name);
// rate: the capture rate. Returns nominal / observed, or 0 without a result.
double captureReferenceSignal(HWND owner, int32_t deviceIndex, const wchar_t* deviceName,
                              uint32_t rate);

} // namespace tonvale
