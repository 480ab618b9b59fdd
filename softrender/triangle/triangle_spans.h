// The span loops of the triangle rasteriser and their dispatch: every loop runs the line walk
// (triangle_walk.h) around a pixel loop of its own, drawing each visited pixel by the pixel
// rules of its PixelLoop description (pixel_draw.h). Each span group has a dispatch table of
// an entry per blend mode; an entry tests the parameter and picks the loop of the
// call's variant (triangle_plan.h). The groups' tables live in triangle_spans_*.cpp.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

#include "softrender/records/rect.h"
#include "softrender/rules/pixel_context.h"
#include "softrender/rules/pixel_draw.h"
#include "softrender/rules/pixel_loop.h"
#include "softrender/rules/simd_rows_32.h"
#include "softrender/rules/simd_rows_565.h"
#include "softrender/triangle/triangle_plan.h"
#include "softrender/triangle/triangle_setup.h"
#include "softrender/triangle/triangle_texel_range.h"
#include "softrender/triangle/triangle_walk.h"

// Everything a span loop reads, prepared once per call by the rasteriser's frame.
struct TriangleRun {
    TriangleSetup setup;
    RECT bound;  // the draw area limited to the destination
    uint8_t* dstPixels;
    ptrdiff_t dstPitch;
    const uint8_t* srcPixels;  // null for a flat triangle
    ptrdiff_t srcPitch;
    const uint8_t* blendPixels;  // null without a blend image
    ptrdiff_t blendPitch;
    uint32_t widthBound;   // source width << 18
    uint32_t heightBound;  // source height << 18
    uint32_t colour;       // flat triangles: the colour after the bright
    // What the entries choose the loop by.
    int32_t blendParam;
    uint32_t bright;
    int32_t transFlag;
    bool sourceAlpha;
    PixelContext context;
};

using TriangleEntry = void (*)(const TriangleRun&);
using TriangleEntryTable = std::array<TriangleEntry, kBlendModeCount>;

// The entries of a group (indexed by blend mode).
const TriangleEntryTable& GetTriangleEntries(TriangleGroup group);

// --- The loops ---------------------------------------------------------------------------------

namespace triangle_spans_detail {

// Pixels gathered at a time for the four- and eight-pixel steps.
constexpr int32_t kGatherPixels = 256;

// Draws n pixels of a span that all map inside the source: dst the first destination pixel,
// u and v its texture coordinates, stepping by du and dv.
//
// Loops with a four- or eight-pixel step (simd_rows_*.h) run it over the texels: read in place
// when the span walks one source row texel by texel (dv = 0, du = one texel), else gathered
// first into a buffer in source order. Every other loop draws pixel by pixel.
template <PixelLoop L>
inline void DrawTexelRun(const TriangleRun& r, uint8_t* dst, uint32_t u, uint32_t v, uint32_t du,
                         uint32_t dv, int32_t n) {
    using Source = SourcePixel<L.format, L.source>;
    constexpr int kDstBytes = L.format == 1 ? 4 : 2;
    constexpr bool kWeighted = LoopUsesWeight(L);
    constexpr bool kSimd = kSimdRow32<L> || kSimdRow565<L>;
    auto texel = [&](uint32_t tu, uint32_t tv) {
        return r.srcPixels + static_cast<ptrdiff_t>(tv >> 18) * r.srcPitch +
               static_cast<ptrdiff_t>(tu >> 18) * Source::kBytes;
    };
    auto blendByte = [&](uint32_t tu, uint32_t tv) -> uint8_t {
        if constexpr (kWeighted) {
            return r.blendPixels[static_cast<ptrdiff_t>(tv >> 18) * r.blendPitch +
                                 static_cast<ptrdiff_t>(tu >> 18)];
        } else {
            return 0;
        }
    };
    auto simdRow = [&](uint8_t* d, const uint8_t* s, const uint8_t* b, int32_t m) -> int32_t {
        if constexpr (kSimdRow32<L>) {
            return SimdRow32<L>(d, s, b, m, r.context);
        } else if constexpr (kSimdRow565<L>) {
            return SimdRow565<L>(d, s, b, m, r.context);
        } else {
            return 0;
        }
    };
    if constexpr (!kSimd) {
        for (int32_t i = 0; i < n; ++i) {
            DrawPixel<L>(dst, texel(u, v), blendByte(u, v), r.context);
            u += du;
            v += dv;
            dst += kDstBytes;
        }
    } else if (dv == 0 && du == static_cast<uint32_t>(kFixedOne)) {
        // One source row, one texel a pixel: the texels lie side by side.
        const uint8_t* s = texel(u, v);
        const uint8_t* b = kWeighted
                               ? &r.blendPixels[static_cast<ptrdiff_t>(v >> 18) * r.blendPitch +
                                                static_cast<ptrdiff_t>(u >> 18)]
                               : nullptr;
        int32_t i = simdRow(dst, s, b, n);
        for (; i < n; ++i) {
            DrawPixel<L>(dst + i * kDstBytes, s + i * Source::kBytes, kWeighted ? b[i] : uint8_t{0},
                         r.context);
        }
    } else {
        alignas(16) uint8_t texels[kGatherPixels * Source::kBytes];
        alignas(16) uint8_t blends[kWeighted ? kGatherPixels : 1];
        while (n > 0) {
            const int32_t m = n < kGatherPixels ? n : kGatherPixels;
            if (dv == 0) {
                // One source row: only the column moves.
                const uint8_t* row = texel(0, v);
                const uint8_t* blendRow =
                    kWeighted ? &r.blendPixels[static_cast<ptrdiff_t>(v >> 18) * r.blendPitch]
                              : nullptr;
                for (int32_t i = 0; i < m; ++i) {
                    const ptrdiff_t column = static_cast<ptrdiff_t>(u >> 18);
                    std::memcpy(texels + i * Source::kBytes, row + column * Source::kBytes,
                                Source::kBytes);
                    if constexpr (kWeighted) blends[i] = blendRow[column];
                    u += du;
                }
            } else {
                for (int32_t i = 0; i < m; ++i) {
                    std::memcpy(texels + i * Source::kBytes, texel(u, v), Source::kBytes);
                    if constexpr (kWeighted) blends[i] = blendByte(u, v);
                    u += du;
                    v += dv;
                }
            }
            int32_t i = simdRow(dst, texels, blends, m);
            for (; i < m; ++i) {
                DrawPixel<L>(dst + i * kDstBytes, texels + i * Source::kBytes,
                             kWeighted ? blends[i] : uint8_t{0}, r.context);
            }
            dst += m * kDstBytes;
            n -= m;
        }
    }
}

}  // namespace triangle_spans_detail

