// The frequency scale of the spectrum view: which column shows a frequency
// at a band, and the ticks and labels of the axis along the bottom.
//
// At band b the view shows values of a transform 512 x 2^b long, one per
// column, so 256 columns span (rate / 2) / 2^b hertz.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tonvale {

constexpr int kBandCount = 4; // "1/1", "1/2", "1/4", "1/8"
constexpr int32_t kBaseSpectrumSize = 512;

constexpr int32_t spectrumSizeOfBand(int band) {
    return kBaseSpectrumSize << band;
}
constexpr int16_t binStepOfBand(int band) {
    return static_cast<int16_t>(1 << band);
}

// Hertz covered by 256 columns.
double hertzPer256Columns(int32_t rate, int binStep);

// Column of frequency hz: trunc(hz / hertzPer256Columns * 256 + 0.5).
int32_t columnOfFrequency(double hz, int32_t rate, int binStep);

struct AxisSteps {
    int32_t minorHz = 0; // ticks at least 8 columns apart
    int32_t majorHz = 0; // labelled ticks at least 30 columns apart, a multiple of minorHz
};

// Powers of ten from 10 Hz up until the spacing is wide enough, then a fifth
// or a half of that when it still is (the major step only when it stays a
// multiple of the minor one). A rate of 0 or less gives 0 steps.
AxisSteps axisSteps(int32_t rate, int binStep);

// "0Hz"; below 1000 Hz "%d"; whole kilohertz "%dk"; else "%.1fk". Returns
// the characters written.
size_t axisLabel(int32_t hz, wchar_t* buffer, size_t capacity);

} // namespace tonvale
