// How far a blended colour on the 3D device may lie from the software screen's, in steps of a
// channel, derived from the two roads' arithmetic:
// - the software renderer weighs a blend by factors of 1/256 (shifts) and truncates, with its
//   brights and lone parameters from tables that truncate x / 255; its add and subtract work
//   on a whole pixel word with carry masks;
// - the device weighs by 1/255 and rounds to nearest.
// The road tests that compare blends or brights with the software screen take their bounds
// from here; the README states the same figures.
#pragma once
#include <cstdint>

#include "graphics/graphs/draw_state_record.h"
#include "tests/support/draw_road_table.h"

namespace road_bounds {

// The weights of one channel: a channel difference of up to 255 weighed by n partial factors
// (each below 255: a blend parameter, a source alpha, a bright byte, the source colour of a
// multiply) is 255 × (1 − (255/256)^n) steps lower over 256^n than over 255^n (0.996 for
// one factor, 1.99 for two); the software renderer's truncation loses less than one step
// more and the device's rounding moves half of one: the two lie less than gap + 1.5 apart.
// Without a partial factor both are exact.
constexpr int32_t PartialFactorSteps(int32_t factors) {
    if (factors <= 0) return 0;
    double kept = 1.0;
    for (int32_t i = 0; i < factors; ++i) kept *= 255.0 / 256.0;
    const double apart = 255.0 * (1.0 - kept) + 1.5;
    int32_t steps = 0;
    while (steps + 1 < apart) ++steps;  // the largest whole number of steps below `apart`
    return steps;
}
static_assert(PartialFactorSteps(1) == 2 && PartialFactorSteps(2) == 3);
// The bound is reached: multiply 241 by 241 gives (241 × 241) >> 8 = 226 in software and
// 241 × 241 / 255 = 227.8, rounded 228, on the device.
static_assert((241 * 241 + 127) / 255 - ((241 * 241) >> 8) == PartialFactorSteps(1));

// The carry masks: the software add takes the lowest bits of green and red by OR, not by sum
// (1 + 1 in them gives 1, or 0 at the unscaled add), and the subtract sets them when the
// channel below did not borrow: green or red up to two steps off the exact result by the
// masks alone. Worked through for every parameter, channel value and carry from the channel
// below, the add's loss and the factors' never add up (the larger of the two bounds), while
// the subtract's lowest bit adds one step to the factors' bound.
constexpr int32_t kCarryMaskSteps = 2;
constexpr int32_t AddSteps(int32_t factors) {
    const int32_t steps = PartialFactorSteps(factors);
    return steps > kCarryMaskSteps ? steps : kCarryMaskSteps;
}
constexpr int32_t SubtractSteps(int32_t factors) {
    const int32_t steps = PartialFactorSteps(factors) + 1;
    return steps > kCarryMaskSteps ? steps : kCarryMaskSteps;
}

// The partial factors of a draw in blend mode `mode` at parameter `param`: the parameter in
// modes 1 to 3 unless it is 255 (the software renderer's short cuts draw those unweighted),
// the source colour of a multiply (which ignores the parameter), a bright that is not white
// and a source alpha between 0 and 255.
constexpr int32_t PartialFactors(int32_t mode, int32_t param, bool brightNotWhite,
                                 bool partialAlpha) {
    int32_t factors = (brightNotWhite ? 1 : 0) + (partialAlpha ? 1 : 0);
    if (mode >= kBlendAlpha && mode <= kBlendSubtract && param < 255) ++factors;
    if (mode == kBlendMultiply) ++factors;
    return factors;
}

// 32 bits: the steps by which a draw's colours may differ between the roads.
constexpr int32_t BlendSteps32(int32_t mode, int32_t param, bool brightNotWhite,
                               bool partialAlpha) {
    const int32_t factors = PartialFactors(mode, param, brightNotWhite, partialAlpha);
    if (mode == kBlendAdd) return AddSteps(factors);
    if (mode == kBlendSubtract) return SubtractSteps(factors);
    return PartialFactorSteps(factors);
}

// 16 bits: both roads write 5-6-5 by truncation, the device from 8-bit values it blends,
// the software renderer from the 5-6-5 values it blends. Red and blue, 5 bits on both roads,
// differ by one 5-bit level (255 / 31) at most. Green: the device's 16-bit textures hold 5 bits
// of it where the screen holds 6 (one 6-bit level lost), and each road's truncation one level
// more: three levels of 255 / 63.
constexpr int32_t kSteps16 = 3 * 255 / 63;
static_assert(kSteps16 >= 255 / 31);
// A subtraction: the software renderer's 16-bit subtract computes red on its upper four bits
// under a guard bit (up to two 5-bit levels high) from a source term truncated to whole
// levels by the parameter and by the bright (one level each), and the device writes each of
// its passes' 8-bit results to 5-6-5 by truncation (one level): five levels of 255 / 31.
constexpr int32_t kSubtractSteps16 = (2 + 1 + 1 + 1) * 255 / 31;
static_assert(kSubtractSteps16 == 41);

// The bound on the road: 0 off the device (the software screen and DirectDraw surfaces share
// the renderer).
constexpr int32_t BlendSteps(const DrawRoad& road, int32_t mode, int32_t param,
                             bool brightNotWhite, bool partialAlpha = false) {
    if (!road.direct3D) return 0;
    if (road.depth == 16) return mode == kBlendSubtract ? kSubtractSteps16 : kSteps16;
    return BlendSteps32(mode, param, brightNotWhite, partialAlpha);
}

}  // namespace road_bounds
