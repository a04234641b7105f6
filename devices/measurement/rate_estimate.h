// The sampling rate of a device from 31 time stamps taken one second apart:
// device positions against a reference clock.
#pragma once

#include <cstdint>

namespace tonvale {

// One time stamp: a device position (samples, or Core Audio clock units) and
// the reference time it was read at (performance-counter ticks, or 100 ns).
struct TimeStampPair {
    uint64_t position = 0;
    uint64_t time = 0;
};

constexpr int kTimeStampCount = 31; // P0 ... P30

// Positions per second of reference time. The first ten intervals are a
// warm-up: one whose rate lies outside the range of the last twenty is
// dropped. The differences are unsigned, so a position or time that wraps
// past 2^64 still counts forward. 0 when no time has passed.
double estimateRate(const TimeStampPair (&pairs)[kTimeStampCount], uint64_t unitsPerSecond);

} // namespace tonvale
