// The exact cases of the rasteriser's span groups, one table per group: flat colour, paletted
// sources, 32-bit direct sources and 16-bit direct sources; then the faults the rasteriser
// guards against (blend image smaller than the source, coordinates beyond the fixed point,
// palette entries past the palette's count).
#include <gtest/gtest.h>

#include <string>

#include "softrender/triangle/triangle_rasterizer.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

enum class Kind { Paletted, Direct, Alpha };

// One texel drawn onto pixel (0, 0): the triangle (0, 0), (2, 0), (0, 2) maps the whole of a
// 1 x 1 source onto that pixel.
struct PixelCase {
    const char* name;
    int format;
    Kind kind;
    // The stored texel: a palette index, a direct colour (32-bit: alpha in byte 3), or a 16-bit
    // colour with its alpha in bits 16-23.
    uint32_t texel;
    int mode, param;
    uint32_t dest, expected;
    uint32_t colorKey = 0xFFFFFFFFu;
    int transFlag = 0;
    uint32_t bright = 0xFFFFFF;
    uint32_t entry = 0;  // the palette entry of the index
    int paletteCount = 256;
    int useMmx = 0;

    PixelCase ColorKey(uint32_t v) const {
        PixelCase c = *this;
        c.colorKey = v;
        return c;
    }
    PixelCase TransFlag(int v) const {
        PixelCase c = *this;
        c.transFlag = v;
        return c;
    }
    PixelCase Bright(uint32_t v) const {
        PixelCase c = *this;
        c.bright = v;
        return c;
    }
    PixelCase Entry(uint32_t v) const {
        PixelCase c = *this;
        c.entry = v;
        return c;
    }
    PixelCase UseMmx(int v) const {
        PixelCase c = *this;
        c.useMmx = v;
        return c;
    }
};

class TriangleCasesTest : public SoftRenderTest {
protected:
    uint32_t DrawOne(const PixelCase& c) {
        SetBlend(c.mode, c.param);
        SetBright(c.bright);
        UseMmx = c.useMmx;
        TestImage src(1, 1, c.format, c.kind == Kind::Paletted ? 1 : 0,
                      c.kind == Kind::Alpha ? 1 : 0);
        src.Set(0, 0, c.texel);
        if (c.kind == Kind::Paletted) {
            if (c.format == 1) {
                src.SetPalette32(static_cast<int>(c.texel & 0xFF), c.entry);
            } else {
                src.SetPalette16(static_cast<int>(c.texel & 0xFF), static_cast<uint16_t>(c.entry));
            }
            src->paletteCount = c.paletteCount;
        }
        src->colorKey = c.colorKey;
        TestImage dst(4, 4, c.format);
        dst.Fill(c.dest);
        const int32_t v[12] = {0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 0, 1};
        RasterizeMemImgTriangle(dst.get(), src.get(), v, c.transFlag, nullptr, 0, GetDrawState());
        return dst.Get(0, 0);
    }
    void RunTable(const std::vector<PixelCase>& cases) {
        for (const PixelCase& c : cases) {
            EXPECT_EQ(DrawOne(c), c.expected) << c.name;
        }
    }
};

