// The span loops of the rotated blit (BlitMemImgRotated): how they are named, which one a call
// runs, and what each does to a pixel.
//
// The loops come in four groups, by the source's pixel format and whether it is paletted; each
// group has an entry per blend mode (kBlendModeCount), and each mode entry up to 16 loops, one per variant:
// blend image or not, bright white or not, source alpha or not (direct sources only), colour
// key or not. The variant index follows that order with "yes" first, so index 0 is blend
// image, white, alpha, key and index 15 none of them.
#pragma once
#include <cstdint>

#include "softrender/rules/pixel_loop.h"
#include "softrender/scaled/scaled_pixel_loops.h"

constexpr int kRotatedVariantCount = 16;
constexpr int kRotatedLoopsPerGroup = kBlendModeCount * kRotatedVariantCount;
constexpr int kRotatedGroupCount = 4;
constexpr int kRotatedLoopKeyCount = kRotatedGroupCount * kRotatedLoopsPerGroup;

struct RotatedLoopKey {
    int format = 0;         // 0: 16-bit 5-6-5, 1: 32-bit (source and destination)
    bool paletted = false;  // one index byte per source pixel
    int mode = kBlendNone;  // EffectiveBlendMode of the call
    bool blend = false;     // a blend image is given
    bool bright = false;    // the bright is not white
    bool alpha = false;     // direct source with alpha channel
    bool key = false;       // TransFlag set

    constexpr bool operator==(const RotatedLoopKey&) const = default;
};

// Group 0: 16-bit paletted, 1: 16-bit direct, 2: 32-bit paletted, 3: 32-bit direct.
constexpr int RotatedGroupOf(int format, bool paletted) { return format * 2 + (paletted ? 0 : 1); }

constexpr int RotatedVariantOf(bool blend, bool bright, bool alpha, bool key) {
    return (blend ? 0 : 8) | (bright ? 4 : 0) | (alpha ? 0 : 2) | (key ? 0 : 1);
}

constexpr int EncodeRotatedLoopKey(const RotatedLoopKey& k) {
    return (RotatedGroupOf(k.format, k.paletted) * kBlendModeCount + k.mode) *
               kRotatedVariantCount +
           RotatedVariantOf(k.blend, k.bright, k.alpha, k.key);
}

constexpr RotatedLoopKey DecodeRotatedLoopKey(int v) {
    RotatedLoopKey k;
    const int variant = v % kRotatedVariantCount;
    v /= kRotatedVariantCount;
    k.mode = v % kBlendModeCount;
    const int group = v / kBlendModeCount;
    k.format = group / 2;
    k.paletted = group % 2 == 0;
    k.blend = (variant & 8) == 0;
    k.bright = (variant & 4) != 0;
    k.alpha = (variant & 2) == 0;
    k.key = (variant & 1) == 0;
    return k;
}

// The loop key for a call, or -1 when nothing is drawn: a format other than 0 and 1, a blend
// mode that is not a kernel mode, kBlendAlpha or kBlendAdd at parameter 0, kBlendSubtract at
// parameter 0 from a direct source (a paletted source runs its loops with a zero term).
// kBlendAlpha at parameter 255 runs kBlendNone's loops. bright is the packed 0x00RRGGBB draw bright; alphaChannel is ignored for a paletted
// source.
int SelectRotatedSpanLoop(int pixelFormat, bool paletted, bool alphaChannel, int32_t blendMode,
                          int32_t blendParam, bool blendImage, uint32_t bright,
                          int32_t transFlag);

// What the loop of a key does; .valid is false for keys no call uses (the alpha variants of the
// paletted groups).
//
// The rotated blit draws with the rules of the scaled blit's loops of the same mode and variant,
// with these named differences:
//   - it fetches and tests the source for every destination pixel (the walker's business);
//   - it has no full-parameter loops: the kBlendSubtract subtract takes its term through the parameter's
//     ProductTable row at every parameter, 255 included, and never uses packed bytes (the row of
//     255 maps every value to itself, so the term is the source colour);
//   - the 16-bit plain copy under a colour key compares the colour with the whole 32-bit key,
//     so a key with bits above bit 15 leaves nothing out;
//   - kBlendMultiply from a source with alpha channel under a colour key draws alpha 255 by the opaque
//     rule and every other alpha, 0 included, by the alpha rule: an alpha-0 pixel turns the
//     destination's channels black instead of being left out.
constexpr PixelLoop DescribeRotatedSpanLoop(int keyIndex) {
    const RotatedLoopKey k = DecodeRotatedLoopKey(keyIndex);
    if (k.paletted && k.alpha) return {};
    LoopKey scaled;
    scaled.format = k.format;
    scaled.source = k.paletted ? SourceKind::Paletted
                    : k.alpha  ? SourceKind::DirectAlpha
                               : SourceKind::Direct;
    scaled.mode = k.mode;
    scaled.blend = k.blend;
    scaled.bright = k.bright;
    scaled.key = k.key;
    scaled.special = LoopSpecial::None;
    PixelLoop loop = DescribeScaledPixelLoop(EncodeLoopKey(scaled));
    loop.strict = false;  // no stepping accumulators here
    if (loop.accept == Acceptance::KeyLow16) loop.accept = Acceptance::KeyWhole;
    if (k.mode == kBlendMultiply && loop.accept == Acceptance::AlphaSkipZero) {
        loop.accept = Acceptance::AlphaKeepZero;
    }
    return loop;
}
