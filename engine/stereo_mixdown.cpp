#include "engine/stereo_mixdown.h"

namespace tonvale {

void mixStereoToMono(int16_t* samples, size_t frames) {
    // Slot i is written only after slots 2i and 2i + 1 were read.
    for (size_t i = 0; i < frames; ++i) {
        samples[i] = mixStereoSample(samples[2 * i], samples[2 * i + 1]);
    }
}

} // namespace tonvale
