#include "tests/softrender/reference_model.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "softrender/rules/blend_tables.h"

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

uint32_t Byte(uint32_t v, int i) { return (v >> (8 * i)) & 0xFFu; }

// Channel values of a 5-6-5 colour: [0] red, [1] green, [2] blue; widths 5, 6, 5.
const int kWidth565[3] = {5, 6, 5};
uint32_t Field565(uint32_t v, int i) {
    return i == 0 ? (v >> 11) & 0x1Fu : i == 1 ? (v >> 5) & 0x3Fu : v & 0x1Fu;
}
uint32_t Join565(const uint32_t f[3]) { return (f[0] << 11) | (f[1] << 5) | f[2]; }

// The bright byte of a 5-6-5 field (red, green, blue) and of a 32-bit byte (blue, green, red).
uint32_t BrightFor565(uint32_t bright, int i) {
    return i == 0 ? (bright >> 16) & 0xFFu : i == 1 ? (bright >> 8) & 0xFFu : bright & 0xFFu;
}
uint32_t BrightFor32(uint32_t bright, int i) { return Byte(bright, i); }

uint32_t Scale255(uint32_t v, uint32_t f) { return v * f / 255u; }

bool White(uint32_t bright) { return (bright & 0xFFFFFFu) == 0xFFFFFFu; }

// ---- 32-bit pixels ----------------------------------------------------------------------

struct Factors {
    int64_t product = 1;
    int count = 0;
    void Add(uint32_t f) {
        product *= f;
        ++count;
    }
};

uint32_t Interpolate32(uint32_t d, const uint32_t b[3], const Factors& f) {
    uint32_t r = d & 0xFF000000u;
    for (int i = 0; i < 3; ++i) {
        const int64_t dc = Byte(d, i);
        const int64_t v = dc + FloorDiv((static_cast<int64_t>(b[i]) - dc) * f.product,
                                        int64_t{1} << (8 * f.count));
        r |= static_cast<uint32_t>(v) << (8 * i);
    }
    return r;
}

uint32_t SaturatingBytes(uint32_t d, uint32_t s, bool add) {
    uint32_t r = 0;
    for (int i = 0; i < 4; ++i) {
        const int v = add ? static_cast<int>(Byte(d, i) + Byte(s, i))
                          : static_cast<int>(Byte(d, i)) - static_cast<int>(Byte(s, i));
        r |= static_cast<uint32_t>(std::clamp(v, 0, 255)) << (8 * i);
    }
    return r;
}

std::optional<uint32_t> Pixel32(RefKernel kernel, const RefSource& src, const RefCall& call,
                                uint32_t d, bool useAlpha, bool shortcuts, int mode, uint32_t p) {
    const bool white = White(call.bright);
    uint32_t b[3];
    for (int i = 0; i < 3; ++i) {
        const uint32_t s = Byte(src.colour, i);
        b[i] = white ? s : Scale255(s, BrightFor32(call.bright, i));
    }
    auto pack = [](const uint32_t c[3]) { return c[0] | (c[1] << 8) | (c[2] << 16); };
    Factors f;
    if (call.blendImage) f.Add(call.blendWeight);
    if (useAlpha) f.Add(src.alpha);

    switch (mode) {
        case 0:
            if (f.count == 0) {
                return white ? src.colour : (d & 0xFF000000u) | pack(b);
            }
            return Interpolate32(d, b, f);
        case 1:
            if (kernel == RefKernel::Unscaled && shortcuts && p == 128) {
                uint32_t r = 0;
                for (int i = 0; i < 3; ++i) r |= (Byte(src.colour, i) / 2 + Byte(d, i) / 2) << (8 * i);
                return r;
            }
            f.Add(p);
            return Interpolate32(d, b, f);
        case 2:
        case 3: {
            const bool add = mode == 2;
            if (shortcuts && p == 255 && (kernel == RefKernel::Unscaled || !add)) {
                if (call.useMmx) return SaturatingBytes(d, src.colour, add);
                return add ? ReferenceCarryAdd32(d, src.colour & 0xFFFFFFu, false)
                           : ReferenceCarrySub32(d, src.colour & 0xFFFFFFu);
            }
            uint32_t t[3];
            if (f.count == 0) {
                for (int i = 0; i < 3; ++i) t[i] = Scale255(b[i], p);
            } else {
                f.Add(p);
                for (int i = 0; i < 3; ++i) {
                    t[i] = static_cast<uint32_t>(b[i] * f.product >> (8 * f.count));
                }
            }
            return add ? ReferenceCarryAdd32(d, pack(t), true) : ReferenceCarrySub32(d, pack(t));
        }
        default: {
            uint32_t r = d & 0xFF000000u;
            for (int i = 0; i < 3; ++i) {
                const int64_t v = static_cast<int64_t>(Byte(d, i)) * b[i] * f.product >>
                                  (8 + 8 * f.count);
                r |= static_cast<uint32_t>(v) << (8 * i);
            }
            return r;
        }
    }
}

