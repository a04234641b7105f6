#include "levrig/private_heap.h"

#include <cstdlib>

namespace tonvale {
namespace levrig {

bool privateAllocationRefused() noexcept;

bool createPrivateHeap() {
    return true;
}

void destroyPrivateHeap() {}

void* privateAllocate(size_t size) noexcept {
    if (privateAllocationRefused())
        return nullptr;
    return std::malloc(size ? size : 1);
}

void privateFree(void* block) noexcept {
    std::free(block);
}

} // namespace levrig
} // namespace tonvale
