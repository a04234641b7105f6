#include "spectrum/spectrum_plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace tonvale {
namespace {

SpectrumFrame frameOf(const std::vector<float>& values, int top = -10, int bottom = -60) {
    SpectrumFrame frame;
    frame.values = values.data();
    frame.count = static_cast<int32_t>(values.size());
    frame.topDb = static_cast<int16_t>(top);
    frame.bottomDb = static_cast<int16_t>(bottom);
    return frame;
}

TEST(SpectrumPlot, HeightsClampAtTheRangeEnds) {
    EXPECT_EQ(curveHeight(-10.0f, -10, -60, 138), 138.0);
    EXPECT_EQ(curveHeight(0.0f, -10, -60, 138), 138.0);
    EXPECT_EQ(curveHeight(-60.0f, -10, -60, 138), 0.0);
    EXPECT_EQ(curveHeight(-120.0f, -10, -60, 138), 0.0);
    EXPECT_EQ(curveHeight(std::numeric_limits<float>::quiet_NaN(), -10, -60, 138), 0.0);
    EXPECT_DOUBLE_EQ(curveHeight(-35.0f, -10, -60, 138), 69.0);
}

TEST(SpectrumPlot, PixelCurveRowsColumnsAndClosingPoint) {
    const std::vector<float> values = {0.0f, -60.0f, -35.0f, -120.0f, -10.0f};
    PlotPoint points[6];
    // A plot of 4 columns and 139 rows: the fifth value is left out.
    ASSERT_EQ(pixelCurve(frameOf(values), 4, 139, points), 5u);
    const int32_t rows[] = {0, 138, 69, 138};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(points[i].x, i);
        EXPECT_EQ(points[i].y, rows[i]) << i;
    }
    EXPECT_EQ(points[4].x, 4);
    EXPECT_EQ(points[4].y, 138);

    SpectrumFrame empty = frameOf(values);
    empty.count = 0;
    EXPECT_EQ(pixelCurve(empty, 4, 139, points), 0u);
}

TEST(SpectrumPlot, SmoothCurveRoundsToThePixelCurve) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> db(-130.0f, 5.0f);
    std::vector<float> values(300);
    for (float& v : values)
        v = db(random);
    const SpectrumFrame frame = frameOf(values, -20, -90);
    std::vector<PlotPoint> pixels(301);
    std::vector<SmoothPoint> smooth(300);
    ASSERT_EQ(pixelCurve(frame, 300, 200, pixels.data()), 301u);
    ASSERT_EQ(smoothCurve(frame, 300, 200, smooth.data()), 300u);
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(smooth[i].x, static_cast<float>(i));
        EXPECT_NEAR(smooth[i].y, pixels[i].y, 0.5f + 1e-4f) << i;
        EXPECT_GE(smooth[i].y, 0.0f);
        EXPECT_LE(smooth[i].y, 199.0f);
    }
}

TEST(SpectrumPlot, MarkerOnlyInsideThePlot) {
    SpectrumFrame frame;
    const std::pair<int32_t, bool> cases[] = {{-1, false}, {0, false},   {1, true},
                                              {255, true}, {256, false}, {900, false}};
    for (const auto& [column, shown] : cases) {
        frame.markerColumn = column;
        EXPECT_EQ(markerShown(frame, 256), shown) << column;
    }
}

// Every pixel of the new buffer is either copied or filled, never both, and
// the copied rows are the bottom rows of both buffers.
TEST(SpectrumPlot, CarriedBufferIsCoveredOnceAndKeepsItsBottom) {
    const int32_t sizes[] = {0, 3, 7, 12};
    for (int32_t ow : sizes)
        for (int32_t oh : sizes)
            for (int32_t nw : {3, 7, 12})
                for (int32_t nh : {3, 7, 12}) {
                    const BufferCarry carry = carryBuffer(ow, oh, nw, nh);
                    std::vector<int> cover(static_cast<size_t>(nw * nh), 0);
                    auto mark = [&](const PixelRect& r) {
                        for (int32_t y = r.top; y < r.bottom; ++y)
                            for (int32_t x = r.left; x < r.right; ++x)
                                ++cover[static_cast<size_t>(y * nw + x)];
                    };
                    mark({0, carry.destY, carry.width, carry.destY + carry.height});
                    mark(carry.fillRight);
                    mark(carry.fillTop);
                    for (int c : cover)
                        ASSERT_EQ(c, 1) << ow << "x" << oh << " -> " << nw << "x" << nh;
                    if (carry.height > 0) {
                        EXPECT_EQ(carry.sourceY + carry.height, oh);
                        EXPECT_EQ(carry.destY + carry.height, nh);
                    }
                }
}

} // namespace
} // namespace tonvale