// ---- 16-bit pixels ----------------------------------------------------------------------

std::optional<uint32_t> Pixel16(RefKernel kernel, const RefSource& src, const RefCall& call,
                                uint32_t d, bool useAlpha, bool shortcuts, int mode, uint32_t p) {
    const bool white = White(call.bright);
    uint32_t cs[3], csb[3], cd[3];
    for (int i = 0; i < 3; ++i) {
        cs[i] = Field565(src.colour, i);
        csb[i] = white ? cs[i] : Scale255(cs[i], BrightFor565(call.bright, i));
        cd[i] = Field565(d, i);
    }
    Factors f;
    if (call.blendImage) f.Add(call.blendWeight);
    if (useAlpha) f.Add(src.alpha);
    uint32_t r[3];

    switch (mode) {
        case 0:
            if (f.count == 0) return white ? (src.colour & 0xFFFFu) : Join565(csb);
            for (int i = 0; i < 3; ++i) {
                r[i] = static_cast<uint32_t>(
                    cd[i] + FloorDiv((static_cast<int64_t>(csb[i]) - cd[i]) * f.product,
                                     int64_t{1} << (8 * f.count)));
            }
            return Join565(r);
        case 1:
            if (kernel == RefKernel::Unscaled && shortcuts && p == 128) {
                for (int i = 0; i < 3; ++i) r[i] = Field565(src.colour, i) / 2 + cd[i] / 2;
                return Join565(r);
            }
            if (f.count == 0) {
                // p the only factor.
                const bool table565 = kernel == RefKernel::Unscaled && white && !src.alphaChannel;
                for (int i = 0; i < 3; ++i) {
                    if (table565) {
                        const uint32_t o = p >> 2;
                        r[i] = (cs[i] * o + cd[i] * (63 - o)) / 63;
                    } else {
                        // Truncated toward zero.
                        const int64_t diff = static_cast<int64_t>(csb[i]) - cd[i];
                        r[i] = static_cast<uint32_t>(cd[i] + diff * p / 255);
                    }
                }
                return Join565(r);
            }
            f.Add(p);
            for (int i = 0; i < 3; ++i) {
                r[i] = static_cast<uint32_t>(
                    cd[i] + FloorDiv((static_cast<int64_t>(csb[i]) - cd[i]) * f.product,
                                     int64_t{1} << (8 * f.count)));
            }
            return Join565(r);
        case 2:
        case 3: {
            const bool add = mode == 2;
            if (shortcuts && p == 255 && (kernel == RefKernel::Unscaled || !add)) {
                // Unscaled: one pixel stepped alone. Scaled: the full-parameter subtract, e = s.
                return add ? ReferenceSaturatingAdd565(d, src.colour & 0xFFFFu, false)
                           : ReferenceSaturatingSub565(d, src.colour & 0xFFFFu);
            }
            uint32_t t[3];
            for (int i = 0; i < 3; ++i) {
                uint32_t v;
                if (kernel == RefKernel::Scaled && useAlpha && !call.blendImage && !white) {
                    // The alpha before the bright.
                    v = Scale255(cs[i] * src.alpha >> 8, BrightFor565(call.bright, i));
                } else {
                    v = static_cast<uint32_t>(csb[i] * f.product >> (8 * f.count));
                }
                t[i] = Scale255(v, p);
            }
            const uint32_t e = Join565(t);
            return add ? ReferenceSaturatingAdd565(d, e, true) : ReferenceSaturatingSub565(d, e);
        }
        default:
            for (int i = 0; i < 3; ++i) {
                r[i] = static_cast<uint32_t>(csb[i] * cd[i] * f.product >>
                                             (kWidth565[i] + 8 * f.count));
            }
            return Join565(r);
    }
}

}  // namespace