TEST_F(TriangleCasesTest, FlatColour) {
    struct FlatCase {
        const char* name;
        int format, mode, param;
        uint32_t bright, colour, dest, expected;
        int transFlag = 0;
        bool blend = false;
    };
    const FlatCase cases[] = {
        {"exact colour under a white bright", 1, 0, 255, 0xFFFFFF, 0x00FF8040, 0x11223344,
         0x00FF8040},
        {"red bright 128: red 255 becomes 128", 1, 0, 255, 0x80FFFF, 0x00FF8040, 0, 0x00808040},
        {"mode 1 at 255 is the copy", 1, 1, 255, 0xFFFFFF, 0x7FFF8040, 0x11223344, 0x7FFF8040},
        {"mode 1 at 0 changes nothing", 1, 1, 0, 0xFFFFFF, 0x00FF8040, 0x11223344, 0x11223344},
        {"mode 2 at 0 changes nothing", 0, 2, 0, 0xFFFFFF, 0xFFFF, 0x1234, 0x1234},
        {"mode 3 at 0 changes nothing", 1, 3, 0, 0xFFFFFF, 0x00FFFFFF, 0x11223344, 0x11223344},
        {"mode 1 at 128, 32-bit: shift by 8", 1, 1, 128, 0xFFFFFF, 0x00FFFFFF, 0x11000000,
         0x117F7F7F},
        {"mode 4 at parameter 0 still multiplies", 1, 4, 0, 0xFFFFFF, 0x00808080, 0x00FFFFFF,
         0x007F7F7F},
        {"16-bit mode 3: white minus 0 clears bit 5", 0, 3, 255, 0xFFFFFF, 0x0000, 0xFFFF, 0xFFDF},
        {"16-bit bits above the low 16 of the colour are dropped", 0, 0, 255, 0xFFFFFF, 0xABCD1234,
         0, 0x1234},
        {"the colour key flag plays no part", 1, 0, 255, 0xFFFFFF, 0x00FF8040, 0, 0x00FF8040, 1},
        {"a blend image plays no part", 1, 1, 128, 0xFFFFFF, 0x00FFFFFF, 0x11000000, 0x117F7F7F, 0,
         true},
    };
    for (const FlatCase& c : cases) {
        SetBlend(c.mode, c.param);
        SetBright(c.bright);
        TestImage dst(4, 4, c.format);
        dst.Fill(c.dest);
        TestImage blend(4, 4, 1, 1);  // all bytes 0
        const int32_t v[12] = {0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0};
        RasterizeMemImgTriangle(dst.get(), nullptr, v, c.transFlag, c.blend ? blend.get() : nullptr,
                                c.colour, GetDrawState());
        EXPECT_EQ(dst.Get(0, 0), c.expected) << c.name;
    }
}

TEST_F(TriangleCasesTest, PalettedSources) {
    const auto P = Kind::Paletted;
    RunTable({
        PixelCase{"mode 1 at 0 leaves the destination", 1, P, 3, 1, 0, 0x11223344, 0x11223344}
            .Entry(0x00FFFFFF),
        PixelCase{"mode 2 at 0 leaves the destination", 0, P, 3, 2, 0, 0x1234, 0x1234}.Entry(
            0xFFFF),
        PixelCase{"mode 1 at 255 copies the whole entry like mode 0", 1, P, 3, 1, 255, 0x11223344,
                  0x7F102030}
            .Entry(0x7F102030),
        PixelCase{"mode 3 at 0 runs with a zero term: 0 becomes 0x00010100", 1, P, 3, 3, 0, 0,
                  0x00010100}
            .Entry(0x00FFFFFF),
        PixelCase{"mode 3 at 0 keeps blue, sets the low bits of green and red, clears byte 3", 1, P,
                  3, 3, 0, 0x11223344, 0x00233344}
            .Entry(0x00FFFFFF),
        PixelCase{"16-bit mode 3 at 0: 0 becomes 0x0800", 0, P, 3, 3, 0, 0, 0x0800}.Entry(0xFFFF),
        PixelCase{"mode 3 at 255 is the plain carry-masked subtract, also with MMX", 1, P, 3, 3,
                  255, 0x44030303, 0x00030302}
            .Entry(0x77010101)
            .UseMmx(1),
        PixelCase{"a key of 256 makes no index transparent", 1, P, 0, 0, 255, 0, 0x00ABCDEF}
            .ColorKey(256)
            .TransFlag(1)
            .Entry(0x00ABCDEF),
        PixelCase{"a key equal to the index skips it whatever its colour", 1, P, 7, 0, 255,
                  0x11223344, 0x11223344}
            .ColorKey(7)
            .TransFlag(1)
            .Entry(0x00ABCDEF),
        PixelCase{"another index of the same colour is drawn", 1, P, 8, 0, 255, 0x11223344,
                  0x00ABCDEF}
            .ColorKey(7)
            .TransFlag(1)
            .Entry(0x00ABCDEF),
        PixelCase{"a negative key matches nothing", 0, P, 255, 0, 255, 0, 0x1234}
            .ColorKey(0xFFFFFFFFu)
            .TransFlag(1)
            .Entry(0x1234),
        PixelCase{"mode 0 with a bright keeps byte 3", 1, P, 3, 0, 255, 0x11000000, 0x11808040}
            .Bright(0x80FFFF)
            .Entry(0x7FFF8040),
        PixelCase{"mode 1 keeps byte 3", 1, P, 3, 1, 128, 0x11000000, 0x117F7F7F}.Entry(0x7FFFFFFF),
        PixelCase{"mode 4 keeps byte 3", 1, P, 3, 4, 0, 0x11FFFFFF, 0x117F7F7F}.Entry(0x7F808080),
        PixelCase{"mode 2 sets byte 3 to red's carry", 1, P, 3, 2, 255, 0xFF808080, 0x01FFFFFF}
            .Entry(0x00808080),
        PixelCase{"mode 2 without a carry clears byte 3", 1, P, 3, 2, 255, 0xFF010101, 0x00010102}
            .Entry(0x00010101),
        PixelCase{"16-bit mode 1 at 128 steps through the difference table", 0, P, 3, 1, 128, 0,
                  Rgb565(31 * 128 / 255, 63 * 128 / 255, 31 * 128 / 255)}
            .Entry(0xFFFF),
        PixelCase{"16-bit mode 4: white times white", 0, P, 3, 4, 255, 0xFFFF, Rgb565(30, 62, 30)}
            .Entry(0xFFFF),
    });
}

