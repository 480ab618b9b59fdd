// The line walk of the rotated blit: every destination pixel of the clipped box is mapped back
// into the source (14.18 fixed point, nearest texel), and the pixels whose source point lies
// inside the source are drawn by the loop's rule. One loop per PixelLoop description is
// instantiated into the blit's dispatch tables (rotated_span_table_*.cpp).
//
// Source point of box pixel (i, j): U = u0 + j * lineU + i * stepU, V likewise; the texel is
// row V >> 18, column U >> 18, drawn only while 0 <= U < uLimit and 0 <= V < vLimit. Rather than
// test every pixel, each line works out in 64-bit integers the one run of pixels whose U and V
// are both inside (U and V are linear along a line, so the inside pixels are consecutive) and
// walks only that run. Inside the run the coordinates lie in [0, limit), so they are stepped
// in 32 bits without wrapping.
#pragma once
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "softrender/rules/pixel_context.h"
#include "softrender/rules/pixel_draw.h"
#include "softrender/rules/pixel_loop.h"

// One call's walk: everything the frame prepares before the first pixel.
struct RotatedSpan {
    uint8_t* dst;                      // destination pixel at the box's top-left
    ptrdiff_t dstPitch;
    int32_t width, height;             // pixels per line, lines
    int64_t u0, v0;                    // source point of the box's top-left pixel, 14.18
    int32_t stepU, stepV;              // per pixel to the right
    int32_t lineU, lineV;              // per line down
    uint32_t uLimit, vLimit;           // source width and height << 18
    const uint8_t* const* sourceRows;  // start of each source row
    const uint8_t* const* blendRows;   // start of each blend-image row (loops with a weight)
    PixelContext context;
};

using RotatedSpanFn = void (*)(const RotatedSpan&);

namespace rotated_span_detail {

// The smallest i in [0, n] with base + i * step >= target (n when there is none), for
// step > 0 and inverse = 1 / step: estimated in double precision, then settled exactly (inside
// [0, n] the estimate is off by one at most).
inline int64_t FirstReaching(int64_t base, int64_t step, double inverse, int64_t target,
                             int32_t n) {
    const double estimate = std::ceil(static_cast<double>(target - base) * inverse);
    int64_t i = estimate <= 0.0 ? 0 : estimate >= n ? n : static_cast<int64_t>(estimate);
    while (i < n && base + i * step < target) ++i;
    while (i > 0 && base + (i - 1) * step >= target) --i;
    return i;
}

}  // namespace rotated_span_detail

// The pixels i of [0, n) whose coordinate base + i * step lies in [0, limit), as [*first, *end);
// the run is empty when *first >= *end. inverse is 1 / |step| (unused when step is 0).
inline void InsideRun(int64_t base, int64_t step, double inverse, int64_t limit, int32_t n,
                      int32_t* first, int32_t* end) {
    using rotated_span_detail::FirstReaching;
    if (step == 0) {
        const bool inside = base >= 0 && base < limit;
        *first = 0;
        *end = inside ? n : 0;
    } else if (step > 0) {
        *first = static_cast<int32_t>(FirstReaching(base, step, inverse, 0, n));
        *end = static_cast<int32_t>(FirstReaching(base, step, inverse, limit, n));
    } else {
        // Walking down: inside from where the coordinate falls below the limit until it falls
        // below 0 (the coordinate negated walks up).
        *first = static_cast<int32_t>(FirstReaching(-base, -step, inverse, 1 - limit, n));
        *end = static_cast<int32_t>(FirstReaching(-base, -step, inverse, 1, n));
    }
}

// The loop of one description: the line walk around DrawPixel, which fetches and tests the
// source pixel for every destination pixel.
template <PixelLoop L>
struct RotatedSpanLoop {
    static void Run(const RotatedSpan& s) {
        using Source = SourcePixel<L.format, L.source>;
        constexpr int kDstBytes = L.format == 1 ? 4 : 2;
        constexpr bool kWeighted = LoopUsesWeight(L);
        const uint32_t stepU = static_cast<uint32_t>(s.stepU);
        const uint32_t stepV = static_cast<uint32_t>(s.stepV);
        const double inverseU = s.stepU != 0 ? 1.0 / std::abs(static_cast<double>(s.stepU)) : 0.0;
        const double inverseV = s.stepV != 0 ? 1.0 / std::abs(static_cast<double>(s.stepV)) : 0.0;
        int64_t lineStartU = s.u0;
        int64_t lineStartV = s.v0;
        uint8_t* dstLine = s.dst;
        for (int32_t j = 0; j < s.height; ++j) {
            int32_t firstU, endU, firstV, endV;
            InsideRun(lineStartU, s.stepU, inverseU, s.uLimit, s.width, &firstU, &endU);
            InsideRun(lineStartV, s.stepV, inverseV, s.vLimit, s.width, &firstV, &endV);
            const int32_t first = firstU > firstV ? firstU : firstV;
            const int32_t end = endU < endV ? endU : endV;
            if (first < end) {
                uint32_t u = static_cast<uint32_t>(lineStartU + int64_t{first} * s.stepU);
                uint32_t v = static_cast<uint32_t>(lineStartV + int64_t{first} * s.stepV);
                uint8_t* d = dstLine + static_cast<ptrdiff_t>(first) * kDstBytes;
                for (int32_t i = first; i < end; ++i) {
                    const uint32_t row = v >> 18;
                    const uint32_t column = u >> 18;
                    const uint8_t* src = s.sourceRows[row] + column * Source::kBytes;
                    uint8_t blendByte = 0;
                    if constexpr (kWeighted) blendByte = s.blendRows[row][column];
                    DrawPixel<L>(d, src, blendByte, s.context);
                    u += stepU;
                    v += stepV;
                    d += kDstBytes;
                }
            }
            lineStartU += s.lineU;
            lineStartV += s.lineV;
            dstLine += s.dstPitch;
        }
    }
};
