// A growable byte ring over tracked memory.
#pragma once
#include <cstdint>

struct RingBuffer {
    unsigned char* data = nullptr;
    uint32_t start = 0;     // read position
    uint32_t end = 0;       // write position
    uint32_t length = 0;    // bytes held
    uint32_t capacity = 0;
};

// Makes room for extra more bytes: when the ring is too small it moves to a new buffer of the
// needed size plus 1000 bytes, its data in order at the start. 0, or -1 (log line) when it
// cannot grow; the ring then keeps its old buffer and data.
int RingBufferReserve(uint32_t extra, RingBuffer* ring);
// Frees the data and zeroes every field. Returns 0.
int RingBufferFree(RingBuffer* ring);
// A start or end position equal to the capacity becomes 0.
void RingBufferWrapPositions(RingBuffer* ring);
