#include "devices/measurement/rate_estimate.h"

#include <algorithm>

namespace tonvale {

namespace {

constexpr int kIntervals = kTimeStampCount - 1;
constexpr int kWarmUpIntervals = 10;

} // namespace

double estimateRate(const TimeStampPair (&pairs)[kTimeStampCount], uint64_t unitsPerSecond) {
    uint64_t ticks[kIntervals];
    double rate[kIntervals];
    for (int i = 0; i < kIntervals; ++i) {
        const uint64_t positions = pairs[i + 1].position - pairs[i].position;
        ticks[i] = pairs[i + 1].time - pairs[i].time;
        rate[i] =
            ticks[i] == 0 ? 0.0 : static_cast<double>(positions) / static_cast<double>(ticks[i]);
    }
    const auto [lowest, highest] = std::minmax_element(rate + kWarmUpIntervals, rate + kIntervals);
    // A 64-bit mantissa holds every tick count exactly, so neither sum
    // rounds away the small differences between the intervals.
    long double positionSum = 0.0L;
    long double timeSum = 0.0L;
    for (int i = 0; i < kIntervals; ++i) {
        if (i < kWarmUpIntervals && (rate[i] < *lowest || rate[i] > *highest))
            continue;
        positionSum += static_cast<long double>(ticks[i]) * rate[i];
        timeSum += static_cast<long double>(ticks[i]);
    }
    if (timeSum <= 0.0L)
        return 0.0;
    return static_cast<double>(positionSum / timeSum * static_cast<long double>(unitsPerSecond));
}

} // namespace tonvale
