// The engine's start parameters and the quantities derived from them.
//
// The Windows engine thread pairs these with its start-up event; everything
// here is portable.
#pragma once

#include <cstdint>

namespace tonvale {

struct EngineParams {
    int32_t deviceId = -1;        // wave-in device; negative = default device
    uint32_t sampleRate = 44100;  // capture rate, Hz: 11025 or 12000 times 1, 2, 4 or 8
    int16_t clockAdjust = 0;      // capture clock correction, hundredths of a cent
    int16_t inputThreshold = -60; // dB; quieter blocks carry no frequency
    int16_t findFundamental = 0;  // nonzero: harmonic analysis on
    float humFrequency = 0.0f;    // hum notch centre, Hz; 0 = no notch
    uint8_t useLongFFT = 0;       // nonzero: 8192-point transform instead of 4096
    uint8_t microphoneOnly = 0;   // nonzero: make the microphone the only recording source
};

struct EngineRates {
    int32_t baseRate = 0;        // B: 11025 or 12000 Hz, the rate after decimation
    int32_t decimation = 0;      // D = sampleRate / B: 1, 2, 4 or 8
    int32_t hop = 0;             // H = B / 10: samples per block at the rate B
    int32_t transformLength = 0; // N: 4096 or 8192
    double clockFactor = 1.0;    // K = 2^(clockAdjust / 120000)
    double thresholdPower = 0.0; // 10^(inputThreshold / 10)
};

constexpr int32_t kBaseLength = 4096;
constexpr int32_t kLowBaseRate = 11025;
constexpr int32_t kHighBaseRate = 12000;

// False when sampleRate is not 11025 or 12000 times 1, 2, 4 or 8.
bool deriveEngineRates(const EngineParams& params, EngineRates& rates);

} // namespace tonvale
