// Large buffers that live as long as a stream or an engine: one zero-filled
// page allocation each, made at start and never per block.
#pragma once

#include <cstddef>

namespace tonvale {

// Returns zero-filled memory of at least `bytes` bytes, or nullptr.
void* allocatePages(size_t bytes);
// Frees memory from allocatePages; nullptr is ignored.
void freePages(void* memory);

} // namespace tonvale
