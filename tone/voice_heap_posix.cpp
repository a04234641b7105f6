#include "tone/voice_heap.h"

#include <cstdlib>

namespace tonvale {
namespace {

void* allocateVoice(size_t bytes) {
    return std::calloc(1, bytes);
}

void releaseVoice(void* block) {
    std::free(block);
}

} // namespace

VoiceHeap processVoiceHeap() {
    return {allocateVoice, releaseVoice};
}

} // namespace tonvale
