#include "devices/sample_rate_rule.h"

namespace tonvale {
namespace {

constexpr uint32_t kFormats48kHz16Bit = 0xC000; // WAVE_FORMAT_48M16 | WAVE_FORMAT_48S16

} // namespace

uint32_t rateFamilyBase(uint32_t rate) {
    if (rate >= 1 && rate % 11025 == 0) {
        return 11025;
    }
    if (rate >= 1 && rate % 12000 == 0) {
        return 12000;
    }
    return 0;
}

uint32_t rateForMixRate(uint32_t mixRate) {
    const uint32_t base = rateFamilyBase(mixRate);
    if (base == 0) {
        return mixRate % 8000 == 0 ? 48000 : 44100;
    }
    switch (mixRate / base) {
    case 1:
    case 2:
    case 4:
    case 8:
        return mixRate;
    case 16:
        return mixRate / 2;
    default:
        return 4 * base;
    }
}

uint32_t rateForFormatBits(uint32_t formatBits) {
    return (formatBits & kFormats48kHz16Bit) != 0 ? 48000 : 44100;
}

} // namespace tonvale
