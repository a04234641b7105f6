#include "devices/measurement/time_stamp_table.h"

namespace tonvale {

TimeStampTable::TimeStampTable(Pacing pacing, uint64_t pacingUnitsPerSecond, uint64_t origin)
    : pacing_(pacing), step_(pacingUnitsPerSecond), origin_(origin) {}

bool TimeStampTable::due(uint64_t pacingValue) const {
    if (complete())
        return false;
    if (!counting())
        return pacingValue - origin_ >= step_;
    const uint64_t first = pacing_ == Pacing::byTime ? pairs_[0].time : pairs_[0].position;
    return pacingValue - first >= static_cast<uint64_t>(count_) * step_;
}

int TimeStampTable::record(const TimeStampPair& pair) {
    if (complete())
        return count_ - 1;
    pairs_[count_] = pair;
    return count_++;
}

double TimeStampTable::rate(uint64_t timeUnitsPerSecond) const {
    return complete() ? estimateRate(pairs_, timeUnitsPerSecond) : 0.0;
}

} // namespace tonvale
