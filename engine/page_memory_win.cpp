#include "engine/page_memory.h"

#include <windows.h>

namespace tonvale {

void* allocatePages(size_t bytes) {
    if (bytes == 0) {
        return nullptr;
    }
    // Committed pages are zero-filled by the system.
    return VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

void freePages(void* memory) {
    if (memory) {
        VirtualFree(memory, 0, MEM_RELEASE);
    }
}

} // namespace tonvale
