// A double sent in a thread message travels as its 64 bits split over the
// two 32-bit message parameters, low half first, so that nothing has to be
// allocated for it and it arrives bit for bit.
#pragma once

#include <cstdint>
#include <cstring>

namespace tonvale {

struct DoubleHalves {
    uint32_t low = 0;  // wParam
    uint32_t high = 0; // lParam
};

inline DoubleHalves splitDouble(double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32)};
}

// Only the low 32 bits of each parameter count.
inline double joinDouble(uint64_t low, uint64_t high) {
    const uint64_t bits = (high << 32) | (low & 0xFFFFFFFFu);
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace tonvale