uint32_t ReferenceCarryAdd32(uint32_t d, uint32_t t, bool lowBits) {
    const uint32_t sumB = Byte(d, 0) + Byte(t, 0);
    const bool overB = sumB > 255;
    const uint32_t halfG = (Byte(d, 1) >> 1) + (Byte(t, 1) >> 1);
    const bool overG = halfG >= 128;
    const uint32_t halfR = (Byte(d, 2) >> 1) + (Byte(t, 2) >> 1);
    const bool overR = halfR >= 128;
    const bool lowG = overB || (lowBits && ((Byte(d, 1) | Byte(t, 1)) & 1));
    const bool lowR = overG || (lowBits && ((Byte(d, 2) | Byte(t, 2)) & 1));
    const uint32_t b = overB ? 255 : sumB;
    const uint32_t g = overG ? 255 : 2 * halfG + (lowG ? 1 : 0);
    const uint32_t r = overR ? 255 : 2 * halfR + (lowR ? 1 : 0);
    return b | (g << 8) | (r << 16) | ((overR ? 1u : 0u) << 24);
}

uint32_t ReferenceCarrySub32(uint32_t d, uint32_t t) {
    const bool borrowB = Byte(d, 0) < Byte(t, 0);
    const bool borrowG = (Byte(d, 1) >> 1) < (Byte(t, 1) >> 1);
    const bool borrowR = (Byte(d, 2) >> 1) < (Byte(t, 2) >> 1);
    const uint32_t b = borrowB ? 0 : Byte(d, 0) - Byte(t, 0);
    const uint32_t g = borrowG ? 0 : 2 * ((Byte(d, 1) >> 1) - (Byte(t, 1) >> 1)) + (borrowB ? 0 : 1);
    const uint32_t r = borrowR ? 0 : 2 * ((Byte(d, 2) >> 1) - (Byte(t, 2) >> 1)) + (borrowG ? 0 : 1);
    return b | (g << 8) | (r << 16);
}

uint32_t ReferenceSaturatingAdd565(uint32_t d, uint32_t e, bool lowBits) {
    const uint32_t dr = Field565(d, 0), dg = Field565(d, 1), db = Field565(d, 2);
    const uint32_t er = Field565(e, 0), eg = Field565(e, 1), eb = Field565(e, 2);
    const uint32_t sumB = db + eb;
    const bool overB = sumB > 31;
    const uint32_t halfG = (dg >> 1) + (eg >> 1);
    const bool overG = halfG >= 32;
    const uint32_t halfR = (dr >> 1) + (er >> 1);
    const bool overR = halfR >= 16;
    const uint32_t lowG = (overB || (lowBits && ((dg | eg) & 1))) ? 1 : 0;
    const uint32_t lowR = (overG || (lowBits && ((dr | er) & 1))) ? 1 : 0;
    uint32_t f[3];
    f[2] = overB ? 31 : sumB;
    // An overflowing green is filled above its lowest bit, which keeps its own value.
    f[1] = overG ? 62 + lowG : 2 * halfG + lowG;
    f[0] = overR ? 31 : 2 * halfR + lowR;
    return Join565(f);
}

uint32_t ReferenceSaturatingSub565(uint32_t d, uint32_t e) {
    const uint32_t dr = Field565(d, 0), dg = Field565(d, 1), db = Field565(d, 2);
    const uint32_t er = Field565(e, 0), eg = Field565(e, 1), eb = Field565(e, 2);
    const bool borrowB = db < eb;
    const bool borrowG = (dg >> 1) < (eg >> 1);
    const bool borrowR = (dr >> 1) < (er >> 1);
    uint32_t f[3];
    f[2] = borrowB ? 0 : db - eb;
    f[1] = borrowG ? 0 : 2 * ((dg >> 1) - (eg >> 1));
    f[0] = borrowR ? 0 : 2 * ((dr >> 1) - (er >> 1)) + (borrowG ? 0 : 1);
    return Join565(f);
}

