// The analysis state: sample ring, the transforms of the latest and the
// previous frame, and the power values of the latest one.
//
// One zero-filled allocation, sized for the long transform whatever length is
// in use, holds all buffers, laid out as
//   previous (8192 doubles), current (8192 doubles), power (4096 floats),
//   ring (hop + 8192 floats).
// Nothing is allocated after create(). Samples are floats in the 16-bit range
// (full scale 32768). Used by one thread at a time.
#pragma once

#include <cstdint>

namespace tonvale {

struct PitchAnalyzer {
    static constexpr int32_t kMaxLength = 8192;

    int32_t length = 0;      // transform length N: 4096, or 8192 when long
    int32_t hop = 0;         // H: samples appended per block
    float* ring = nullptr;   // ringLength samples
    uint32_t ringLength = 0; // hop + 8192, whatever N is
    uint32_t writePos = 0;   // where the next block goes
    double* previous = nullptr;
    uint8_t previousValid = 0; // previous holds the transform one hop before the latest
    double* current = nullptr; // followed by kMaxLength / 2 power values
    void* block = nullptr;

    PitchAnalyzer() = default;
    ~PitchAnalyzer() { release(); }
    PitchAnalyzer(const PitchAnalyzer&) = delete;
    PitchAnalyzer& operator=(const PitchAnalyzer&) = delete;

    // length = 2 * baseLength when longTransform, else baseLength; it must come
    // out a power of two from 8 to 8192, and hopSamples must be positive.
    // False (and nothing held) on bad arguments or when memory is short.
    bool create(int32_t baseLength, bool longTransform, int32_t hopSamples);
    void release();

    float* power() const { return reinterpret_cast<float*>(current + kMaxLength); }

    // Writes `hop` samples at writePos, wrapping at the ring's end.
    void append(const float* samples);

    // Copies the frameLength samples that end `back` samples before writePos
    // (frameLength + back <= ringLength), windows and transforms them, and
    // zeroes the Nyquist slot (destination[1]).
    void extractFrame(double* destination, int32_t frameLength, int32_t back) const;

    void clearPrevious() { previousValid = 0; }

    // Decibel spectrum for display: `count` values for a transform of
    // spectrumLength (a power of two from 8 to 8192) of the latest frame; a
    // full-scale sine on a bin reads about -6.02 dB, silence and values beyond
    // spectrumLength / 2 read -120. Reuses the previous buffer when it holds
    // the latest frame of that length; may overwrite the current buffer.
    void decibelSpectrum(int32_t spectrumLength, float* destination, int32_t count);
};

} // namespace tonvale
