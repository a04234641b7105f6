#include "engine/engine_params.h"

#include <cmath>

namespace tonvale {

bool deriveEngineRates(const EngineParams& params, EngineRates& rates) {
    const uint32_t rate = params.sampleRate;
    int32_t base = 0;
    if (rate > 0 && rate % kLowBaseRate == 0) {
        base = kLowBaseRate;
    } else if (rate > 0 && rate % kHighBaseRate == 0) {
        base = kHighBaseRate;
    } else {
        return false;
    }
    const uint32_t factor = rate / static_cast<uint32_t>(base);
    if (factor != 1 && factor != 2 && factor != 4 && factor != 8) {
        return false;
    }
    rates.baseRate = base;
    rates.decimation = static_cast<int32_t>(factor);
    rates.hop = base / 10;
    rates.transformLength = params.useLongFFT ? 2 * kBaseLength : kBaseLength;
    rates.clockFactor = std::pow(2.0, params.clockAdjust / 120000.0);
    rates.thresholdPower = std::pow(10.0, params.inputThreshold / 10.0);
    return true;
}

} // namespace tonvale
