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
#include <cstddef>
#include <cstdint>

#include "softrender/rules/pixel_context.h"
#include "softrender/rules/pixel_draw.h"
#include "softrender/rules/pixel_loop.h"
#include "softrender/rotated/rotated_span_wide.h"

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
    // The AVX2 runs of the copies for this source (whose rows lie sourcePitch bytes apart), or
    // null.
    const WideRotatedCopies* wideCopies;
    int32_t sourcePitch;
};

using RotatedSpanFn = void (*)(const RotatedSpan&);

namespace rotated_span_detail {

// The smallest i in [0, n] with base + i * step >= target (n when there is none), for
// 0 < step <= 2^31: ceil((target - base) / step) in integers, in 32 bits when the distance
// fits them (the common case of a source inside the screen).
inline int32_t FirstReaching(int64_t base, int64_t step, int64_t target, int32_t n) {
    if (base >= target) return 0;
    const uint64_t distance = static_cast<uint64_t>(target - base);
    const uint64_t stride = static_cast<uint64_t>(step);
    if (distance > static_cast<uint64_t>(n) * stride) return n;
    uint64_t whole, rest;
    if (distance <= UINT32_MAX) {
        whole = static_cast<uint32_t>(distance) / static_cast<uint32_t>(stride);
        rest = static_cast<uint32_t>(distance) % static_cast<uint32_t>(stride);
    } else {
        whole = distance / stride;
        rest = distance % stride;
    }
    return static_cast<int32_t>(whole + (rest != 0 ? 1 : 0));
}

}  // namespace rotated_span_detail

// The pixels i of [0, n) whose coordinate base + i * step lies in [0, limit), as [*first, *end);
// the run is empty when *first >= *end.
inline void InsideRun(int64_t base, int64_t step, int64_t limit, int32_t n, int32_t* first,
                      int32_t* end) {
    using rotated_span_detail::FirstReaching;
    if (step == 0) {
        const bool inside = base >= 0 && base < limit;
        *first = 0;
        *end = inside ? n : 0;
    } else if (step > 0) {
        *first = FirstReaching(base, step, 0, n);
        *end = FirstReaching(base, step, limit, n);
    } else {
        // Walking down: inside from where the coordinate falls below the limit until it falls
        // below 0 (the coordinate negated walks up).
        *first = FirstReaching(-base, -step, 1 - limit, n);
        *end = FirstReaching(-base, -step, 1, n);
    }
}

// One pixel of a loop that leaves out colour-key pixels, without a branch on the key: the rule
// is applied to every pixel and the destination's own value is stored back where the source is
// the key. Rotated sprites turn their key edges across every line, where a branch on the key
// would be mispredicted at each edge; the walker takes this for the copies, whose rule costs
// less than such a misprediction.
template <PixelLoop L>
inline void DrawPixelKeySelect(uint8_t* dst, const uint8_t* src, uint8_t blendByte,
                               const PixelContext& c) {
    using namespace pixel_draw_detail;
    using Source = SourcePixel<L.format, L.source>;
    static_assert(L.accept == Acceptance::KeyWhole, "colour-key loops only");
    const uint32_t d = LoadDest<L.format>(dst);
    const uint32_t s = Source::Colour(src, c.palette32, c.palette16);
    const uint32_t w = LoopUsesWeight(L) ? BlendWeightMap[blendByte] : 0u;
    const uint32_t r = Apply<L.format, L.rule>(d, s, 0, w, c);
    const uint32_t keep = 0u - static_cast<uint32_t>(Source::KeyValue(src) == c.colorKey);
    StoreDest<L.format>(dst, (d & keep) | (r & ~keep));
}

// The loop of one description: the line walk around DrawPixel (DrawPixelKeySelect for keyed
// copies), which fetches and tests the source pixel for every destination pixel; the copies of
// direct pixels hand each run to the AVX2 runs first where the call has them.
template <PixelLoop L>
struct RotatedSpanLoop {
    static void Run(const RotatedSpan& s) {
        using Source = SourcePixel<L.format, L.source>;
        constexpr int kDstBytes = L.format == 1 ? 4 : 2;
        constexpr bool kWeighted = LoopUsesWeight(L);
        const uint32_t stepU = static_cast<uint32_t>(s.stepU);
        const uint32_t stepV = static_cast<uint32_t>(s.stepV);
        // The copies of direct pixels run eight pixels at a time where the call has the AVX2
        // runs.
        constexpr bool kKeyed = L.accept == Acceptance::KeyWhole;
        constexpr bool kWideCopy = L.source == SourceKind::Direct &&
                                   L.rule.op == PixelOp::CopyWhole &&
                                   (L.accept == Acceptance::All || kKeyed);
        WideRotatedRun wide{};
        if constexpr (kWideCopy) {
            if (s.wideCopies != nullptr) {
                wide = {s.sourceRows[0], s.sourcePitch, stepU, stepV, s.context.colorKey,
                        Source::Colour(s.sourceRows[0], nullptr, nullptr)};
            }
        }
        int64_t lineStartU = s.u0;
        int64_t lineStartV = s.v0;
        uint8_t* dstLine = s.dst;
        for (int32_t j = 0; j < s.height; ++j) {
            int32_t firstU, endU, firstV, endV;
            InsideRun(lineStartU, s.stepU, s.uLimit, s.width, &firstU, &endU);
            InsideRun(lineStartV, s.stepV, s.vLimit, s.width, &firstV, &endV);
            const int32_t first = firstU > firstV ? firstU : firstV;
            const int32_t end = endU < endV ? endU : endV;
            if (first < end) {
                uint32_t u = static_cast<uint32_t>(lineStartU + int64_t{first} * s.stepU);
                uint32_t v = static_cast<uint32_t>(lineStartV + int64_t{first} * s.stepV);
                uint8_t* d = dstLine + static_cast<ptrdiff_t>(first) * kDstBytes;
                int32_t i = first;
                if constexpr (kWideCopy) {
                    if (s.wideCopies != nullptr) {
                        const int32_t done =
                            (kKeyed ? s.wideCopies->copyKeyed : s.wideCopies->copy)(
                                d, u, v, end - first, wide);
                        i += done;
                        u += stepU * static_cast<uint32_t>(done);
                        v += stepV * static_cast<uint32_t>(done);
                        d += static_cast<ptrdiff_t>(done) * kDstBytes;
                    }
                }
                for (; i < end; ++i) {
                    const uint32_t row = v >> 18;
                    const uint32_t column = u >> 18;
                    const uint8_t* src = s.sourceRows[row] + column * Source::kBytes;
                    uint8_t blendByte = 0;
                    if constexpr (kWeighted) blendByte = s.blendRows[row][column];
                    if constexpr (L.accept == Acceptance::KeyWhole &&
                                  (L.rule.op == PixelOp::CopyWhole ||
                                   L.rule.op == PixelOp::CopyBright)) {
                        DrawPixelKeySelect<L>(d, src, blendByte, s.context);
                    } else {
                        DrawPixel<L>(d, src, blendByte, s.context);
                    }
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
