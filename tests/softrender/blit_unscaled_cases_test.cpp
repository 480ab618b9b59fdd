// The unscaled blit's exact cases: one table for 32-bit images, one for 16-bit images and
// paletted sources, and the geometry and the mended faults.
#include "softrender/unscaled/blit_unscaled.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "tests/softrender/softrender_test_support.h"

namespace {

constexpr int kNoBlend = -1;
constexpr uint32_t kWhite = 0xFFFFFF;

// One source pixel drawn on one destination pixel (or a row of them).
struct PixelCase {
    const char* name;
    int mode, param;
    uint32_t bright;
    int useMmx;
    int transFlag;
    int srcAlpha;      // the source has an alpha channel
    int blendWeight;   // kNoBlend, or the weight of the blend image's pixels
    std::vector<uint32_t> src, dst, expected;
    uint32_t colorKey = 0;
};

class BlitUnscaledCasesTest : public SoftRenderTest {
protected:
    void Run(const PixelCase& c, int format) {
        SCOPED_TRACE(c.name);
        const int n = static_cast<int>(c.src.size());
        TestImage src(n, 1, format, 0, c.srcAlpha);
        TestImage dst(n, 1, format);
        for (int i = 0; i < n; ++i) {
            src.Set(i, 0, c.src[i]);
            dst.Set(i, 0, c.dst[i]);
        }
        src->colorKey = c.colorKey;
        TestImage blend(n, 1, 2);
        blend.Fill(9);
        BlendWeightMap[9] = static_cast<uint8_t>(c.blendWeight);
        SetBlend(c.mode, c.param);
        SetBright(c.bright);
        UseMmx = c.useMmx;
        BlitMemImg(dst.get(), src.get(), 0, 0, c.transFlag,
                   c.blendWeight == kNoBlend ? nullptr : blend.get(), GetDrawState());
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(dst.Get(i, 0), c.expected[i]) << "pixel " << i << std::hex << " got "
                                                   << dst.Get(i, 0) << " want " << c.expected[i];
        }
    }
};