TEST_F(TriangleCasesTest, DirectSources32) {
    const auto D = Kind::Direct, A = Kind::Alpha;
    RunTable({
        {"mode 1 at 0 leaves the destination", 1, D, 0x00FFFFFF, 1, 0, 0x11223344, 0x11223344},
        {"mode 3 at 0 leaves the destination", 1, D, 0x00FFFFFF, 3, 0, 0x11223344, 0x11223344},
        {"mode 1 at 255 copies like mode 0, byte 3 too", 1, D, 0x7F102030, 1, 255, 0x11223344,
         0x7F102030},
        {"alpha without key: an alpha-255 white over black gives 254", 1, A, 0xFFFFFFFF, 0, 255, 0,
         0x00FEFEFE},
        PixelCase{"alpha with key: alpha 255 is copied whole", 1, A, 0xFFFFFFFF, 0, 255, 0,
                  0xFFFFFFFF}
            .TransFlag(1),
        PixelCase{"alpha with key: alpha 0 leaves mode 0", 1, A, 0x00FFFFFF, 0, 255, 0x11223344,
                  0x11223344}
            .TransFlag(1),
        PixelCase{"alpha with key: alpha 0 leaves mode 1", 1, A, 0x00FFFFFF, 1, 128, 0x11223344,
                  0x11223344}
            .TransFlag(1),
        PixelCase{"alpha with key: alpha 0 leaves mode 2", 1, A, 0x00FFFFFF, 2, 255, 0x11223344,
                  0x11223344}
            .TransFlag(1),
        PixelCase{"alpha with key: alpha 0 leaves mode 3", 1, A, 0x00FFFFFF, 3, 255, 0x11223344,
                  0x11223344}
            .TransFlag(1),
        PixelCase{"alpha with key: alpha 0 in mode 4 blackens bytes 0 to 2", 1, A, 0x00FFFFFF, 4,
                  255, 0x11FFFFFF, 0x11000000}
            .TransFlag(1),
        PixelCase{"the alpha loops never compare the key", 1, A, 0x80FFFFFF, 0, 255, 0, 0x007F7F7F}
            .ColorKey(0x80FFFFFF)
            .TransFlag(1),
        PixelCase{"a key equal to the low 24 bits only: drawn", 1, D, 0x01ABCDEF, 0, 255, 0,
                  0x01ABCDEF}
            .ColorKey(0x00ABCDEF)
            .TransFlag(1),
        PixelCase{"a key equal to the whole texel: skipped", 1, D, 0x01ABCDEF, 0, 255, 0x11223344,
                  0x11223344}
            .ColorKey(0x01ABCDEF)
            .TransFlag(1),
        {"mode 3 at 255: the integer subtract, byte 3 cleared", 1, D, 0x77010101, 3, 255,
         0x44030303, 0x00030302},
        PixelCase{"mode 3 at 255 with the MMX flag: the same", 1, D, 0x77010101, 3, 255, 0x44030303,
                  0x00030302}
            .UseMmx(1),
        {"mode 2 without a carry clears byte 3", 1, D, 0x00010101, 2, 255, 0xFF010101, 0x00010102},
        {"mode 2 with red's carry sets byte 3 to 1", 1, D, 0x00808080, 2, 255, 0x00808080,
         0x01FFFFFF},
        {"mode 4 at parameter 0 still multiplies", 1, D, 0x00808080, 4, 0, 0x00FFFFFF, 0x007F7F7F},
        {"mode 1 at 128 over black", 1, D, 0x00FFFFFF, 1, 128, 0x11000000, 0x117F7F7F},
    });
}

