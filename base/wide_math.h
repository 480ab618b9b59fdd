// 128-bit unsigned arithmetic for the clock conversions: a full 64 x 64 product and the
// division of such a product back to 64 bits, so that counter x 1000000 / frequency never
// overflows.
#pragma once
#include <cstdint>

struct U128 {
    uint64_t low = 0;
    uint64_t high = 0;
};

// product = a x b, all 128 bits. Returns 0.
int MulU64ToU128(uint64_t a, uint64_t b, U128* product);

// *quotient = low 64 bits of dividend / divisor (long division by shifting and subtracting).
// Returns 0; a zero divisor is refused: *quotient = 0 and -1.
int DivU128ByU64(const U128& dividend, uint64_t divisor, uint64_t* quotient);
