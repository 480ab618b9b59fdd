// The rotated blit's exact pixel cases: one table for direct-colour sources and one for
// paletted sources, each row one source pixel drawn at angle 0 and scale 1 onto one
// destination pixel through the whole kernel.
#include <gtest/gtest.h>

#include "softrender/rotated/blit_rotated.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int kNoBlend = -1;

class RotatedBlitCasesTest : public SoftRenderTest {
protected:
    // Draws the 1x1 source onto pixel (0, 0) of a 2x1 destination and returns that pixel;
    // pixel (1, 0) must stay as it was.
    uint32_t Draw(TestImage& src, uint32_t dstPixel, int mode, int param, uint32_t bright,
                  int transFlag, int weight, int useMmx) {
        TestImage dst(2, 1, src->pixelFormat);
        dst.Set(0, 0, dstPixel);
        dst.Set(1, 0, dstPixel);
        TestImage blend(1, 1, 2);
        blend.Set(0, 0, 7);
        BlendWeightMap[7] = static_cast<uint8_t>(weight < 0 ? 0 : weight);
        SetBlend(mode, param);
        SetBright(bright);
        UseMmx = useMmx;
        BlitMemImgRotated(dst.get(), src.get(), 0, 0, 0.0f, 1.0f, transFlag, 0,
                          weight < 0 ? nullptr : blend.get(), GetDrawState());
        EXPECT_EQ(dst.Get(1, 0), dstPixel) << "a pixel outside the source was written";
        return dst.Get(0, 0);
    }
};

