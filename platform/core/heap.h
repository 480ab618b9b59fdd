// The process heap of the platform layer. Blocks are aligned to 16 bytes.
#pragma once
#include <cstddef>

namespace plat {

// Null when the block cannot be had.
void* HeapAllocate(size_t size);
void HeapRelease(void* block);

}  // namespace plat
