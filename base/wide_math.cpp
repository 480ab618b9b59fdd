#include "base/wide_math.h"

namespace {

bool Less(const U128& a, const U128& b) {
    return a.high < b.high || (a.high == b.high && a.low < b.low);
}

U128 Subtract(const U128& a, const U128& b) {
    U128 r;
    r.low = a.low - b.low;
    r.high = a.high - b.high - (a.low < b.low ? 1 : 0);
    return r;
}

U128 ShiftLeft1(const U128& a) {
    return U128{a.low << 1, (a.high << 1) | (a.low >> 63)};
}

U128 ShiftRight1(const U128& a) {
    return U128{(a.low >> 1) | (a.high << 63), a.high >> 1};
}

}  // namespace

int MulU64ToU128(uint64_t a, uint64_t b, U128* product) {
    // Four 32 x 32 partial products; each fits in 64 bits, and so do the sums below.
    const uint64_t aLow = a & 0xFFFFFFFFu, aHigh = a >> 32;
    const uint64_t bLow = b & 0xFFFFFFFFu, bHigh = b >> 32;
    const uint64_t ll = aLow * bLow;
    const uint64_t lh = aLow * bHigh;
    const uint64_t hl = aHigh * bLow;
    const uint64_t hh = aHigh * bHigh;

    // Middle column: the high half of ll plus the low halves of the cross products.
    const uint64_t middle = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
    product->low = (middle << 32) | (ll & 0xFFFFFFFFu);
    product->high = hh + (lh >> 32) + (hl >> 32) + (middle >> 32);
    return 0;
}

int DivU128ByU64(const U128& dividend, uint64_t divisor, uint64_t* quotient) {
    if (divisor == 0) {
        *quotient = 0;
        return -1;
    }
    // Double the divisor until it exceeds what is left of the dividend (or cannot grow any
    // further), then walk it back down, subtracting wherever it fits.
    U128 remainder = dividend;
    U128 step{divisor, 0};
    int shift = 0;
    while ((step.high >> 63) == 0 && !Less(remainder, step)) {
        step = ShiftLeft1(step);
        ++shift;
    }
    U128 result;
    for (;;) {
        if (!Less(remainder, step)) {
            remainder = Subtract(remainder, step);
            if (shift >= 64) {
                result.high |= uint64_t{1} << (shift - 64);
            } else {
                result.low |= uint64_t{1} << shift;
            }
        }
        if (shift == 0) break;
        step = ShiftRight1(step);
        --shift;
    }
    *quotient = result.low;
    return 0;
}
