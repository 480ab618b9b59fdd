// The row walkers of the unscaled blit: one loop per PixelLoop description, instantiated into
// the blit's dispatch tables (blit_unscaled_table_*.cpp). Most loops run their rows through
// the SSE2 steps of the pixel rules (simd_rows_*.h) and finish each row pixel by pixel
// through DrawPixel; the leaves that move whole rows are written out here: plain copies,
// paletted copies that test four indices against the key with one comparison, the 16-bit
// pair steps and the packed-byte rows.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "softrender/rules/carry_mask_ops.h"
#include "softrender/rules/packed_byte_ops.h"
#include "softrender/rules/pixel_context.h"
#include "softrender/rules/pixel_draw.h"
#include "softrender/rules/pixel_loop.h"
#include "softrender/rules/simd_rows_32.h"
#include "softrender/rules/simd_rows_565.h"

// One call's rows: start pointers, pitches (bytes from row to row) and the size in pixels.
struct BlitRun {
    uint8_t* dst;
    ptrdiff_t dstPitch;
    const uint8_t* src;
    ptrdiff_t srcPitch;
    const uint8_t* blend;  // null without a blend image
    ptrdiff_t blendPitch;
    int32_t width;
    int32_t height;
    PixelContext context;
};

using UnscaledBlitLoopFn = void (*)(const BlitRun&);

