// The factors of a pixel rule other than the blend parameter (the blend weight w and the source
// alpha a), shared by the 16-bit and 32-bit pixel rules.
#pragma once
#include <cstdint>

#include "softrender/rules/pixel_loop.h"

namespace pixel_rule_factors {

// The product of the factors other than the parameter that the rule names (1 when none).
template <PixelRule R>
inline uint32_t OtherFactors(uint32_t a, uint32_t w) {
    uint32_t f = 1;
    if constexpr (R.weight) f *= w;
    if constexpr (R.alpha) f *= a;
    return f;
}

// How many of those factors there are.
template <PixelRule R>
constexpr int OtherFactorCount() {
    return (R.weight ? 1 : 0) + (R.alpha ? 1 : 0);
}

}  // namespace pixel_rule_factors
