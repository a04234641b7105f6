// Stereo capture to mono: mono = floor((left + right + 1) / 2).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tonvale {

// Computed without 16-bit overflow: the sum plus 65537, shifted right by one,
// then offset back by 32768.
inline int16_t mixStereoSample(int16_t left, int16_t right) {
    const int32_t shifted = (static_cast<int32_t>(left) + right + 65537) >> 1; // 0 .. 65535
    return static_cast<int16_t>(shifted - 32768);
}

// Mixes `frames` interleaved left/right pairs in place; the mono samples end
// up in the first `frames` slots of the buffer.
void mixStereoToMono(int16_t* samples, size_t frames);

} // namespace tonvale