// Colours as (R, G, B, fourth byte).
TEST_F(BlitUnscaledCasesTest, Exact32BitCases) {
    const uint32_t k = Rgb32(9, 9, 9, 0x5A);  // an untouched destination
    const PixelCase cases[] = {
        {"mode 5 draws nothing", 5, 100, kWhite, 0, 0, 0, kNoBlend, {Rgb32(1, 2, 3)}, {k}, {k}},
        {"mode -1 draws nothing", -1, 100, kWhite, 0, 0, 0, kNoBlend, {Rgb32(1, 2, 3)}, {k}, {k}},
        {"mode 1 at 0 draws nothing", 1, 0, kWhite, 0, 0, 0, kNoBlend, {Rgb32(1, 2, 3)}, {k}, {k}},
        {"mode 2 at 0 draws nothing", 2, 0, kWhite, 0, 0, 0, kNoBlend, {Rgb32(1, 2, 3)}, {k}, {k}},
        {"mode 3 at 0 draws nothing", 3, 0, kWhite, 0, 0, 0, kNoBlend, {Rgb32(1, 2, 3)}, {k}, {k}},
        {"mode 0 copies bit for bit", 0, 7, kWhite, 0, 0, 0, kNoBlend, {Rgb32(1, 2, 3, 4)}, {k}, {Rgb32(1, 2, 3, 4)}},
        {"mode 1 at 255 is mode 0", 1, 255, kWhite, 0, 0, 0, kNoBlend, {Rgb32(1, 2, 3, 4)}, {k}, {Rgb32(1, 2, 3, 4)}},
        {"mode 4 at 0 multiplies", 4, 0, kWhite, 0, 0, 0, kNoBlend, {Rgb32(255, 128, 2)}, {Rgb32(200, 200, 200, 7)}, {Rgb32(199, 100, 1, 7)}},
        {"half-average of 1 and 1 is 0", 1, 128, kWhite, 0, 0, 0, kNoBlend, {Rgb32(1, 1, 1)}, {Rgb32(1, 1, 1, 0x33)}, {Rgb32(0, 0, 0, 0)}},
        {"packed half-average of 1 and 1 is 0", 1, 128, kWhite, 1, 0, 0, kNoBlend, {Rgb32(1, 1, 1)}, {Rgb32(1, 1, 1)}, {Rgb32(0, 0, 0)}},
        {"mode 1 at 127 of 1 and 1 is 1", 1, 127, kWhite, 0, 0, 0, kNoBlend, {Rgb32(1, 1, 1)}, {Rgb32(1, 1, 1, 0x33)}, {Rgb32(1, 1, 1, 0x33)}},
        {"scaled add of (0,1,1) onto (0,1,1)", 2, 255, kWhite, 0, 1, 1, kNoBlend, {Rgb32(0, 1, 1, 255)}, {Rgb32(0, 1, 1)}, {Rgb32(0, 1, 2)}},
        {"unscaled add of (0,1,1) onto (0,1,1)", 2, 255, kWhite, 0, 0, 0, kNoBlend, {Rgb32(0, 1, 1)}, {Rgb32(0, 1, 1)}, {Rgb32(0, 0, 2)}},
        {"packed add of (0,1,1) onto (0,1,1)", 2, 255, kWhite, 1, 0, 0, kNoBlend, {Rgb32(0, 1, 1)}, {Rgb32(0, 1, 1)}, {Rgb32(0, 2, 2)}},
        {"unscaled add of 128s sets the fourth byte", 2, 255, kWhite, 0, 0, 0, kNoBlend, {Rgb32(128, 128, 128)}, {Rgb32(128, 128, 128)}, {Rgb32(255, 255, 255, 1)}},
        {"scaled add of 128s sets the fourth byte", 2, 255, kWhite, 0, 1, 1, kNoBlend, {Rgb32(128, 128, 128, 255)}, {Rgb32(128, 128, 128)}, {Rgb32(255, 255, 255, 1)}},
        {"subtract of 0 from 0", 3, 255, kWhite, 0, 0, 0, kNoBlend, {Rgb32(0, 0, 0)}, {Rgb32(0, 0, 0, 0x44)}, {Rgb32(1, 1, 0, 0)}},
        {"subtract of (0,1,1) from (0,2,2)", 3, 255, kWhite, 0, 0, 0, kNoBlend, {Rgb32(0, 1, 1)}, {Rgb32(0, 2, 2)}, {Rgb32(1, 3, 1)}},
        {"packed subtract of 0 from 0", 3, 255, kWhite, 1, 0, 0, kNoBlend, {Rgb32(0, 0, 0)}, {Rgb32(0, 0, 0)}, {Rgb32(0, 0, 0)}},
        {"packed subtract of (0,1,1) from (0,2,2)", 3, 255, kWhite, 1, 0, 0, kNoBlend, {Rgb32(0, 1, 1, 3)}, {Rgb32(0, 2, 2, 5)}, {Rgb32(0, 1, 1, 2)}},
        {"alpha 0 under TransFlag leaves mode 0", 0, 255, kWhite, 0, 1, 1, kNoBlend, {Rgb32(200, 100, 50, 0)}, {k}, {k}},
        {"alpha 0 under TransFlag leaves mode 1", 1, 100, kWhite, 0, 1, 1, kNoBlend, {Rgb32(200, 100, 50, 0)}, {k}, {k}},
        {"alpha 0 under TransFlag leaves mode 2", 2, 100, kWhite, 0, 1, 1, kNoBlend, {Rgb32(200, 100, 50, 0)}, {k}, {k}},
        {"alpha 0 under TransFlag leaves mode 3", 3, 100, kWhite, 0, 1, 1, kNoBlend, {Rgb32(200, 100, 50, 0)}, {k}, {k}},
        {"alpha 0 under TransFlag blackens mode 4", 4, 100, kWhite, 0, 1, 1, kNoBlend, {Rgb32(200, 100, 50, 0)}, {k}, {Rgb32(0, 0, 0, 0x5A)}},
        {"alpha source ignores the key", 0, 255, kWhite, 0, 1, 1, kNoBlend, {Rgb32(1, 2, 3, 255)}, {k}, {Rgb32(1, 2, 3, 255)}, Rgb32(1, 2, 3, 255)},
        {"alpha source without TransFlag is copied whole", 0, 255, kWhite, 0, 0, 1, kNoBlend, {Rgb32(200, 100, 50, 77)}, {k}, {Rgb32(200, 100, 50, 77)}},
        {"alpha source with a bright blends by alpha", 0, 255, 0x80FFFF, 0, 0, 1, kNoBlend, {Rgb32(200, 100, 50, 128)}, {Rgb32(0, 0, 0, 0x5A)}, {Rgb32(50, 50, 25, 0x5A)}},
        {"colour key leaves a whole-word match out", 0, 255, kWhite, 0, 1, 0, kNoBlend, {Rgb32(1, 2, 3, 4)}, {k}, {k}, Rgb32(1, 2, 3, 4)},
        {"colour key compares the fourth byte too", 0, 255, kWhite, 0, 1, 0, kNoBlend, {Rgb32(1, 2, 3, 5)}, {k}, {Rgb32(1, 2, 3, 5)}, Rgb32(1, 2, 3, 4)},
        {"blend weight 0 leaves mode 0", 0, 255, kWhite, 0, 0, 0, 0, {Rgb32(200, 100, 50)}, {k}, {k}},
        {"blend weight 0 leaves mode 1", 1, 100, kWhite, 0, 0, 0, 0, {Rgb32(200, 100, 50)}, {k}, {k}},
        {"blend weight 0 blackens mode 4", 4, 100, kWhite, 0, 0, 0, 0, {Rgb32(200, 100, 50)}, {k}, {Rgb32(0, 0, 0, 0x5A)}},
        {"blend weight 255 and alpha 255", 0, 255, kWhite, 0, 0, 1, 255, {Rgb32(255, 255, 255, 255)}, {Rgb32(0, 0, 0)}, {Rgb32(253, 253, 253)}},
    };
    for (const PixelCase& c : cases) Run(c, 1);
}

