// What a measurement thread posts to its dialog window.
#pragma once

#include <windows.h>

namespace tonvale {

// The warm-up is over and P0 is taken: counting has begun. wParam 0, lParam 0.
// Posted at most once per run, before kMeasurementEnded.
constexpr UINT kMeasurementCounting = WM_APP;
// The thread is ending; its last act. wParam: the end code
// (MeasurementCodes); lParam: the failing MMRESULT or HRESULT, else 0.
constexpr UINT kMeasurementEnded = WM_APP + 1;

} // namespace tonvale
