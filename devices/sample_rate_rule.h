// Which capture rates the analysis works with, and the rate a device is
// opened at when the settings leave it to the device.
#pragma once

#include <cstdint>

namespace tonvale {

constexpr uint32_t kFallbackSampleRate = 44100;

// 11025 when rate is a positive multiple of 11025, else 12000 when it is a
// positive multiple of 12000, else 0.
uint32_t rateFamilyBase(uint32_t rate);

// A rate of the base b times 1, 2, 4 or 8 for a device whose shared-mode mix
// runs at mixRate: such a rate is kept, 16 b is halved, other multiples of
// b give 4 b, and a rate outside both families gives 48000 when it is a
// multiple of 8000, else 44100.
uint32_t rateForMixRate(uint32_t mixRate);

// Before endpoints existed: 48000 when the capabilities' format bits offer a
// 48 kHz 16-bit format (mono or stereo), else 44100.
uint32_t rateForFormatBits(uint32_t formatBits);

} // namespace tonvale
