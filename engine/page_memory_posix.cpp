#include "engine/page_memory.h"

#include <cstdlib>

namespace tonvale {

// Page granularity only matters to the Windows heap; here calloc lets the
// sanitizers see overruns of these buffers.
void* allocatePages(size_t bytes) {
    if (bytes == 0) {
        return nullptr;
    }
    return std::calloc(bytes, 1);
}

void freePages(void* memory) {
    std::free(memory);
}

} // namespace tonvale
