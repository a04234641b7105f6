#include "engine/fundamental_detector.h"

#include "engine/pitch_analyzer.h"

#include <algorithm>
#include <cmath>

namespace tonvale {
namespace {

constexpr double kTwoPi = 6.28318530717958647692;
constexpr double kLowestCandidateBins = 4.0;
constexpr double kGoodScoreRatio = 0.9375;

void computePower(const double* spectrum, int32_t count, float* power) {
    for (int32_t k = 0; k < count; ++k) {
        const double re = spectrum[2 * k];
        const double im = spectrum[2 * k + 1];
        power[k] = static_cast<float>(re * re + im * im);
    }
}

// The lowest index wins a tie.
int32_t findPeakBin(const float* power, int32_t count) {
    int32_t peak = 0;
    for (int32_t k = 1; k < count; ++k) {
        if (power[k] > power[peak]) {
            peak = k;
        }
    }
    return peak;
}

// Phase-vocoder estimate: how far the phase of the peak bin moved beyond the
// advance a signal exactly on the bin would make in one hop.
double refinePeakBin(const double* previous, const double* current, int32_t peak, int32_t length,
                     int32_t hop) {
    const double previousPhase = std::atan2(previous[2 * peak + 1], previous[2 * peak]) / kTwoPi;
    const double expectedAdvance = static_cast<double>(peak) * hop / length;
    const double currentPhase = std::atan2(current[2 * peak + 1], current[2 * peak]) / kTwoPi;
    // The expected advance reaches a thousand cycles; the wide sum keeps the
    // fraction that matters.
    const long double wide = static_cast<long double>(currentPhase) -
                             (static_cast<long double>(previousPhase) + expectedAdvance);
    double deviation = static_cast<double>(wide - std::trunc(wide));
    if (deviation > 0.5) {
        deviation -= 1.0;
    } else if (deviation <= -0.5) {
        deviation += 1.0;
    }
    return peak + deviation * length / hop;
}

void sortByScoreDescending(HarmonicCandidate* candidates, int count) {
    for (int i = 1; i < count; ++i) {
        const HarmonicCandidate moving = candidates[i];
        int j = i;
        while (j > 0 && moving.score > candidates[j - 1].score) {
            candidates[j] = candidates[j - 1];
            --j;
        }
        candidates[j] = moving;
    }
}

} // namespace

int scoreHarmonicCandidates(const float* power, int32_t powerCount, double peakBins,
                            HarmonicCandidate* candidates) {
    int count = 0;
    while (count < kMaxHarmonicCandidates && peakBins / (count + 1) >= kLowestCandidateBins) {
        ++count;
    }
    // All candidates advance together through one pass over the power values:
    // each keeps its own cosine recurrence, cos((k+1)w) = 2 cos(w) cos(kw) -
    // cos((k-1)w), and the independent chains overlap in the pipeline.
    double twoCos[kMaxHarmonicCandidates];
    double cosCurrent[kMaxHarmonicCandidates];
    double cosPrevious[kMaxHarmonicCandidates];
    double sum[kMaxHarmonicCandidates];
    for (int m = 0; m < kMaxHarmonicCandidates; ++m) {
        const double w = kTwoPi * (m + 1) / peakBins;
        const double cosW = std::cos(w);
        twoCos[m] = 2.0 * cosW;
        cosCurrent[m] = 1.0;
        cosPrevious[m] = cosW;
        sum[m] = 0.0;
    }
    for (int32_t k = 0; k < powerCount; ++k) {
        const double p = power[k];
        for (int m = 0; m < kMaxHarmonicCandidates; ++m) {
            sum[m] += p * cosCurrent[m];
            const double next = twoCos[m] * cosCurrent[m] - cosPrevious[m];
            cosPrevious[m] = cosCurrent[m];
            cosCurrent[m] = next;
        }
    }
    for (int m = 0; m < count; ++m) {
        candidates[m] = {sum[m], m + 1};
    }
    return count;
}

int32_t chooseHarmonicDivisor(HarmonicCandidate* candidates, int count) {
    sortByScoreDescending(candidates, count);
    int good = 0;
    if (count > 0 && candidates[0].score >= 0.0) {
        const double limit = kGoodScoreRatio * candidates[0].score;
        while (good < count && candidates[good].score >= limit) {
            ++good;
        }
    }
    if (good == count) {
        return 1;
    }
    if (count <= 1) {
        return candidates[0].divisor;
    }
    // A negative best score leaves no candidate good; the peak is then taken
    // as the second harmonic.
    if (good == 0) {
        return 2;
    }
    // When the peak is the g-th harmonic, the lags of g, 2g, 3g ... peak
    // periods are whole periods of the fundamental and score high: the good
    // divisors share g, so take their greatest common divisor, not the
    // smallest ({4, 8} is the fourth harmonic, not the second).
    for (int32_t d = count; d >= 2; --d) {
        bool dividesAll = true;
        for (int i = 0; i < good && dividesAll; ++i) {
            dividesAll = candidates[i].divisor % d == 0;
        }
        if (dividesAll) {
            return d;
        }
    }
    return candidates[0].divisor;
}

double detectFundamental(PitchAnalyzer& analyzer, bool harmonicsAware) {
    const int32_t length = analyzer.length;
    const int32_t hop = analyzer.hop;
    if (!analyzer.previousValid) {
        analyzer.extractFrame(analyzer.previous, length, hop);
    }
    analyzer.extractFrame(analyzer.current, length, 0);
    float* power = analyzer.power();
    computePower(analyzer.current, length / 2, power);

    double bins = 0.0;
    const int32_t peak = findPeakBin(power, length / 2);
    if (peak > 0) {
        bins = refinePeakBin(analyzer.previous, analyzer.current, peak, length, hop);
        if (bins > 0.0 && harmonicsAware) {
            HarmonicCandidate candidates[kMaxHarmonicCandidates];
            const int count = scoreHarmonicCandidates(power, length / 2, bins, candidates);
            bins /= chooseHarmonicDivisor(candidates, count);
        }
    }
    std::copy(analyzer.current, analyzer.current + length, analyzer.previous);
    analyzer.previousValid = 1;
    return bins / length;
}

} // namespace tonvale
