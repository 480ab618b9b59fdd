// The pixel rules of the scaled kernels (32-bit and 16-bit images): every loop's pixel step
// against the reference model, the exact cases of each pixel format as a table, and the
// choice of loop.
#include "softrender/scaled/scaled_pixel_loops.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "softrender/rules/loop_table.h"
#include "softrender/rules/pixel_context.h"
#include "softrender/rules/pixel_draw.h"
#include "tests/softrender/reference_model.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

using PixelFn = void (*)(uint8_t*, const uint8_t*, uint8_t, const PixelContext&);

template <PixelLoop L>
struct PixelEntry {
    static void Run(uint8_t* dst, const uint8_t* src, uint8_t blendByte, const PixelContext& c) {
        DrawPixel<L>(dst, src, blendByte, c);
    }
};

constexpr auto kScaledPixels =
    MakeLoopTable<PixelFn, DescribeScaledPixelLoop, PixelEntry, 0, kLoopKeyCount>();

// One pixel through the scaled loops, as a kernel would draw it.
struct ScaledPixel {
    int format = 1;
    SourceKind source = SourceKind::Direct;
    uint8_t srcBytes[4] = {};     // the source pixel as stored
    uint32_t palette32[256] = {};
    uint16_t palette16[256] = {};
    uint32_t colorKey = 0;
    bool blend = false;
    uint8_t blendByte = 0;
    int transFlag = 0;

    void SetSource(uint32_t v) { std::memcpy(srcBytes, &v, 4); }

    // The destination after the draw; unchanged when no loop is chosen.
    uint32_t Draw(uint32_t d, int mode, int param, uint32_t bright, int useMmx, int* key = nullptr) {
        const int k = SelectScaledPixelLoop(format, source, mode, param, blend, bright, transFlag,
                                            useMmx);
        if (key != nullptr) *key = k;
        if (k < 0) return d;
        PixelContext c = MakePixelContext(bright, param, colorKey);
        c.palette32 = palette32;
        c.palette16 = palette16;
        uint8_t dst[4];
        std::memcpy(dst, &d, 4);
        kScaledPixels[k](dst, srcBytes, blendByte, c);
        uint32_t out = 0;
        std::memcpy(&out, dst, format == 1 ? 4 : 2);
        if (format == 0) out |= d & 0xFFFF0000u;
        return out;
    }

    RefSource Reference() const {
        RefSource s;
        s.format = format;
        s.paletted = source == SourceKind::Paletted;
        s.alphaChannel = source == SourceKind::DirectAlpha;
        s.colorKey = colorKey;
        if (s.paletted) {
            s.index = srcBytes[0];
            s.colour = format == 1 ? palette32[s.index] : palette16[s.index];
        } else if (format == 1) {
            std::memcpy(&s.colour, srcBytes, 4);
            s.alpha = srcBytes[3];
        } else {
            s.colour = static_cast<uint32_t>(srcBytes[0] | (srcBytes[1] << 8));
            s.alpha = srcBytes[2];
        }
        return s;
    }
};

class ScaledPixelLoopsTest : public SoftRenderTest {};

