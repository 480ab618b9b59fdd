// One loop step of every kernel: read a source pixel, decide its class (left out, the rule, or
// the opaque rule), and combine it with a destination pixel by the loop's PixelLoop
// description. The kernels' walkers call these inside their loops; with the description a
// template argument, each step compiles to the arithmetic of its own combination only.
#pragma once
#include <cstdint>
#include <cstring>

#include "softrender/rules/blend_tables.h"
#include "softrender/rules/pixel_context.h"
#include "softrender/rules/pixel_loop.h"
#include "softrender/rules/pixel_rules_16.h"
#include "softrender/rules/pixel_rules_32.h"

// How a source pixel of one kind is laid out and read.
template <int Format, SourceKind Kind>
struct SourcePixel {
    static constexpr bool kPaletted = Kind == SourceKind::Paletted;
    static constexpr bool kAlpha = Kind == SourceKind::DirectAlpha;
    static constexpr int kBytes = kPaletted ? 1 : (Format == 1 || kAlpha) ? 4 : 2;

    // The value compared with the colour key: the palette index, or the direct colour.
    static uint32_t KeyValue(const uint8_t* p) {
        if constexpr (kPaletted) {
            return p[0];
        } else {
            return Colour(p, nullptr, nullptr);
        }
    }
    static uint32_t Colour(const uint8_t* p, const uint32_t* palette32,
                           const uint16_t* palette16) {
        if constexpr (kPaletted) {
            if constexpr (Format == 1) {
                return palette32[p[0]];
            } else {
                return palette16[p[0]];
            }
        } else if constexpr (Format == 1) {
            uint32_t v;
            std::memcpy(&v, p, 4);
            return v;
        } else {
            uint16_t v;
            std::memcpy(&v, p, 2);
            return v;
        }
    }
    static uint32_t Alpha(const uint8_t* p) {
        if constexpr (!kAlpha) {
            return 0;
        } else if constexpr (Format == 1) {
            return p[3];
        } else {
            return p[2];
        }
    }
};

// The class of a source pixel under a loop's acceptance.
enum class PixelClass : uint8_t { Skip, Rule, Opaque };

namespace pixel_draw_detail {

template <int Format, PixelRule R>
inline uint32_t Apply(uint32_t d, uint32_t s, uint32_t a, uint32_t w, const PixelContext& c) {
    if constexpr (Format == 1) {
        return ApplyRule32<R>(d, s, a, w, c);
    } else {
        return ApplyRule16<R>(d, s, a, w, c);
    }
}

template <int Format>
inline uint32_t LoadDest(const uint8_t* p) {
    if constexpr (Format == 1) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    } else {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
}

template <int Format>
inline void StoreDest(uint8_t* p, uint32_t v) {
    if constexpr (Format == 1) {
        std::memcpy(p, &v, 4);
    } else {
        const uint16_t h = static_cast<uint16_t>(v);
        std::memcpy(p, &h, 2);
    }
}

}  // namespace pixel_draw_detail

// Decides once per source pixel whether it is drawn and by which rule.
template <PixelLoop L>
inline PixelClass ClassifySourcePixel(const uint8_t* src, const PixelContext& c) {
    using Source = SourcePixel<L.format, L.source>;
    if constexpr (L.accept == Acceptance::KeyWhole) {
        return Source::KeyValue(src) == c.colorKey ? PixelClass::Skip : PixelClass::Rule;
    } else if constexpr (L.accept == Acceptance::KeyLow16) {
        static_assert(L.format == 0 && L.source != SourceKind::Paletted, "16-bit direct only");
        return Source::KeyValue(src) == (c.colorKey & 0xFFFFu) ? PixelClass::Skip
                                                                : PixelClass::Rule;
    } else if constexpr (L.accept == Acceptance::AlphaSkipZero) {
        const uint32_t a = Source::Alpha(src);
        return a == 0 ? PixelClass::Skip : a == 255 ? PixelClass::Opaque : PixelClass::Rule;
    } else if constexpr (L.accept == Acceptance::AlphaKeepZero) {
        return Source::Alpha(src) == 255 ? PixelClass::Opaque : PixelClass::Rule;
    } else {
        return PixelClass::Rule;
    }
}

// Draws a source pixel of a known class (not Skip) onto dst. blendByte is the blend image's
// byte at the source pixel (read only by loops with a weight).
template <PixelLoop L>
inline void DrawClassifiedPixel(PixelClass cls, uint8_t* dst, const uint8_t* src,
                                uint8_t blendByte, const PixelContext& c) {
    using namespace pixel_draw_detail;
    using Source = SourcePixel<L.format, L.source>;
    const uint32_t s = Source::Colour(src, c.palette32, c.palette16);
    const uint32_t a = Source::Alpha(src);
    const uint32_t w = LoopUsesWeight(L) ? BlendWeightMap[blendByte] : 0u;
    if constexpr (L.accept == Acceptance::AlphaSkipZero ||
                  L.accept == Acceptance::AlphaKeepZero) {
        if (cls == PixelClass::Opaque) {
            StoreDest<L.format>(dst, Apply<L.format, L.opaque>(LoadDest<L.format>(dst), s, a,
                                                               w, c));
            return;
        }
    }
    StoreDest<L.format>(dst, Apply<L.format, L.rule>(LoadDest<L.format>(dst), s, a, w, c));
}

// Classify and draw in one step.
template <PixelLoop L>
inline void DrawPixel(uint8_t* dst, const uint8_t* src, uint8_t blendByte,
                      const PixelContext& c) {
    const PixelClass cls = ClassifySourcePixel<L>(src, c);
    if (cls == PixelClass::Skip) return;
    DrawClassifiedPixel<L>(cls, dst, src, blendByte, c);
}
