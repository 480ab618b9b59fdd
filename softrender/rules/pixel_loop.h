// The vocabulary in which the software kernels name their pixel loops.
//
// A kernel makes every decision that is constant for a call (blend mode and its parameter
// exits, blend image, bright, source alpha, colour key, full parameter, packed-byte use) once,
// and names the result as a loop key: a small integer that indexes the kernel's dispatch
// table. Each kernel has a constexpr describer that turns a key into a PixelLoop: how a source
// pixel is read, which source pixels are left out, and the pixel rule (PixelRule) that
// combines a drawn source pixel with its destination pixel. The loops themselves are template
// instantiations over that description (pixel_draw.h, the kernels' walkers), so the rules are
// written once and every combination gets a loop with no per-pixel test of the mode.
#pragma once
#include <cstdint>

#include "softrender/records/blend_mode.h"

// How one source colour is combined with one destination pixel. Notation of the comments:
// b_c the source channel after the bright, d_c the destination channel, ΠF the product of the
// factors that apply (blend weight W, source alpha a, parameter p) and n their number.
enum class PixelOp : uint8_t {
    None,              // no loop
    CopyWhole,         // the whole source colour (32-bit: the fourth byte too)
    CopyBright,        // r_c = b_c; a 32-bit destination keeps its fourth byte
    Interpolate,       // r_c = d_c + floor((b_c - d_c) * ΠF / 256^n)
    BlendTable565,     // 16-bit, p the only factor: Blend565Table[p >> 2][s][d]
    DifferenceStep,    // r_c = d_c + trunc((b_c - d_c) * p / 255) through SignedProductTable
    HalfAverage,       // r_c = floor(s_c / 2) + floor(d_c / 2); 32-bit fourth byte 0
    Add,               // carry-masked add of the source term (ProductTable[p] and factors)
    AddUnscaled,       // unscaled source: 32-bit carry-masked add without the low-bit term,
                       // 16-bit two pixels per word with the guard bit (see the walkers)
    AddSaturate,       // exact per-byte saturating add of all four bytes (packed bytes)
    Subtract,          // carry-masked subtract of the source term
    SubtractUnscaled,  // unscaled source: 32-bit word masked with 0x00FEFEFF, 16-bit pairs
    SubtractSaturate,  // exact per-byte saturating subtract of all four bytes
    Multiply,          // r_c = floor(d_c * b_c * ΠF / 2^(b + 8n)), b the channel width
};

struct PixelRule {
    PixelOp op = PixelOp::None;
    bool bright = false;  // source channels through the bright's ProductTable rows
    bool weight = false;  // the blend weight W = BlendWeightMap[blend byte] is a factor
    bool alpha = false;   // the source alpha a is a factor
    bool param = false;   // the blend parameter p is a factor
    // 16-bit add and subtract of the scaled kernels with a source alpha, a bright and no blend
    // image: the alpha is applied before the bright, t = ProductTable[bright][(cs * a) >> 8].
    bool alphaBeforeBright = false;

    constexpr bool operator==(const PixelRule&) const = default;
};

// What a source pixel is.
enum class SourceKind : uint8_t {
    Paletted,     // one index byte; the colour is the palette entry
    Direct,       // the colour itself (2 or 4 bytes)
    DirectAlpha,  // colour and alpha: 32-bit with alpha in byte 3; 16-bit at 4 bytes per
                  // pixel, colour in bytes 0-1 and alpha in byte 2
};

// Which source pixels are drawn, and by which rule.
enum class Acceptance : uint8_t {
    All,            // every pixel by `rule`
    KeyWhole,       // left out when the source value (the direct colour zero-extended, or the
                    // palette index) equals the whole 32-bit colour key
    KeyLow16,       // 16-bit direct: left out when the colour equals the key's low 16 bits
    AlphaSkipZero,  // a = 0 left out, a = 255 by `opaque`, every other a by `rule`
    AlphaKeepZero,  // a = 255 by `opaque`, every other a (0 included) by `rule`
};

struct PixelLoop {
    bool valid = false;
    int8_t format = 0;  // MEMIMG_FORMAT_565 (0) or MEMIMG_FORMAT_32 (1), source and destination
    SourceKind source = SourceKind::Direct;
    Acceptance accept = Acceptance::All;
    PixelRule rule;    // the rule of drawn pixels
    PixelRule opaque;  // under the alpha acceptances: the rule of pixels with a = 255
    // The kernel's packed-byte leaf (UseMmx): whole rows through packed-byte instructions.
    // For the saturating operations it is implied by the op; for the half-average, whose
    // packed and plain results are equal, it only selects the leaf.
    bool packed = false;
    // Stepping of the scaled kernels: the advance continues only while the accumulator is
    // below 0 (else while it is 0 or below). Unused by the unscaled kernels.
    bool strict = false;

    constexpr bool operator==(const PixelLoop&) const = default;
};

// --- Loop keys ---------------------------------------------------------------------------------

// The call-constant choices beyond mode and variant words.
enum class LoopSpecial : uint8_t {
    None,      // the general loop of the variant
    Shortcut,  // the kernel's named short cut (half-average, unscaled add or subtract, full
               // parameter)
    Packed,    // the same short cut through packed-byte instructions (UseMmx)
};

struct LoopKey {
    int format = 0;  // 0: 16-bit 5-6-5, 1: 32-bit
    SourceKind source = SourceKind::Direct;
    int mode = kBlendNone;  // EffectiveBlendMode of the call
    bool blend = false;   // a blend image is given
    bool bright = false;  // the bright is not white
    bool key = false;     // TransFlag set
    LoopSpecial special = LoopSpecial::None;

    constexpr bool operator==(const LoopKey&) const = default;
};

constexpr int kLoopKeysPerFormat = 3 * kBlendModeCount * 2 * 2 * 2 * 3;
constexpr int kLoopKeyCount = 2 * kLoopKeysPerFormat;

// Format-major, so that each pixel format's loops are one contiguous range of keys.
constexpr int EncodeLoopKey(const LoopKey& k) {
    int v = k.format;
    v = v * 3 + static_cast<int>(k.source);
    v = v * kBlendModeCount + k.mode;
    v = v * 2 + (k.blend ? 1 : 0);
    v = v * 2 + (k.bright ? 1 : 0);
    v = v * 2 + (k.key ? 1 : 0);
    v = v * 3 + static_cast<int>(k.special);
    return v;
}

constexpr LoopKey DecodeLoopKey(int v) {
    LoopKey k;
    k.special = static_cast<LoopSpecial>(v % 3);
    v /= 3;
    k.key = v % 2 != 0;
    v /= 2;
    k.bright = v % 2 != 0;
    v /= 2;
    k.blend = v % 2 != 0;
    v /= 2;
    k.mode = v % kBlendModeCount;
    v /= kBlendModeCount;
    k.source = static_cast<SourceKind>(v % 3);
    v /= 3;
    k.format = v;
    return k;
}

// Whether a loop reads the blend image.
constexpr bool LoopUsesWeight(const PixelLoop& l) { return l.rule.weight || l.opaque.weight; }
