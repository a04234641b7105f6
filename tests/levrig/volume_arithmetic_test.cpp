#include "levrig/volume_arithmetic.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tonvale {
namespace levrig {
namespace {

TEST(Balance, PositionAndNumberOfTwoChannels) {
    EXPECT_EQ(balancePosition({100, 50}), 25);
    EXPECT_EQ(balanceNumber(25), 50);
    EXPECT_EQ(balancePosition({50, 100}), 75);
    EXPECT_EQ(balanceNumber(75), 50);
    EXPECT_EQ(balancePosition({60, 60}), 50);
    EXPECT_EQ(balancePosition({0, 0}), 50);
    EXPECT_EQ(balancePosition({0, 30}), 100);
    EXPECT_EQ(balancePosition({30, 0}), 0);
    EXPECT_EQ(balanceNumber(50), 0);
    EXPECT_EQ(balanceNumber(0), 100);
    EXPECT_EQ(balanceNumber(100), 100);
}

TEST(Balance, SliderRoundTripsThroughTheChannels) {
    for (int position = 0; position <= 100; ++position) {
        ChannelPercents channels = channelsAtBalance(100, position);
        EXPECT_EQ(balancePosition(channels), position) << position;
        EXPECT_EQ(balanceNumber(position), balanceNumber(100 - position));
    }
}

// A stereo endpoint at 80 % and centred, moved as a user would.
TEST(Balance, VolumeKeepsTheProportionAndZeroCentres) {
    ChannelPercents channels = channelsAtBalance(80, 25);
    EXPECT_EQ(channels.left, 80);
    EXPECT_EQ(channels.right, 40);
    EXPECT_EQ(balanceNumber(balancePosition(channels)), 50);

    channels = channelsForVolume(40, 80, channels);
    EXPECT_EQ(channels.left, 40);
    EXPECT_EQ(channels.right, 20);

    channels = channelsForVolume(0, 40, channels);
    EXPECT_EQ(channels.left, 0);
    EXPECT_EQ(channels.right, 0);
    channels = channelsForVolume(60, 0, channels);
    EXPECT_EQ(channels.left, 60);
    EXPECT_EQ(channels.right, 60);
    EXPECT_EQ(balancePosition(channels), 50);
}

TEST(Balance, ValuesOutsideTheRangeAreClamped) {
    EXPECT_EQ(percentOfScalar(0.504), 50);
    EXPECT_EQ(percentOfScalar(1.5), 100);
    EXPECT_EQ(percentOfScalar(-0.1), 0);
    EXPECT_EQ(percentOfScalar(std::nan("")), 0);
    const ChannelPercents raised = channelsForVolume(100, 10, {10, 5});
    EXPECT_EQ(raised.left, 100);
    EXPECT_EQ(raised.right, 50);
    EXPECT_EQ(channelsAtBalance(150, -20).right, 0);
}

TEST(LineLevels, PercentIsTheAmplitudesPlaceInTheRange) {
    const LevelRange range{-96.0, 0.0};
    // Half the amplitude of the top (about -6.02 dB) is close to half way.
    EXPECT_EQ(percentOfLevel(20.0 * std::log10(0.5), range), 50);
    EXPECT_EQ(percentOfLevel(0.0, range), 100);
    EXPECT_EQ(percentOfLevel(-96.0, range), 0);
    EXPECT_EQ(percentOfLevel(6.0, range), 100);
    EXPECT_EQ(percentOfLevel(-120.0, range), 0);
    EXPECT_EQ(percentOfLevel(-3.0, LevelRange{-3.0, -3.0}), 0);
}

TEST(LineLevels, LevelsOfPercentsReadBackAsThePercents) {
    for (LevelRange range : {LevelRange{-96.0, 0.0}, LevelRange{-34.5, 12.0}}) {
        for (int percent = 0; percent <= 100; ++percent) {
            const double levelDb = levelOfPercent(percent, range);
            EXPECT_GE(levelDb, range.minimumDb);
            EXPECT_LE(levelDb, range.maximumDb);
            EXPECT_EQ(percentOfLevel(levelDb, range), percent) << percent;
        }
    }
    // A range that starts at silence: 0 % is its minimum, never minus infinity.
    EXPECT_EQ(levelOfPercent(0, LevelRange{-1000.0, 0.0}), -1000.0);
}

} // namespace
} // namespace levrig
} // namespace tonvale