TEST_F(TriangleCasesTest, DirectSources16) {
    const auto D = Kind::Direct, A = Kind::Alpha;
    const uint32_t a0 = 0u << 16, a255 = 255u << 16, a128 = 128u << 16;
    RunTable({
        {"mode 1 at 0 leaves the destination", 0, D, 0xFFFF, 1, 0, 0x1234, 0x1234},
        {"mode 2 at 0 leaves the destination", 0, D, 0xFFFF, 2, 0, 0x1234, 0x1234},
        {"mode 3 at 0 leaves the destination", 0, D, 0xFFFF, 3, 0, 0x1234, 0x1234},
        {"mode 1 at 255 copies like mode 0", 0, D, 0x1234, 1, 255, 0xFFFF, 0x1234},
        {"mode 3 at 255: white minus 0 clears bit 5", 0, D, 0x0000, 3, 255, 0xFFFF, 0xFFDF},
        {"mode 3 at 255: (10,20,10) minus (5,6,7)", 0, D, Rgb565(5, 6, 7), 3, 255,
         Rgb565(10, 20, 10), Rgb565(7, 14, 3)},
        {"alpha 0 without key leaves mode 0", 0, A, 0xFFFF | a0, 0, 255, 0x1234, 0x1234},
        {"alpha 0 without key leaves mode 1", 0, A, 0xFFFF | a0, 1, 128, 0x1234, 0x1234},
        {"alpha 0 without key leaves mode 2", 0, A, 0xFFFF | a0, 2, 255, 0x1234, 0x1234},
        {"alpha 0 without key: mode 3 turns black into 0x0800", 0, A, 0xFFFF | a0, 3, 255, 0,
         0x0800},
        {"alpha 0 without key: mode 4 writes black", 0, A, 0xFFFF | a0, 4, 255, 0xFFFF, 0},
        {"alpha 255 without key: white over black is (30,62,30)", 0, A, 0xFFFF | a255, 0, 255, 0,
         Rgb565(30, 62, 30)},
        PixelCase{"alpha 255 with key is copied", 0, A, 0xFFFF | a255, 0, 255, 0, 0xFFFF}.TransFlag(
            1),
        PixelCase{"alpha 0 with key leaves mode 0", 0, A, 0xFFFF | a0, 0, 255, 0x1234, 0x1234}
            .TransFlag(1),
        PixelCase{"alpha 0 with key leaves mode 3", 0, A, 0xFFFF | a0, 3, 255, 0x1234, 0x1234}
            .TransFlag(1),
        PixelCase{"alpha 0 with key writes black in mode 4", 0, A, 0xFFFF | a0, 4, 255, 0xFFFF, 0}
            .TransFlag(1),
        PixelCase{"the alpha loops never compare the key", 0, A, 0x1234 | a128, 0, 255, 0,
                  Rgb565(1, 8, 10)}
            .ColorKey(0x1234)
            .TransFlag(1),
        PixelCase{"a key equal to the colour skips the plain copy", 0, D, 0x1234, 0, 255, 0xFFFF,
                  0xFFFF}
            .ColorKey(0x1234)
            .TransFlag(1),
        PixelCase{"a key above 0xFFFF never matches, the plain copy included", 0, D, 0x1234, 0, 255,
                  0xFFFF, 0x1234}
            .ColorKey(0x11234)
            .TransFlag(1),
        PixelCase{"a key above 0xFFFF never matches mode 1", 0, D, 0xFFFF, 1, 128, 0,
                  Rgb565(15, 31, 15)}
            .ColorKey(0x1FFFF)
            .TransFlag(1),
        {"mode 4 at parameter 0: white times white", 0, D, 0xFFFF, 4, 0, 0xFFFF,
         Rgb565(30, 62, 30)},
    });
}

