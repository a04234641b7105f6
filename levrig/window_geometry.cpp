#include "levrig/window_geometry.h"

#include "levrig/volume_options.h"

#include <algorithm>

namespace tonvale {
namespace levrig {

HeightLimits windowHeights(int32_t chromeHeight, int32_t rowHeight, int32_t contentHeight,
                           int32_t screenHeight) {
    HeightLimits limits;
    limits.minimum = chromeHeight + rowHeight;
    limits.preferred = chromeHeight + std::min(4 * rowHeight + 6, contentHeight);
    limits.maximum = screenHeight;
    return limits;
}

int32_t initialHeight(int32_t savedHeight, const HeightLimits& limits) {
    int32_t height =
        (savedHeight != 0 && savedHeight < limits.preferred) ? savedHeight : limits.preferred;
    height = std::max(height, limits.minimum);
    return std::min(height, limits.maximum);
}

PixelPoint keptInside(PixelPoint topLeft, int32_t width, int32_t height, const PixelRect& area) {
    topLeft.x = std::max(topLeft.x, area.left);
    topLeft.x = std::min(topLeft.x, area.right - width);
    topLeft.y = std::min(topLeft.y, area.bottom - height);
    topLeft.y = std::max(topLeft.y, area.top);
    return topLeft;
}

PixelPoint initialPosition(bool hasOwner, PixelPoint ownerTopLeft, int32_t savedLeft,
                           int32_t savedTop, int32_t width, int32_t height,
                           const PixelRect& workArea) {
    PixelPoint place;
    if (savedLeft != kNoPlace && savedTop != kNoPlace) {
        // 64-bit sums: a saved offset far from any screen must not wrap.
        int64_t x = savedLeft;
        int64_t y = savedTop;
        if (hasOwner) {
            x += ownerTopLeft.x;
            y += ownerTopLeft.y;
        }
        place.x = static_cast<int32_t>(
            std::max<int64_t>(INT32_MIN / 2, std::min<int64_t>(x, INT32_MAX / 2)));
        place.y = static_cast<int32_t>(
            std::max<int64_t>(INT32_MIN / 2, std::min<int64_t>(y, INT32_MAX / 2)));
    } else {
        place.x = workArea.left + (workArea.right - workArea.left - width) / 2;
        place.y = workArea.top + (workArea.bottom - workArea.top - height) / 2;
    }
    return keptInside(place, width, height, workArea);
}

int32_t panelContentTop(int32_t index, int32_t rowHeight) {
    return index * (rowHeight + 2);
}

int32_t columnContentHeight(int32_t visiblePanels, int32_t rowHeight) {
    return visiblePanels > 0 ? panelContentTop(visiblePanels - 1, rowHeight) + rowHeight : 0;
}

int32_t clampedScroll(int32_t position, int32_t contentHeight, int32_t clientHeight) {
    if (contentHeight <= clientHeight)
        return 0;
    return std::max(0, std::min(position, contentHeight - clientHeight));
}

int32_t scrollLine(int32_t clientHeight) {
    return std::max(1, clientHeight / 10);
}

int32_t scrolledPosition(ScrollAction action, int32_t position, int32_t thumb,
                         int32_t contentHeight, int32_t clientHeight) {
    switch (action) {
    case ScrollAction::lineUp:
        position -= scrollLine(clientHeight);
        break;
    case ScrollAction::lineDown:
        position += scrollLine(clientHeight);
        break;
    case ScrollAction::pageUp:
        position -= clientHeight;
        break;
    case ScrollAction::pageDown:
        position += clientHeight;
        break;
    case ScrollAction::thumb:
        position = thumb;
        break;
    case ScrollAction::top:
        position = 0;
        break;
    case ScrollAction::bottom:
        position = contentHeight - clientHeight;
        break;
    }
    return clampedScroll(position, contentHeight, clientHeight);
}

ScrollBarState scrollBarState(int32_t position, int32_t contentHeight, int32_t clientHeight) {
    ScrollBarState state;
    state.page = std::max(0, clientHeight);
    state.position = position;
    state.maximum = std::max(position + state.page, contentHeight) - 1;
    return state;
}

int32_t centringScroll(int32_t panelTop, int32_t rowHeight, int32_t contentHeight,
                       int32_t clientHeight) {
    return clampedScroll(panelTop - (clientHeight - rowHeight) / 2, contentHeight, clientHeight);
}

} // namespace levrig
} // namespace tonvale