std::optional<uint32_t> ReferencePixel(RefKernel kernel, const RefSource& src, const RefCall& call,
                                       uint32_t d) {
    if (call.mode < 0 || call.mode > 4) return std::nullopt;
    const uint32_t p = static_cast<uint32_t>(call.param);
    int mode = call.mode;
    if (mode == 1 && p == 255) mode = 0;
    if ((mode == 1 || mode == 2) && p == 0) return std::nullopt;
    if (mode == 3 && p == 0 && (kernel == RefKernel::Unscaled || !src.paletted)) {
        return std::nullopt;
    }
    const bool white = White(call.bright);
    const bool alphaSource = !src.paletted && src.alphaChannel;
    const bool plainCopy = mode == 0 && !call.blendImage && white;

    bool useAlpha = alphaSource;
    if (call.transFlag != 0) {
        if (!alphaSource) {
            if (src.paletted) {
                if (src.index == src.colorKey) return std::nullopt;
            } else if (src.format == 0 && plainCopy) {
                if ((src.colour & 0xFFFFu) == (src.colorKey & 0xFFFFu)) return std::nullopt;
            } else if (src.colour == src.colorKey) {
                return std::nullopt;
            }
        } else {
            // The unscaled multiply has only the opaque short cut.
            const bool zeroSkipped = kernel == RefKernel::Scaled || mode != 4;
            if (src.alpha == 0 && zeroSkipped) return std::nullopt;
            if (src.alpha == 255) useAlpha = false;
        }
    } else if (alphaSource && plainCopy && kernel == RefKernel::Unscaled) {
        useAlpha = false;  // the plain copy ignores the alpha
    }
    const bool shortcuts = !call.blendImage && white && !alphaSource;
    if (src.format == 1) return Pixel32(kernel, src, call, d, useAlpha, shortcuts, mode, p);
    return Pixel16(kernel, src, call, d, useAlpha, shortcuts, mode, p);
}

RefSource ReferenceSourceAt(const MEMIMG* src, int64_t i, int64_t j) {
    const int format = src->pixelFormat;
    const int bytes = src->paletted ? 1 : (format == 1 || src->alpha) ? 4 : 2;
    const uint8_t* p = src->pixels + j * src->pitch + i * bytes;
    RefSource s;
    s.format = format;
    s.paletted = src->paletted != 0;
    s.alphaChannel = src->alpha != 0;
    s.colorKey = src->colorKey;
    if (src->paletted) {
        s.index = p[0];
        const int count = std::clamp(src->paletteCount, 0, 256);
        if (static_cast<int>(s.index) < count) {
            s.colour = format == 1 ? static_cast<const uint32_t*>(src->palette)[s.index]
                                   : static_cast<const uint16_t*>(src->palette)[s.index];
        }
    } else if (format == 1) {
        std::memcpy(&s.colour, p, 4);
        s.alpha = p[3];
    } else {
        uint16_t v;
        std::memcpy(&v, p, 2);
        s.colour = v;
        if (src->alpha) s.alpha = p[2];
    }
    return s;
}

RefCall ReferenceCallFor(const DrawState& state, int32_t transFlag, const MEMIMG* blend,
                         int useMmx) {
    RefCall call;
    call.mode = state.blendMode;
    call.param = state.blendParam;
    call.bright = state.bright;
    call.blendImage = blend != nullptr;
    call.transFlag = transFlag;
    call.useMmx = useMmx;
    return call;
}

