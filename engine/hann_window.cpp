#include "engine/hann_window.h"

#include "engine/sine_table.h"

namespace tonvale {

void applyHannWindow(double* samples, int length) {
    const double* table = gSineTable.values;
    const int stride = SineTable::kPeriod / length;
    const int half = length / 2;
    const int quarter = length / 4;
    samples[0] *= 0.0;
    // samples[half] keeps its value: the window is 1 there.
    samples[quarter] *= 0.5;
    samples[half + quarter] *= 0.5;
    for (int j = 1; j < quarter; ++j) {
        const double h = 0.5 * table[SineTable::kSize - j * stride];
        samples[half - j] *= 0.5 + h;
        samples[half + j] *= 0.5 + h;
        samples[j] *= 0.5 - h;
        samples[length - j] *= 0.5 - h;
    }
}

} // namespace tonvale
