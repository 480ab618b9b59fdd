#include "net/network_ring.h"

#include <algorithm>
#include <cstring>

#include "base/log.h"
#include "base/tracked_memory.h"
#include "net/network_counters.h"

namespace {

// Room taken above what is needed when doubling would give less, so that small writes do not
// grow the ring every time.
constexpr uint64_t kGrowthSlack = 1000;
// Largest capacity asked for by doubling.
constexpr uint64_t kLargestDoubledCapacity = 0x40000000;
// Largest capacity of whole blocks that the 32-bit positions reach.
constexpr uint64_t kLargestCapacity =
    uint64_t{UINT32_MAX} / kNetWorkRingBlockBytes * kNetWorkRingBlockBytes;

uint32_t PositionAfter(const NetWorkRing& ring, uint32_t position, uint32_t n) {
    return static_cast<uint32_t>((uint64_t{position} + n) % ring.capacity);
}

uint32_t EndOf(const NetWorkRing& ring) { return PositionAfter(ring, ring.start, ring.length); }

// Copies n bytes of the ring from position `from` on, wrapping past the end, to out.
void CopyOut(const NetWorkRing& ring, uint32_t from, uint32_t n, unsigned char* out) {
    while (n > 0) {
        const uint32_t offset = from % ring.blockBytes;
        const uint32_t run = std::min(n, ring.blockBytes - offset);
        std::memcpy(out, ring.blocks[from / ring.blockBytes] + offset, run);
        out += run;
        n -= run;
        from = PositionAfter(ring, from, run);
    }
}

// Copies n bytes from in to the ring from position `to` on, wrapping past the end.
void CopyIn(const NetWorkRing& ring, uint32_t to, uint32_t n, const unsigned char* in) {
    while (n > 0) {
        const uint32_t offset = to % ring.blockBytes;
        const uint32_t run = std::min(n, ring.blockBytes - offset);
        std::memcpy(ring.blocks[to / ring.blockBytes] + offset, in, run);
        in += run;
        n -= run;
        to = PositionAfter(ring, to, run);
    }
}

void FreeBlocks(unsigned char** blocks, uint32_t count) {
    if (blocks == nullptr) return;
    for (uint32_t i = 0; i < count; ++i) TrackedFree(blocks[i]);
    TrackedFree(blocks);
}

// A table of `count` new blocks of `bytes` each, or null (nothing kept) when memory runs out.
unsigned char** NewBlocks(uint32_t count, uint32_t bytes) {
    auto** blocks =
        static_cast<unsigned char**>(TrackedAlloc(sizeof(unsigned char*) * count, "", 0));
    if (blocks == nullptr) return nullptr;
    for (uint32_t i = 0; i < count; ++i) {
        blocks[i] = static_cast<unsigned char*>(TrackedAlloc(bytes, "", 0));
        if (blocks[i] == nullptr) {
            FreeBlocks(blocks, i);
            return nullptr;
        }
    }
    return blocks;
}

int GrowthFailed(uint64_t capacity) {
    return LogFormat("リングバッファの再確保に失敗しました(確保しようとしたサイズ %d byte)",
                     static_cast<int>(capacity));
}

// Moves the held bytes, in order from position 0, into `count` new blocks of `bytes` each
// (the ring is small: one block below the full block size, or none). The bytes copied, or -1.
int64_t MoveIntoNewBlocks(uint32_t count, uint32_t bytes, NetWorkRing* ring) {
    unsigned char** blocks = NewBlocks(count, bytes);
    if (blocks == nullptr) return GrowthFailed(uint64_t{count} * bytes);
    NetWorkRing grown{blocks, count, bytes, 0, ring->length, count * bytes};
    if (ring->length > 0) {
        // Linear in the new blocks: the first holds them all.
        CopyOut(*ring, ring->start, ring->length, blocks[0]);
    }
    FreeBlocks(ring->blocks, ring->blockCount);
    *ring = grown;
    return grown.length;
}

// Adds `added` full-size blocks at a block boundary inside the free part of the ring, so that
// no held byte moves; when the free part lies within one block (the newest bytes at its
// beginning, the oldest at its end), those newest bytes are copied into the first new block,
// which is put before that block. The bytes copied, or -1.
int64_t InsertBlocks(uint32_t added, NetWorkRing* ring) {
    const uint32_t size = ring->blockBytes;
    const uint32_t count = ring->blockCount;
    unsigned char** fresh = NewBlocks(added, size);
    if (fresh == nullptr) return GrowthFailed((uint64_t{count} + added) * size);
    auto** table =
        static_cast<unsigned char**>(TrackedAlloc(sizeof(unsigned char*) * (count + added), "", 0));
    if (table == nullptr) {
        FreeBlocks(fresh, added);
        return GrowthFailed((uint64_t{count} + added) * size);
    }

    uint32_t boundary = count;  // the index of the block the new ones go before
    uint32_t copied = 0;
    if (ring->length == 0) {
        ring->start = 0;
    } else {
        const uint32_t end = EndOf(*ring);
        const uint32_t intoBlock = end % size;
        if (intoBlock == 0) {
            boundary = end / size;
        } else if (size - intoBlock <= ring->capacity - ring->length) {
            boundary = end / size + 1;  // the rest of the block is free
        } else {
            boundary = end / size;
            copied = intoBlock;
            std::memcpy(fresh[0], ring->blocks[boundary], copied);
        }
    }
    std::copy(ring->blocks, ring->blocks + boundary, table);
    std::copy(fresh, fresh + added, table + boundary);
    std::copy(ring->blocks + boundary, ring->blocks + count, table + boundary + added);
    TrackedFree(fresh);
    TrackedFree(ring->blocks);

    // Held bytes at or after the boundary are now `added` blocks further on.
    if (ring->start >= boundary * size && boundary < count) ring->start += added * size;
    ring->blocks = table;
    ring->blockCount = count + added;
    ring->capacity = ring->blockCount * size;
    return copied;
}

}  // namespace