TEST_F(TriangleCasesTest, TheBlendByteFollowsTheTexel) {
    // A 2 x 1 source magnified twice: pixels 0-1 show texel column 0 (weight 0: untouched),
    // pixels 2-3 column 1 (weight 255), wherever the texels land.
    TestImage src(2, 1, 1);
    src.Fill(0x00FFFFFF);
    TestImage blend(2, 1, 1, 1);
    blend.Set(1, 0, 255);
    TestImage dst(6, 3, 1);
    const int32_t v[12] = {0, 0, 0, 0, 4, 0, 2, 0, 0, 4, 0, 2};
    RasterizeMemImgTriangle(dst.get(), src.get(), v, 0, blend.get(), 0, GetDrawState());
    EXPECT_EQ(dst.Get(0, 0), 0u);
    EXPECT_EQ(dst.Get(1, 0), 0u);
    EXPECT_EQ(dst.Get(2, 0), 0x00FEFEFEu);  // (255 * 255) >> 8
    EXPECT_EQ(dst.Get(3, 0), 0x00FEFEFEu);
}

TEST_F(TriangleCasesTest, FaultsDrawNothing) {
    TestImage src(4, 4, 1);
    src.Fill(0x00FFFFFF);
    struct FaultCase {
        const char* name;
        std::vector<int32_t> vertices;
        int blendWidth, blendHeight;  // 0: no blend image
    };
    const FaultCase cases[] = {
        {"a blend image narrower than the source", {0, 0, 0, 0, 4, 0, 4, 0, 0, 4, 0, 4}, 3, 4},
        {"a blend image lower than the source", {0, 0, 0, 0, 4, 0, 4, 0, 0, 4, 0, 4}, 4, 3},
        {"a vertex at x = 8192", {0, 0, 0, 0, 8192, 0, 4, 0, 0, 4, 0, 4}, 0, 0},
        {"a vertex at y = -9000", {0, 0, 0, 0, 4, 0, 4, 0, 0, -9000, 0, 4}, 0, 0},
        {"vertices 9000 pixels apart", {-4500, 0, 0, 0, 4500, 0, 4, 0, 0, 4, 0, 4}, 0, 0},
        {"the most negative coordinate", {INT32_MIN, 0, 0, 0, 4, 0, 4, 0, 0, 4, 0, 4}, 0, 0},
        {"a texel coordinate beyond 8191", {0, 0, 0, 0, 4, 0, 100000, 0, 0, 4, 0, 4}, 0, 0},
    };
    for (const FaultCase& c : cases) {
        TestImage dst(8, 8, 1);
        TestImage blend(c.blendWidth > 0 ? c.blendWidth : 1, c.blendHeight > 0 ? c.blendHeight : 1,
                        1, 1);
        for (int y = 0; y < blend->height; ++y) {
            for (int x = 0; x < blend->width; ++x) blend.Set(x, y, 255);
        }
        RasterizeMemImgTriangle(dst.get(), src.get(), c.vertices.data(), 0,
                                c.blendWidth > 0 ? blend.get() : nullptr, 0, GetDrawState());
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) ASSERT_EQ(dst.Get(x, y), 0u) << c.name;
        }
    }
    // The same triangle within range draws.
    TestImage dst(8, 8, 1);
    const int32_t v[12] = {0, 0, 0, 0, 4, 0, 4, 0, 0, 4, 0, 4};
    RasterizeMemImgTriangle(dst.get(), src.get(), v, 0, nullptr, 0, GetDrawState());
    EXPECT_EQ(dst.Get(0, 0), 0x00FFFFFFu);
}

TEST_F(TriangleCasesTest, EntriesPastThePaletteCountAreColourZero) {
    // The palette holds rubbish past its count; every index there draws colour 0.
    for (int format = 0; format < 2; ++format) {
        TestImage src(4, 1, format, 1);
        for (int i = 0; i < 256; ++i) {
            if (format == 1) {
                src.SetPalette32(i, 0x00ABCDEF);
            } else {
                src.SetPalette16(i, 0xABCD);
            }
        }
        src->paletteCount = 2;
        for (int x = 0; x < 4; ++x) src.Set(x, 0, static_cast<uint32_t>(x == 0 ? 1 : 200 + x));
        TestImage dst(4, 1, format);
        dst.Fill(0x1111);
        const int32_t v[12] = {0, 0, 0, 0, 8, 0, 8, 0, 0, 8, 0, 8};
        RasterizeMemImgTriangle(dst.get(), src.get(), v, 0, nullptr, 0, GetDrawState());
        EXPECT_EQ(dst.Get(0, 0), format == 1 ? 0x00ABCDEFu : 0xABCDu) << format;
        for (int x = 1; x < 4; ++x) EXPECT_EQ(dst.Get(x, 0), 0u) << format << " " << x;
    }
}

}  // namespace
