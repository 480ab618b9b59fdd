// The fast span loops: the state the library draws sprites and backgrounds with (one textured
// stage with point sampling, clamp or power-of-two wrap, colour key, the texture taken as it
// is or modulated by a constant diffuse colour, the alpha test, blending off or by source
// alpha) into 5-6-5 or X8-8-8-8 targets. The draw's state picks the instantiations before any
// pixel is touched; the loops step the texel coordinates and decode, combine, test, blend and
// write with the arithmetic of the general path (d3d_raster.cpp), so they give exactly its
// pixels.
#include <algorithm>
#include <array>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/d3d/d3d_raster_internal.h"
#include "platform/d3d/d3d_spans_wide.h"

namespace plat::raster {

namespace {

// How texels are decoded: 5-6-5 by shifts, the other 16-bit formats through a table, 32-bit
// formats as they are.
enum class TexKind { k565, kTable, k32 };
// kCopy: the texel's raw value is the target's (same layout, nothing changes it); kPlain: the
// channels are t | force (the diffuse colour multiplies by 255); kModulate: Mul(t | force, d).
enum class Mode { kCopy, kPlain, kModulate };

using DecodeTable = std::array<uint32_t, 65536>;

constexpr uint32_t kTableMasks[3][4] = {{0x7C00, 0x03E0, 0x001F, 0},
                                        {0x7C00, 0x03E0, 0x001F, 0x8000},
                                        {0x0F00, 0x00F0, 0x000F, 0xF000}};

// A8R8G8B8 of every value of the 16-bit formats other than 5-6-5, as Format::Decode gives it;
// made on first use.
const uint32_t* TableFor(const PixelFormat& f) {
    static const std::array<std::unique_ptr<DecodeTable>, 3> tables = [] {
        std::array<std::unique_ptr<DecodeTable>, 3> made;
        for (int i = 0; i < 3; ++i) {
            PixelFormat pf = {};
            pf.bitCount = 16;
            pf.redMask = kTableMasks[i][0];
            pf.greenMask = kTableMasks[i][1];
            pf.blueMask = kTableMasks[i][2];
            pf.alphaMask = kTableMasks[i][3];
            const Format format(pf);
            made[i] = std::make_unique<DecodeTable>();
            for (uint32_t raw = 0; raw < 65536; ++raw) {
                const Rgba c = format.Decode(raw);
                (*made[i])[raw] = static_cast<uint32_t>(c.a) << 24 |
                                  static_cast<uint32_t>(c.r) << 16 |
                                  static_cast<uint32_t>(c.g) << 8 | static_cast<uint32_t>(c.b);
            }
        }
        return made;
    }();
    for (int i = 0; i < 3; ++i) {
        if (f.bitCount == 16 && f.redMask == kTableMasks[i][0] &&
            f.greenMask == kTableMasks[i][1] && f.blueMask == kTableMasks[i][2] &&
            f.alphaMask == kTableMasks[i][3]) {
            return tables[i]->data();
        }
    }
    return nullptr;
}

bool SourceOf(uint32_t op, uint32_t arg1, uint32_t arg2, FastSource* out) {
    auto plain = [](uint32_t a) { return (a & ~D3DTA_SELECTMASK) == 0; };
    auto isTexture = [&](uint32_t a) { return plain(a) && a == D3DTA_TEXTURE; };
    // Stage 0's current colour is the diffuse colour.
    auto isDiffuse = [&](uint32_t a) {
        return plain(a) && (a == D3DTA_DIFFUSE || a == D3DTA_CURRENT);
    };
    if (op == D3DTOP_SELECTARG1 || op == D3DTOP_SELECTARG2) {
        const uint32_t a = op == D3DTOP_SELECTARG1 ? arg1 : arg2;
        if (isTexture(a)) {
            *out = FastSource{0, false};
            return true;
        }
        if (isDiffuse(a)) {
            *out = FastSource{255, true};
            return true;
        }
        return false;
    }
    if (op == D3DTOP_MODULATE &&
        ((isTexture(arg1) && isDiffuse(arg2)) || (isDiffuse(arg1) && isTexture(arg2)))) {
        *out = FastSource{0, true};
        return true;
    }
    return false;
}

// x / 255 rounded down, exact for x below 65536 (the products and blend sums stay below).
inline uint32_t Div255(uint32_t x) { return (x * 0x8081u) >> 23; }

inline uint32_t Widen5(uint32_t v) { return (v << 3) | (v >> 2); }
inline uint32_t Widen6(uint32_t v) { return (v << 2) | (v >> 4); }


// What the loops keep in registers for a row: the stores through the target may alias
// anything, so nothing is reread from the draw's records inside them.
struct RowConstants {
    const uint8_t* texels;
    ptrdiff_t pitch;
    int lastU, lastV;  // clamp: the last texel; wrap: the mask
    bool clampU, clampV;
    const uint32_t* table;
    uint32_t alphaOr, keyLow, keyHigh;
    uint32_t forceColor, forceAlpha;
    uint32_t mr, mg, mb, ma;
    const uint8_t* alphaPass;  // the alpha test's verdict per alpha (kTest loops)
    // The same verdict as a range: alpha passes when (alphaLow <= a <= alphaHigh) differs
    // from alphaOutside (alphaRange false: no such form).
    bool alphaRange, alphaOutside;
    int alphaLow, alphaHigh;
    // The blended 32-bit loop's eight-pixel runs (null: none) and what they read.
    WideBlendRun wideRun;
    WideBlendRectangle wideRectangle;
    // Its registers are made on first use (a triangle may not need them).
    mutable WideBlendInputs wide;
    mutable bool widePrepared;
    const WideBlendInputs& Wide() const {
        if (!widePrepared) {
            PrepareWideBlend(&wide);
            widePrepared = true;
        }
        return wide;
    }
};

// The alpha of texel raw as decoded (kTable and k32 textures).
template <TexKind kTex>
inline uint32_t TexelAlpha(const RowConstants& c, uint32_t raw) {
    return (kTex == TexKind::kTable ? c.table[raw] : raw | c.alphaOr) >> 24;
}

// Decodes, combines, tests, blends and writes one texel into the target pixel p; keyed texels
// and those failing the alpha test (kTest) write nothing.
template <int kTargetBytes, TexKind kTex, bool kKey, Mode kMode, bool kBlend, bool kTest>
inline void PutTexel(const RowConstants& c, uint32_t raw, uint8_t* p) {
    if constexpr (kMode == Mode::kCopy && kTest && kTex != TexKind::k565) {
        // The texel or the pixel as it was, chosen without a branch: whether a texel is
        // drawn follows the sprite's shape, which branches would mispredict along its edges.
        // (The alpha is the texel's, or forced to 255.)
        uint32_t draw = c.alphaPass[TexelAlpha<kTex>(c, raw) | c.forceAlpha];
        if constexpr (kKey) draw &= raw - c.keyLow > c.keyHigh - c.keyLow ? 1u : 0u;
        const uint32_t m = 0u - draw;
        if constexpr (kTargetBytes == 2) {
            uint16_t old;
            std::memcpy(&old, p, 2);
            const auto out = static_cast<uint16_t>((raw & m) | (old & ~m));
            std::memcpy(p, &out, 2);
        } else {
            uint32_t old;
            std::memcpy(&old, p, 4);
            const uint32_t out = (raw & 0xFFFFFFu & m) | (old & ~m);
            std::memcpy(p, &out, 4);
        }
        return;
    }
    if constexpr (kKey) {
        if (raw - c.keyLow <= c.keyHigh - c.keyLow) return;  // keyLow <= raw <= keyHigh
    }
    if constexpr (kMode == Mode::kCopy) {
        if constexpr (kTargetBytes == 2) {
            const auto out = static_cast<uint16_t>(raw);
            std::memcpy(p, &out, 2);
        } else {
            const uint32_t out = raw & 0xFFFFFFu;
            std::memcpy(p, &out, 4);
        }
        return;
    }
    uint32_t r, g, b, a;
    if constexpr (kTex == TexKind::k565) {
        r = Widen5(raw >> 11);
        g = Widen6((raw >> 5) & 0x3F);
        b = Widen5(raw & 0x1F);
        a = 255;
    } else {
        const uint32_t argb = kTex == TexKind::kTable ? c.table[raw] : raw | c.alphaOr;
        r = (argb >> 16) & 0xFF;
        g = (argb >> 8) & 0xFF;
        b = argb & 0xFF;
        a = argb >> 24;
    }
    r |= c.forceColor;
    g |= c.forceColor;
    b |= c.forceColor;
    a |= c.forceAlpha;
    if constexpr (kMode == Mode::kModulate) {
        r = Div255(r * c.mr + 127);
        g = Div255(g * c.mg + 127);
        b = Div255(b * c.mb + 127);
        a = Div255(a * c.ma + 127);
    }
    if constexpr (kTest) {
        if (c.alphaPass[a] == 0) return;
    }
    if constexpr (kBlend) {
        // SRCALPHA, INVSRCALPHA: the sum never passes 255.
        uint32_t dr, dg, db;
        if constexpr (kTargetBytes == 2) {
            uint16_t d16;
            std::memcpy(&d16, p, 2);
            dr = Widen5(static_cast<uint32_t>(d16) >> 11);
            dg = Widen6((static_cast<uint32_t>(d16) >> 5) & 0x3F);
            db = Widen5(d16 & 0x1Fu);
        } else {
            uint32_t d32;
            std::memcpy(&d32, p, 4);
            dr = (d32 >> 16) & 0xFF;
            dg = (d32 >> 8) & 0xFF;
            db = d32 & 0xFF;
        }
        // Alpha 255 leaves the source and alpha 0 the destination as they are (the sums are
        // 255 × channel + 127); only the destination's re-encoding reaches the pixel.
        if (a == 0) {
            if constexpr (kTargetBytes == 2) {
                return;  // 5-6-5 widened and narrowed again: the same bits
            } else {
                r = dr;
                g = dg;
                b = db;
            }
        } else if (a != 255) {
            const uint32_t ia = 255 - a;
            r = Div255(r * a + dr * ia + 127);
            g = Div255(g * a + dg * ia + 127);
            b = Div255(b * a + db * ia + 127);
        }
    }
    if constexpr (kTargetBytes == 2) {
        const auto out = static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
        std::memcpy(p, &out, 2);
    } else {
        const uint32_t out = r << 16 | g << 8 | b;
        std::memcpy(p, &out, 4);
    }
}

#if defined(__SSE2__)
// Widen5 and Widen6 of eight 16-bit lanes.
inline __m128i Widen5x8(__m128i x) { return _mm_or_si128(_mm_slli_epi16(x, 3), _mm_srli_epi16(x, 2)); }
inline __m128i Widen6x8(__m128i x) { return _mm_or_si128(_mm_slli_epi16(x, 2), _mm_srli_epi16(x, 4)); }
#endif

template <TexKind kTex>
inline uint32_t FetchTexel(const uint8_t* texels, ptrdiff_t pitch, int tx, int ty) {
    const uint8_t* tp = texels + ty * pitch + tx * (kTex == TexKind::k32 ? 4 : 2);
    if constexpr (kTex == TexKind::k32) {
        uint32_t raw;
        std::memcpy(&raw, tp, 4);
        return raw;
    } else {
        uint16_t raw;
        std::memcpy(&raw, tp, 2);
        return raw;
    }
}

// The pixels [p, end) stepping (u, v); kAddress: clamp or wrap each texel index (false when
// the caller knows every index lies inside the texture).
template <int kTargetBytes, TexKind kTex, bool kKey, Mode kMode, bool kBlend, bool kTest,
          bool kAddress>
void PixelLoop(const RowConstants& c, int64_t u, int64_t v, int64_t du, int64_t dv, uint8_t* p,
               uint8_t* end) {
    const uint8_t* const texels = c.texels;
    const ptrdiff_t pitch = c.pitch;
#if defined(__SSE2__)
    if constexpr (kMode == Mode::kCopy && kTest && kTex == TexKind::k32 && kTargetBytes == 4) {
        // Four pixels at a time: the texels gathered, tested and merged with the pixels they
        // do not replace.
        if (c.alphaRange) {
            const __m128i low = _mm_set1_epi32(c.alphaLow - 1);
            const __m128i high = _mm_set1_epi32(c.alphaHigh + 1);
            const __m128i outside = _mm_set1_epi32(c.alphaOutside ? -1 : 0);
            const __m128i alphaOr = _mm_set1_epi32(static_cast<int>(c.alphaOr));
            const __m128i force = _mm_set1_epi32(static_cast<int>(c.forceAlpha));
            const __m128i sign = _mm_set1_epi32(static_cast<int>(0x80000000u));
            const __m128i keyLow = _mm_set1_epi32(static_cast<int>(c.keyLow));
            // keyLow <= raw <= keyHigh as raw - keyLow <= keyHigh - keyLow, unsigned, by
            // signed compares of the values with their top bits flipped.
            const __m128i keySpan =
                _mm_set1_epi32(static_cast<int>((c.keyHigh - c.keyLow) ^ 0x80000000u));
            const __m128i rgb = _mm_set1_epi32(0xFFFFFF);
            // Four texels tested and merged with the pixels they do not replace.
            auto merge = [&](__m128i t) {
                const __m128i a =
                    _mm_or_si128(_mm_srli_epi32(_mm_or_si128(t, alphaOr), 24), force);
                __m128i draw = _mm_xor_si128(
                    _mm_and_si128(_mm_cmpgt_epi32(a, low), _mm_cmpgt_epi32(high, a)), outside);
                if constexpr (kKey) {
                    const __m128i offset = _mm_xor_si128(_mm_sub_epi32(t, keyLow), sign);
                    draw = _mm_and_si128(draw, _mm_cmpgt_epi32(offset, keySpan));
                }
                auto* q = reinterpret_cast<__m128i*>(p);
                const __m128i old = _mm_loadu_si128(q);
                _mm_storeu_si128(q, _mm_or_si128(_mm_and_si128(draw, _mm_and_si128(t, rgb)),
                                                 _mm_andnot_si128(draw, old)));
                p += 16;
            };
            // A span of four pixels or more ends with four that reach its end, overlapping
            // those already drawn: merging a texel again gives the same pixel (it is drawn
            // as it is or leaves the pixel as it was), so no pixel goes through the scalar loop.
            const bool overlapEnd = end - p >= 16;
            auto stepBack = [&]() {
                const int64_t back = (16 - (end - p)) / 4;
                p -= back * 4;
                u -= back * du;
                v -= back * dv;
                return back;
            };
            if (!kAddress && du == kOne && dv == 0) {
                // One texel per pixel along a texture row inside the texture: the texels are
                // read four at a time as they lie.
                const uint8_t* tp = texels + (v >> kFracBits) * pitch + (u >> kFracBits) * 4;
                while (end - p >= 16) {
                    merge(_mm_loadu_si128(reinterpret_cast<const __m128i*>(tp)));
                    tp += 16;
                    u += 4 * kOne;
                }
                if (overlapEnd && p != end) {
                    tp -= stepBack() * 4;
                    merge(_mm_loadu_si128(reinterpret_cast<const __m128i*>(tp)));
                }
            } else {
                auto gather = [&]() {
                    alignas(16) uint32_t raw[4];
                    for (int i = 0; i < 4; ++i, u += du, v += dv) {
                        int tx = static_cast<int>(u >> kFracBits);
                        int ty = static_cast<int>(v >> kFracBits);
                        if constexpr (kAddress) {
                            tx = c.clampU ? std::min(std::max(tx, 0), c.lastU) : tx & c.lastU;
                            ty = c.clampV ? std::min(std::max(ty, 0), c.lastV) : ty & c.lastV;
                        }
                        raw[i] = FetchTexel<kTex>(texels, pitch, tx, ty);
                    }
                    merge(_mm_load_si128(reinterpret_cast<const __m128i*>(raw)));
                };
                while (end - p >= 16) gather();
                if (overlapEnd && p != end) {
                    stepBack();
                    gather();
                }
            }
        }
    }
    // With the alpha test the loop needs the test as a range of alphas (FindAlphaRange);
    // otherwise the scalar loop below draws the span.
    if constexpr (kTex == TexKind::k32 && kTargetBytes == 4 && kBlend && kMode != Mode::kCopy)
    if (!kTest || c.alphaRange) {
        // Four pixels at a time, two to a register in 16-bit lanes (blue, green, red, alpha):
        // the texels combined and blended by their alpha with the arithmetic of PutTexel (the
        // blend of alpha 0 and 255 gives the pixel and the colour as they are, so no lane
        // needs the scalar loop's shortcuts; every product and sum stays below 65536).
        // Texels failing the alpha test or keyed leave their pixels as they were.
        if (!kAddress && c.wideRun != nullptr && du == kOne && dv == 0) {
            // Eight pixels at a time where the processor allows, along texture rows; the rest
            // four at a time. (Turned sprites' spans are short: there the eight-pixel run's
            // call and set-up per span cost more than its width gains.)
            p += c.wideRun(c.Wide(), &u, &v, du, dv, p, (end - p) / 4) * 4;
            if (p == end) return;
        }
        const __m128i zero = _mm_setzero_si128();
        const __m128i alphaOr = _mm_set1_epi32(static_cast<int>(c.alphaOr));
        const __m128i force = _mm_set_epi16(
            static_cast<short>(c.forceAlpha), static_cast<short>(c.forceColor),
            static_cast<short>(c.forceColor), static_cast<short>(c.forceColor),
            static_cast<short>(c.forceAlpha), static_cast<short>(c.forceColor),
            static_cast<short>(c.forceColor), static_cast<short>(c.forceColor));
        const __m128i factor = _mm_set_epi16(
            static_cast<short>(c.ma), static_cast<short>(c.mr), static_cast<short>(c.mg),
            static_cast<short>(c.mb), static_cast<short>(c.ma), static_cast<short>(c.mr),
            static_cast<short>(c.mg), static_cast<short>(c.mb));
        const __m128i k127 = _mm_set1_epi16(127), k1 = _mm_set1_epi16(1);
        const __m128i k255 = _mm_set1_epi16(255);
        const __m128i rgb = _mm_set1_epi32(0xFFFFFF);
        const __m128i sign = _mm_set1_epi32(static_cast<int>(0x80000000u));
        const __m128i keyLow = _mm_set1_epi32(static_cast<int>(c.keyLow));
        const __m128i keySpan =
            _mm_set1_epi32(static_cast<int>((c.keyHigh - c.keyLow) ^ 0x80000000u));
        const __m128i alphaForce = _mm_set1_epi32(static_cast<int>(c.forceAlpha));
        const __m128i alphaFactor = _mm_set1_epi32(static_cast<int>(c.ma));
        const __m128i k127x32 = _mm_set1_epi32(127), k1x32 = _mm_set1_epi32(1);
        const __m128i k255x32 = _mm_set1_epi32(255);
        const __m128i forceRgb = _mm_set1_epi32(static_cast<int>(c.forceColor * 0x010101u));
        const __m128i alphaLow = _mm_set1_epi32(c.alphaLow - 1);
        const __m128i alphaHigh = _mm_set1_epi32(c.alphaHigh + 1);
        const __m128i alphaOutside = _mm_set1_epi32(c.alphaOutside ? -1 : 0);
        auto div255 = [&](__m128i y) {
            return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(y, k1), _mm_srli_epi16(y, 8)), 8);
        };
        // Two pixels: texel channels t and pixel channels d, 16-bit lanes.
        auto blend2 = [&](__m128i t, __m128i d) {
            t = _mm_or_si128(t, force);
            if constexpr (kMode == Mode::kModulate) {
                t = div255(_mm_add_epi16(_mm_mullo_epi16(t, factor), k127));
            }
            __m128i a = _mm_shufflelo_epi16(t, _MM_SHUFFLE(3, 3, 3, 3));
            a = _mm_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3));
            const __m128i ia = _mm_sub_epi16(k255, a);
            return div255(_mm_add_epi16(
                _mm_add_epi16(_mm_mullo_epi16(t, a), _mm_mullo_epi16(d, ia)), k127));
        };
        auto put4 = [&](__m128i raw) {
            auto* q = reinterpret_cast<__m128i*>(p);
            const __m128i old = _mm_loadu_si128(q);
            const __m128i t = _mm_or_si128(raw, alphaOr);
            __m128i out;
            bool blended = true;
            if constexpr (kMode == Mode::kPlain) {
                // Texels of alpha 255 or 0 blend to the colour or the pixel as they are (see
                // blend2): four such texels are chosen between without the products. Sprites
                // made from keyed images are nothing but such texels.
                const __m128i a = _mm_or_si128(_mm_srli_epi32(t, 24), alphaForce);
                const __m128i opaque = _mm_cmpeq_epi32(a, k255x32);
                const __m128i clear = _mm_cmpeq_epi32(a, zero);
                if (_mm_movemask_epi8(_mm_or_si128(opaque, clear)) == 0xFFFF) {
                    out = _mm_and_si128(
                        _mm_or_si128(_mm_and_si128(opaque, _mm_or_si128(t, forceRgb)),
                                     _mm_and_si128(clear, old)),
                        rgb);
                    blended = false;
                }
            }
            if (blended) {
                const __m128i lo =
                    blend2(_mm_unpacklo_epi8(t, zero), _mm_unpacklo_epi8(old, zero));
                const __m128i hi =
                    blend2(_mm_unpackhi_epi8(t, zero), _mm_unpackhi_epi8(old, zero));
                out = _mm_and_si128(_mm_packus_epi16(lo, hi), rgb);
            }
            if constexpr (kKey || kTest) {
                __m128i draw = _mm_set1_epi32(-1);
                if constexpr (kKey) {
                    const __m128i offset = _mm_xor_si128(_mm_sub_epi32(raw, keyLow), sign);
                    draw = _mm_cmpgt_epi32(offset, keySpan);
                }
                if constexpr (kTest) {
                    // The alpha the test sees: the texel's (or forced), modulated as in
                    // PutTexel; in 32-bit lanes whose products stay below 65536, so the
                    // 16-bit multiply gives them whole.
                    __m128i a = _mm_or_si128(_mm_srli_epi32(t, 24), alphaForce);
                    if constexpr (kMode == Mode::kModulate) {
                        const __m128i y =
                            _mm_add_epi32(_mm_mullo_epi16(a, alphaFactor), k127x32);
                        a = _mm_srli_epi32(
                            _mm_add_epi32(_mm_add_epi32(y, k1x32), _mm_srli_epi32(y, 8)), 8);
                    }
                    const __m128i pass = _mm_xor_si128(
                        _mm_and_si128(_mm_cmpgt_epi32(a, alphaLow), _mm_cmpgt_epi32(alphaHigh, a)),
                        alphaOutside);
                    draw = _mm_and_si128(draw, pass);
                }
                out = _mm_or_si128(_mm_and_si128(draw, out), _mm_andnot_si128(draw, old));
            }
            _mm_storeu_si128(q, out);
            p += 16;
        };
        if (!kAddress && du == kOne && dv == 0) {
            const uint8_t* tp = texels + (v >> kFracBits) * pitch + (u >> kFracBits) * 4;
            while (end - p >= 16) {
                put4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(tp)));
                tp += 16;
                u += 4 * kOne;
            }
        } else {
            while (end - p >= 16) {
                alignas(16) uint32_t raw[4];
                for (int i = 0; i < 4; ++i, u += du, v += dv) {
                    int tx = static_cast<int>(u >> kFracBits);
                    int ty = static_cast<int>(v >> kFracBits);
                    if constexpr (kAddress) {
                        tx = c.clampU ? std::min(std::max(tx, 0), c.lastU) : tx & c.lastU;
                        ty = c.clampV ? std::min(std::max(ty, 0), c.lastV) : ty & c.lastV;
                    }
                    raw[i] = FetchTexel<kTex>(texels, pitch, tx, ty);
                }
                put4(_mm_load_si128(reinterpret_cast<const __m128i*>(raw)));
            }
        }
    }
    if constexpr (kTex == TexKind::k565 && kBlend && kMode != Mode::kCopy && !kTest) {
        // Eight pixels at a time: the texels gathered, then decoded, combined and blended in
        // 16-bit lanes (every product and sum stays below 65535, so Div255 is exact there).
        // A 5-6-5 texel's alpha is 255, so the source alpha is constant over the triangle.
        const uint32_t a = kMode == Mode::kModulate ? Div255((255 | c.forceAlpha) * c.ma + 127)
                                                    : (255 | c.forceAlpha) & 0xFF;
        const __m128i va = _mm_set1_epi16(static_cast<short>(a));
        const __m128i via = _mm_set1_epi16(static_cast<short>(255 - a));
        const __m128i force = _mm_set1_epi16(static_cast<short>(c.forceColor));
        const __m128i mr = _mm_set1_epi16(static_cast<short>(c.mr));
        const __m128i mg = _mm_set1_epi16(static_cast<short>(c.mg));
        const __m128i mb = _mm_set1_epi16(static_cast<short>(c.mb));
        const __m128i k127 = _mm_set1_epi16(127), k1 = _mm_set1_epi16(1);
        const __m128i m5 = _mm_set1_epi16(0x1F), m6 = _mm_set1_epi16(0x3F);
        auto div255 = [&](__m128i y) {
            return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(y, k1), _mm_srli_epi16(y, 8)), 8);
        };
        const __m128i m8 = _mm_set1_epi32(0xFF);
        while (end - p >= 8 * kTargetBytes) {
            alignas(16) uint16_t raw[8], keyed[8];
            for (int i = 0; i < 8; ++i, u += du, v += dv) {
                int tx = static_cast<int>(u >> kFracBits), ty = static_cast<int>(v >> kFracBits);
                if constexpr (kAddress) {
                    tx = c.clampU ? std::min(std::max(tx, 0), c.lastU) : tx & c.lastU;
                    ty = c.clampV ? std::min(std::max(ty, 0), c.lastV) : ty & c.lastV;
                }
                const uint32_t r = FetchTexel<kTex>(texels, pitch, tx, ty);
                raw[i] = static_cast<uint16_t>(r);
                keyed[i] = kKey && r - c.keyLow <= c.keyHigh - c.keyLow ? 0xFFFF : 0;
            }
            const __m128i t = _mm_load_si128(reinterpret_cast<const __m128i*>(raw));
            __m128i d, dr, dg, db;
            if constexpr (kTargetBytes == 2) {
                d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                dr = Widen5x8(_mm_srli_epi16(d, 11));
                dg = Widen6x8(_mm_and_si128(_mm_srli_epi16(d, 5), m6));
                db = Widen5x8(_mm_and_si128(d, m5));
            } else {
                const __m128i d0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                const __m128i d1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
                auto channel = [&](int shift) {
                    return _mm_packs_epi32(_mm_and_si128(_mm_srli_epi32(d0, shift), m8),
                                           _mm_and_si128(_mm_srli_epi32(d1, shift), m8));
                };
                dr = channel(16);
                dg = channel(8);
                db = channel(0);
                d = _mm_setzero_si128();
            }
            __m128i r = _mm_or_si128(Widen5x8(_mm_srli_epi16(t, 11)), force);
            __m128i g = _mm_or_si128(Widen6x8(_mm_and_si128(_mm_srli_epi16(t, 5), m6)), force);
            __m128i b = _mm_or_si128(Widen5x8(_mm_and_si128(t, m5)), force);
            if constexpr (kMode == Mode::kModulate) {
                r = div255(_mm_add_epi16(_mm_mullo_epi16(r, mr), k127));
                g = div255(_mm_add_epi16(_mm_mullo_epi16(g, mg), k127));
                b = div255(_mm_add_epi16(_mm_mullo_epi16(b, mb), k127));
            }
            auto mix = [&](__m128i src, __m128i dst) {
                return div255(_mm_add_epi16(
                    _mm_add_epi16(_mm_mullo_epi16(src, va), _mm_mullo_epi16(dst, via)), k127));
            };
            r = mix(r, dr);
            g = mix(g, dg);
            b = mix(b, db);
            const __m128i keep = _mm_load_si128(reinterpret_cast<const __m128i*>(keyed));
            if constexpr (kTargetBytes == 2) {
                const __m128i out = _mm_or_si128(
                    _mm_or_si128(_mm_slli_epi16(_mm_srli_epi16(r, 3), 11),
                                 _mm_slli_epi16(_mm_srli_epi16(g, 2), 5)),
                    _mm_srli_epi16(b, 3));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(p),
                                 _mm_or_si128(_mm_andnot_si128(keep, out), _mm_and_si128(keep, d)));
            } else {
                // r and g, b per pixel as 32-bit lanes: (r << 16) | (g << 8) | b.
                const __m128i gb = _mm_or_si128(_mm_slli_epi16(g, 8), b);
                const __m128i out0 = _mm_unpacklo_epi16(gb, r), out1 = _mm_unpackhi_epi16(gb, r);
                const __m128i keep0 = _mm_unpacklo_epi16(keep, keep);
                const __m128i keep1 = _mm_unpackhi_epi16(keep, keep);
                auto* q = reinterpret_cast<__m128i*>(p);
                const __m128i d0 = _mm_loadu_si128(q), d1 = _mm_loadu_si128(q + 1);
                _mm_storeu_si128(q, _mm_or_si128(_mm_andnot_si128(keep0, out0),
                                                 _mm_and_si128(keep0, d0)));
                _mm_storeu_si128(q + 1, _mm_or_si128(_mm_andnot_si128(keep1, out1),
                                                     _mm_and_si128(keep1, d1)));
            }
            p += 8 * kTargetBytes;
        }
    }