void ReferenceBlitMemImg(MEMIMG* dst, const MEMIMG* src, int32_t x, int32_t y, int32_t transFlag,
                         const MEMIMG* blend, const DrawState& state, int useMmx) {
    if (src->pixelFormat != dst->pixelFormat || dst->paletted || dst->alpha) return;
    const int format = src->pixelFormat;
    if (format != 0 && format != 1) return;
    if (blend != nullptr && (blend->width < src->width || blend->height < src->height)) return;
    if (static_cast<int64_t>(x) + src->width > INT32_MAX ||
        static_cast<int64_t>(y) + src->height > INT32_MAX) {
        return;
    }
    // The visible part: inside the draw area and inside the destination.
    const int64_t left = std::max<int64_t>({x, state.drawArea.left, 0});
    const int64_t top = std::max<int64_t>({y, state.drawArea.top, 0});
    const int64_t right = std::min<int64_t>(
        {static_cast<int64_t>(x) + src->width, state.drawArea.right, dst->width});
    const int64_t bottom = std::min<int64_t>(
        {static_cast<int64_t>(y) + src->height, state.drawArea.bottom, dst->height});
    if (left >= right || top >= bottom) return;

    const int dstBytes = format == 1 ? 4 : 2;
    const bool white = White(state.bright);
    const bool alphaSource = !src->paletted && src->alpha;
    int mode = state.blendMode;
    if (mode == 1 && state.blendParam == 255) mode = 0;
    // The 16-bit unscaled add and subtract step pixel pairs of the drawn row as one word.
    const bool pairs = format == 0 && !blend && white && !alphaSource && state.blendParam == 255 &&
                       (mode == 2 || mode == 3);

    RefCall call = ReferenceCallFor(state, transFlag, blend, useMmx);
    auto load = [&](int64_t dx, int64_t dy) {
        uint32_t v = 0;
        std::memcpy(&v, dst->pixels + dy * dst->pitch + dx * dstBytes, dstBytes);
        return v;
    };
    auto store = [&](int64_t dx, int64_t dy, uint32_t v) {
        std::memcpy(dst->pixels + dy * dst->pitch + dx * dstBytes, &v, dstBytes);
    };

    for (int64_t dy = top; dy < bottom; ++dy) {
        const int64_t j = dy - y;
        for (int64_t dx = left; dx < right; ++dx) {
            const int64_t i = dx - x;
            const RefSource s = ReferenceSourceAt(src, i, j);
            if (blend != nullptr) call.blendWeight = BlendWeightMap[blend->pixels[j * blend->pitch + i]];
            if (pairs && (dx - left) % 2 == 0 && dx + 1 < right) {
                // A pair whose two pixels are both drawn is stepped as one 32-bit word.
                const RefSource s1 = ReferenceSourceAt(src, i + 1, j);
                const uint32_t d0 = load(dx, dy), d1 = load(dx + 1, dy);
                const auto r0 = ReferencePixel(RefKernel::Unscaled, s, call, d0);
                const auto r1 = ReferencePixel(RefKernel::Unscaled, s1, call, d1);
                if (r0 && r1) {
                    const uint32_t dw = d0 | (d1 << 16);
                    const uint32_t sw = (s.colour & 0xFFFFu) | (s1.colour << 16);
                    uint32_t w;
                    if (mode == 2) {
                        const uint64_t t = static_cast<uint64_t>(dw & 0xF7DEF7DFu) + (sw & 0xF7DEF7DFu);
                        const uint32_t e = static_cast<uint32_t>(t >> 32);
                        const uint32_t t32 = static_cast<uint32_t>(t);
                        const uint32_t q = t32 & 0x08210820u;
                        w = t32 | (q - ((q >> 5) | (e << 27)));
                    } else {
                        const int64_t u = static_cast<int64_t>(dw | 0x08210820u) - (sw & 0xF7DEF7DFu);
                        const uint32_t e = u < 0 ? 1 : 0;
                        const uint32_t u32 = static_cast<uint32_t>(u);
                        const uint32_t q = u32 & 0x08210820u;
                        w = u32 & ((q - (q >> 5)) | (e == 0 ? 0xF8000000u : 0u));
                    }
                    store(dx, dy, w & 0xFFFFu);
                    store(dx + 1, dy, w >> 16);
                } else {
                    if (r0) store(dx, dy, *r0);
                    if (r1) store(dx + 1, dy, *r1);
                }
                ++dx;
                continue;
            }
            const auto r = ReferencePixel(RefKernel::Unscaled, s, call, load(dx, dy));
            if (r) store(dx, dy, *r);
        }
    }
}