namespace blit_unscaled_detail {

inline uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void Store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
inline uint32_t Load16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
inline void Store16(uint8_t* p, uint32_t v) {
    const uint16_t h = static_cast<uint16_t>(v);
    std::memcpy(p, &h, 2);
}

// The general walker: runs of pixels through the loop's SSE2 step where it has one, the rest
// of each row pixel by pixel through DrawPixel.
template <PixelLoop L>
void WalkPixels(const BlitRun& r) {
    using Source = SourcePixel<L.format, L.source>;
    constexpr int kDstBytes = L.format == 1 ? 4 : 2;
    constexpr bool kWeighted = LoopUsesWeight(L);
    uint8_t* dstRow = r.dst;
    const uint8_t* srcRow = r.src;
    const uint8_t* blendRow = r.blend;
    for (int32_t j = 0; j < r.height; ++j) {
        int32_t i = 0;
        if constexpr (kSimdRow32<L>) {
            i = SimdRow32<L>(dstRow, srcRow, blendRow, r.width, r.context);
        } else if constexpr (kSimdRow565<L>) {
            i = SimdRow565<L>(dstRow, srcRow, blendRow, r.width, r.context);
        }
        uint8_t* d = dstRow + i * kDstBytes;
        const uint8_t* s = srcRow + i * Source::kBytes;
        for (; i < r.width; ++i) {
            DrawPixel<L>(d, s, kWeighted ? blendRow[i] : uint8_t{0}, r.context);
            d += kDstBytes;
            s += Source::kBytes;
        }
        dstRow += r.dstPitch;
        srcRow += r.srcPitch;
        if constexpr (kWeighted) blendRow += r.blendPitch;
    }
}

// Plain copy of direct pixels of the destination's size: whole rows.
inline void CopyRows(const BlitRun& r, size_t rowBytes) {
    uint8_t* d = r.dst;
    const uint8_t* s = r.src;
    for (int32_t j = 0; j < r.height; ++j) {
        std::memcpy(d, s, rowBytes);
        d += r.dstPitch;
        s += r.srcPitch;
    }
}

// Four palette entries for four index bytes (the first in the low byte).
template <int Format>
inline void PutFour(uint8_t* d, uint32_t indices, const PixelContext& c) {
    if constexpr (Format == 1) {
        const uint32_t* pal = c.palette32;
        const uint64_t lo = static_cast<uint64_t>(pal[indices & 0xFF]) |
                            static_cast<uint64_t>(pal[(indices >> 8) & 0xFF]) << 32;
        const uint64_t hi = static_cast<uint64_t>(pal[(indices >> 16) & 0xFF]) |
                            static_cast<uint64_t>(pal[indices >> 24]) << 32;
        std::memcpy(d, &lo, 8);
        std::memcpy(d + 8, &hi, 8);
        return;
    }
    if constexpr (Format == 0) {
        const uint16_t* pal = c.palette16;
        const uint64_t pair = static_cast<uint64_t>(pal[indices & 0xFF]) |
                              static_cast<uint64_t>(pal[(indices >> 8) & 0xFF]) << 16 |
                              static_cast<uint64_t>(pal[(indices >> 16) & 0xFF]) << 32 |
                              static_cast<uint64_t>(pal[indices >> 24]) << 48;
        std::memcpy(d, &pair, 8);
        return;
    }
    for (int q = 0; q < 4; ++q, indices >>= 8) {
        if constexpr (Format == 1) {
            Store32(d + q * 4, c.palette32[indices & 0xFF]);
        } else {
            Store16(d + q * 2, c.palette16[indices & 0xFF]);
        }
    }
}

// Paletted plain copy; with a colour key, four indices are compared with the repeated key
// byte at once, and only a group that is not all key is tested pixel by pixel.
template <int Format, bool Keyed>
void CopyPaletted(const BlitRun& r) {
    constexpr int kDstBytes = Format == 1 ? 4 : 2;
    const PixelContext& c = r.context;
    // Only keys up to 255 can equal an index (the plan drops larger keys).
    const bool keyed = Keyed && c.colorKey <= 255u;
    const uint32_t key = c.colorKey & 0xFFu;
    const uint32_t key4 = key * 0x01010101u;
    uint8_t* dstRow = r.dst;
    const uint8_t* srcRow = r.src;
    for (int32_t j = 0; j < r.height; ++j) {
        uint8_t* d = dstRow;
        const uint8_t* s = srcRow;
        auto put = [&](int32_t at) {
            if constexpr (Format == 1) {
                Store32(d + at * kDstBytes, c.palette32[s[at]]);
            } else {
                Store16(d + at * kDstBytes, c.palette16[s[at]]);
            }
        };
        int32_t i = 0;
        if (keyed) {
            for (; i + 4 <= r.width; i += 4) {
                const uint32_t group = Load32(s + i);
                if (group == key4) continue;
                if (((group ^ key4) - 0x01010101u) & ~(group ^ key4) & 0x80808080u) {
                    // Some of the four are keyed: one by one.
                    for (int32_t q = i; q < i + 4; ++q) {
                        if (s[q] != key) put(q);
                    }
                } else {
                    PutFour<Format>(d + i * kDstBytes, group, c);
                }
            }
            for (; i < r.width; ++i) {
                if (s[i] != key) put(i);
            }
        } else {
            for (; i + 4 <= r.width; i += 4) PutFour<Format>(d + i * kDstBytes, Load32(s + i), c);
            for (; i < r.width; ++i) put(i);
        }
        dstRow += r.dstPitch;
        srcRow += r.srcPitch;
    }
}

// 16-bit pair steps: pixels two at a time as one 32-bit word (first pixel in the low half),
// an odd last pixel alone. Under a colour key, a pair is stepped as a word only when both of
// its pixels are drawn; a drawn pixel whose partner is left out is stepped alone.
template <PixelLoop L, uint32_t (*Pair)(uint32_t, uint32_t), uint32_t (*Single)(uint32_t, uint32_t)>
void WalkPairs565(const BlitRun& r) {
    using Source = SourcePixel<0, L.source>;
    const PixelContext& c = r.context;
    uint8_t* dstRow = r.dst;
    const uint8_t* srcRow = r.src;
    for (int32_t j = 0; j < r.height; ++j) {
        uint8_t* d = dstRow;
        const uint8_t* s = srcRow;
        int32_t i = 0;
        if constexpr (L.accept == Acceptance::All && L.source == SourceKind::Direct) {
            i = SimdPairRow565<L.rule.op == PixelOp::AddUnscaled>(d, s, r.width);
        }
        for (; i + 2 <= r.width; i += 2) {
            const uint8_t* s0 = s + i * Source::kBytes;
            const uint8_t* s1 = s0 + Source::kBytes;
            const bool draw0 = ClassifySourcePixel<L>(s0, c) != PixelClass::Skip;
            const bool draw1 = ClassifySourcePixel<L>(s1, c) != PixelClass::Skip;
            const uint32_t c0 = Source::Colour(s0, c.palette32, c.palette16);
            const uint32_t c1 = Source::Colour(s1, c.palette32, c.palette16);
            if (draw0 && draw1) {
                Store32(d + i * 2, Pair(Load32(d + i * 2), c0 | (c1 << 16)));
            } else {
                if (draw0) Store16(d + i * 2, Single(Load16(d + i * 2), c0));
                if (draw1) Store16(d + i * 2 + 2, Single(Load16(d + i * 2 + 2), c1));
            }
        }
        if (i < r.width) {
            const uint8_t* s0 = s + i * Source::kBytes;
            if (ClassifySourcePixel<L>(s0, c) != PixelClass::Skip) {
                Store16(d + i * 2,
                        Single(Load16(d + i * 2), Source::Colour(s0, c.palette32, c.palette16)));
            }
        }
        dstRow += r.dstPitch;
        srcRow += r.srcPitch;
    }
}

// 32-bit packed-byte rows (no colour key).
template <PixelLoop L>
void WalkPackedRows32(const BlitRun& r) {
    constexpr bool kPaletted = L.source == SourceKind::Paletted;
    uint8_t* d = r.dst;
    const uint8_t* s = r.src;
    for (int32_t j = 0; j < r.height; ++j) {
        if constexpr (L.rule.op == PixelOp::AddSaturate) {
            if constexpr (kPaletted) {
                PackedAddRowPaletted32(d, s, r.context.palette32, r.width);
            } else {
                PackedAddRow32(d, s, r.width);
            }
        } else if constexpr (L.rule.op == PixelOp::SubtractSaturate) {
            if constexpr (kPaletted) {
                PackedSubRowPaletted32(d, s, r.context.palette32, r.width);
            } else {
                PackedSubRow32(d, s, r.width);
            }
        } else {
            static_assert(L.rule.op == PixelOp::HalfAverage && !kPaletted, "packed leaf");
            PackedHalfAverageRow32(d, s, r.width);
        }
        d += r.dstPitch;
        s += r.srcPitch;
    }
}

}  // namespace blit_unscaled_detail

