#include "system/network_ring_io.h"

#include <algorithm>
#include <cstring>

int AddRingBuffer(const void* data, uint32_t n, RingBuffer* ring) {
    if (n == 0) return 0;
    if (RingBufferReserve(n, ring) != 0) return -1;
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
