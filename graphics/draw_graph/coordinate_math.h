// The coordinate arithmetic of the graph draws: rounding to the nearest integer and sums kept
// inside the 32-bit range, so that no caller's coordinate can overflow a computation.
#pragma once
#include <cstdint>

// v rounded to the nearest integer, halves to the even one (the default rounding of the
// floating-point unit), whatever the current rounding mode. Values beyond the 32-bit range
// saturate; NaN gives 0.
int32_t RoundToNearestInt(double v);

// v saturated to the 32-bit range.
int32_t ClampToInt32(int64_t v);

// start + length, saturated to the 32-bit range.
inline int32_t AddSaturated(int32_t start, int32_t length) {
    return ClampToInt32(int64_t{start} + length);
}
