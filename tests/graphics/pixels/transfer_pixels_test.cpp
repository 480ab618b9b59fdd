// TransferPixels checked against a plain per-pixel model of its rules on seeded random images,
// over every pair of a catalogue of formats (paletted, grey, 5-6-5, 5-5-5, 4-4-4-4, 24-bit,
// 32-bit with and without alpha, channel orders, 10-bit channels, raw, an absent channel) and
// every option (alpha image, mirror, key to alpha, key skip, dither modes, raw options), plus
// the rules that the random run cannot show by itself.
#include "graphics/pixels/transfer_pixels.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// ---- the model ------------------------------------------------------------------------------

struct Field {
    uint32_t mask;
    int shift, width;
};
Field FieldOf(uint32_t mask) {
    if (mask == 0) return {0, 0, 0};
    const int shift = std::countr_zero(mask);
    return {mask, shift, std::popcount(mask)};
}
uint64_t Ones(int n) { return n == 0 ? 0 : (~0ull >> (64 - n)); }

uint32_t Load(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= uint32_t{p[i]} << (8 * i);
    return v;
}
void Store(uint8_t* p, int bytes, uint32_t v) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// A source width brought to a destination width without dither.
uint64_t Fit(uint64_t v, int from, int to) {
    if (from == 0 || to == 0) return 0;
    if (to > from) {
        const int d = to - from;
        return (v << d) + v * Ones(d) / Ones(from);
    }
    return v >> (from - to);
}

const int kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

struct Call {
    std::vector<uint8_t>* dest;
    size_t destOrigin;
    int destPitch;
    const PaletteColorFormat* D;
    const std::vector<uint8_t>* source;
    size_t sourceOrigin;
    int sourcePitch;
    const PaletteColorFormat* S;
    const std::vector<uint8_t>* alpha;
    int alphaPitch;
    const PaletteColorFormat* A;
    int destX, destY;
    RECT rect;
    int mirror, keyToAlpha;
    uint32_t key;
    int dither, optionA, optionB, keySkip;
};

