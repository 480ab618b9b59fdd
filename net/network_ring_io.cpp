#include "net/network_ring_io.h"

#include <algorithm>
#include <cstring>

#include "net/network_counters.h"

namespace {

// RingBufferReserve adds this much room above what it is asked for.
constexpr uint64_t kReserveSlack = 1000;
// Largest capacity asked for by doubling (the tracked allocator's sizes are 32-bit).
constexpr uint64_t kLargestDoubledCapacity = 0x40000000;

}  // namespace

int ReserveNetWorkRing(uint32_t extra, uint32_t ceiling, RingBuffer* ring) {
    RingBufferWrapPositions(ring);
    const uint64_t needed = static_cast<uint64_t>(ring->length) + extra;
    if (ring->capacity >= needed) return 0;
    const uint64_t doubled =
        std::min({static_cast<uint64_t>(ring->capacity) * 2, static_cast<uint64_t>(ceiling),
                  kLargestDoubledCapacity});
    // RingBufferReserve gives length + asked + its slack: ask for what makes the doubled
    // capacity when that is more than needed.
    uint64_t asked = extra;
    if (doubled > needed + kReserveSlack) asked = doubled - kReserveSlack - ring->length;
    const uint32_t moved = ring->length;
    if (RingBufferReserve(static_cast<uint32_t>(asked), ring) != 0) return -1;
    NoteNetWorkRingGrowth(moved);
    return 0;
}

int AddRingBuffer(const void* data, uint32_t n, RingBuffer* ring) {
    if (n == 0) return 0;
    if (ReserveNetWorkRing(n, UINT32_MAX, ring) != 0) return -1;
    const auto* bytes = static_cast<const unsigned char*>(data);
    const uint32_t first = std::min(n, ring->capacity - ring->end);
    std::memcpy(ring->data + ring->end, bytes, first);
    if (n > first) std::memcpy(ring->data, bytes + first, n - first);
    CommitRingBuffer(n, ring);
    return 0;
}

int ReadRingBuffer(void* out, uint32_t n, int take, RingBuffer* ring) {
    if (n > ring->length) return -1;
    if (n == 0) return 0;
    auto* bytes = static_cast<unsigned char*>(out);
    const uint32_t first = std::min(n, ring->capacity - ring->start);
    std::memcpy(bytes, ring->data + ring->start, first);
    if (n > first) std::memcpy(bytes + first, ring->data, n - first);
    if (take) DropRingBuffer(n, ring);
    return 0;
}

void DropRingBuffer(uint32_t n, RingBuffer* ring) {
    if (n == 0) return;
    ring->start = (ring->start + n) % ring->capacity;
    ring->length -= n;
    RingBufferWrapPositions(ring);
}

void CommitRingBuffer(uint32_t n, RingBuffer* ring) {
    if (n == 0) return;
    ring->end = (ring->end + n) % ring->capacity;
    ring->length += n;
    RingBufferWrapPositions(ring);
}