// A textured loop: per visited pixel the range test (u < width << 18 and v < height << 18 as
// unsigned 32-bit values, so negative coordinates fail too), the texel at column u >> 18 and
// row v >> 18 and the blend byte at the same column and row, the loop's gate and rule; then u
// and v step by their gradients per column, whether the pixel was drawn or not.
//
// Since u and v are linear along a span, the pixels that pass the range test form one run
// (FindTexelRun): it is worked out once per line and drawn without the test. A span whose
// coordinates wrap across the 32-bit range is tested pixel by pixel.
template <PixelLoop L>
struct TexturedTriangleLoop {
    static void Run(const TriangleRun& r) {
        using Source = SourcePixel<L.format, L.source>;
        constexpr int kDstBytes = L.format == 1 ? 4 : 2;
        constexpr bool kWeighted = LoopUsesWeight(L);
        const TriangleSetup& t = r.setup;
        const uint32_t du = static_cast<uint32_t>(t.stepUx);
        const uint32_t dv = static_cast<uint32_t>(t.stepVx);
        WalkTriangleLines(t, r.bound, [&](int32_t y, int32_t x, int32_t count) {
            uint8_t* d = r.dstPixels + static_cast<ptrdiff_t>(y) * r.dstPitch +
                         static_cast<ptrdiff_t>(x) * kDstBytes;
            // The line's first texel from the anchor, exact; the loops step it as a wrapping
            // 32-bit value.
            const int64_t u0 = static_cast<int64_t>(t.anchorU) +
                               (static_cast<int64_t>(y) - t.anchorY) * t.stepUy +
                               (static_cast<int64_t>(x) - t.anchorX) * t.stepUx;
            const int64_t v0 = static_cast<int64_t>(t.anchorV) +
                               (static_cast<int64_t>(y) - t.anchorY) * t.stepVy +
                               (static_cast<int64_t>(x) - t.anchorX) * t.stepVx;
            TexelRun ru, rv;
            if (FindTexelRun(u0, t.stepUx, count, r.widthBound, &ru) &&
                FindTexelRun(v0, t.stepVx, count, r.heightBound, &rv)) {
                const int32_t first = ru.first > rv.first ? ru.first : rv.first;
                const int32_t end = ru.end < rv.end ? ru.end : rv.end;
                if (first >= end) return;
                triangle_spans_detail::DrawTexelRun<L>(
                    r, d + static_cast<ptrdiff_t>(first) * kDstBytes,
                    static_cast<uint32_t>(u0) + static_cast<uint32_t>(first) * du,
                    static_cast<uint32_t>(v0) + static_cast<uint32_t>(first) * dv, du, dv,
                    end - first);
                return;
            }
            uint32_t u = static_cast<uint32_t>(u0);
            uint32_t v = static_cast<uint32_t>(v0);
            for (int32_t i = 0; i < count; ++i) {
                if (u < r.widthBound && v < r.heightBound) {
                    const ptrdiff_t column = static_cast<ptrdiff_t>(u >> 18);
                    const ptrdiff_t row = static_cast<ptrdiff_t>(v >> 18);
                    const uint8_t* s = r.srcPixels + row * r.srcPitch + column * Source::kBytes;
                    uint8_t blendByte = 0;
                    if constexpr (kWeighted) blendByte = r.blendPixels[row * r.blendPitch + column];
                    DrawPixel<L>(d, s, blendByte, r.context);
                }
                u += du;
                v += dv;
                d += kDstBytes;
            }
        });
    }
};

