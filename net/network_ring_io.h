// Byte moves into and out of a RingBuffer, wrapping past its end.
#pragma once
#include <cstdint>

#include "base/ring_buffer.h"

// Makes room for extra more bytes in a connection's ring. A ring that must grow at least
// doubles (up to `ceiling` bytes, never below what is needed), so that a stream of small
// messages moves each byte a bounded number of times instead of copying the whole ring for
// every message. 0, or -1 when it cannot grow (the ring keeps its data).
int ReserveNetWorkRing(uint32_t extra, uint32_t ceiling, RingBuffer* ring);
// Appends n bytes, growing the ring (as ReserveNetWorkRing without a ceiling) when they do
// not fit. 0, or -1 when it cannot grow.
int AddRingBuffer(const void* data, uint32_t n, RingBuffer* ring);
// Copies the first n bytes out; with take 1 they are also removed. 0, or -1 (nothing copied)
// when fewer than n are stored.
int ReadRingBuffer(void* out, uint32_t n, int take, RingBuffer* ring);
// Removes the first n bytes (n no more than the ring holds).
void DropRingBuffer(uint32_t n, RingBuffer* ring);
// Notes that n bytes were written at the end (after writing into the free part in place).
void CommitRingBuffer(uint32_t n, RingBuffer* ring);
