#include "platform/core/heap.h"

#include <cstdlib>

#include "platform/core/fault_injection.h"

namespace plat {

// glibc's malloc returns blocks aligned to 16 bytes on 64-bit machines.
void* HeapAllocate(size_t size) {
    if (ConsumeFault(FaultKind::Allocation)) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void HeapRelease(void* block) { std::free(block); }

}  // namespace plat