// Colours as (R, G, B) 5-6-5; the alpha of an alpha source in bits 16..23.
TEST_F(BlitUnscaledCasesTest, Exact16BitCases) {
    const uint32_t k = Rgb565(9, 9, 9);
    const uint32_t white = Rgb565(31, 63, 31);
    const uint32_t one = Rgb565(1, 1, 1);
    const PixelCase cases[] = {
        {"mode 1 at 3 reads row 0: unchanged", 1, 3, kWhite, 0, 0, 0, kNoBlend, {white}, {k}, {k}},
        {"mode 1 at 252 reads row 63: the source", 1, 252, kWhite, 0, 0, 0, kNoBlend, {white}, {k}, {white}},
        {"mode 1 at 254 reads row 63: the source", 1, 254, kWhite, 0, 0, 0, kNoBlend, {white}, {k}, {white}},
        {"mode 1 at 100 through Blend565Table", 1, 100, kWhite, 0, 0, 0, kNoBlend, {white}, {0}, {Rgb565(12, 25, 12)}},
        {"mode 1 at 100 with a bright by p / 255", 1, 100, 0xFEFEFE, 0, 0, 0, kNoBlend, {white}, {0}, {Rgb565(11, 24, 11)}},
        {"mode 1 at 100, alpha 255 by p / 255", 1, 100, kWhite, 0, 1, 1, kNoBlend, {white | 0xFF0000}, {0}, {Rgb565(12, 24, 12)}},
        {"one-pixel add of (1,1,1) onto (1,1,1)", 2, 255, kWhite, 0, 1, 1, kNoBlend, {one | 0xFF0000}, {one}, {Rgb565(1, 1, 2)}},
        {"pair add of (1,1,1) onto (1,1,1)", 2, 255, kWhite, 0, 0, 0, kNoBlend, {one, one}, {one, one}, {Rgb565(0, 0, 2), 0}},
        {"pair add ignores the packed-byte flag", 2, 255, kWhite, 1, 0, 0, kNoBlend, {one, one}, {one, one}, {Rgb565(0, 0, 2), 0}},
        {"one-pixel subtract of (1,1,1) from (2,2,2)", 3, 255, kWhite, 0, 0, 0, kNoBlend, {one}, {Rgb565(2, 2, 2)}, {Rgb565(3, 2, 1)}},
        {"one-pixel subtract of 0 from 0", 3, 255, kWhite, 0, 0, 0, kNoBlend, {0}, {0}, {Rgb565(1, 0, 0)}},
        {"pair subtract of black from black", 3, 255, kWhite, 0, 0, 0, kNoBlend, {0, 0}, {0, 0}, {Rgb565(1, 0, 0), Rgb565(1, 0, 1)}},
        {"odd last pixel of a row alone", 3, 255, kWhite, 0, 0, 0, kNoBlend, {0, 0, 0}, {0, 0, 0}, {Rgb565(1, 0, 0), Rgb565(1, 0, 1), Rgb565(1, 0, 0)}},
        {"half-average", 1, 128, kWhite, 0, 0, 0, kNoBlend, {Rgb565(3, 5, 7), Rgb565(31, 63, 31)}, {Rgb565(1, 1, 1), Rgb565(31, 63, 31)}, {Rgb565(1, 2, 3), Rgb565(30, 62, 30)}},
        {"alpha source read at 4 bytes, written at 2", 0, 255, kWhite, 0, 0, 1, kNoBlend, {0x11001234, 0x2200ABCD}, {k, k}, {0x1234, 0xABCD}},
        {"plain copy key on the low 16 bits", 0, 255, kWhite, 0, 1, 0, kNoBlend, {0x1234, 0x4321}, {k, k}, {k, 0x4321}, 0x51234},
        {"pair add key on the whole key", 2, 255, kWhite, 0, 1, 0, kNoBlend, {one, one}, {one, one}, {Rgb565(0, 0, 2), 0}, 0x10000 | one},
        {"pair add with one pixel left out", 2, 255, kWhite, 0, 1, 0, kNoBlend, {one, 7, one}, {one, one, one}, {Rgb565(0, 0, 2), one, Rgb565(0, 0, 2)}, 7},
        {"weight 255 white over black", 0, 255, kWhite, 0, 0, 0, 255, {white}, {0}, {Rgb565(30, 62, 30)}},
        {"multiply white by white", 4, 0, kWhite, 0, 0, 0, kNoBlend, {white}, {white}, {Rgb565(30, 62, 30)}},
    };
    for (const PixelCase& c : cases) Run(c, 0);
}

