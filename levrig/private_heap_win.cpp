#include "levrig/private_heap.h"

#include <windows.h>

namespace tonvale {
namespace levrig {

bool privateAllocationRefused() noexcept;

namespace {
HANDLE gHeap = nullptr;
} // namespace

bool createPrivateHeap() {
    if (!gHeap)
        gHeap = HeapCreate(0, 0, 0);
    return gHeap != nullptr;
}

void destroyPrivateHeap() {
    if (gHeap) {
        HeapDestroy(gHeap);
        gHeap = nullptr;
    }
}

void* privateAllocate(size_t size) noexcept {
    if (!gHeap || privateAllocationRefused())
        return nullptr;
    return HeapAlloc(gHeap, 0, size ? size : 1);
}

void privateFree(void* block) noexcept {
    if (block && gHeap)
        HeapFree(gHeap, 0, block);
}

} // namespace levrig
} // namespace tonvale
