// The AVX2 row steps of the unscaled blit's 32-bit loops. Everything between the target switches
// is compiled for AVX2 and is only ever called once WideStepsActive() has found the processor
// to have it. The shared step templates are taken in with internal linkage, so that no
// AVX2-compiled copy of them can stand in for the SSE2 one elsewhere in the program.
#include <cstddef>
#include <cstdint>
#include <utility>

#include "softrender/rules/blend_tables.h"
#include "softrender/rules/pixel_context.h"
#include "softrender/rules/pixel_loop.h"
#include "softrender/rules/simd_width.h"
#include "softrender/unscaled/blit_plan.h"
#include "softrender/unscaled/blit_unscaled_wide.h"

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#define ZN_WIDE_ROWS 1
#else
#define ZN_WIDE_ROWS 0
#endif

#if ZN_WIDE_ROWS

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
#include <immintrin.h>

namespace {
#include "softrender/rules/simd_lanes_256.h"
#include "softrender/rules/simd_steps_32.h"

template <PixelLoop L>
int32_t WideRow(uint8_t* dst, const uint8_t* src, const uint8_t* blend, int32_t n,
                const PixelContext& c) {
    return simd_steps_32::Row<SimdLanes256, L>(dst, src, blend, n, c);
}

template <int Key>
constexpr WideRow32Fn WideEntry() {
    constexpr PixelLoop loop = DescribeUnscaledBlitLoop(Key);
    if constexpr (loop.valid && simd_steps_32::kLoopSupported<loop>) {
        return &WideRow<loop>;
    } else {
        return nullptr;
    }
}

struct WideTable {
    WideRow32Fn rows[kLoopKeysPerFormat];
};

template <size_t... I>
constexpr WideTable MakeWideTable(std::index_sequence<I...>) {
    return {{WideEntry<kLoopKeysPerFormat + static_cast<int>(I)>()...}};
}

// The 32-bit keys kLoopKeysPerFormat .. kLoopKeyCount - 1.
constinit const WideTable kWideRows32 =
    MakeWideTable(std::make_index_sequence<kLoopKeysPerFormat>());

}  // namespace

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif

WideRow32Fn FindWideUnscaledRow32(int key) {
#if ZN_WIDE_ROWS
    if (!WideStepsActive() || key < kLoopKeysPerFormat || key >= kLoopKeyCount) return nullptr;
    return kWideRows32.rows[key - kLoopKeysPerFormat];
#else
    (void)key;
    return nullptr;
#endif
}