#endif
    for (; p != end; u += du, v += dv, p += kTargetBytes) {
        int tx = static_cast<int>(u >> kFracBits), ty = static_cast<int>(v >> kFracBits);
        if constexpr (kAddress) {
            tx = c.clampU ? std::min(std::max(tx, 0), c.lastU) : tx & c.lastU;
            ty = c.clampV ? std::min(std::max(ty, 0), c.lastV) : ty & c.lastV;
        }
        PutTexel<kTargetBytes, kTex, kKey, kMode, kBlend, kTest>(
            c, FetchTexel<kTex>(texels, pitch, tx, ty), p);
    }
}

template <int kTargetBytes, TexKind kTex, bool kKey, Mode kMode, bool kBlend, bool kTest>
void FastTriangle(const Setup& s, const Triangle& t, Rows& rows) {
    const FastState& k = s.fastState;
    const Rgba& d = t.diffuseColor;
    RowConstants c;
    c.texels = k.texels;
    c.pitch = k.texPitch;
    c.lastU = k.texWidth - 1;
    c.lastV = k.texHeight - 1;
    c.clampU = k.clampU;
    c.clampV = k.clampV;
    c.table = k.table;
    c.alphaOr = k.alphaOr;
    c.keyLow = k.keyLow;
    c.keyHigh = k.keyHigh;
    c.forceColor = k.color.force;
    c.forceAlpha = k.alpha.force;
    c.mr = k.color.useDiffuse ? static_cast<uint32_t>(d.r) : 255u;
    c.mg = k.color.useDiffuse ? static_cast<uint32_t>(d.g) : 255u;
    c.mb = k.color.useDiffuse ? static_cast<uint32_t>(d.b) : 255u;
    c.ma = k.alpha.useDiffuse ? static_cast<uint32_t>(d.a) : 255u;
    c.alphaPass = k.alphaPass;
    c.alphaRange = k.alphaRange;
    c.alphaOutside = k.alphaOutside;
    c.alphaLow = k.alphaLow;
    c.alphaHigh = k.alphaHigh;
    c.wideRun = nullptr;
    c.wideRectangle = nullptr;
    c.widePrepared = false;
    if constexpr (kTex == TexKind::k32 && kTargetBytes == 4 && kBlend && kMode != Mode::kCopy) {
        if (!kTest || c.alphaRange) {
            c.wideRun = WideBlendRunFor(kKey, kMode == Mode::kModulate, kTest);
            c.wideRectangle = WideBlendRectangleFor(kKey, kMode == Mode::kModulate, kTest);
            c.wide = WideBlendInputs{c.texels, c.pitch, c.alphaOr, c.keyLow, c.keyHigh,
                                     c.forceColor, c.forceAlpha, c.mr, c.mg, c.mb, c.ma,
                                     c.alphaLow, c.alphaHigh, c.alphaOutside, {}};
        }
    }
    const Plane pu = t.u[0], pv = t.v[0];
    const int ox = t.ox, oy = t.oy;
    uint8_t* const pixels = s.target->pixels;
    const ptrdiff_t targetPitch = s.target->pitch;
    uint64_t wideRuns = 0;  // spans long enough for an eight-pixel run, drawn inside

    if (c.wideRectangle != nullptr && rows.partner == nullptr && rows.leftCount == 0 &&
        rows.rightCount == 0) {
        // A rectangle (every row the same columns) whose texels all lie inside the texture:
        // drawn whole by the eight-pixel runs. The indices change monotonically along rows
        // and columns, so the corners tell.
        const int64_t top = std::max(rows.start, rows.top), bottom = rows.bottom;
        const int64_t left = rows.left, width = rows.width;
        if (top > bottom || width < 0) return;
        const int64_t dx = left - ox, dy = top - oy;
        const int64_t u = pu.At(dx, dy), v = pv.At(dx, dy);
        const int64_t w = width, h = bottom - top;
        auto inside = [](int64_t a, int64_t b, int64_t c2, int64_t d, int last) {
            const int64_t lo = std::min({a, b, c2, d}) >> kFracBits;
            const int64_t hi = std::max({a, b, c2, d}) >> kFracBits;
            return lo >= 0 && hi <= last;
        };
        if (inside(u, u + pu.gx * w, u + pu.gy * h, u + pu.gx * w + pu.gy * h, c.lastU) &&
            inside(v, v + pv.gx * w, v + pv.gy * h, v + pv.gx * w + pv.gy * h, c.lastV)) {
            c.wideRectangle(c.Wide(), u, v, pu.gx, pv.gx, pu.gy, pv.gy,
                            pixels + top * targetPitch + left * kTargetBytes, targetPitch,
                            width + 1, h + 1);
            D3DState().wideRuns += static_cast<uint64_t>(h + 1);
            return;
        }
    }

    ForEachSpan(rows, [&](int py, int xl, int xr) {
        const int64_t dx = xl - ox, dy = py - oy;
        const int64_t u = pu.At(dx, dy), v = pv.At(dx, dy);
        const int64_t du = pu.gx, dv = pv.gx;
        const int64_t n = xr - xl + 1;
        uint8_t* p = pixels + py * targetPitch + ptrdiff_t{xl} * kTargetBytes;
        uint8_t* const end = p + n * kTargetBytes;
        // The next row's pixels are most likely the next span's: asked for while this one is
        // drawn (a sprite's rows lie a whole target row apart, where no prefetcher looks).
        __builtin_prefetch(p + targetPitch, 1);
        __builtin_prefetch(end - 1 + targetPitch, 1);
        // The texel indices change monotonically along the row: the ends tell whether all
        // lie inside the texture.
        const int64_t u0 = u >> kFracBits, u1 = (u + du * (n - 1)) >> kFracBits;
        const int64_t v0 = v >> kFracBits, v1 = (v + dv * (n - 1)) >> kFracBits;
        const bool inside = std::min(u0, u1) >= 0 && std::max(u0, u1) <= c.lastU &&
                            std::min(v0, v1) >= 0 && std::max(v0, v1) <= c.lastV;
        if (!inside) {
            PixelLoop<kTargetBytes, kTex, kKey, kMode, kBlend, kTest, true>(c, u, v, du, dv, p,
                                                                            end);
            return;
        }
        constexpr bool kOwnSteps = (kBlend && kTex == TexKind::k565) ||
                                   (kMode == Mode::kCopy && kTest && kTex == TexKind::k32 &&
                                    kTargetBytes == 4) ||
                                   (kBlend && kTex == TexKind::k32 && kTargetBytes == 4);
        if (du == kOne && dv == 0 && !kOwnSteps) {
            // One texel per pixel along a texture row (the blended 5-6-5 and 32-bit loops and
            // the tested 32-bit copy have their own steps of several pixels).
            constexpr int kTexBytes = kTex == TexKind::k32 ? 4 : 2;
            const uint8_t* tp = c.texels + v0 * c.pitch + u0 * kTexBytes;
            if constexpr (kMode == Mode::kCopy && !kKey && !kTest && kTargetBytes == 2) {
                std::memcpy(p, tp, static_cast<size_t>(n) * 2);
            } else {
                for (int64_t i = 0; i < n; ++i) {
                    uint32_t raw;
                    if constexpr (kTexBytes == 2) {
                        uint16_t r16;
                        std::memcpy(&r16, tp + 2 * i, 2);
                        raw = r16;
                    } else {
                        std::memcpy(&raw, tp + 4 * i, 4);
                    }
                    PutTexel<kTargetBytes, kTex, kKey, kMode, kBlend, kTest>(c, raw,
                                                                             p + kTargetBytes * i);
                }
            }
            return;
        }
        PixelLoop<kTargetBytes, kTex, kKey, kMode, kBlend, kTest, false>(c, u, v, du, dv, p, end);
        if (c.wideRun != nullptr && du == kOne && dv == 0 && n >= 8) ++wideRuns;
    });
    if (wideRuns != 0) D3DState().wideRuns += wideRuns;
}

