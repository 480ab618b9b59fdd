// A connection's byte ring, kept in blocks instead of one buffer, so that growing it never moves
// what it holds. A ring of one block smaller than kNetWorkRingBlockBytes holds its bytes in that
// block alone (a quiet connection takes little memory); beyond that every block has
// kNetWorkRingBlockBytes, and growth adds blocks at a block boundary inside the free part of the
// ring. At most the written part of one block is copied by a growth, and fresh memory is first
// written by the receive or the append that fills it, a bounded amount per call, instead of all at
// once when the ring doubles.
#pragma once
#include <cstdint>

// Size of each block of a ring of more than one block.
constexpr uint32_t kNetWorkRingBlockBytes = 64 * 1024;

// Ring position p (0 .. capacity - 1) is byte p % blockBytes of block p / blockBytes. The
// bytes held run from start for length bytes, wrapping past the end. All zero is the empty
// ring without memory.
struct NetWorkRing {
    unsigned char** blocks = nullptr;  // blockCount blocks of tracked memory
    uint32_t blockCount = 0;
    uint32_t blockBytes = 0;
    uint32_t start = 0;     // read position, below capacity (0 without memory)
    uint32_t length = 0;    // bytes held
    uint32_t capacity = 0;  // blockCount * blockBytes
};

// Makes room for extra more bytes. A ring that must grow at least doubles (up to `ceiling`
// bytes, never below what is needed plus 1000 bytes, rounded up to whole blocks), so that a
// stream of small messages grows it a logarithmic number of times. Each growth is counted
// with the bytes it copied. 0, or -1 after a log line when it cannot grow (the ring keeps its
// memory and data).
int ReserveNetWorkRing(uint32_t extra, uint32_t ceiling, NetWorkRing* ring);
// Appends n bytes, growing the ring (as ReserveNetWorkRing without a ceiling) when they do
// not fit. 0, or -1 when it cannot grow (nothing appended).
int AddNetWorkRing(const void* data, uint32_t n, NetWorkRing* ring);
// Copies the first n bytes out; with take 1 they are also removed. 0, or -1 (nothing copied)
// when fewer than n are held.
int ReadNetWorkRing(void* out, uint32_t n, int take, NetWorkRing* ring);
// Removes the first n bytes (n no more than the ring holds).
void DropNetWorkRing(uint32_t n, NetWorkRing* ring);
// The free bytes that follow the held ones in the same block, for writing in place: their
// count (0 when the ring is full or has no memory) and where they start.
uint32_t NetWorkRingWritable(const NetWorkRing& ring, unsigned char** at);
// Notes that n bytes were written in place after the held ones (n no more than
// NetWorkRingWritable gave).
void CommitNetWorkRing(uint32_t n, NetWorkRing* ring);
// The held bytes from the start on in the same block, for reading in place: their count (0
// when the ring is empty) and where they start.
uint32_t NetWorkRingReadable(const NetWorkRing& ring, const unsigned char** at);
// Frees the blocks and empties the ring.
void FreeNetWorkRing(NetWorkRing* ring);
