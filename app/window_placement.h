// Where the main window goes: a stored position pulled back into the work
// area, each coordinate on its own.
#pragma once

#include <cstdint>

namespace tonvale {

// The system's use-default position (CW_USEDEFAULT); passed on unchanged.
constexpr int32_t kDefaultPosition = INT32_MIN;

struct WorkArea {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct Placement {
    int32_t x = kDefaultPosition;
    int32_t y = kDefaultPosition;
};

// x = min(max(x, left), right - width): a window wider than the area keeps
// its right edge inside. y = max(min(y, bottom - height), top): a window
// taller than the area keeps its top edge inside.
Placement placeInWorkArea(Placement wanted, int32_t width, int32_t height, const WorkArea& area);

} // namespace tonvale