TEST_F(ScaledPixelLoopsTest, EveryLoopMatchesTheReference) {
    int loops = 0;
    for (int key = 0; key < kLoopKeyCount; ++key) {
        const PixelLoop loop = DescribeScaledPixelLoop(key);
        ASSERT_EQ(loop.valid, kScaledPixels[key] != nullptr);
        if (!loop.valid) continue;
        ++loops;
        const LoopKey k = DecodeLoopKey(key);
        std::mt19937 rng(static_cast<uint32_t>(key) + 11u);
        const bool fullEligible = !k.blend && !k.bright && k.source != SourceKind::DirectAlpha;
        int reached = 0;
        for (int n = 0; n < 400; ++n) {
            int mode = k.mode;
            int param = 0;
            int useMmx = static_cast<int>(rng() % 2);
            if (k.special != LoopSpecial::None) {
                param = 255;
                if (k.format == 1) useMmx = k.special == LoopSpecial::Packed ? 1 : 0;
            } else if (k.mode == 0) {
                if (rng() % 2) mode = 1, param = 255;
                else param = static_cast<int>(rng() % 256);
            } else if (k.mode == 1) {
                param = 1 + static_cast<int>(rng() % 254);
            } else if (k.mode == 2) {
                param = 1 + static_cast<int>(rng() % 255);
            } else if (k.mode == 3) {
                const int lowest = k.source == SourceKind::Paletted ? 0 : 1;
                param = lowest + static_cast<int>(rng() % ((fullEligible ? 255 : 256) - lowest));
            } else {
                param = static_cast<int>(rng() % 256);
            }
            uint32_t bright = 0xFFFFFF;
            if (k.bright) {
                do bright = rng() % 3 ? rng() & 0xFFFFFFu : 0xFEFFFFu;
                while (bright == 0xFFFFFF);
            }

            ScaledPixel px;
            px.format = k.format;
            px.source = k.source;
            px.blend = k.blend;
            px.blendByte = static_cast<uint8_t>(rng());
            BlendWeightMap[px.blendByte] = static_cast<uint8_t>(EdgyByte(rng));
            px.transFlag = k.key ? 1 : 0;
            if (k.source == SourceKind::Paletted) {
                px.srcBytes[0] = static_cast<uint8_t>(rng() % 2 ? rng() % 4 : rng());
                for (int i = 0; i < 4; ++i) {
                    px.palette32[(px.srcBytes[0] + i) & 0xFF] = EdgyWord32(rng);
                    px.palette16[(px.srcBytes[0] + i) & 0xFF] = static_cast<uint16_t>(EdgyWord565(rng));
                }
                px.colorKey = rng() % 8 == 0 ? 256u + px.srcBytes[0] : rng() % 4;
            } else if (k.format == 1) {
                px.SetSource(EdgyWord32(rng));
                uint32_t v;
                std::memcpy(&v, px.srcBytes, 4);
                px.colorKey = rng() % 3 == 0 ? v : EdgyWord32(rng);
            } else {
                const uint32_t colour = EdgyWord565(rng);
                px.SetSource(colour | (EdgyByte(rng) << 16) | (EdgyByte(rng) << 24));
                px.colorKey = rng() % 3 == 0 ? colour | (rng() % 3 == 0 ? 0x10000u : 0u)
                                             : EdgyWord565(rng);
            }
            const uint32_t d = k.format == 1 ? EdgyWord32(rng) : EdgyWord565(rng);

            int chosen = -1;
            const uint32_t got = px.Draw(d, mode, param, bright, useMmx, &chosen);
            ASSERT_EQ(chosen, key) << "mode " << mode << " p " << param;
            ++reached;
            RefCall call;
            call.mode = mode;
            call.param = param;
            call.bright = bright;
            call.blendImage = px.blend;
            call.blendWeight = BlendWeightMap[px.blendByte];
            call.transFlag = px.transFlag;
            call.useMmx = useMmx;
            const auto want = ReferencePixel(RefKernel::Scaled, px.Reference(), call, d);
            ASSERT_EQ(got, want.value_or(d))
                << "key " << key << " mode " << mode << " p " << param << " bright " << std::hex
                << bright << " d " << d;
        }
        EXPECT_GT(reached, 0);
    }
    // Per pixel format: paletted 8 per mode and 2 full-parameter loops, direct 16 per mode
    // and 2; the 32-bit full-parameter subtract has 2 more packed-byte loops per source kind.
    EXPECT_EQ(loops, (42 + 82) + (44 + 84));
}