// The loop of one description.
template <PixelLoop L>
struct UnscaledBlitLoop {
    static void Run(const BlitRun& r) {
        using namespace blit_unscaled_detail;
        constexpr PixelOp op = L.rule.op;
        constexpr bool kPaletted = L.source == SourceKind::Paletted;
        constexpr bool kWholeWords =
            L.source == SourceKind::Direct || (L.source == SourceKind::DirectAlpha && L.format == 1);
        if constexpr (op == PixelOp::CopyWhole && L.accept == Acceptance::All && kWholeWords) {
            CopyRows(r, static_cast<size_t>(r.width) * (L.format == 1 ? 4 : 2));
        } else if constexpr (op == PixelOp::CopyWhole && kPaletted) {
            CopyPaletted<L.format, L.accept == Acceptance::KeyWhole>(r);
        } else if constexpr (L.format == 0 && op == PixelOp::AddUnscaled) {
            WalkPairs565<L, SaturatingAddPair565, SaturatingAddUnscaled565>(r);
        } else if constexpr (L.format == 0 && op == PixelOp::SubtractUnscaled) {
            WalkPairs565<L, SaturatingSubPair565, SaturatingSub565>(r);
        } else if constexpr (L.format == 1 && L.accept == Acceptance::All &&
                             (op == PixelOp::AddSaturate || op == PixelOp::SubtractSaturate ||
                              (op == PixelOp::HalfAverage && L.packed))) {
            WalkPackedRows32<L>(r);
        } else {
            WalkPixels<L>(r);
        }
    }
};