int Model(const Call& c) {
    const ColorFormat& S = c.S->format;
    const ColorFormat& D = c.D->format;
    const int w = c.rect.right - c.rect.left, h = c.rect.bottom - c.rect.top;
    if (w <= 0 || h <= 0) return -1;
    auto src = [&](int x, int y) {
        const uint8_t* p = c.source->data() + c.sourceOrigin +
                           int64_t{c.rect.top + y} * c.sourcePitch + int64_t{c.rect.left + x} * S.bytes;
        return Load(p, S.bytes);
    };
    auto dst = [&](int x, int y) {
        return c.dest->data() + c.destOrigin + int64_t{c.destY + y} * c.destPitch +
               int64_t{c.destX + x} * D.bytes;
    };
    const uint32_t keyMask = S.bytes == 1 ? 0xFF : S.bytes == 2 ? 0xFFFF : 0xFFFFFF;
    bool skip = c.keySkip && !c.mirror;
    const bool same = S.bits == D.bits && S.maskR == D.maskR && S.maskG == D.maskG &&
                      S.maskB == D.maskB && S.maskA == D.maskA;

    if (S.bits == 8 && D.bits == 8) {
        int highest = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint32_t v = src(x, y);
                if (skip && v == (c.key & 0xFF)) continue;
                *dst(c.mirror ? w - 1 - x : x, y) = static_cast<uint8_t>(v);
                highest = std::max<int>(highest, v);
            }
        }
        return highest;
    }
    if (c.optionA || same) {
        if (!c.optionA && D.bits == 8) return -1;  // cannot happen: same implies both 8
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint32_t v = src(x, y);
                if (skip && (v & keyMask) == (c.key & keyMask)) continue;
                Store(dst(c.mirror ? w - 1 - x : x, y), D.bytes, v);
            }
        }
        return 0;
    }
    if (D.bits == 8) return -1;

    const bool destAlpha = D.widthA != 0;
    const bool fromSource = destAlpha && S.widthA != 0;
    const bool fromImage = destAlpha && S.widthA == 0 && c.alpha != nullptr;
    const bool fromKey = destAlpha && S.widthA == 0 && c.alpha == nullptr && c.keyToAlpha && !c.optionB;
    if (fromImage || fromKey) skip = false;
    const uint32_t sMasks[3] = {S.maskR, S.maskG, S.maskB};
    const uint32_t dMasks[3] = {D.maskR, D.maskG, D.maskB};
    const uint32_t keyBytes[3] = {(c.key >> 16) & 0xFF, (c.key >> 8) & 0xFF, c.key & 0xFF};

    for (int y = 0; y < h; ++y) {
        uint64_t carry[3] = {0, 0, 0};
        for (int x = 0; x < w; ++x) {
            const uint32_t raw = src(x, y);
            if (skip && (raw & keyMask) == (c.key & keyMask)) continue;
            uint32_t p = raw;
            if (S.bytes == 1) {
                const PaletteEntry& e = c.S->palette[raw];
                p = uint32_t{e.b} | uint32_t{e.g} << 8 | uint32_t{e.r} << 16 | uint32_t{e.reserved} << 24;
            }
            const int column = c.mirror ? w - 1 - x : x;
            const int m = kMatrix[(c.destY + y) & 3][(c.destX + column) & 3];
            uint64_t out = D.noUseMask;
            bool match = true;
            for (int ch = 0; ch < 3; ++ch) {
                const Field sf = FieldOf(sMasks[ch]), df = FieldOf(dMasks[ch]);
                if (df.width == 0) continue;
                const uint64_t v = sf.width == 0 ? 0 : (p & sf.mask) >> sf.shift;
                const uint64_t plain = Fit(v, sf.width, df.width);
                uint64_t value = plain;
                if (sf.width > df.width && c.dither == 1) {
                    const int d = sf.width - df.width;
                    if ((v & Ones(d)) > ((m * Ones(d)) >> 4)) value = std::min(plain + 1, Ones(df.width));
                } else if (sf.width > df.width && c.dither == 2) {
                    const int d = sf.width - df.width;
                    const uint64_t acc = v + carry[ch];
                    value = acc >> d;
                    carry[ch] = acc & Ones(d);
                    if (value > Ones(df.width)) {
                        value = Ones(df.width);
                        carry[ch] = 0;
                    }
                }
                out |= value << df.shift;
                match = match && plain == Fit(keyBytes[ch], 8, df.width);
            }
            if (destAlpha) {
                uint64_t a = Ones(D.widthA);
                if (fromSource) {
                    const Field af = FieldOf(S.maskA);
                    a = Fit((p & af.mask) >> af.shift, af.width, D.widthA);
                } else if (fromImage) {
                    const ColorFormat& A = c.A->format;
                    uint32_t ap = Load(c.alpha->data() + int64_t{c.rect.top + y} * c.alphaPitch +
                                           int64_t{c.rect.left + x} * A.bytes,
                                       A.bytes);
                    if (A.bytes == 1) {
                        const PaletteEntry& e = c.A->palette[ap];
                        ap = uint32_t{e.b} | uint32_t{e.g} << 8 | uint32_t{e.r} << 16 | uint32_t{e.reserved} << 24;
                    }
                    const Field af = FieldOf(A.widthA != 0 ? A.maskA : A.maskB);
                    a = Fit((ap & af.mask) >> af.shift, af.width, D.widthA);
                } else if (fromKey) {
                    a = match ? 0 : Ones(D.widthA);
                }
                out |= a << D.shiftA;
            }
            Store(dst(column, y), D.bytes, static_cast<uint32_t>(out));
        }
    }
    return 0;
}

// ---- the format catalogue ------------------------------------------------------------------

struct NamedFormat {
    std::string name;
    PaletteColorFormat f;
};

