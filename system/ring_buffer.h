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

int RingBufferReserve(uint32_t extra, RingBuffer* ring);
int RingBufferFree(RingBuffer* ring);
void RingBufferWrapPositions(RingBuffer* ring);
