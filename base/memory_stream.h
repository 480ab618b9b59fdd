// Memory streams: a block of bytes read through the same stream functions as a file. The
// stream does not own the block.
#pragma once
#include <cstddef>
#include <cstdint>

struct MemStreamRecord {
    const unsigned char* data;
    size_t size;
    size_t position;
    uint32_t end;  // 1 once a read has found nothing left
};

// A stream over size bytes at data (a MemStreamRecord handle), or 0 when memory runs out.
uintptr_t MemStreamOpen(const void* data, size_t size);
// Frees the record. Returns 0.
int MemStreamClose(uintptr_t handle);
int64_t MemStreamTell(uintptr_t handle);
// Moves to offset from the start (0), the position (1) or the end (2), kept within 0 and the
// size; clears the end flag. Returns 0 (-1 for an unknown origin).
int MemStreamSeek(uintptr_t handle, int64_t offset, int origin);
// Reads count elements of size bytes: all when they fit, else the whole elements that fit,
// else the bytes that are left as one element. Returns the elements read; 0 and the end flag
// set when nothing is left.
size_t MemStreamRead(void* buffer, size_t size, size_t count, uintptr_t handle);
// The end flag (1 at the end, else 0).
int MemStreamEof(uintptr_t handle);
// Always 1: a memory stream has nothing pending.
int MemStreamIdleCheck(uintptr_t handle);