TEST_F(ScaledPixelLoopsTest, ChoiceOfLoop) {
    struct Choice {
        const char* name;
        int format;
        SourceKind source;
        int mode, param;
        bool blend;
        uint32_t bright;
        int transFlag, useMmx;
        int expectedMode;  // -1: nothing drawn
        LoopSpecial special;
        bool strict;
    };
    const SourceKind pal = SourceKind::Paletted, dir = SourceKind::Direct,
                     alp = SourceKind::DirectAlpha;
    const LoopSpecial none = LoopSpecial::None, cut = LoopSpecial::Shortcut,
                      packed = LoopSpecial::Packed;
    const Choice cases[] = {
        {"mode 1 at 0", 1, dir, 1, 0, false, 0xFFFFFF, 0, 0, -1, none, false},
        {"mode 2 at 0", 0, pal, 2, 0, false, 0xFFFFFF, 0, 0, -1, none, false},
        {"mode 3 at 0 direct", 1, dir, 3, 0, false, 0xFFFFFF, 0, 0, -1, none, false},
        {"mode 3 at 0 paletted runs", 1, pal, 3, 0, false, 0xFFFFFF, 0, 0, 3, none, false},
        {"mode 5", 1, dir, 5, 10, false, 0xFFFFFF, 0, 0, -1, none, false},
        {"format 2", 2, dir, 0, 10, false, 0xFFFFFF, 0, 0, -1, none, false},
        {"mode 1 at 255 copies", 0, dir, 1, 255, false, 0xFFFFFF, 1, 0, 0, none, true},
        {"copy from a paletted source", 1, pal, 0, 9, false, 0xFFFFFF, 0, 0, 0, none, true},
        {"copy with a bright is general", 1, dir, 0, 9, false, 0xFF00FF, 0, 0, 0, none, false},
        {"copy from an alpha source is general", 1, alp, 0, 9, false, 0xFFFFFF, 0, 0, 0, none, false},
        {"mode 2 at 255 has no short cut", 1, dir, 2, 255, false, 0xFFFFFF, 0, 1, 2, none, false},
        {"full-parameter subtract", 1, dir, 3, 255, false, 0xFFFFFF, 1, 0, 3, cut, true},
        {"full-parameter subtract packed", 1, pal, 3, 255, false, 0xFFFFFF, 0, 1, 3, packed, true},
        {"16-bit full-parameter subtract never packed", 0, dir, 3, 255, false, 0xFFFFFF, 0, 1, 3, cut, true},
        {"no full parameter with a blend image", 1, dir, 3, 255, true, 0xFFFFFF, 0, 1, 3, none, false},
        {"no full parameter from an alpha source", 0, alp, 3, 255, false, 0xFFFFFF, 0, 0, 3, none, false},
        {"mode 4 at 0", 1, alp, 4, 0, true, 0x123456, 1, 0, 4, none, false},
    };
    for (const Choice& c : cases) {
        SCOPED_TRACE(c.name);
        const int key = SelectScaledPixelLoop(c.format, c.source, c.mode, c.param, c.blend,
                                              c.bright, c.transFlag, c.useMmx);
        if (c.expectedMode < 0) {
            EXPECT_EQ(key, -1);
            continue;
        }
        ASSERT_GE(key, 0);
        const LoopKey k = DecodeLoopKey(key);
        EXPECT_EQ(k.mode, c.expectedMode);
        EXPECT_EQ(k.special, c.special);
        EXPECT_EQ(k.key, c.transFlag != 0);
        EXPECT_EQ(DescribeScaledPixelLoop(key).strict, c.strict);
    }
}