TEST_F(BlitUnscaledCasesTest, PalettedSourcesCompareTheIndex) {
    for (int format : {0, 1}) {
        SCOPED_TRACE(format);
        TestImage src(6, 1, format, 1);
        // Four keyed indices in a row, then one keyed and one not.
        const uint8_t indices[] = {5, 5, 5, 5, 5, 6};
        for (int i = 0; i < 6; ++i) src.Set(i, 0, indices[i]);
        for (int i = 0; i < 256; ++i) {
            if (format == 1) src.SetPalette32(i, static_cast<uint32_t>(i) * 3);
            else src.SetPalette16(i, static_cast<uint16_t>(i * 3));
        }
        // Entry 6 holds the key's value as a colour: it is drawn.
        if (format == 1) src.SetPalette32(6, 5);
        else src.SetPalette16(6, 5);
        src->paletteCount = 256;
        src->colorKey = 5;
        TestImage dst(6, 1, format);
        dst.Fill(0x77);
        BlitMemImg(dst.get(), src.get(), 0, 0, 1, nullptr, GetDrawState());
        for (int i = 0; i < 5; ++i) EXPECT_EQ(dst.Get(i, 0), 0x77u) << i;
        EXPECT_EQ(dst.Get(5, 0), 5u);

        // A key above 255 matches no index, whatever its low byte.
        src->colorKey = 0x105;
        dst.Fill(0x77);
        BlitMemImg(dst.get(), src.get(), 0, 0, 1, nullptr, GetDrawState());
        for (int i = 0; i < 5; ++i) EXPECT_EQ(dst.Get(i, 0), 15u) << i;
        EXPECT_EQ(dst.Get(5, 0), 5u);
    }
}

TEST_F(BlitUnscaledCasesTest, PaletteCopyIsClampedAndTheRestIsBlack) {
    for (int count : {300, 2}) {
        SCOPED_TRACE(count);
        TestImage src(3, 1, 1, 1);
        src.Set(0, 0, 1);
        src.Set(1, 0, 2);
        src.Set(2, 0, 255);
        for (int i = 0; i < 256; ++i) src.SetPalette32(i, 0x00100000u + static_cast<uint32_t>(i));
        src->paletteCount = count;
        TestImage dst(3, 1, 1);
        dst.Fill(0x77);
        BlitMemImg(dst.get(), src.get(), 0, 0, 0, nullptr, GetDrawState());
        EXPECT_EQ(dst.Get(0, 0), 0x00100001u);
        EXPECT_EQ(dst.Get(1, 0), count > 2 ? 0x00100002u : 0u);
        EXPECT_EQ(dst.Get(2, 0), count > 255 ? 0x001000FFu : 0u);
    }
}

