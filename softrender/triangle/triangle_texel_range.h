// Which pixels of a span map inside the source. Along a span a texture coordinate steps by a
// constant, t_i = t0 + i * dt, and is held as a wrapping 32-bit value; the pixel is drawn while
// that value, taken as unsigned, lies below the bound (the source's size << 18). Inside one
// period of 2^32 the wrapped value grows or falls with i, so the pixels that pass form one run:
// the span loops work that run out once per line and draw it without a test per pixel.
#pragma once
#include <cstdint>

struct TexelRun {
    int32_t first = 0;  // first pixel inside
    int32_t end = 0;    // one past the last pixel inside (first >= end: none)
};

namespace triangle_texel_range_detail {

constexpr int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// The i in [0, n) with low <= t0 + i * dt < high, one run since the values are monotonic.
constexpr TexelRun RunBetween(int64_t t0, int64_t dt, int32_t n, int64_t low, int64_t high) {
    int64_t first, end;
    if (dt == 0) {
        first = 0;
        end = t0 >= low && t0 < high ? n : 0;
    } else if (dt > 0) {
        first = t0 >= low ? 0 : (low - t0 + dt - 1) / dt;
        end = t0 >= high ? 0 : (high - t0 + dt - 1) / dt;
    } else {
        first = t0 < high ? 0 : (t0 - high) / -dt + 1;
        end = t0 < low ? 0 : (t0 - low) / -dt + 1;
    }
    if (end > n) end = n;
    if (first > end) first = end;
    return TexelRun{static_cast<int32_t>(first), static_cast<int32_t>(end)};
}

}  // namespace triangle_texel_range_detail

// The run of i in [0, n) whose coordinate t0 + i * dt (t0 exact in 64 bits) wraps to a value
// below bound (bound < 2^32). While every value of the span lies in [bound - 2^32, 2^32) the
// run is that of 0 <= t < bound (a negative value wraps to 2^32 + t, not below the bound);
// otherwise, while the span stays within one period of 2^32, it is that period's window. False
// when neither holds; the caller then tests pixel by pixel.
constexpr bool FindTexelRun(int64_t t0, int64_t dt, int32_t n, uint32_t bound, TexelRun* run) {
    using namespace triangle_texel_range_detail;
    constexpr int64_t kPeriod = int64_t{1} << 32;
    if (n <= 0) {
        *run = TexelRun{0, 0};
        return true;
    }
    const int64_t last = t0 + (n - 1) * dt;
    const int64_t lowest = t0 < last ? t0 : last;
    const int64_t highest = t0 < last ? last : t0;
    if (lowest >= static_cast<int64_t>(bound) - kPeriod && highest < kPeriod) {
        *run = RunBetween(t0, dt, n, 0, bound);
        return true;
    }
    const int64_t period = FloorDiv(t0, kPeriod);
    if (FloorDiv(last, kPeriod) != period) return false;
    *run = RunBetween(t0, dt, n, period * kPeriod, period * kPeriod + bound);
    return true;
}