void ReferenceFillMemImgRect(MEMIMG* dst, const RECT* rect, uint32_t color,
                             const DrawState& state) {
    if (dst->paletted || dst->alpha) return;
    int64_t l = 0, t = 0, r = dst->width, b = dst->height;
    if (rect != nullptr) {
        l = std::min(rect->left, rect->right);
        r = std::max(rect->left, rect->right);
        t = std::min(rect->top, rect->bottom);
        b = std::max(rect->top, rect->bottom);
    }
    l = std::max<int64_t>({l, state.drawArea.left, 0});
    t = std::max<int64_t>({t, state.drawArea.top, 0});
    r = std::min<int64_t>({r, state.drawArea.right, dst->width});
    b = std::min<int64_t>({b, state.drawArea.bottom, dst->height});
    if (l >= r || t >= b) return;
    const int format = dst->pixelFormat;
    if (format != 0 && format != 1) return;
    const int mode = state.blendMode;
    const uint32_t p = static_cast<uint32_t>(state.blendParam);
    if (mode < 0 || mode > 4) return;
    if (mode >= 1 && mode <= 3 && p == 0) return;

    uint32_t c = format == 0 ? color & 0xFFFFu : color;
    if (!White(state.bright)) {
        if (format == 1) {
            uint32_t m = c & 0xFF000000u;
            for (int i = 0; i < 3; ++i) m |= (Byte(c, i) * BrightFor32(state.bright, i) >> 8) << (8 * i);
            c = m;
        } else {
            uint32_t f[3];
            for (int i = 0; i < 3; ++i) f[i] = Field565(c, i) * BrightFor565(state.bright, i) >> 8;
            c = Join565(f);
        }
    }
    const int bytes = format == 1 ? 4 : 2;
    for (int64_t y = t; y < b; ++y) {
        for (int64_t x = l; x < r; ++x) {
            uint8_t* px = dst->pixels + y * dst->pitch + x * bytes;
            uint32_t d = 0;
            std::memcpy(&d, px, bytes);
            uint32_t out = d;
            if (mode == 0 || (mode == 1 && p == 255)) {
                out = c;
            } else if (format == 1) {
                uint32_t s = 0;
                for (int i = 0; i < 3; ++i) s |= Scale255(Byte(c, i), p) << (8 * i);
                switch (mode) {
                    case 1:
                        out = d & 0xFF000000u;
                        for (int i = 0; i < 3; ++i) {
                            const int64_t dc = Byte(d, i);
                            out |= static_cast<uint32_t>(
                                       dc + FloorDiv((static_cast<int64_t>(Byte(c, i)) - dc) * p, 256))
                                   << (8 * i);
                        }
                        break;
                    case 2: out = ReferenceCarryAdd32(d, s, true); break;
                    case 3: out = ReferenceCarrySub32(d, s); break;
                    default:
                        out = d & 0xFF000000u;
                        for (int i = 0; i < 3; ++i) out |= (Byte(d, i) * Byte(c, i) >> 8) << (8 * i);
                        break;
                }
            } else {
                uint32_t f[3];
                switch (mode) {
                    case 1:
                        for (int i = 0; i < 3; ++i) {
                            const int64_t diff = static_cast<int64_t>(Field565(c, i)) - Field565(d, i);
                            f[i] = static_cast<uint32_t>(Field565(d, i) + diff * p / 255);
                        }
                        out = Join565(f);
                        break;
                    case 2:
                    case 3: {
                        for (int i = 0; i < 3; ++i) f[i] = Scale255(Field565(c, i), p);
                        out = mode == 2 ? ReferenceSaturatingAdd565(d, Join565(f), true)
                                        : ReferenceSaturatingSub565(d, Join565(f));
                        break;
                    }
                    default:
                        for (int i = 0; i < 3; ++i) {
                            f[i] = Field565(d, i) * Field565(c, i) >> kWidth565[i];
                        }
                        out = Join565(f);
                        break;
                }
            }
            std::memcpy(px, &out, bytes);
        }
    }
}