// The instantiation for the state (the mode, blending and alpha test chosen by the caller).
// A 5-6-5 texel's alpha is 255: its alpha test is decided per triangle, never per texel.
template <int kTargetBytes, Mode kMode, bool kBlend, bool kTest>
TriangleFunction Pick(TexKind tex, bool key) {
    switch (tex) {
        case TexKind::k565:
            if constexpr (kTest) {
                return nullptr;
            } else {
                return key ? FastTriangle<kTargetBytes, TexKind::k565, true, kMode, kBlend, false>
                           : FastTriangle<kTargetBytes, TexKind::k565, false, kMode, kBlend, false>;
            }
        case TexKind::kTable:
            return key ? FastTriangle<kTargetBytes, TexKind::kTable, true, kMode, kBlend, kTest>
                       : FastTriangle<kTargetBytes, TexKind::kTable, false, kMode, kBlend, kTest>;
        default:
            return key ? FastTriangle<kTargetBytes, TexKind::k32, true, kMode, kBlend, kTest>
                       : FastTriangle<kTargetBytes, TexKind::k32, false, kMode, kBlend, kTest>;
    }
}

template <int kTargetBytes, bool kTest>
TriangleFunction PickMode(Mode mode, bool blend, TexKind tex, bool key) {
    if (mode == Mode::kCopy) return Pick<kTargetBytes, Mode::kCopy, false, kTest>(tex, key);
    if (mode == Mode::kPlain) {
        return blend ? Pick<kTargetBytes, Mode::kPlain, true, kTest>(tex, key)
                     : Pick<kTargetBytes, Mode::kPlain, false, kTest>(tex, key);
    }
    return blend ? Pick<kTargetBytes, Mode::kModulate, true, kTest>(tex, key)
                 : Pick<kTargetBytes, Mode::kModulate, false, kTest>(tex, key);
}

