// The reading the engine hands to the windows after each block.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace tonvale {

struct PitchReading {
    static constexpr int32_t kMaxSpectrum = 512;

    // 1 while the record is handed out. The engine writes the record only
    // while this is 0 and sets it (release) once the record is complete; the
    // receiver clears it (release) when it no longer reads the record.
    std::atomic<uint8_t> busy{0};
    int32_t sequence = -1;             // -1 before the first reading; the first carries 0
    float level = 0.0f;                // variance of the block, full scale 1.0
    double frequency = 0.0;            // Hz; 0 without pitch; below 10 Hz counts as no note
    int32_t baseRate = 0;              // written only with a spectrum
    int32_t spectrumCount = 0;         // spectrum values attached; 0 = none
    int32_t peakBin = 0;               // spectrum index of the detected frequency
    float spectrum[kMaxSpectrum] = {}; // dB

    // The state before the first block.
    void reset() {
        busy.store(0, std::memory_order_relaxed);
        sequence = -1;
        level = 0.0f;
        frequency = 0.0;
        baseRate = 0;
        spectrumCount = 0;
        peakBin = 0;
        std::fill(spectrum, spectrum + kMaxSpectrum, 0.0f);
    }
};

} // namespace tonvale
