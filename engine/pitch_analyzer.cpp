#include "engine/pitch_analyzer.h"

#include "engine/hann_window.h"
#include "engine/page_memory.h"
#include "engine/real_fft.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tonvale {
namespace {

constexpr float kSilentDecibels = -120.0f;
constexpr double kSilentPower = 1e-12;

bool isPowerOfTwo(int32_t value) {
    return value > 0 && (value & (value - 1)) == 0;
}

} // namespace

bool PitchAnalyzer::create(int32_t baseLength, bool longTransform, int32_t hopSamples) {
    release();
    const int32_t transformLength = longTransform ? baseLength * 2 : baseLength;
    if (baseLength <= 0 || baseLength > kMaxLength || !isPowerOfTwo(transformLength) ||
        transformLength < 8 || transformLength > kMaxLength || hopSamples <= 0 ||
        hopSamples > (1 << 20)) {
        return false;
    }
    const size_t ringSamples = static_cast<size_t>(hopSamples) + kMaxLength;
    const size_t units = ringSamples + kMaxLength / 2 + 4 * static_cast<size_t>(kMaxLength);
    void* memory = allocatePages(units * sizeof(float));
    if (!memory) {
        return false;
    }
    block = memory;
    previous = static_cast<double*>(memory);
    current = previous + kMaxLength;
    ring = power() + kMaxLength / 2;
    ringLength = static_cast<uint32_t>(ringSamples);
    writePos = 0;
    previousValid = 0;
    length = transformLength;
    hop = hopSamples;
    return true;
}

void PitchAnalyzer::release() {
    freePages(block);
    length = 0;
    hop = 0;
    ring = nullptr;
    ringLength = 0;
    writePos = 0;
    previous = nullptr;
    previousValid = 0;
    current = nullptr;
    block = nullptr;
}

void PitchAnalyzer::append(const float* samples) {
    uint32_t position = writePos;
    const float* source = samples;
    uint32_t remaining = static_cast<uint32_t>(hop);
    while (remaining > 0) {
        const uint32_t run = std::min(remaining, ringLength - position);
        std::copy(source, source + run, ring + position);
        source += run;
        remaining -= run;
        position += run;
        if (position == ringLength) {
            position = 0;
        }
    }
    writePos = position;
}

void PitchAnalyzer::extractFrame(double* destination, int32_t frameLength, int32_t back) const {
    int64_t start = static_cast<int64_t>(writePos) - frameLength - back;
    if (start < 0) {
        start += ringLength;
    }
    uint32_t position = static_cast<uint32_t>(start);
    for (int32_t i = 0; i < frameLength; ++i) {
        destination[i] = ring[position];
        if (++position == ringLength) {
            position = 0;
        }
    }
    applyHannWindow(destination, frameLength);
    realFft(destination, frameLength);
    destination[1] = 0.0;
}

void PitchAnalyzer::decibelSpectrum(int32_t spectrumLength, float* destination, int32_t count) {
    const double* spectrum = previous;
    if (spectrumLength != length || !previousValid) {
        extractFrame(current, spectrumLength, 0);
        spectrum = current;
    }
    std::fill(destination, destination + count, kSilentDecibels);
    const double scale = 2.0 * (1.0 / spectrumLength) * (1.0 / 32768.0);
    const double scaleSquared = scale * scale;
    const int32_t values = std::min(spectrumLength / 2, count);
    for (int32_t k = 0; k < values; ++k) {
        const double re = spectrum[2 * k];
        const double im = spectrum[2 * k + 1];
        const double p = (re * re + im * im) * scaleSquared;
        if (p > kSilentPower) {
            destination[k] = static_cast<float>(10.0 * std::log10(p));
        }
    }
}

} // namespace tonvale
