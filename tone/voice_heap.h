// Where the tone's voices are allocated: the process heap on Windows, the C
// heap elsewhere. Tests substitute a heap that refuses.
#pragma once

#include <cstddef>

namespace tonvale {

struct VoiceHeap {
    void* (*allocate)(size_t bytes) = nullptr; // null when refused
    void (*release)(void* block) = nullptr;    // null is ignored
};

VoiceHeap processVoiceHeap();

} // namespace tonvale
