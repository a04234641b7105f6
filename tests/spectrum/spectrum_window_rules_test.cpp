#include "spectrum/spectrum_window_rules.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

TEST(SpectrumWindowRules, ViewFollowsTheWindowWithinItsLimits) {
    const PixelSize base = {300, 220};
    auto view = [&](int32_t w, int32_t h) { return viewSizeForClient({w, h}, base); };
    EXPECT_EQ(view(300, 220).width, 256);
    EXPECT_EQ(view(300, 220).height, 160);
    EXPECT_EQ(view(340, 250).width, 296);
    EXPECT_EQ(view(340, 250).height, 190);
    // Larger than the tracking limits, or smaller than the layout.
    EXPECT_EQ(view(900, 900).width, 512);
    EXPECT_EQ(view(900, 900).height, 320);
    EXPECT_EQ(view(100, 100).width, 256);
    EXPECT_EQ(view(100, 100).height, 160);

    EXPECT_EQ(windowGrowthForView({256, 160}).width, 0);
    EXPECT_EQ(windowGrowthForView({400, 200}).width, 144);
    EXPECT_EQ(windowGrowthForView({400, 200}).height, 40);
    EXPECT_EQ(windowGrowthForView({0, 0}).height, 0); // settings never loaded
    EXPECT_EQ(windowGrowthForView({4000, 4000}).width, 256);
}

// The plot keeps its pixels per decibel: the page grows with the view.
TEST(SpectrumWindowRules, PageGrowsWithTheViewAtAConstantScale) {
    EXPECT_EQ(pageForViewHeight(160), 51);
    EXPECT_EQ(pageForViewHeight(320), 110);
    for (int32_t h = 160; h <= 320; ++h) {
        const double rowsPerStep = (h - 21) / static_cast<double>(pageForViewHeight(h));
        EXPECT_NEAR(rowsPerStep, 139.0 / 51.0, 0.05) << h;
    }
    EXPECT_EQ(pageForViewHeight(2000), 121);
    EXPECT_EQ(pageForViewHeight(10), 1);
}

TEST(SpectrumWindowRules, ScrollingKeepsTheRangeWithinZeroToMinus120) {
    EXPECT_EQ(scrolledDbOffset(10, 51, ScrollAction::lineUp, 0), 8);
    EXPECT_EQ(scrolledDbOffset(10, 51, ScrollAction::lineDown, 0), 12);
    EXPECT_EQ(scrolledDbOffset(1, 51, ScrollAction::lineUp, 0), 0);
    EXPECT_EQ(scrolledDbOffset(10, 51, ScrollAction::pageDown, 0), 61);
    EXPECT_EQ(scrolledDbOffset(61, 51, ScrollAction::pageDown, 0), 70);
    EXPECT_EQ(scrolledDbOffset(61, 51, ScrollAction::pageUp, 0), 10);
    EXPECT_EQ(scrolledDbOffset(10, 51, ScrollAction::thumb, 33), 33);
    EXPECT_EQ(scrolledDbOffset(10, 51, ScrollAction::thumb, 120), 70);
    EXPECT_EQ(scrolledDbOffset(40, 51, ScrollAction::top, 0), 0);
    EXPECT_EQ(scrolledDbOffset(10, 110, ScrollAction::bottom, 0), 11);
    EXPECT_EQ(scrolledDbOffset(17, 51, ScrollAction::other, 99), 17);
    // A taller view pulls the offset back so that the page still fits.
    EXPECT_EQ(clampDbOffset(70, 110), 11);
    EXPECT_EQ(clampDbOffset(-5, 51), 0);
}

TEST(SpectrumWindowRules, DefaultFrameShowsMinus10ToMinus60) {
    const float values[3] = {};
    const SpectrumFrame frame = frameForReading(values, 3, 11025, 41, 1, 10, kBasePage);
    EXPECT_EQ(frame.values, values);
    EXPECT_EQ(frame.count, 3);
    EXPECT_EQ(frame.rate, 11025);
    EXPECT_EQ(frame.spectrumSize, 1024);
    EXPECT_EQ(frame.binStep, 2);
    EXPECT_EQ(frame.topDb, -10);
    EXPECT_EQ(frame.bottomDb, -60);
    EXPECT_EQ(frame.markerColumn, 41);
}

TEST(SpectrumWindowRules, PlaceCentredOrAtTheStoredOffset) {
    const ScreenArea main = {100, 50, 511, 400}; // 411 x 350
    const PixelSize window = {300, 225};
    ScreenPlace place = wantedPlace({}, main, window);
    EXPECT_EQ(place.x, 100 + 55); // (411 - 300) / 2
    EXPECT_EQ(place.y, 50 + 62);
    // Wider than the main window: the half difference rounds toward zero.
    place = wantedPlace({}, main, {500, 225});
    EXPECT_EQ(place.x, 100 - 44);
    place = wantedPlace({420, INT32_MIN}, main, window);
    EXPECT_EQ(place.x, 520);
    EXPECT_EQ(place.y, 112);
    const StoredOffset stored = offsetFromMain({520, 80, 820, 305}, main);
    EXPECT_EQ(stored.x, 420);
    EXPECT_EQ(stored.y, 30);
}

TEST(SpectrumWindowRules, KeptInTheWorkAreaWithTheCaptionInReach) {
    const ScreenArea work = {0, 0, 1024, 738};
    const PixelSize window = {300, 225};
    ScreenPlace place = keepInWorkArea({5000, -4000}, window, work);
    EXPECT_EQ(place.x, 724);
    EXPECT_EQ(place.y, 0);
    place = keepInWorkArea({-300, 900}, window, work);
    EXPECT_EQ(place.x, 0);
    EXPECT_EQ(place.y, 513);
    // Larger than the work area: the right edge and the top edge stay in.
    place = keepInWorkArea({10, 10}, {1100, 800}, work);
    EXPECT_EQ(place.x, -76);
    EXPECT_EQ(place.y, 0);
    // A stored offset far off the screen still lands on it.
    place = keepInWorkArea(wantedPlace({INT32_MAX, INT32_MAX - 1}, {100, 100, 200, 200}, window),
                           window, work);
    EXPECT_EQ(place.x, 724);
    EXPECT_EQ(place.y, 513);
}

} // namespace
} // namespace tonvale