std::vector<NamedFormat> Catalogue(std::mt19937& rng) {
    std::vector<NamedFormat> list;
    auto add = [&](const char* name, int bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
        NamedFormat n{name, {}};
        BuildColorFormat(&n.f, bits, r, g, b, a);
        list.push_back(n);
    };
    NamedFormat p8{"P8", {}};
    SetColorFormat8(&p8.f);
    for (PaletteEntry& e : p8.f.palette) {
        e = {static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()),
             static_cast<uint8_t>(rng())};
    }
    list.push_back(p8);
    NamedFormat grey{"G8", {}};
    SetColorFormatGrey8(&grey.f);
    list.push_back(grey);
    NamedFormat p565{"P8-565", *GetStandardColorFormat(0, 0, 1)};
    for (PaletteEntry& e : p565.f.palette) {
        e = {static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()), 0, 0};
    }
    list.push_back(p565);
    add("565", 16, 0xF800, 0x07E0, 0x001F, 0);
    add("X555", 16, 0x7C00, 0x03E0, 0x001F, 0);
    add("A4444", 16, 0x0F00, 0x00F0, 0x000F, 0xF000);
    add("NoRed16", 16, 0, 0x07E0, 0x001F, 0);
    NamedFormat rgb24{"RGB24", {}};
    SetColorFormatRgb24(&rgb24.f);
    list.push_back(rgb24);
    add("XRGB32", 32, 0xFF0000, 0xFF00, 0xFF, 0);
    NamedFormat argb{"ARGB32", {}};
    SetColorFormatArgb32(&argb.f);
    list.push_back(argb);
    add("ABGR32", 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000);
    list.push_back({"565A32", *GetStandardColorFormat(0, 1, 0)});
    add("A2R10G10B10", 32, 0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000);
    add("NoColour32", 32, 0, 0, 0, 0xFF000000);
    list.push_back({"Raw16", *GetStandardColorFormat(3, 0, 0)});
    return list;
}

// A buffer of rows with random padding and bytes, holding pixels drawn from a few values.
struct Buffer {
    std::vector<uint8_t> bytes;
    int pitch = 0;
    size_t origin = 0;  // offset of row 0 (the last row's offset when the pitch is negative)
};
Buffer MakeBuffer(std::mt19937& rng, int width, int height, int bytesPerPixel, bool bottomUp,
                  const std::vector<uint32_t>& values) {
    Buffer b;
    const int rowBytes = width * bytesPerPixel + static_cast<int>(rng() % 9);
    b.bytes.resize(static_cast<size_t>(rowBytes) * height);
    for (uint8_t& byte : b.bytes) byte = static_cast<uint8_t>(rng());
    b.pitch = bottomUp ? -rowBytes : rowBytes;
    b.origin = bottomUp ? static_cast<size_t>(rowBytes) * (height - 1) : 0;
    if (!values.empty()) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                Store(b.bytes.data() + b.origin + int64_t{y} * b.pitch + int64_t{x} * bytesPerPixel,
                      bytesPerPixel, values[rng() % values.size()]);
            }
        }
    }
    return b;
}

