#include "tone/voice_heap.h"

#include <windows.h>

namespace tonvale {
namespace {

void* allocateVoice(size_t bytes) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

void releaseVoice(void* block) {
    if (block) {
        HeapFree(GetProcessHeap(), 0, block);
    }
}

} // namespace

VoiceHeap processVoiceHeap() {
    return {allocateVoice, releaseVoice};
}

} // namespace tonvale
