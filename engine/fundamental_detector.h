// Pitch of the latest frame: the strongest bin, refined by the phase advance
// since the frame one hop earlier, optionally divided down to the fundamental
// by a harmonic analysis.
#pragma once

#include <cstdint>

namespace tonvale {

struct PitchAnalyzer;

// Returns the frequency in cycles per sample of the analyzer's rate: 0 when no
// peak was found (the strongest bin is DC); it can be 0 or negative when the
// phase estimate is unusable.
//
// Call it once per block, right after appending the block. Unless
// analyzer.previousValid is 0, analyzer.previous must hold the transform of
// the frame that ended one hop before the latest one; the call leaves the
// latest transform there and sets previousValid, so a skipped block must be
// followed by clearPrevious(). Never allocates.
double detectFundamental(PitchAnalyzer& analyzer, bool harmonicsAware);

// The pieces of the harmonic decision, exposed for testing.
struct HarmonicCandidate {
    double score = 0.0;  // autocorrelation at one period of the candidate
    int32_t divisor = 0; // the candidate fundamental is the peak divided by this
};

constexpr int kMaxHarmonicCandidates = 10;

// Scores the divisors 1, 2, ... while peakBins / divisor stays at or above
// 4 bins, at most kMaxHarmonicCandidates; returns how many were scored.
int scoreHarmonicCandidates(const float* power, int32_t powerCount, double peakBins,
                            HarmonicCandidate* candidates);

// Sorts the candidates by score, best first, and returns the divisor to apply
// to the peak (1 keeps it). Candidates within 0.9375 of the best score are
// good; the divisor is the greatest number from count down to 2 that divides
// every good one, or 2 when none is good, or the best one's as a last resort.
int32_t chooseHarmonicDivisor(HarmonicCandidate* candidates, int count);

} // namespace tonvale