TEST_F(RotatedBlitCasesTest, DirectSources) {
    struct Case {
        const char* name;
        int format, alpha;
        int mode, param;
        uint32_t bright;
        int transFlag;
        uint32_t key;
        int weight;
        int useMmx;
        uint32_t src, dst, expected;
    };
    const uint32_t w565 = Rgb565(31, 63, 31);
    const Case cases[] = {
        {"plain copy takes the fourth byte", 1, 0, 0, 0, kWhite, 0, 0, kNoBlend, 0, Rgb32(1, 2, 3, 4), Rgb32(9, 9, 9, 9), Rgb32(1, 2, 3, 4)},
        {"mode 1 at 255 is the copy", 1, 0, 1, 255, kWhite, 1, 0, kNoBlend, 0, Rgb32(1, 2, 3, 4), Rgb32(9, 9, 9, 9), Rgb32(1, 2, 3, 4)},
        {"copy with a bright keeps the fourth byte", 1, 0, 0, 0, 0xFF00FF, 0, 0, kNoBlend, 0, Rgb32(1, 2, 3, 4), Rgb32(9, 9, 9, 9), Rgb32(1, 0, 3, 9)},
        {"mode 1 at 0 leaves the destination", 1, 0, 1, 0, kWhite, 0, 0, kNoBlend, 0, Rgb32(1, 2, 3), Rgb32(9, 9, 9, 9), Rgb32(9, 9, 9, 9)},
        {"mode 2 at 0 leaves the destination", 1, 0, 2, 0, kWhite, 0, 0, kNoBlend, 0, Rgb32(1, 2, 3), Rgb32(9, 9, 9, 9), Rgb32(9, 9, 9, 9)},
        {"mode 3 at 0 leaves the destination", 1, 0, 3, 0, kWhite, 0, 0, kNoBlend, 0, Rgb32(1, 2, 3), Rgb32(9, 9, 9, 9), Rgb32(9, 9, 9, 9)},
        {"mode 1 at 128", 1, 0, 1, 128, kWhite, 0, 0, kNoBlend, 0, Rgb32(255, 255, 255), Rgb32(0, 0, 0, 6), Rgb32(127, 127, 127, 6)},
        {"a key equal to the low 24 bits only draws", 1, 0, 0, 0, kWhite, 1, 0x00010203, kNoBlend, 0, 0x05010203, Rgb32(9, 9, 9), 0x05010203},
        {"the key compares all four bytes", 1, 0, 0, 0, kWhite, 1, 0x05010203, kNoBlend, 0, 0x05010203, Rgb32(9, 9, 9), Rgb32(9, 9, 9)},
        {"any non-zero TransFlag keys", 1, 0, 2, 100, kWhite, -4, 0x05010203, kNoBlend, 0, 0x05010203, Rgb32(9, 9, 9), Rgb32(9, 9, 9)},
        {"subtract at 255 through the table even with UseMmx", 1, 0, 3, 255, kWhite, 0, 0, kNoBlend, 1, Rgb32(1, 1, 1, 4), Rgb32(3, 3, 3, 9), Rgb32(3, 3, 2, 0)},
        {"subtract at 100 clears the fourth byte", 1, 0, 3, 100, kWhite, 0, 0, kNoBlend, 0, Rgb32(100, 100, 100), Rgb32(200, 200, 200, 77), Rgb32(163, 163, 161, 0)},
        {"add of 128s sets the fourth byte", 1, 0, 2, 255, kWhite, 0, 0, kNoBlend, 1, Rgb32(128, 128, 128), Rgb32(128, 128, 128), Rgb32(255, 255, 255, 1)},
        {"alpha 0 under the key, mode 0", 1, 1, 0, 0, kWhite, 1, 0, kNoBlend, 0, Rgb32(50, 60, 70, 0), Rgb32(9, 8, 7, 6), Rgb32(9, 8, 7, 6)},
        {"alpha 0 under the key, mode 1", 1, 1, 1, 100, kWhite, 1, 0, kNoBlend, 0, Rgb32(50, 60, 70, 0), Rgb32(9, 8, 7, 6), Rgb32(9, 8, 7, 6)},
        {"alpha 0 under the key, mode 2", 1, 1, 2, 100, kWhite, 1, 0, kNoBlend, 0, Rgb32(50, 60, 70, 0), Rgb32(9, 8, 7, 6), Rgb32(9, 8, 7, 6)},
        {"alpha 0 under the key, mode 3", 1, 1, 3, 100, kWhite, 1, 0, kNoBlend, 0, Rgb32(50, 60, 70, 0), Rgb32(9, 8, 7, 6), Rgb32(9, 8, 7, 6)},
        {"alpha 255 under the key copies whole", 1, 1, 0, 0, kWhite, 1, 0, kNoBlend, 0, Rgb32(255, 255, 255, 255), Rgb32(0, 0, 0), Rgb32(255, 255, 255, 255)},
        {"alpha 255 without the key is weighted", 1, 1, 0, 0, kWhite, 0, 0, kNoBlend, 0, Rgb32(255, 255, 255, 255), Rgb32(0, 0, 0), Rgb32(254, 254, 254)},
        {"alpha 0 without the key is weighted", 1, 1, 4, 0, kWhite, 0, 0, kNoBlend, 0, Rgb32(50, 60, 70, 0), Rgb32(9, 8, 7, 6), Rgb32(0, 0, 0, 6)},
        {"weight 255 and alpha 255", 1, 1, 0, 0, kWhite, 0, 0, 255, 0, Rgb32(255, 255, 255, 255), Rgb32(0, 0, 0), Rgb32(253, 253, 253)},
        {"mode 4, alpha 0 under the key blackens", 1, 1, 4, 0, kWhite, 1, 0, kNoBlend, 0, Rgb32(9, 9, 9, 0), Rgb32(9, 8, 7, 6), Rgb32(0, 0, 0, 6)},
        {"mode 4, alpha 255 under the key is opaque", 1, 1, 4, 0, kWhite, 1, 0, kNoBlend, 0, Rgb32(255, 128, 2, 255), Rgb32(200, 200, 200, 7), Rgb32(199, 100, 1, 7)},
        {"mode 4 ignores the parameter", 1, 0, 4, 200, kWhite, 0, 0, kNoBlend, 0, Rgb32(255, 128, 2), Rgb32(200, 200, 200, 7), Rgb32(199, 100, 1, 7)},
        {"mode 4 with weight 0 blackens", 1, 0, 4, 0, kWhite, 0, 0, 0, 0, Rgb32(200, 100, 50), Rgb32(9, 9, 9, 7), Rgb32(0, 0, 0, 7)},
        {"16-bit: key bits above 15 match no pixel", 0, 0, 0, 0, kWhite, 1, 0x11234, kNoBlend, 0, 0x1234, Rgb565(9, 9, 9), 0x1234},
        {"16-bit: the key matched whole", 0, 0, 0, 0, kWhite, 1, 0x1234, kNoBlend, 0, 0x1234, Rgb565(9, 9, 9), Rgb565(9, 9, 9)},
        {"16-bit: the other loops compare the whole key too", 0, 0, 4, 0, kWhite, 1, 0x11234, kNoBlend, 0, 0x1234, w565, Rgb565(1, 16, 19)},
        {"16-bit alpha: colour in bytes 0-1, alpha in byte 2", 0, 1, 0, 0, kWhite, 0, 0, kNoBlend, 0, w565 | 0x80u << 16 | 0xFFu << 24, 0, Rgb565(15, 31, 15)},
        {"16-bit alpha 0 under the key", 0, 1, 2, 90, kWhite, 1, 0, kNoBlend, 0, w565, Rgb565(1, 2, 3), Rgb565(1, 2, 3)},
        {"16-bit subtract at 255", 0, 0, 3, 255, kWhite, 0, 0, kNoBlend, 1, Rgb565(1, 2, 1), w565, Rgb565(31, 60, 30)},
        {"16-bit mode 3 at 0", 0, 0, 3, 0, kWhite, 0, 0, kNoBlend, 0, w565, Rgb565(4, 4, 4), Rgb565(4, 4, 4)},
        {"16-bit mode 1 steps by p / 255", 0, 0, 1, 100, kWhite, 0, 0, kNoBlend, 0, w565, 0, Rgb565(12, 24, 12)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestImage src(1, 1, c.format, 0, c.alpha);
        src.Set(0, 0, c.src);
        src->colorKey = c.key;
        EXPECT_EQ(Draw(src, c.dst, c.mode, c.param, c.bright, c.transFlag, c.weight, c.useMmx),
                  c.expected);
    }
}

TEST_F(RotatedBlitCasesTest, PalettedSources) {
    struct Case {
        const char* name;
        int format;
        int mode, param;
        uint32_t bright;
        int transFlag;
        uint32_t key;
        int weight;
        int useMmx;
        uint32_t entry, dst, expected;
    };
    const uint32_t k32 = Rgb32(9, 9, 9, 9);
    const Case cases[] = {
        {"copy takes the whole entry", 1, 0, 0, kWhite, 0, 0, kNoBlend, 0, 0x7F102030, 0x11223344, 0x7F102030},
        {"copy with a bright keeps the fourth byte", 1, 0, 0, 0xFF00FF, 0, 0, kNoBlend, 0, 0x7F102030, 0x11223344, 0x11100030},
        {"mode 1 at 255 is the copy", 1, 1, 255, kWhite, 0, 0, kNoBlend, 0, 0x7F102030, 0x11223344, 0x7F102030},
        {"mode 1 at 0 leaves the destination", 1, 1, 0, kWhite, 0, 0, kNoBlend, 0, 0x7F102030, k32, k32},
        {"mode 2 at 0 leaves the destination", 1, 2, 0, kWhite, 0, 0, kNoBlend, 0, 0x7F102030, k32, k32},
        {"mode 3 at 0 runs with a zero term", 1, 3, 0, kWhite, 0, 0, kNoBlend, 0, Rgb32(200, 200, 200), 0, 0x00010100},
        {"16-bit mode 3 at 0 runs with a zero term", 0, 3, 0, kWhite, 0, 0, kNoBlend, 0, 0xFFFF, 0, 0x0800},
        {"mode 3 at 255 through the table even with UseMmx", 1, 3, 255, kWhite, 0, 0, kNoBlend, 1, Rgb32(1, 1, 1, 4), Rgb32(3, 3, 3, 9), Rgb32(3, 3, 2, 0)},
        {"mode 4 at 0", 1, 4, 0, kWhite, 0, 0, kNoBlend, 0, Rgb32(128, 255, 2), Rgb32(200, 200, 200, 5), Rgb32(100, 199, 1, 5)},
        {"mode 4 at 200", 1, 4, 200, kWhite, 0, 0, kNoBlend, 0, Rgb32(128, 255, 2), Rgb32(200, 200, 200, 5), Rgb32(100, 199, 1, 5)},
        {"the key skips its index", 1, 0, 0, kWhite, 1, 3, kNoBlend, 0, 0x7F102030, k32, k32},
        {"a key of 256 skips nothing", 1, 0, 0, kWhite, 1, 256 + 3, kNoBlend, 0, 0x7F102030, k32, 0x7F102030},
        {"a negative key skips nothing", 1, 2, 255, kWhite, 1, 0xFFFFFFFFu, kNoBlend, 0, Rgb32(1, 1, 1), Rgb32(1, 1, 1), Rgb32(1, 1, 2)},
        {"blend weight 0 leaves the destination", 1, 0, 0, kWhite, 0, 0, 0, 0, 0x7F102030, k32, k32},
        {"16-bit copy takes the entry", 0, 0, 0, kWhite, 0, 0, kNoBlend, 0, 0xBEEF, 0x1234, 0xBEEF},
        {"16-bit subtract at 255", 0, 3, 255, kWhite, 0, 0, kNoBlend, 1, Rgb565(1, 2, 1), Rgb565(31, 63, 31), Rgb565(31, 60, 30)},
        {"16-bit add at 255", 0, 2, 255, kWhite, 0, 0, kNoBlend, 0, Rgb565(1, 1, 1), Rgb565(1, 1, 1), Rgb565(1, 1, 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestImage src(1, 1, c.format, 1);
        src.Set(0, 0, 3);
        if (c.format == 1) {
            src.SetPalette32(3, c.entry);
        } else {
            src.SetPalette16(3, static_cast<uint16_t>(c.entry));
        }
        src->paletteCount = 4;
        src->colorKey = c.key;
        EXPECT_EQ(Draw(src, c.dst, c.mode, c.param, c.bright, c.transFlag, c.weight, c.useMmx),
                  c.expected);
    }

    // An index past the palette's count reads colour 0, whatever the record holds there.
    TestImage src(1, 1, 1, 1);
    src.Set(0, 0, 9);
    src.SetPalette32(9, 0x00FFFFFF);
    src->paletteCount = 4;
    EXPECT_EQ(Draw(src, k32, 0, 0, kWhite, 0, kNoBlend, 0), 0u);
}

}  // namespace
