#include "engine/stereo_mixdown.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

TEST(StereoMixdown, RoundsHalvesUpWithoutOverflow) {
    EXPECT_EQ(mixStereoSample(-32768, -32767), -32767);
    EXPECT_EQ(mixStereoSample(32767, 32767), 32767);
    EXPECT_EQ(mixStereoSample(-32768, -32768), -32768);
    EXPECT_EQ(mixStereoSample(1, 0), 1);
    EXPECT_EQ(mixStereoSample(-1, 0), 0);
    EXPECT_EQ(mixStereoSample(-3, 0), -1);
    int16_t frames[] = {-32768, -32767, 32767, 32767, 1, 0, -1, 0};
    mixStereoToMono(frames, 4);
    EXPECT_EQ(frames[0], -32767);
    EXPECT_EQ(frames[1], 32767);
    EXPECT_EQ(frames[2], 1);
    EXPECT_EQ(frames[3], 0);
}

} // namespace
} // namespace tonvale
