// The rate estimate against sums worked out exactly in 128-bit integers over
// the intervals each case means to keep, and the counting schedule.
#include "devices/measurement/rate_estimate.h"
#include "devices/measurement/time_stamp_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tonvale {
namespace {

using Pairs = TimeStampPair[kTimeStampCount];

struct Interval {
    uint64_t positions;
    uint64_t ticks;
};

// Thirty intervals of `ticks` ticks each that advance by `positions`.
std::vector<Interval> steady(uint64_t positions, uint64_t ticks) {
    return std::vector<Interval>(kTimeStampCount - 1, Interval{positions, ticks});
}

void build(const std::vector<Interval>& intervals, uint64_t firstPosition, uint64_t firstTime,
           Pairs& pairs) {
    pairs[0] = {firstPosition, firstTime};
    for (size_t i = 0; i < intervals.size(); ++i) {
        pairs[i + 1].position = pairs[i].position + intervals[i].positions;
        pairs[i + 1].time = pairs[i].time + intervals[i].ticks;
    }
}

// Sum of positions over sum of ticks of the intervals not in `dropped`,
// times unitsPerSecond, exact up to the final rounding.
double exactRate(const std::vector<Interval>& intervals, std::vector<int> dropped,
                 uint64_t unitsPerSecond) {
    unsigned __int128 positions = 0;
    unsigned __int128 ticks = 0;
    for (size_t i = 0; i < intervals.size(); ++i) {
        bool drop = false;
        for (int d : dropped)
            drop = drop || d == static_cast<int>(i);
        if (!drop) {
            positions += intervals[i].positions;
            ticks += intervals[i].ticks;
        }
    }
    const unsigned __int128 scaled = positions * unitsPerSecond;
    const unsigned __int128 whole = scaled / ticks;
    const unsigned __int128 rest = scaled % ticks;
    return static_cast<double>(static_cast<long double>(whole) +
                               static_cast<long double>(rest) / static_cast<long double>(ticks));
}

double estimate(const std::vector<Interval>& intervals, uint64_t unitsPerSecond,
                uint64_t firstPosition = 0, uint64_t firstTime = 0) {
    Pairs pairs;
    build(intervals, firstPosition, firstTime, pairs);
    return estimateRate(pairs, unitsPerSecond);
}

// A wave-API run: a 10 MHz counter, and a device near 44100 Hz whose later
// intervals wobble by a sample either way.
std::vector<Interval> wobbling() {
    std::vector<Interval> intervals = steady(44101, 10000000);
    for (size_t i = 0; i < intervals.size(); ++i)
        intervals[i].positions += (i % 3 == 0) ? 1 : (i % 3 == 1 ? -1 : 0);
    return intervals;
}

TEST(EstimateRate, SteadyDeviceGivesItsRate) {
    EXPECT_DOUBLE_EQ(estimate(steady(44100, 3579545), 3579545), 44100.0);
    EXPECT_DOUBLE_EQ(estimate(steady(48000, 10000000), 10000000), 48000.0);
}

TEST(EstimateRate, EarlyIntervalOutsideTheLaterRangeIsDropped) {
    std::vector<Interval> high = wobbling();
    high[3].positions = 44160; // faster than any of r10 ... r29
    EXPECT_NEAR(estimate(high, 10000000), exactRate(high, {3}, 10000000), 1e-9);

    std::vector<Interval> slowAndFast = wobbling();
    slowAndFast[0].positions = 30000;
    slowAndFast[9].ticks = 9000000;
    EXPECT_NEAR(estimate(slowAndFast, 10000000), exactRate(slowAndFast, {0, 9}, 10000000), 1e-9);
}

TEST(EstimateRate, EarlyIntervalAtTheEdgeOfTheRangeAndLateOutliersCount) {
    std::vector<Interval> intervals = wobbling();
    intervals[4] = intervals[10]; // equals one of the later rates: kept
    intervals[25].positions = 45000;
    intervals[2].positions = 44900; // inside the range the outlier widened
    EXPECT_NEAR(estimate(intervals, 10000000), exactRate(intervals, {}, 10000000), 1e-9);
    EXPECT_GT(estimate(intervals, 10000000), 44120.0);
}

TEST(EstimateRate, UnequalIntervalsWeighByTheirLength) {
    // Stamps taken late are longer intervals; the sums, not the mean of the
    // rates, give the answer.
    std::vector<Interval> intervals = steady(44100, 10000000);
    for (size_t i = 0; i < intervals.size(); i += 2) {
        intervals[i] = {44100 + 4410, 11000000};
        intervals[i + 1] = {44100 - 4409, 9000000};
    }
    EXPECT_NEAR(estimate(intervals, 10000000), exactRate(intervals, {}, 10000000), 1e-9);
}

TEST(EstimateRate, PositionsAndTimesWrapPast64Bits) {
    const std::vector<Interval> intervals = wobbling();
    EXPECT_NEAR(estimate(intervals, 10000000, ~uint64_t{0} - 500000, ~uint64_t{0} - 123456789),
                exactRate(intervals, {}, 10000000), 1e-9);
}

TEST(EstimateRate, SumsKeepEveryTick) {
    // One interval of 2^62 ticks among short ones: in double precision each
    // short one would round to the spacing of 1024 there and the time sum
    // would drift by 3e-15; the sums must keep every tick.
    std::vector<Interval> intervals = steady(0, 1537);
    intervals[15] = {uint64_t{1} << 40, uint64_t{1} << 62};
    const double expected = exactRate(intervals, {}, 10000000);
    EXPECT_NEAR(estimate(intervals, 10000000), expected, expected * 4e-16);
}

TEST(EstimateRate, NoTimeGivesZero) {
    EXPECT_EQ(estimate(steady(0, 0), 10000000), 0.0);
}

TEST(TimeStampTable, PacedByTimeFromTheFirstStamp) {
    const uint64_t frequency = 1000;
    const uint64_t start = ~uint64_t{0} - 200; // the counter wraps during the warm-up
    TimeStampTable table(Pacing::byTime, frequency, start);
    EXPECT_FALSE(table.due(start + 999));
    ASSERT_TRUE(table.due(start + 1000));
    EXPECT_EQ(table.record({77, start + 1003}), 0);
    EXPECT_TRUE(table.counting());
    // P1 is due a second after P0 was read, not after the check.
    EXPECT_FALSE(table.due(start + 2002));
    EXPECT_TRUE(table.due(start + 2003));
    // A late stamp does not move the later ones: P2 is due at P0 + 2 s.
    table.record({88, start + 2500});
    EXPECT_TRUE(table.due(start + 3003));
    for (int k = 2; k < kTimeStampCount; ++k)
        table.record({77 + 1000 * static_cast<uint64_t>(k), start + 1003 + 1000 * k});
    EXPECT_TRUE(table.complete());
    EXPECT_FALSE(table.due(start + 100000));
    EXPECT_EQ(table.record({0, 0}), kTimeStampCount - 1);
}

TEST(TimeStampTable, PacedByPositionFromZero) {
    TimeStampTable table(Pacing::byPosition, 48000, 0);
    EXPECT_FALSE(table.due(47999));
    EXPECT_TRUE(table.due(48000));
    EXPECT_EQ(table.rate(10000000), 0.0); // incomplete
    for (int k = 0; k < kTimeStampCount; ++k) {
        const uint64_t position = 48010 + 48000 * static_cast<uint64_t>(k);
        ASSERT_TRUE(table.due(position)) << k;
        table.record({position, 5000000 + 10000000 * static_cast<uint64_t>(k)});
        if (k == 0) {
            EXPECT_FALSE(table.due(position + 47999));
            EXPECT_TRUE(table.due(position + 48000));
        }
    }
    EXPECT_DOUBLE_EQ(table.rate(10000000), 48000.0);
}

} // namespace
} // namespace tonvale