template <int kTargetBytes>
TriangleFunction PickTest(Mode mode, bool blend, bool test, TexKind tex, bool key) {
    return test ? PickMode<kTargetBytes, true>(mode, blend, tex, key)
                : PickMode<kTargetBytes, false>(mode, blend, tex, key);
}

// The alpha test's verdicts as one range of passing alphas or of failing ones, when they
// form one (checked against every alpha, so the range gives exactly the table's verdicts).
void FindAlphaRange(FastState* k) {
    k->alphaRange = false;
    for (const bool outside : {false, true}) {
        const uint8_t inside = outside ? 0 : 1;
        int low = 0;
        while (low < 256 && k->alphaPass[low] != inside) ++low;
        int high = 255;
        while (high >= 0 && k->alphaPass[high] != inside) --high;
        if (low > high) continue;  // none inside: the other form
        bool exact = true;
        for (int a = 0; a < 256; ++a) {
            const bool in = a >= low && a <= high;
            exact = exact && (k->alphaPass[a] != 0) == (in != outside);
        }
        if (exact) {
            k->alphaRange = true;
            k->alphaOutside = outside;
            k->alphaLow = low;
            k->alphaHigh = high;
            return;
        }
    }
}

// A triangle whose constant alpha fails the alpha test: nothing to draw.
void NoPixels(const Setup&, const Triangle&, Rows&) {}

