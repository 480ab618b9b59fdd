#include "base/ring_buffer.h"

#include <cstring>

#include "base/log.h"
#include "base/tracked_memory.h"

namespace {
// Extra room taken on each growth, so that small writes do not grow the ring every time.
constexpr uint32_t kGrowthSlack = 1000;
}  // namespace

void RingBufferWrapPositions(RingBuffer* ring) {
    if (ring->start == ring->capacity) ring->start = 0;
    if (ring->end == ring->capacity) ring->end = 0;
}

int RingBufferReserve(uint32_t extra, RingBuffer* ring) {
    RingBufferWrapPositions(ring);

    uint64_t needed = static_cast<uint64_t>(ring->length) + extra;
    if (ring->capacity >= needed) return 0;

    uint64_t capacity = needed + kGrowthSlack;
    // TrackedAlloc refuses anything whose size does not fit its 32-bit size field.
    auto* data = static_cast<unsigned char*>(TrackedAlloc(capacity, "", 0));
    if (data == nullptr) {
        // The old buffer and its data stay as they were.
        return LogFormat("リングバッファの再確保に失敗しました(確保しようとしたサイズ %d byte)",
                         static_cast<int>(capacity));
    }

    if (ring->length > 0) {
        uint32_t firstPart = ring->capacity - ring->start;
        if (ring->length > firstPart) {
            // The data wraps: from the start to the old end, then the rest from the beginning.
            std::memcpy(data, ring->data + ring->start, firstPart);
            std::memcpy(data + firstPart, ring->data, ring->length - firstPart);
        } else {
            std::memcpy(data, ring->data + ring->start, ring->length);
        }
    }

    TrackedFree(ring->data);
    ring->data = data;
    ring->start = 0;
    ring->end = ring->length;
    ring->capacity = static_cast<uint32_t>(capacity);
    return 0;
}

int RingBufferFree(RingBuffer* ring) {
    TrackedFree(ring->data);
    *ring = RingBuffer{};
    return 0;
}
