// The true pitch of a rendered note, measured from its partials: each
// partial's frequency is the maximum of the Hann-windowed spectrum, found on
// a zero-padded transform and refined on the continuous spectrum, so the
// measurement shares nothing with the tuner's method.
#pragma once

#include <vector>

namespace tonvale::accuracy {

struct PartialEstimate {
    int number = 0; // 1 = fundamental
    double freqHz = 0.0;
    double amplitude = 0.0; // full scale of the samples given
};

struct TruthMeasurement {
    bool ok = false;
    double truthHz = 0.0;
    int truthPartial = 0; // the first partial, or the lowest strong one when it is weak
    int strongestPartial = 0;
    double inharmonicityCents =
        0.0;                 // largest deviation of a strong partial up to the 8th from k x truth
    double driftCents = 0.0; // second half minus first half of the stretch
    std::vector<PartialEstimate> partials; // the strong ones (within 40 dB of the strongest)
};

// `samples` is the steady stretch of the note; `nominalHz` only centres the
// search for each partial (+-60 cents).
TruthMeasurement measureTruth(const std::vector<double>& samples, double rateHz, double nominalHz);

// Frequency of the largest spectral peak of `samples` between lowHz and highHz,
// and its amplitude; 0 Hz when the largest value is at an end of the range.
PartialEstimate strongestPeak(const std::vector<double>& samples, double rateHz, double lowHz,
                              double highHz);

} // namespace tonvale::accuracy
