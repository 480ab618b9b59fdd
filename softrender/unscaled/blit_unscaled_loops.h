// The row walkers of the unscaled blit: one loop per PixelLoop description, instantiated into
// the blit's dispatch tables (blit_unscaled_table_*.cpp). Most loops run their rows through
// the AVX2 steps of the pixel rules where the call has them (blit_unscaled_wide.h), then the
// SSE2 steps (simd_rows_*.h), and finish each row pixel by pixel through DrawPixel; the leaves
// that move whole rows are written out here: plain copies, paletted copies that test eight
// indices against the key with one comparison, the 16-bit pair steps and the packed-byte rows.
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
#include "softrender/unscaled/blit_unscaled_wide.h"

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
    WideRow32Fn wideRow;  // the loop's AVX2 row step, or null
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

// The general walker: runs of pixels through the loop's AVX2 step (when the call has one) and
// SSE2 step where it has them, the rest of each row pixel by pixel through DrawPixel.
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
            if (r.wideRow != nullptr) i = r.wideRow(dstRow, srcRow, blendRow, r.width, r.context);
            i += SimdRow32<L>(dstRow + i * kDstBytes, srcRow + i * Source::kBytes,
                              kWeighted ? blendRow + i : blendRow, r.width - i, r.context);
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

inline uint64_t Load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// Eight palette entries for eight index bytes (g, the first in the low byte), stored at d.
// The index bytes come from one load and are taken apart in integer registers, the entries are loaded straight
// into vector registers and stored sixteen bytes at a time: the loads, the integer units and
// the vector units share the work.
template <int Format>
inline void PutEight(uint8_t* d, const uint8_t* s, uint64_t g, const uint32_t* pal32,
                     const uint16_t* pal16) {
#if ZN_SIMD_ROWS
    // The first four index bytes from g, the last four read again from memory.
    auto index = [&](int k) -> uint32_t { return k < 4 ? (g >> (8 * k)) & 0xFF : s[k]; };
    if constexpr (Format == 1) {
        auto at = [&](int k) { return _mm_cvtsi32_si128(static_cast<int>(pal32[index(k)])); };
        const __m128i a = _mm_unpacklo_epi64(_mm_unpacklo_epi32(at(0), at(1)),
                                             _mm_unpacklo_epi32(at(2), at(3)));
        const __m128i b = _mm_unpacklo_epi64(_mm_unpacklo_epi32(at(4), at(5)),
                                             _mm_unpacklo_epi32(at(6), at(7)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), a);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), b);
    } else {
        auto at = [&](int k) { return pal16[index(k)]; };
        __m128i v = _mm_cvtsi32_si128(at(0));
        v = _mm_insert_epi16(v, at(1), 1);
        v = _mm_insert_epi16(v, at(2), 2);
        v = _mm_insert_epi16(v, at(3), 3);
        v = _mm_insert_epi16(v, at(4), 4);
        v = _mm_insert_epi16(v, at(5), 5);
        v = _mm_insert_epi16(v, at(6), 6);
        v = _mm_insert_epi16(v, at(7), 7);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v);
    }
#else
    (void)s;
    for (int q = 0; q < 8; ++q, g >>= 8) {
        if constexpr (Format == 1) {
            Store32(d + q * 4, pal32[g & 0xFF]);
        } else {
            Store16(d + q * 2, pal16[g & 0xFF]);
        }
    }
#endif
}

// Paletted plain copy, eight pixels at a time; with a colour key, the eight indices are
// compared with the repeated key byte at once, and only a group that is neither all key nor
// free of it is tested pixel by pixel.
template <int Format, bool Keyed>
void CopyPaletted(const BlitRun& r) {
    constexpr int kDstBytes = Format == 1 ? 4 : 2;
    const PixelContext& c = r.context;
    // Held in locals: the stores below may not change them.
    const uint32_t* const pal32 = c.palette32;
    const uint16_t* const pal16 = c.palette16;
    // Only keys up to 255 can equal an index (the plan drops larger keys).
    const bool keyed = Keyed && c.colorKey <= 255u;
    const uint32_t key = c.colorKey & 0xFFu;
    const uint64_t key8 = key * 0x0101010101010101u;
    constexpr uint64_t kOnes = 0x0101010101010101u;
    constexpr uint64_t kHighs = 0x8080808080808080u;
    const int32_t width = r.width;
    uint8_t* dstRow = r.dst;
    const uint8_t* srcRow = r.src;
    for (int32_t j = 0; j < r.height; ++j) {
        uint8_t* d = dstRow;
        const uint8_t* s = srcRow;
        auto put = [&](int32_t at) {
            if constexpr (Format == 1) {
                Store32(d + at * kDstBytes, pal32[s[at]]);
            } else {
                Store16(d + at * kDstBytes, pal16[s[at]]);
            }
        };
        int32_t i = 0;
        if (keyed) {
            for (; i + 8 <= width; i += 8) {
                const uint64_t group = Load64(s + i);
                const uint64_t diff = group ^ key8;
                if (diff == 0) continue;
                if ((diff - kOnes) & ~diff & kHighs) {
                    // Some of the eight are keyed: one by one.
                    for (int32_t q = i; q < i + 8; ++q) {
                        if (s[q] != key) put(q);
                    }
                } else {
                    PutEight<Format>(d + i * kDstBytes, s + i, group, pal32, pal16);
                }
            }
            for (; i < width; ++i) {
                if (s[i] != key) put(i);
            }
        } else {
            for (; i + 8 <= width; i += 8) {
                PutEight<Format>(d + i * kDstBytes, s + i, Load64(s + i), pal32, pal16);
            }
            for (; i < width; ++i) put(i);
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