bool AddressFits(uint32_t mode, uint32_t size) {
    if (mode == D3DTADDRESS_CLAMP) return true;
    return mode == D3DTADDRESS_WRAP && (size & (size - 1)) == 0;
}

}  // namespace

void ChooseFastSpans(Setup* s) {
    s->fastPlain = s->fastModulate = nullptr;
    const Format& tf = s->targetFormat;
    const bool target565 = tf.bytes == 2 && tf.r.mask == 0xF800 && tf.g.mask == 0x07E0 &&
                           tf.b.mask == 0x001F && tf.a.mask == 0;
    const bool target888 = tf.bytes == 4 && tf.r.mask == 0xFF0000 && tf.g.mask == 0xFF00 &&
                           tf.b.mask == 0xFF && tf.a.mask == 0;
    if (!target565 && !target888) return;
    if (s->zBuffer != nullptr || s->stageCount != 1) return;
    const Stage& st = s->stages[0];
    if (!st.samples || st.bilinear) return;
    const SurfaceImpl* tex = st.texture;
    if (!AddressFits(st.addressU, tex->width) || !AddressFits(st.addressV, tex->height)) return;
    if (tex->width > (1u << 24) || tex->height > (1u << 24)) return;
    const Format& xf = st.format;
    const bool tex565 = xf.bytes == 2 && xf.r.mask == 0xF800 && xf.g.mask == 0x07E0 &&
                        xf.b.mask == 0x001F && xf.a.mask == 0;
    const bool tex32 = xf.bytes == 4 && xf.r.mask == 0xFF0000 && xf.g.mask == 0xFF00 &&
                       xf.b.mask == 0xFF;
    FastState& k = s->fastState;
    k.table = tex565 || tex32 ? nullptr : TableFor(tex->format);
    if (!tex565 && !tex32 && k.table == nullptr) return;
    if (!SourceOf(st.colorOp, st.colorArg1, st.colorArg2, &k.color)) return;
    if (st.alphaOp == D3DTOP_DISABLE) {
        k.alpha = FastSource{255, true};  // the current (diffuse) alpha
    } else if (!SourceOf(st.alphaOp, st.alphaArg1, st.alphaArg2, &k.alpha)) {
        return;
    }
    // The alpha test varies per pixel only where the alpha is the texel's own.
    k.alphaPerTexel = s->alphaTest && k.alpha.force == 0 && xf.a.bits != 0;
    k.alphaRange = k.alphaOutside = false;
    k.alphaLow = k.alphaHigh = 0;
    if (s->alphaTest) {
        for (int a = 0; a < 256; ++a) {
            k.alphaPass[a] = Compare(s->alphaFunc, a, s->alphaRef) ? 1 : 0;
        }
        FindAlphaRange(&k);
    }
    bool blend = false;
    if (s->blend) {
        if (s->srcBlend != D3DBLEND_SRCALPHA || s->destBlend != D3DBLEND_INVSRCALPHA) return;
        blend = true;
    }
    k.texels = tex->pixels;
    k.texPitch = tex->pitch;
    k.texWidth = static_cast<int>(tex->width);
    k.texHeight = static_cast<int>(tex->height);
    k.clampU = st.addressU == D3DTADDRESS_CLAMP;
    k.clampV = st.addressV == D3DTADDRESS_CLAMP;
    k.alphaOr = xf.a.bits == 0 ? 0xFF000000u : 0u;
    k.keyLow = tex->sourceKey.low;
    k.keyHigh = tex->sourceKey.high;

    const TexKind kind = tex565 ? TexKind::k565 : tex32 ? TexKind::k32 : TexKind::kTable;
    // A range with low above high keys nothing.
    const bool key =
        s->colorKey && tex->hasSourceKey && tex->sourceKey.low <= tex->sourceKey.high;
    // The raw texel is the target's pixel when the layouts agree and the colour is the texel's.
    const bool copy = !blend && k.color.force == 0 && ((tex565 && target565) || (tex32 && target888));
    const Mode plain = copy ? Mode::kCopy : Mode::kPlain;
    const bool test = k.alphaPerTexel;
    if (target565) {
        s->fastPlain = PickTest<2>(plain, blend, test, kind, key);
        s->fastModulate = PickTest<2>(Mode::kModulate, blend, test, kind, key);
    } else {
        s->fastPlain = PickTest<4>(plain, blend, test, kind, key);
        s->fastModulate = PickTest<4>(Mode::kModulate, blend, test, kind, key);
    }
    // Both or neither: the rasteriser asks for a loop only when fastModulate is set.
    if (s->fastPlain == nullptr || s->fastModulate == nullptr) {
        s->fastPlain = s->fastModulate = nullptr;
    }
}

TriangleFunction FastTriangleFor(const Setup& s, const Triangle& t) {
    if (!t.constantDiffuse || !t.smallTexels) return nullptr;
    const FastState& k = s.fastState;
    const Rgba& d = t.diffuseColor;
    if (s.alphaTest && !k.alphaPerTexel) {
        // The texel's alpha is 255 or unread: the alpha is the diffuse one (Mul(255, d.a)) or
        // 255, the same over the whole triangle.
        const int a = k.alpha.useDiffuse ? d.a : 255;
        if (k.alphaPass[a] == 0) return NoPixels;
    }
    // Without blending or the alpha test the alpha reaches no pixel (the targets have none).
    const bool colorPlain = !k.color.useDiffuse || (d.r == 255 && d.g == 255 && d.b == 255);
    const bool alphaPlain = (!s.blend && !s.alphaTest) || !k.alpha.useDiffuse || d.a == 255;
    return colorPlain && alphaPlain ? s.fastPlain : s.fastModulate;
}

}  // namespace plat::raster
