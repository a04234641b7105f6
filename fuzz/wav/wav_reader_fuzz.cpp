// Any bytes through the WAV reader: parse, then decode every frame.
#include "tools/analyzer/wav_reader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tonvale::WavInfo info;
    std::string error;
    if (!tonvale::parseWav(data, size, info, error)) {
        return 0;
    }
    std::vector<int16_t> block(4096);
    for (size_t first = 0; first < info.frameCount; first += block.size()) {
        const size_t count = std::min(block.size(), info.frameCount - first);
        tonvale::decodeMonoFrames(info, first, count, block.data());
    }
    return 0;
}
