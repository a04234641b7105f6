#include "levrig/window_geometry.h"

#include "levrig/volume_options.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace levrig {
namespace {

TEST(WindowGeometry, HeightsFromRowsAndScreen) {
    // Chrome 100, rows 60: minimum one row, preferred four rows and a bit.
    HeightLimits many = windowHeights(100, 60, 1000, 768);
    EXPECT_EQ(many.minimum, 160);
    EXPECT_EQ(many.preferred, 100 + 4 * 60 + 6);
    EXPECT_EQ(many.maximum, 768);
    HeightLimits two = windowHeights(100, 60, 122, 768);
    EXPECT_EQ(two.preferred, 222);

    EXPECT_EQ(initialHeight(0, many), many.preferred);
    EXPECT_EQ(initialHeight(300, many), 300);
    EXPECT_EQ(initialHeight(many.preferred + 50, many), many.preferred);
    EXPECT_EQ(initialHeight(120, many), 160);
    EXPECT_EQ(initialHeight(0, windowHeights(700, 60, 1000, 768)), 768);
}

TEST(WindowGeometry, PlaceIsSavedOrCentredAndKeptInside) {
    const PixelRect area{0, 0, 1024, 738};
    PixelPoint centred = initialPosition(false, {}, kNoPlace, kNoPlace, 300, 200, area);
    EXPECT_EQ(centred.x, 362);
    EXPECT_EQ(centred.y, 269);
    // Only one coordinate saved is no saved place.
    EXPECT_EQ(initialPosition(false, {}, 5, kNoPlace, 300, 200, area).x, 362);

    PixelPoint offset = initialPosition(true, {100, 50}, 30, -20, 300, 200, area);
    EXPECT_EQ(offset.x, 130);
    EXPECT_EQ(offset.y, 30);
    PixelPoint screen = initialPosition(false, {100, 50}, 30, 40, 300, 200, area);
    EXPECT_EQ(screen.x, 30);
    EXPECT_EQ(screen.y, 40);

    PixelPoint clipped = initialPosition(false, {}, 900, 700, 300, 200, area);
    EXPECT_EQ(clipped.x, 724);
    EXPECT_EQ(clipped.y, 538);
    PixelPoint far =
        initialPosition(true, {INT32_MAX / 2, 0}, INT32_MAX - 1, -5000, 300, 200, area);
    EXPECT_EQ(far.x, 724);
    EXPECT_EQ(far.y, 0);
    // Larger than the area: the left and top edges win.
    PixelPoint huge = keptInside({-50, -50}, 1200, 900, PixelRect{10, 20, 1024, 738});
    EXPECT_EQ(huge.x, 1024 - 1200);
    EXPECT_EQ(huge.y, 20);
}

TEST(WindowGeometry, ColumnScrollsWithinItsContent) {
    EXPECT_EQ(columnContentHeight(0, 60), 0);
    EXPECT_EQ(columnContentHeight(3, 60), 2 * 62 + 60);
    EXPECT_EQ(panelContentTop(2, 60), 124);

    const int32_t content = columnContentHeight(5, 60); // 308
    const int32_t client = 150;
    EXPECT_EQ(clampedScroll(500, content, client), 158);
    EXPECT_EQ(clampedScroll(-3, content, client), 0);
    EXPECT_EQ(clampedScroll(40, 100, client), 0);

    EXPECT_EQ(scrolledPosition(ScrollAction::lineDown, 0, 0, content, client), 15);
    EXPECT_EQ(scrolledPosition(ScrollAction::lineUp, 10, 0, content, client), 0);
    EXPECT_EQ(scrolledPosition(ScrollAction::pageDown, 100, 0, content, client), 158);
    EXPECT_EQ(scrolledPosition(ScrollAction::pageUp, 158, 0, content, client), 8);
    EXPECT_EQ(scrolledPosition(ScrollAction::thumb, 0, 77, content, client), 77);
    EXPECT_EQ(scrolledPosition(ScrollAction::bottom, 0, 0, content, client), 158);
    EXPECT_EQ(scrolledPosition(ScrollAction::top, 99, 0, content, client), 0);
    EXPECT_EQ(scrollLine(5), 1);

    ScrollBarState bar = scrollBarState(158, content, client);
    EXPECT_EQ(bar.page, 150);
    EXPECT_EQ(bar.maximum, 307);
    EXPECT_EQ(bar.position, 158);

    // The fourth panel (top 186) in the middle of the column.
    EXPECT_EQ(centringScroll(186, 60, content, client), 186 - 45);
    EXPECT_EQ(centringScroll(0, 60, content, client), 0);
    EXPECT_EQ(centringScroll(248, 60, content, client), 158);
}

} // namespace
} // namespace levrig
} // namespace tonvale
