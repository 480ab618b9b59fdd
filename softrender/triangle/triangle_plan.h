// The per-call decisions of the triangle rasteriser (RasterizeMemImgTriangle) apart from the
// geometry: the refusals, the span group, and within a group the loop for the blend mode and
// variant. All pure functions of their arguments; DescribeTriangleSpanLoop says what each
// textured loop does to a pixel and DescribeFlatSpanLoop what each flat-colour loop does.
#pragma once
#include <cstdint>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/records/memimg.h"
#include "softrender/fill/fill_plan.h"
#include "softrender/rules/pixel_loop.h"
#include "softrender/scaled/scaled_pixel_loops.h"

// The span groups. Each has a dispatch table of an entry per blend mode.
enum class TriangleGroup : int8_t {
    None = -1,   // nothing is drawn
    Flat16,      // no source, 16-bit destination
    Flat32,      // no source, 32-bit destination
    Paletted32,  // 32-bit destination from a paletted source
    Direct32,    // 32-bit destination from a 32-bit source
    Paletted16,  // 16-bit destination from a paletted source
    Direct16,    // 16-bit destination from a 16-bit source (with or without alpha byte)
};
constexpr int kTriangleGroupCount = 6;

// Sources at least this wide or high are refused: their size in 14.18 does not fit 32 bits.
constexpr int32_t kTriangleMaxSourceSize = 16384;

// The group of a call, or None when nothing is drawn:
//   - a source is given and its pixel format differs from the destination's;
//   - the destination is paletted, has an alpha channel, or has no pixels;
//   - the format is neither 0 (16-bit) nor 1 (32-bit);
//   - a source without pixels, or 16384 or more pixels wide or high;
//   - a blend image (read only with a source) without pixels, or narrower or lower than the
//     source.
// The blend mode is the entries' business (a mode that is not a kernel mode has no entry).
TriangleGroup SelectTriangleGroup(const MEMIMG* dst, const MEMIMG* src, const MEMIMG* blend);

// The loop key of a textured triangle's call (the key space of pixel_loop.h, no special
// keys), or -1 when nothing is drawn: a mode that is not a kernel mode, kBlendAlpha or kBlendAdd
// at parameter 0, kBlendSubtract at parameter 0 from a direct source. A paletted source runs its
// kBlendSubtract loops at parameter 0 too, with a zero source term. kBlendAlpha at parameter
// 255 runs kBlendNone's loops.
int SelectTriangleSpanLoop(int pixelFormat, SourceKind source, int32_t blendMode,
                           int32_t blendParam, bool blendImage, uint32_t bright, int32_t transFlag);

// What a textured loop does; .valid is false for keys the rasteriser never uses.
//
// The rules are the scaled blit's (DescribeScaledPixelLoop) with these named differences:
//   - no full-parameter loops: the subtract takes the ProductTable form at every parameter,
//     255 included, and never the packed bytes;
//   - the 16-bit plain copy compares the texel with the whole 32-bit colour key;
//   - kBlendMultiply from a source with alpha under a colour key has no alpha-0 test: alpha 0 takes
//     the rule with alpha and writes black.
constexpr PixelLoop DescribeTriangleSpanLoop(int keyIndex) {
    const LoopKey k = DecodeLoopKey(keyIndex);
    if (k.special != LoopSpecial::None) return {};
    PixelLoop loop = DescribeScaledPixelLoop(keyIndex);
    if (!loop.valid) return loop;
    loop.strict = false;  // no source stepping: every pixel is mapped on its own
    if (loop.accept == Acceptance::KeyLow16) loop.accept = Acceptance::KeyWhole;
    if (k.mode == kBlendMultiply && loop.accept == Acceptance::AlphaSkipZero) {
        loop.accept = Acceptance::AlphaKeepZero;
    }
    return loop;
}

// The flat-colour loop index (FillLoopIndex, the fill's loop indices) of a call, or -1: a
// format other than 0 or 1, a mode that is not a kernel mode, or kBlendAlpha, kBlendAdd or
// kBlendSubtract at parameter 0. kBlendAlpha at parameter 255 is the copy.
int SelectFlatSpanLoop(int pixelFormat, int32_t blendMode, int32_t blendParam);

// The flat-colour loops apply the rectangle fill's pixel rules to the prepared colour.
constexpr PixelLoop DescribeFlatSpanLoop(int index) { return DescribeFillLoop(index); }

// The flat colour after the bright, worked out once per call. Each channel goes through its
// bright byte's ProductTable row (a division by 255, where the fill shifts by 8): 16-bit
// colours by their 5- and 6-bit fields (bits above the low 16 are dropped), 32-bit colours by
// bytes 0..2, byte 3 kept. A white bright changes nothing.
uint32_t PrepareFlatColour(int pixelFormat, uint32_t colour, uint32_t bright);