TEST(TransferPixelsTest, EveryFormatPairAndOptionMatchesThePerPixelModel) {
    std::mt19937 rng(20240601);
    const std::vector<NamedFormat> formats = Catalogue(rng);
    const PaletteColorFormat* alphaFormats[] = {nullptr, &formats[1].f /* G8 */,
                                                &formats[9].f /* ARGB32 */, &formats[3].f /* 565 */};
    const int optionSets[3][2] = {{0, 0}, {1, 1}, {0, 1}};
    int cases = 0;
    for (const NamedFormat& s : formats) {
        for (const NamedFormat& d : formats) {
            for (const PaletteColorFormat* a : alphaFormats) {
                for (int flags = 0; flags < 8; ++flags) {
                    for (int dither = 0; dither < 3; ++dither) {
                        for (const auto& options : optionSets) {
                            const int mirror = flags & 1, keyToAlpha = (flags >> 1) & 1,
                                      keySkip = (flags >> 2) & 1;
                            const int w = 1 + static_cast<int>(rng() % 9);
                            const int h = 1 + static_cast<int>(rng() % 5);
                            const int left = static_cast<int>(rng() % 3), top = static_cast<int>(rng() % 3);
                            const int sw = left + w + static_cast<int>(rng() % 3);
                            const int sh = top + h + static_cast<int>(rng() % 3);
                            const uint64_t limit = s.f.format.bits >= 32 ? 0x100000000ull : (1ull << s.f.format.bits);
                            std::vector<uint32_t> values;
                            for (int i = 0; i < 4; ++i) values.push_back(static_cast<uint32_t>(rng() % limit));
                            const Buffer source = MakeBuffer(rng, sw, sh, s.f.format.bytes, rng() % 4 == 0, values);
                            Buffer alpha;
                            if (a != nullptr) alpha = MakeBuffer(rng, sw, sh, a->format.bytes, false, {});
                            const int dx = static_cast<int>(rng() % 4), dy = static_cast<int>(rng() % 4);
                            const Buffer dest = MakeBuffer(rng, dx + w + 1, dy + h + 1, d.f.format.bytes, false, {});
                            // Keys that hit: a raw value of the image for key skip, its colour
                            // for key to alpha.
                            const uint32_t pick = values[rng() % values.size()];
                            uint32_t key = pick;
                            if (keyToAlpha) {
                                int r = 0, g = 0, b = 0;
                                uint32_t colour = pick;
                                if (s.f.format.bytes == 1) {
                                    const PaletteEntry& e = s.f.palette[pick & 0xFF];
                                    colour = uint32_t{e.b} | uint32_t{e.g} << 8 | uint32_t{e.r} << 16;
                                }
                                ColorFormatPixelToRgba(&s.f.format, colour, &r, &g, &b, nullptr);
                                key = static_cast<uint32_t>(r << 16 | g << 8 | b);
                            }

                            std::vector<uint8_t> got = dest.bytes, expected = dest.bytes;
                            const RECT rect = {left, top, left + w, top + h};
                            Call call = {&expected, dest.origin, dest.pitch, &d.f, &source.bytes,
                                         source.origin, source.pitch, &s.f,
                                         a != nullptr ? &alpha.bytes : nullptr, alpha.pitch, a, dx, dy,
                                         rect, mirror, keyToAlpha, key, dither, options[0], options[1], keySkip};
                            const int want = Model(call);
                            const int result = TransferPixels(
                                got.data() + dest.origin, dest.pitch, &d.f, source.bytes.data() + source.origin,
                                source.pitch, &s.f, a != nullptr ? alpha.bytes.data() : nullptr, alpha.pitch, a,
                                dx, dy, &rect, mirror, keyToAlpha, key, dither, options[0], options[1], keySkip);
                            ASSERT_EQ(result, want) << s.name << " -> " << d.name;
                            ASSERT_EQ(got, expected)
                                << s.name << " -> " << d.name << " alpha " << (a ? a->format.bits : 0)
                                << " mirror " << mirror << " keyToAlpha " << keyToAlpha << " keySkip "
                                << keySkip << " dither " << dither << " options " << options[0]
                                << options[1] << " key " << std::hex << key;
                            ++cases;
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(cases, 10000);
}

// ---- rules shown directly -----------------------------------------------------------------

PaletteColorFormat Format(int bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    PaletteColorFormat f;
    BuildColorFormat(&f, bits, r, g, b, a);
    return f;
}

TEST(TransferPixelsTest, CommonPairsTakeTheirDedicatedLoops) {
    PaletteColorFormat p8, rgb24, argb;
    SetColorFormat8(&p8);
    SetColorFormatRgb24(&rgb24);
    SetColorFormatArgb32(&argb);
    const PaletteColorFormat xrgb = Format(32, 0xFF0000, 0xFF00, 0xFF, 0);
    const PaletteColorFormat r565 = Format(16, 0xF800, 0x07E0, 0x1F, 0);
    const PaletteColorFormat a4444 = Format(16, 0xF00, 0xF0, 0xF, 0xF000);
    std::vector<uint8_t> src(64 * 4, 0x5A), dst(64 * 4);
    const RECT rect = {0, 0, 8, 2};
    struct Case {
        const PaletteColorFormat* d;
        const PaletteColorFormat* s;
        int dither, optionA;
        TransferLoop loop;
    } cases[] = {
        {&xrgb, &p8, 0, 0, TransferLoop::PaletteTable},
        {&r565, &p8, 0, 0, TransferLoop::PaletteTable},
        {&r565, &p8, 1, 0, TransferLoop::Generic},  // narrowing with dither: per pixel
        {&argb, &rgb24, 0, 0, TransferLoop::Rgb888To8888},
        {&xrgb, &argb, 0, 0, TransferLoop::Rgb888To8888},
        {&r565, &xrgb, 1, 0, TransferLoop::Rgb888To565},
        {&r565, &rgb24, 0, 0, TransferLoop::Rgb888To565},
        {&r565, &rgb24, 2, 0, TransferLoop::Generic},
        {&xrgb, &r565, 0, 0, TransferLoop::Rgb565To8888},
        {&xrgb, &xrgb, 0, 0, TransferLoop::SameLayout},
        {&p8, &p8, 0, 0, TransferLoop::IndexCopy},
        {&r565, &xrgb, 0, 1, TransferLoop::RawCopy},
        {&r565, &a4444, 0, 0, TransferLoop::Generic},
    };
    for (const Case& c : cases) {
        TransferPixels(dst.data(), 64, c.d, src.data(), 64, c.s, nullptr, 0, nullptr, 0, 0, &rect, 0,
                       0, 0, c.dither, c.optionA, c.optionA, 0);
        EXPECT_EQ(GetLastTransferLoop(), c.loop) << static_cast<int>(&c - cases);
    }
}

TEST(TransferPixelsTest, ChannelsWidenToFullRangeAndNarrowByDither) {
    const PaletteColorFormat r565 = Format(16, 0xF800, 0x07E0, 0x1F, 0);
    const PaletteColorFormat xrgb = Format(32, 0xFF0000, 0xFF00, 0xFF, 0);
    const RECT one = {0, 0, 1, 1};
    uint16_t white = 0xFFFF;
    uint32_t out = 0;
    ASSERT_EQ(TransferPixels(&out, 4, &xrgb, &white, 2, &r565, nullptr, 0, nullptr, 0, 0, &one, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(out, 0xFFFFFFFFu);  // 31 and 63 become 255; the no-use byte is set
    uint16_t mid = (16 << 11) | (32 << 5) | 16;
    ASSERT_EQ(TransferPixels(&out, 4, &xrgb, &mid, 2, &r565, nullptr, 0, nullptr, 0, 0, &one, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(out, 0xFF000000u | (16u * 8 + 16 * 7 / 31) << 16 | (32u * 4 + 32 * 3 / 63) << 8 | (16u * 8 + 16 * 7 / 31));

    // Red 0x7C (low 3 bits 4) across a row of 4 in ordered dither: the threshold of column x of
    // row 0 is (m × 7) >> 4 for m = 0, 8, 2, 10, that is 0, 3, 0, 4: one step up where 4 > t.
    uint32_t row[4] = {0x7C0000, 0x7C0000, 0x7C0000, 0x7C0000};
    uint16_t got[4] = {};
    const RECT four = {0, 0, 4, 1};
    ASSERT_EQ(TransferPixels(got, 8, &r565, row, 16, &xrgb, nullptr, 0, nullptr, 0, 0, &four, 0, 0, 0, 1, 0, 0, 0), 0);
    EXPECT_EQ(got[0] >> 11, 16);
    EXPECT_EQ(got[1] >> 11, 16);
    EXPECT_EQ(got[2] >> 11, 16);
    EXPECT_EQ(got[3] >> 11, 15);
    // Carry mode: 4/8 left over per pixel, so every second pixel steps up.
    ASSERT_EQ(TransferPixels(got, 8, &r565, row, 16, &xrgb, nullptr, 0, nullptr, 0, 0, &four, 0, 0, 0, 2, 0, 0, 0), 0);
    EXPECT_EQ(got[0] >> 11, 15);
    EXPECT_EQ(got[1] >> 11, 16);
    EXPECT_EQ(got[2] >> 11, 15);
    EXPECT_EQ(got[3] >> 11, 16);
    // White never dithers past the maximum.
    uint32_t whiteRow[4] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    for (int mode : {1, 2}) {
        ASSERT_EQ(TransferPixels(got, 8, &r565, whiteRow, 16, &xrgb, nullptr, 0, nullptr, 0, 0, &four, 0, 0, 0, mode, 0, 0, 0), 0);
        for (uint16_t v : got) EXPECT_EQ(v, 0xFFFF) << mode;
    }
}

TEST(TransferPixelsTest, ZeroMasksReadAndWriteNothingWithoutDividing) {
    const PaletteColorFormat none16 = Format(16, 0, 0, 0, 0);
    const PaletteColorFormat argb = Format(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    const PaletteColorFormat onlyAlpha = Format(8 * 2, 0, 0, 0, 0xFF00);
    const RECT two = {0, 0, 2, 1};
    const uint16_t src[2] = {0x1234, 0xFFFF};
    uint32_t out[2] = {1, 2};
    ASSERT_EQ(TransferPixels(out, 8, &argb, src, 4, &none16, nullptr, 0, nullptr, 0, 0, &two, 0, 0, 0, 1, 0, 0, 0), 0);
    EXPECT_EQ(out[0], 0xFF000000u);
    EXPECT_EQ(out[1], 0xFF000000u);
    uint16_t back[2] = {};
    const uint32_t colours[2] = {0x80FFFFFF, 0x00FFFFFF};
    ASSERT_EQ(TransferPixels(back, 4, &onlyAlpha, colours, 8, &argb, nullptr, 0, nullptr, 0, 0, &two, 0, 0, 0, 2, 0, 0, 0), 0);
    EXPECT_EQ(back[0], 0x80FF);  // alpha 0x80 and the no-use low byte
    EXPECT_EQ(back[1], 0x00FF);
}

TEST(TransferPixelsTest, RefusalsAndResults) {
    PaletteColorFormat p8, rgb24;
    SetColorFormat8(&p8);
    SetColorFormatRgb24(&rgb24);
    const PaletteColorFormat r565 = Format(16, 0xF800, 0x07E0, 0x1F, 0);
    const PaletteColorFormat bits12 = Format(12, 0xF00, 0xF0, 0xF, 0);
    uint8_t src[16] = {3, 9, 200, 7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    uint8_t dst[64] = {};
    const RECT rect = {0, 0, 4, 1};
    const RECT empty = {2, 0, 2, 1};
    const RECT inverted = {3, 1, 1, 0};
    EXPECT_EQ(TransferPixels(dst, 16, &p8, src, 16, &p8, nullptr, 0, nullptr, 0, 0, &rect, 0, 0, 0, 0, 0, 0, 0), 200);
    // Key skip leaves out index 200 (masked to 8 bits): the highest written is then 9.
    EXPECT_EQ(TransferPixels(dst, 16, &p8, src, 16, &p8, nullptr, 0, nullptr, 0, 0, &rect, 0, 0, 0x1C8, 0, 0, 0, 1), 9);
    EXPECT_EQ(TransferPixels(dst, 16, &p8, src, 16, &p8, nullptr, 0, nullptr, 0, 0, &empty, 0, 0, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(TransferPixels(dst, 16, &p8, src, 16, &p8, nullptr, 0, nullptr, 0, 0, &inverted, 0, 0, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(TransferPixels(dst, 16, &p8, src, 16, &r565, nullptr, 0, nullptr, 0, 0, &rect, 0, 0, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(TransferPixels(dst, 16, &r565, src, 16, &bits12, nullptr, 0, nullptr, 0, 0, &rect, 0, 0, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(TransferPixels(nullptr, 16, &r565, src, 16, &rgb24, nullptr, 0, nullptr, 0, 0, &rect, 0, 0, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(TransferPixels(dst, 16, &r565, src, 16, &rgb24, nullptr, 0, nullptr, 0, 0, nullptr, 0, 0, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(GetLastTransferLoop(), TransferLoop::None);
    // The raw transfer fills an 8-bit destination from any source.
    EXPECT_EQ(TransferPixels(dst, 16, &p8, src, 16, &r565, nullptr, 0, nullptr, 0, 0, &rect, 0, 0, 0, 0, 1, 1, 0), 0);
    EXPECT_EQ(dst[0], 3);
    EXPECT_EQ(dst[1], 200);
}

TEST(TransferPixelsTest, KeySkipOnFourBytePixelsComparesTheColourBytes) {
    const PaletteColorFormat xrgb = Format(32, 0xFF0000, 0xFF00, 0xFF, 0);
    const uint32_t src[3] = {0xFF123456, 0x00123456, 0x00654321};
    uint32_t dst[3] = {7, 7, 7};
    const RECT rect = {0, 0, 3, 1};
    ASSERT_EQ(TransferPixels(dst, 12, &xrgb, src, 12, &xrgb, nullptr, 0, nullptr, 0, 0, &rect, 0, 0, 0x123456, 0, 0, 0, 1), 0);
    EXPECT_EQ(dst[0], 7u);
    EXPECT_EQ(dst[1], 7u);
    EXPECT_EQ(dst[2], 0x00654321u);
    // Mirror switches key skip off.
    ASSERT_EQ(TransferPixels(dst, 12, &xrgb, src, 12, &xrgb, nullptr, 0, nullptr, 0, 0, &rect, 1, 0, 0x123456, 0, 0, 0, 1), 0);
    EXPECT_EQ(dst[0], 0x00654321u);
    EXPECT_EQ(dst[2], 0xFF123456u);
}

}  // namespace
