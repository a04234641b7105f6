// The GDI back end: copying regions between memory DCs, filled areas and
// the meter's four-line needle.
#pragma once

#include <windows.h>

#include "meter/meter_geometry.h"

namespace tonvale {

constexpr COLORREF kNeedleColour = RGB(240, 16, 16);
constexpr COLORREF kLevelBarColour = RGB(0, 240, 240);

// Copies rect from source to the same place in dest.
void copyRegion(HDC dest, HDC source, const MeterRect& rect);

void fillRect(HDC dc, const MeterRect& rect, HBRUSH brush);

// The needle two pixels wide from tip toward the pivot, with a one-pixel pen.
void drawPixelNeedle(HDC dc, const NeedleTip& tip, HPEN pen);

} // namespace tonvale
