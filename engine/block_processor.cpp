#include "engine/block_processor.h"

#include "engine/fundamental_detector.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace tonvale {
namespace {

constexpr int32_t kMinSpectrumLength = 8;
// 0.1 dB passband ripple, 10^(-0.1 / 20), as a float.
constexpr float kAntiAliasRipple = 0.98855311f;

} // namespace

BlockProcessor::StartResult BlockProcessor::start(const EngineParams& params) {
    stop();
    if (!deriveEngineRates(params, rates_)) {
        rates_ = {};
        return StartResult::unsupportedRate;
    }
    findFundamental_ = params.findFundamental != 0;
    bool ok = analyzer_.create(kBaseLength, params.useLongFFT != 0, rates_.hop);
    ok = setUpFilters(params) && ok;
    if (ok) {
        try {
            work_.assign(static_cast<size_t>(rates_.hop), 0.0f);
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    if (!ok) {
        stop();
        return StartResult::outOfMemory;
    }
    spectrumLength_ = 0;
    spectrumCount_ = 0;
    reading_.reset();
    return StartResult::ok;
}

void BlockProcessor::stop() {
    analyzer_.release();
    antiAlias_.release();
    hum_.release();
    work_.clear();
    work_.shrink_to_fit();
}

bool BlockProcessor::setUpFilters(const EngineParams& params) {
    if (!antiAlias_.create(BiquadCascade::kMaxSections) || !hum_.create(1)) {
        return false;
    }
    const int32_t factor = rates_.decimation;
    if (factor > 1) {
        const int32_t sections = factor == 2 ? 8 : 10;
        antiAlias_.addLowPass(sections, 0.9 * 0.5 / factor, kAntiAliasRipple);
    }
    if (params.humFrequency != 0.0f) {
        const double centre = params.humFrequency / (rates_.baseRate * rates_.clockFactor);
        hum_.addNotch(centre, static_cast<float>(kHumBandwidthOctaves));
    }
    return true;
}

void BlockProcessor::requestSpectrum(int32_t length, int32_t count) {
    if (length <= 0) {
        spectrumLength_ = 0;
    } else {
        // A length that is no power of two would derail the transform.
        int32_t served = kMinSpectrumLength;
        while (served * 2 <= std::min(length, kMaxSpectrumLength)) {
            served *= 2;
        }
        spectrumLength_ = served;
    }
    spectrumCount_ = std::clamp(count, 0, PitchReading::kMaxSpectrum);
}

// Decimates (or converts) and de-hums the block into the work buffer and
// returns its level: the sample variance at full scale 1.0.
double BlockProcessor::conditionBlock(const int16_t* samples) {
    float* work = work_.data();
    const int32_t hop = rates_.hop;
    if (rates_.decimation > 1) {
        antiAlias_.decimate(work, samples, hop, rates_.decimation);
    } else {
        std::copy(samples, samples + hop, work);
    }
    hum_.filterInPlace(work, hop);

    double sum = 0.0;
    double sumSquares = 0.0;
    for (int32_t i = 0; i < hop; ++i) {
        const double x = work[i] / 32768.0;
        sum += x;
        sumSquares += x * x;
    }
    return (sumSquares - sum * sum / hop) / (hop - 1);
}

bool BlockProcessor::processBlock(const int16_t* samples) {
    const double level = conditionBlock(samples);
    analyzer_.append(work_.data());
    double cyclesPerSample = 0.0;
    if (level < rates_.thresholdPower) {
        analyzer_.clearPrevious();
    } else {
        cyclesPerSample = detectFundamental(analyzer_, findFundamental_);
    }
    if (reading_.busy.load(std::memory_order_acquire) != 0) {
        return false;
    }
    fillReading(level, cyclesPerSample);
    return true;
}

void BlockProcessor::fillReading(double level, double cyclesPerSample) {
    reading_.level = static_cast<float>(level);
    reading_.spectrumCount = 0;
    reading_.frequency = rates_.baseRate * cyclesPerSample * rates_.clockFactor;
    if (spectrumLength_ > 0) {
        analyzer_.decibelSpectrum(spectrumLength_, reading_.spectrum, spectrumCount_);
        reading_.spectrumCount = spectrumCount_;
        reading_.peakBin = static_cast<int32_t>(cyclesPerSample * spectrumLength_ + 0.5);
        reading_.baseRate = rates_.baseRate;
    }
    ++reading_.sequence;
    reading_.busy.store(1, std::memory_order_release);
}

} // namespace tonvale
