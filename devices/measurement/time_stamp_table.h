// The counting scheme every measurement back end shares: after a warm-up of
// one second, 31 time stamps P0 ... P30 one second apart.
//
// A back end asks due() with its pacing value on every check and, when it
// is due, takes a time stamp and records it. Pacing is by the reference time
// (wave API: performance-counter ticks, first stamp one second after the
// stream started) or by the device position (Core Audio: clock units, first
// stamp once the position reaches one second). All differences are unsigned.
#pragma once

#include "devices/measurement/rate_estimate.h"

#include <cstdint>

namespace tonvale {

enum class Pacing { byTime, byPosition };

class TimeStampTable {
  public:
    // pacingUnitsPerSecond: of the pacing value (counter frequency, or clock
    // frequency). origin: the pacing value at the stream's start (the counter
    // for the wave API, 0 for a Core Audio clock after its reset).
    TimeStampTable(Pacing pacing, uint64_t pacingUnitsPerSecond, uint64_t origin);

    // Whether the next stamp is due at this pacing value.
    bool due(uint64_t pacingValue) const;
    // Records the next stamp and returns its number (0 for P0); ignored once
    // the table is complete.
    int record(const TimeStampPair& pair);

    int count() const { return count_; }
    bool counting() const { return count_ > 0; }
    bool complete() const { return count_ == kTimeStampCount; }
    // estimateRate of the complete table in positions per second of the
    // stamps' time; 0 before the table is complete.
    double rate(uint64_t timeUnitsPerSecond) const;

  private:
    Pacing pacing_;
    uint64_t step_;
    uint64_t origin_;
    int count_ = 0;
    TimeStampPair pairs_[kTimeStampCount];
};

} // namespace tonvale
