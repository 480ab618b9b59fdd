// The library's own byte-block routines: copy, overlapping move, fill and comparison.
#pragma once
#include <cstddef>
#include <cstdint>

// Copies n bytes forward (the blocks must not overlap; use MemMove when they may).
void MemCopy(void* dst, const void* src, size_t n);
// Copies n bytes as if through a temporary copy: backward when src lies below dst.
void MemMove(void* dst, const void* src, size_t n);
// Sets n bytes to the low byte of value.
void MemFill(void* dst, int value, size_t n);
// 0 when the n bytes are equal (n = 0 gives 0), 1 otherwise.
int MemCompare(const void* a, const void* b, size_t n);
// As MemCompare; a negative n gives 1.
int MemDiffers(const void* a, const void* b, int64_t n);