// 32-bit rules. Colours as (R, G, B, fourth byte); "term" cases at p = 255 make the term the
// source itself.
TEST_F(ScaledPixelLoopsTest, Exact32BitCases) {
    struct Case {
        const char* name;
        SourceKind source;
        int mode, param;
        int useMmx, transFlag;
        int weight;  // -1: no blend image
        uint32_t src, dst, expected;
    };
    const SourceKind dir = SourceKind::Direct, alp = SourceKind::DirectAlpha;
    const Case cases[] = {
        {"copy bit for bit", dir, 0, 0, 0, 0, -1, Rgb32(1, 2, 3, 4), Rgb32(9, 9, 9, 9), Rgb32(1, 2, 3, 4)},
        {"alpha 255 without TransFlag is weighted", alp, 0, 0, 0, 0, -1, Rgb32(255, 255, 255, 255), Rgb32(0, 0, 0), Rgb32(254, 254, 254)},
        {"alpha 255 with TransFlag is copied whole", alp, 0, 0, 0, 1, -1, Rgb32(255, 255, 255, 255), Rgb32(0, 0, 0), Rgb32(255, 255, 255, 255)},
        {"weight 255 and alpha 255", alp, 0, 0, 0, 0, 255, Rgb32(255, 255, 255, 255), Rgb32(0, 0, 0), Rgb32(253, 253, 253)},
        {"mode 1 at 128 from black to white", dir, 1, 128, 0, 0, -1, Rgb32(255, 255, 255), Rgb32(0, 0, 0, 6), Rgb32(127, 127, 127, 6)},
        {"mode 1 at 128 from white to black", dir, 1, 128, 0, 0, -1, Rgb32(0, 0, 0), Rgb32(255, 255, 255), Rgb32(127, 127, 127)},
        {"add of 1s", dir, 2, 255, 1, 0, -1, Rgb32(1, 1, 1), Rgb32(1, 1, 1, 9), Rgb32(1, 1, 2, 0)},
        {"add of 128s", dir, 2, 255, 0, 0, -1, Rgb32(128, 128, 128), Rgb32(128, 128, 128), Rgb32(255, 255, 255, 1)},
        {"subtract of 1s from 0s", dir, 3, 255, 0, 0, -1, Rgb32(1, 1, 1), Rgb32(0, 0, 0, 9), Rgb32(1, 0, 0, 0)},
        {"subtract of 1s from 3s", dir, 3, 255, 0, 0, -1, Rgb32(1, 1, 1), Rgb32(3, 3, 3, 9), Rgb32(3, 3, 2, 0)},
        {"packed subtract of 1s from 3s", dir, 3, 255, 1, 0, -1, Rgb32(1, 1, 1, 4), Rgb32(3, 3, 3, 9), Rgb32(2, 2, 2, 5)},
        {"packed subtract floors the fourth byte", dir, 3, 255, 1, 0, -1, Rgb32(1, 1, 1, 9), Rgb32(3, 3, 3, 4), Rgb32(2, 2, 2, 0)},
        {"mode 1 at 0 unchanged", dir, 1, 0, 0, 0, -1, Rgb32(1, 1, 1), Rgb32(3, 3, 3), Rgb32(3, 3, 3)},
        {"mode 2 at 0 unchanged", dir, 2, 0, 0, 0, -1, Rgb32(1, 1, 1), Rgb32(3, 3, 3), Rgb32(3, 3, 3)},
        {"mode 3 at 0 unchanged", dir, 3, 0, 0, 0, -1, Rgb32(1, 1, 1), Rgb32(3, 3, 3), Rgb32(3, 3, 3)},
        {"multiply with weight 0 is black", dir, 4, 100, 0, 0, 0, Rgb32(200, 100, 50), Rgb32(9, 9, 9, 7), Rgb32(0, 0, 0, 7)},
        {"multiply at 0", dir, 4, 0, 0, 0, -1, Rgb32(255, 128, 2), Rgb32(200, 200, 200), Rgb32(199, 100, 1)},
        {"alpha 0 with TransFlag is left out in mode 4", alp, 4, 0, 0, 1, -1, Rgb32(9, 9, 9, 0), Rgb32(9, 8, 7, 6), Rgb32(9, 8, 7, 6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScaledPixel px;
        px.format = 1;
        px.source = c.source;
        px.SetSource(c.src);
        px.transFlag = c.transFlag;
        px.blend = c.weight >= 0;
        BlendWeightMap[px.blendByte] = static_cast<uint8_t>(c.weight);
        EXPECT_EQ(px.Draw(c.dst, c.mode, c.param, 0xFFFFFF, c.useMmx), c.expected);
    }

    // A paletted source at mode 3, parameter 0: every drawn pixel keeps its blue, gets the
    // lowest bits of green and red and loses its fourth byte; a key above 255 skips nothing.
    ScaledPixel px;
    px.format = 1;
    px.source = SourceKind::Paletted;
    px.srcBytes[0] = 4;
    px.palette32[4] = Rgb32(200, 200, 200);
    px.colorKey = 0x104;
    px.transFlag = 1;
    EXPECT_EQ(px.Draw(0, 3, 0, 0xFFFFFF, 0), 0x00010100u);
    EXPECT_EQ(px.Draw(Rgb32(10, 20, 30, 40), 3, 0, 0xFFFFFF, 1), Rgb32(11, 21, 30, 0));
    px.colorKey = 4;
    EXPECT_EQ(px.Draw(0x55, 0, 0, 0xFFFFFF, 0), 0x55u);
}

// 16-bit rules. Colours as (R, G, B); an alpha source's alpha in bits 16..23.
TEST_F(ScaledPixelLoopsTest, Exact16BitCases) {
    struct Case {
        const char* name;
        SourceKind source;
        int mode, param;
        uint32_t bright;
        int transFlag;
        int weight;
        uint32_t src, dst, expected;
    };
    const SourceKind dir = SourceKind::Direct, alp = SourceKind::DirectAlpha,
                     pal = SourceKind::Paletted;
    const uint32_t white = Rgb565(31, 63, 31);
    const uint32_t k = Rgb565(9, 9, 9);
    const Case cases[] = {
        {"mode 1 at 0 direct", dir, 1, 0, 0xFFFFFF, 0, -1, white, k, k},
        {"mode 1 at 0 paletted", pal, 1, 0, 0xFFFFFF, 0, -1, 0, k, k},
        {"mode 2 at 0 paletted", pal, 2, 0, 0xFFFFFF, 0, -1, 0, k, k},
        {"mode 3 at 0 direct", dir, 3, 0, 0xFFFFFF, 0, -1, white, k, k},
        {"mode 3 at 0 paletted over white", pal, 3, 0, 0xFFFFFF, 0, -1, 0, 0xFFFF, 0xFFDF},
        {"mode 3 at 0 paletted over black", pal, 3, 0, 0xFFFFFF, 0, -1, 0, 0, 0x0800},
        {"weight 0 leaves the destination", dir, 0, 0, 0xFFFFFF, 0, 0, white, k, k},
        {"weight 255 white over black", dir, 0, 0, 0xFFFFFF, 0, 255, white, 0, Rgb565(30, 62, 30)},
        {"alpha 255 with a key copies", alp, 0, 0, 0xFFFFFF, 1, -1, white | 0xFF0000, 0, white},
        {"alpha 255 without a key is weighted", alp, 0, 0, 0xFFFFFF, 0, -1, white | 0xFF0000, 0, Rgb565(30, 62, 30)},
        {"multiply with weight 0 is black", dir, 4, 0, 0xFFFFFF, 0, 0, white, white, 0},
        {"multiply by alpha 0 is black", alp, 4, 0, 0xFFFFFF, 0, -1, white, white, 0},
        {"multiply white by white", dir, 4, 0, 0xFFFFFF, 0, -1, white, white, Rgb565(30, 62, 30)},
        {"only red survives a red bright", dir, 0, 0, 0xFF0000, 0, -1, Rgb565(20, 40, 10), k, Rgb565(20, 0, 0)},
        {"mode 1 steps by p / 255 when white", dir, 1, 100, 0xFFFFFF, 0, -1, white, 0, Rgb565(12, 24, 12)},
        {"add term applies the alpha before the bright", alp, 2, 255, 0xFEFEFE, 0, -1, white | 0x800000, 0, Rgb565(14, 30, 14)},
        {"copy key on the low 16 bits", dir, 0, 0, 0xFFFFFF, 1, -1, 0x1234, k, k},
        {"other loops key on the whole key", dir, 4, 0, 0xFFFFFF, 1, -1, 0x1234, white, Rgb565(1, 16, 19)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScaledPixel px;
        px.format = 0;
        px.source = c.source;
        px.SetSource(c.src);
        px.transFlag = c.transFlag;
        px.colorKey = 0x11234;
        px.blend = c.weight >= 0;
        BlendWeightMap[px.blendByte] = static_cast<uint8_t>(c.weight);
        EXPECT_EQ(px.Draw(c.dst, c.mode, c.param, c.bright, 0), c.expected);
    }
    // A paletted key of 256 or more never skips a pixel.
    ScaledPixel px;
    px.format = 0;
    px.source = SourceKind::Paletted;
    px.srcBytes[0] = 0;
    px.palette16[0] = 0x4321;
    px.colorKey = 256;
    px.transFlag = 1;
    EXPECT_EQ(px.Draw(k, 0, 0, 0xFFFFFF, 0), 0x4321u);
}

}  // namespace