int ReserveNetWorkRing(uint32_t extra, uint32_t ceiling, NetWorkRing* ring) {
    const uint64_t needed = uint64_t{ring->length} + extra;
    if (ring->capacity >= needed) return 0;
    const uint64_t doubled =
        std::min({uint64_t{ring->capacity} * 2, uint64_t{ceiling}, kLargestDoubledCapacity});
    const uint64_t target = std::max(doubled, needed + kGrowthSlack);

    int64_t copied = 0;
    if (target <= kNetWorkRingBlockBytes && ring->blockCount <= 1) {
        // Still one block of its own size: moved whole, as it is small.
        copied = MoveIntoNewBlocks(1, static_cast<uint32_t>(target), ring);
    } else {
        const uint64_t wholeBlocks =
            (target + kNetWorkRingBlockBytes - 1) / kNetWorkRingBlockBytes;
        if (wholeBlocks * kNetWorkRingBlockBytes > kLargestCapacity) {
            return GrowthFailed(wholeBlocks * kNetWorkRingBlockBytes);
        }
        const auto blocks = static_cast<uint32_t>(wholeBlocks);
        if (ring->blockBytes != kNetWorkRingBlockBytes) {
            copied = MoveIntoNewBlocks(blocks, kNetWorkRingBlockBytes, ring);
        } else {
            copied = InsertBlocks(blocks - ring->blockCount, ring);
        }
    }
    if (copied < 0) return -1;
    NoteNetWorkRingGrowth(static_cast<uint32_t>(copied));
    return 0;
}

int AddNetWorkRing(const void* data, uint32_t n, NetWorkRing* ring) {
    if (n == 0) return 0;
    if (ReserveNetWorkRing(n, UINT32_MAX, ring) != 0) return -1;
    CopyIn(*ring, EndOf(*ring), n, static_cast<const unsigned char*>(data));
    ring->length += n;
    return 0;
}

int ReadNetWorkRing(void* out, uint32_t n, int take, NetWorkRing* ring) {
    if (n > ring->length) return -1;
    if (n == 0) return 0;
    CopyOut(*ring, ring->start, n, static_cast<unsigned char*>(out));
    if (take) DropNetWorkRing(n, ring);
    return 0;
}

void DropNetWorkRing(uint32_t n, NetWorkRing* ring) {
    if (n == 0) return;
    ring->start = PositionAfter(*ring, ring->start, n);
    ring->length -= n;
}

uint32_t NetWorkRingWritable(const NetWorkRing& ring, unsigned char** at) {
    if (ring.length >= ring.capacity) return 0;
    const uint32_t end = EndOf(ring);
    *at = ring.blocks[end / ring.blockBytes] + end % ring.blockBytes;
    return std::min(ring.capacity - ring.length, ring.blockBytes - end % ring.blockBytes);
}

void CommitNetWorkRing(uint32_t n, NetWorkRing* ring) { ring->length += n; }

uint32_t NetWorkRingReadable(const NetWorkRing& ring, const unsigned char** at) {
    if (ring.length == 0) return 0;
    *at = ring.blocks[ring.start / ring.blockBytes] + ring.start % ring.blockBytes;
    return std::min(ring.length, ring.blockBytes - ring.start % ring.blockBytes);
}

void FreeNetWorkRing(NetWorkRing* ring) {
    FreeBlocks(ring->blocks, ring->blockCount);
    *ring = NetWorkRing{};
}