// A flat-colour loop: every visited pixel by the loop's rule with the prepared colour.
template <PixelLoop L>
struct FlatTriangleLoop {
    static void Run(const TriangleRun& r) {
        using namespace pixel_draw_detail;
        constexpr int kDstBytes = L.format == 1 ? 4 : 2;
        WalkTriangleLines(r.setup, r.bound, [&](int32_t y, int32_t x, int32_t count) {
            uint8_t* d = r.dstPixels + static_cast<ptrdiff_t>(y) * r.dstPitch +
                         static_cast<ptrdiff_t>(x) * kDstBytes;
            for (int32_t i = 0; i < count; ++i) {
                StoreDest<L.format>(
                    d, Apply<L.format, L.rule>(LoadDest<L.format>(d), r.colour, 0, 0, r.context));
                d += kDstBytes;
            }
        });
    }
};

// --- The entries -------------------------------------------------------------------------------

// The loop tables the entries choose from: every textured key of DescribeTriangleSpanLoop
// (null where a key names no loop), by pixel format and paletted or direct source, each in a
// source file of its own, and the flat-colour loops (the fill's).
constexpr int kTriangleKeysPerSource = kLoopKeysPerFormat / 3;
using TrianglePalettedLoops = std::array<TriangleEntry, kTriangleKeysPerSource>;
using TriangleDirectLoops = std::array<TriangleEntry, 2 * kTriangleKeysPerSource>;
extern const TrianglePalettedLoops kTriangleLoopsPaletted565;
extern const TriangleDirectLoops kTriangleLoopsDirect565;
extern const TrianglePalettedLoops kTriangleLoopsPaletted32;
extern const TriangleDirectLoops kTriangleLoopsDirect32;
extern const std::array<TriangleEntry, kFillLoopCount> kFlatTriangleLoops;

// Keys are format-major and then by source kind (paletted, direct, direct with alpha).
inline TriangleEntry FindTriangleSpanLoop(int key) {
    if (key < 0 || key >= kLoopKeyCount) return nullptr;
    const bool format32 = key >= kLoopKeysPerFormat;
    const int k = key % kLoopKeysPerFormat;
    if (k < kTriangleKeysPerSource) {
        return format32 ? kTriangleLoopsPaletted32[k] : kTriangleLoopsPaletted565[k];
    }
    const int d = k - kTriangleKeysPerSource;
    return format32 ? kTriangleLoopsDirect32[d] : kTriangleLoopsDirect565[d];
}

// The entry of blend mode Mode in a textured group: the parameter test (SelectTriangleSpanLoop),
// then the loop of the variant: blend image, bright, source alpha, colour key.
template <int Format, bool Paletted, int Mode>
void TexturedTriangleEntry(const TriangleRun& r) {
    const SourceKind source = Paletted        ? SourceKind::Paletted
                              : r.sourceAlpha ? SourceKind::DirectAlpha
                                              : SourceKind::Direct;
    const int key = SelectTriangleSpanLoop(Format, source, Mode, r.blendParam,
                                           r.blendPixels != nullptr, r.bright, r.transFlag);
    if (const TriangleEntry loop = FindTriangleSpanLoop(key)) loop(r);
}

template <int Format, bool Paletted, size_t... Mode>
constexpr TriangleEntryTable MakeTexturedEntries(std::index_sequence<Mode...>) {
    return {&TexturedTriangleEntry<Format, Paletted, static_cast<int>(Mode)>...};
}

template <int Format, bool Paletted>
constexpr TriangleEntryTable MakeTexturedEntries() {
    return MakeTexturedEntries<Format, Paletted>(std::make_index_sequence<kBlendModeCount>());
}

// The entry of blend mode Mode in a flat-colour group.
template <int Format, int Mode>
void FlatTriangleEntry(const TriangleRun& r) {
    const int index = SelectFlatSpanLoop(Format, Mode, r.blendParam);
    if (index >= 0) kFlatTriangleLoops[index](r);
}

template <int Format, size_t... Mode>
constexpr TriangleEntryTable MakeFlatEntries(std::index_sequence<Mode...>) {
    return {&FlatTriangleEntry<Format, static_cast<int>(Mode)>...};
}

template <int Format>
constexpr TriangleEntryTable MakeFlatEntries() {
    return MakeFlatEntries<Format>(std::make_index_sequence<kBlendModeCount>());
}
