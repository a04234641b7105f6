#include "allocation_counter_win.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<DWORD> gWatchedThread{0};
std::atomic<int> gAllocations{0};

} // namespace

int tonvale::test::countAllocationsOf(DWORD thread) {
    gWatchedThread.store(0);
    const int counted = gAllocations.exchange(0);
    gWatchedThread.store(thread);
    return counted;
}

void* operator new(size_t size) {
    if (GetCurrentThreadId() == gWatchedThread.load(std::memory_order_relaxed)) {
        gAllocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* block = std::malloc(size ? size : 1)) {
        return block;
    }
    throw std::bad_alloc();
}

void* operator new[](size_t size) {
    return operator new(size);
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete[](void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, size_t) noexcept {
    std::free(block);
}

void operator delete[](void* block, size_t) noexcept {
    std::free(block);
}
