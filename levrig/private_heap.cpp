#include "levrig/private_heap.h"

#include <atomic>

namespace tonvale {
namespace levrig {
namespace {

std::atomic<int> gSuccessesBeforeFailure{-1};

} // namespace

void failPrivateAllocationsAfterForTesting(int successes) {
    gSuccessesBeforeFailure.store(successes);
}

// Shared by both halves: true when the test hook says this allocation fails.
bool privateAllocationRefused() noexcept {
    int left = gSuccessesBeforeFailure.load();
    while (left >= 0) {
        if (left == 0)
            return true;
        if (gSuccessesBeforeFailure.compare_exchange_weak(left, left - 1))
            return false;
    }
    return false;
}

} // namespace levrig
} // namespace tonvale
