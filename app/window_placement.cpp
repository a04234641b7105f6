#include "app/window_placement.h"

#include <algorithm>

namespace tonvale {

Placement placeInWorkArea(Placement wanted, int32_t width, int32_t height, const WorkArea& area) {
    Placement placed = wanted;
    if (wanted.x != kDefaultPosition)
        placed.x = std::min(std::max(wanted.x, area.left), area.right - width);
    if (wanted.y != kDefaultPosition)
        placed.y = std::max(std::min(wanted.y, area.bottom - height), area.top);
    return placed;
}

} // namespace tonvale