// A 3 x 2 source of distinct pixels on a 4 x 4 destination whose draw area is its middle.
TEST_F(BlitUnscaledCasesTest, OnlyTheInsideOfTheDrawAreaIsDrawnFromTheSourceOffset) {
    TestImage src(3, 2, 1);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) src.Set(x, y, 0x100u * static_cast<uint32_t>(y) + static_cast<uint32_t>(x) + 1);
    }
    struct GeoCase {
        int32_t x, y;
        std::vector<uint32_t> rows;  // 4 x 4, 0 untouched
    };
    const GeoCase cases[] = {
        {0, 0, {0, 0, 0, 0, 0, 0x102, 0x103, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {-1, 2, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0x3, 0, 0, 0, 0, 0, 0}},
        {2, 1, {0, 0, 0, 0, 0, 0, 0x1, 0, 0, 0, 0x101, 0, 0, 0, 0, 0}},
        {3, 3, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {-3, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const GeoCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
        TestImage dst(4, 4, 1);
        SetArea(1, 1, 3, 3);
        BlitMemImg(dst.get(), src.get(), c.x, c.y, 0, nullptr, GetDrawState());
        for (int i = 0; i < 16; ++i) EXPECT_EQ(dst.Get(i % 4, i / 4), c.rows[i]) << i;
    }
}

TEST_F(BlitUnscaledCasesTest, RefusedDestinationsStayUntouched) {
    struct Refusal {
        const char* name;
        int dstFormat, dstPaletted, dstAlpha, srcFormat;
    };
    const Refusal cases[] = {
        {"formats differ", 0, 0, 0, 1},
        {"paletted destination", 1, 1, 0, 1},
        {"destination with alpha", 1, 0, 1, 1},
        {"raw 8-bit", 2, 0, 0, 2},
        {"raw 16-bit", 3, 0, 0, 3},
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.name);
        TestImage src(4, 4, c.srcFormat);
        src.Fill(0x12);
        TestImage dst(4, 4, c.dstFormat, c.dstPaletted, c.dstAlpha);
        const std::vector<uint8_t> before = dst.bytes();
        BlitMemImg(dst.get(), src.get(), 0, 0, 0, nullptr, GetDrawState());
        EXPECT_EQ(dst.bytes(), before);
    }
}

// A blend image smaller than the source would be read past its end: nothing is drawn.
TEST_F(BlitUnscaledCasesTest, BlendImageSmallerThanTheSourceDrawsNothing) {
    TestImage src(6, 4, 1);
    src.Fill(Rgb32(200, 100, 50));
    for (auto [w, h] : {std::pair{5, 4}, std::pair{6, 3}}) {
        TestImage blend(w, h, 2);
        blend.Fill(255);
        TestImage dst(8, 8, 1);
        const std::vector<uint8_t> before = dst.bytes();
        BlitMemImg(dst.get(), src.get(), 0, 0, 0, blend.get(), GetDrawState());
        EXPECT_EQ(dst.bytes(), before) << w << " x " << h;
    }
}

// Positions whose far edge does not fit 32 bits draw nothing, even with a huge draw area.
TEST_F(BlitUnscaledCasesTest, ExtremePositionsDrawNothing) {
    TestImage src(16, 16, 1);
    src.Fill(Rgb32(1, 2, 3));
    TestImage dst(8, 8, 1);
    SetArea(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
    const std::vector<uint8_t> before = dst.bytes();
    BlitMemImg(dst.get(), src.get(), INT32_MAX - 3, 0, 0, nullptr, GetDrawState());
    BlitMemImg(dst.get(), src.get(), 0, INT32_MAX, 0, nullptr, GetDrawState());
    EXPECT_EQ(dst.bytes(), before);
    // Limited to the image, the area still lets a normal draw through.
    BlitMemImg(dst.get(), src.get(), -4, -4, 0, nullptr, GetDrawState());
    EXPECT_EQ(dst.Get(0, 0), Rgb32(1, 2, 3));
    EXPECT_EQ(dst.Get(7, 7), Rgb32(1, 2, 3));
}

}  // namespace
