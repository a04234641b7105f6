// Sizes, places and scrolling of the volume windows, in pixels. The window
// is as wide as its layout (fixed); its height holds the combo box and a
// column of panels that scrolls vertically. Panels of the column are one row
// height (h) high and stand h + 2 apart.
#pragma once

#include <cstdint>

namespace tonvale {
namespace levrig {

struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct PixelPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct HeightLimits {
    int32_t minimum = 0;   // chrome + one row
    int32_t preferred = 0; // chrome + up to four rows (or the whole content)
    int32_t maximum = 0;   // the screen height
};

// chromeHeight: the window's height without the column (frame, caption,
// combo box, margins); contentHeight: the column's content.
HeightLimits windowHeights(int32_t chromeHeight, int32_t rowHeight, int32_t contentHeight,
                           int32_t screenHeight);

// A saved height (0: none) is taken when it is below the preferred height;
// the result stays between the minimum and the maximum.
int32_t initialHeight(int32_t savedHeight, const HeightLimits& limits);

// Where a window of that size goes: at the saved place (an offset from the
// owner's top-left corner when there is an owner, else a screen position)
// or, with none saved (left or top is kNoPlace), centred in the work area;
// then kept inside the work area.
PixelPoint initialPosition(bool hasOwner, PixelPoint ownerTopLeft, int32_t savedLeft,
                           int32_t savedTop, int32_t width, int32_t height,
                           const PixelRect& workArea);

// Moves a window's top-left corner so the window stays inside the area: the
// left edge first raised to the area's, then lowered so the right edge fits;
// the top first lowered so the bottom fits, then raised to the area's top.
PixelPoint keptInside(PixelPoint topLeft, int32_t width, int32_t height, const PixelRect& area);

// Column layout.
int32_t panelContentTop(int32_t index, int32_t rowHeight);
int32_t columnContentHeight(int32_t visiblePanels, int32_t rowHeight);
// A scroll position kept within 0 ... content - client (0 when all fits).
int32_t clampedScroll(int32_t position, int32_t contentHeight, int32_t clientHeight);

enum class ScrollAction { lineUp, lineDown, pageUp, pageDown, thumb, top, bottom };

// The position after a scroll-bar action; thumb is the thumb's position.
int32_t scrolledPosition(ScrollAction action, int32_t position, int32_t thumb,
                         int32_t contentHeight, int32_t clientHeight);

// One line: a tenth of the client height, at least a pixel.
int32_t scrollLine(int32_t clientHeight);

// What the scroll bar gets: range 0 ... maximum, page, position.
struct ScrollBarState {
    int32_t maximum = 0;
    int32_t page = 0;
    int32_t position = 0;
};
ScrollBarState scrollBarState(int32_t position, int32_t contentHeight, int32_t clientHeight);

// The position that puts a panel (its top in content coordinates) in the
// middle of the column.
int32_t centringScroll(int32_t panelTop, int32_t rowHeight, int32_t contentHeight,
                       int32_t clientHeight);

} // namespace levrig
} // namespace tonvale
