// The rasteriser's per-call decisions as tables: the span group and its refusals, the loop of
// a mode and variant with the parameter exits, the flat colour after the bright, and where
// the textured loops differ from the scaled blit's.
#include "softrender/triangle/triangle_plan.h"

#include <gtest/gtest.h>

#include <optional>

#include "tests/softrender/softrender_test_support.h"

namespace {

struct ImageShape {
    int width = 8, height = 8, format = 1, paletted = 0, alpha = 0;
};

struct GroupCase {
    const char* name;
    ImageShape dst;
    std::optional<ImageShape> src;
    std::optional<ImageShape> blend;
    TriangleGroup group;
};

class TrianglePlanTest : public SoftRenderTest {};

TEST_F(TrianglePlanTest, GroupAndRefusals) {
    const ImageShape d32{}, d16{8, 8, 0};
    const ImageShape byte8{8, 8, 1, 1};  // a blend image: one byte per pixel
    const GroupCase cases[] = {
        {"flat 32-bit", d32, std::nullopt, std::nullopt, TriangleGroup::Flat32},
        {"flat 16-bit", d16, std::nullopt, std::nullopt, TriangleGroup::Flat16},
        {"flat ignores a small blend image", d32, std::nullopt, ImageShape{1, 1, 1, 1},
         TriangleGroup::Flat32},
        {"32-bit direct", d32, d32, std::nullopt, TriangleGroup::Direct32},
        {"32-bit direct with alpha", d32, ImageShape{8, 8, 1, 0, 1}, std::nullopt,
         TriangleGroup::Direct32},
        {"32-bit paletted", d32, ImageShape{8, 8, 1, 1}, std::nullopt, TriangleGroup::Paletted32},
        {"16-bit direct with alpha", d16, ImageShape{8, 8, 0, 0, 1}, std::nullopt,
         TriangleGroup::Direct16},
        {"16-bit paletted", d16, ImageShape{8, 8, 0, 1}, std::nullopt, TriangleGroup::Paletted16},
        {"formats differ", d32, d16, std::nullopt, TriangleGroup::None},
        {"paletted destination", ImageShape{8, 8, 1, 1}, ImageShape{8, 8, 1, 1}, std::nullopt,
         TriangleGroup::None},
        {"flat onto a paletted destination", ImageShape{8, 8, 1, 1}, std::nullopt, std::nullopt,
         TriangleGroup::None},
        {"destination with alpha", ImageShape{8, 8, 1, 0, 1}, d32, std::nullopt,
         TriangleGroup::None},
        {"raw 8-bit format", ImageShape{8, 8, 2}, ImageShape{8, 8, 2}, std::nullopt,
         TriangleGroup::None},
        {"blend image as large as the source", d32, d32, byte8, TriangleGroup::Direct32},
        {"blend image larger than the source", d32, d32, ImageShape{9, 12, 1, 1},
         TriangleGroup::Direct32},
        {"blend image narrower than the source", d32, d32, ImageShape{7, 8, 1, 1},
         TriangleGroup::None},
        {"blend image lower than the source", d32, d32, ImageShape{8, 7, 1, 1}, TriangleGroup::None},
        {"source 16383 wide", d32, ImageShape{16383, 1, 1, 1}, std::nullopt,
         TriangleGroup::Paletted32},
        {"source 16384 wide: its size in 14.18 leaves 32 bits", d32, ImageShape{16384, 1, 1, 1},
         std::nullopt, TriangleGroup::None},
        {"source 16384 high", d32, ImageShape{1, 16384, 1, 1}, std::nullopt, TriangleGroup::None},
    };
    for (const GroupCase& c : cases) {
        TestImage dst(c.dst.width, c.dst.height, c.dst.format, c.dst.paletted, c.dst.alpha);
        std::optional<TestImage> src, blend;
        if (c.src)
            src.emplace(c.src->width, c.src->height, c.src->format, c.src->paletted, c.src->alpha);
        if (c.blend)
            blend.emplace(c.blend->width, c.blend->height, c.blend->format, c.blend->paletted);
        EXPECT_EQ(SelectTriangleGroup(dst.get(), src ? src->get() : nullptr,
                                      blend ? blend->get() : nullptr),
                  c.group)
            << c.name;
    }
}

struct LoopCase {
    const char* name;
    int format;
    SourceKind source;
    int mode, param;
    bool blend;
    uint32_t bright;
    int transFlag;
    // The key expected: the same call with mode and parameter replaced, or none.
    std::optional<std::pair<int, int>> sameAs;
};

TEST_F(TrianglePlanTest, ParameterExitsAndTheLoopOfEachCall) {
    const auto P = SourceKind::Paletted, D = SourceKind::Direct, A = SourceKind::DirectAlpha;
    const LoopCase cases[] = {
        {"mode 0", 1, D, 0, 0, false, 0xFFFFFF, 0, std::pair{0, 0}},
        {"mode 1 at 255 runs mode 0", 1, D, 1, 255, false, 0xFFFFFF, 0, std::pair{0, 0}},
        {"mode 1 at 255, 16-bit with alpha", 0, A, 1, 255, true, 0x808080, 1, std::pair{0, 0}},
        {"mode 1 at 0 draws nothing", 1, D, 1, 0, false, 0xFFFFFF, 0, std::nullopt},
        {"mode 2 at 0 draws nothing", 0, P, 2, 0, false, 0xFFFFFF, 0, std::nullopt},
        {"mode 3 at 0 from a direct source draws nothing", 1, D, 3, 0, false, 0xFFFFFF, 0,
         std::nullopt},
        {"mode 3 at 0 from an alpha source draws nothing", 0, A, 3, 0, false, 0xFFFFFF, 0,
         std::nullopt},
        {"mode 3 at 0 from a paletted source runs", 1, P, 3, 0, false, 0xFFFFFF, 0,
         std::pair{3, 0}},
        {"mode 3 at 255 is the same loop as at 1", 1, D, 3, 255, false, 0xFFFFFF, 0,
         std::pair{3, 1}},
        {"mode 4 at 0 runs", 1, D, 4, 0, false, 0xFFFFFF, 0, std::pair{4, 0}},
        {"mode 5 draws nothing", 1, D, 5, 128, false, 0xFFFFFF, 0, std::nullopt},
        {"mode -1 draws nothing", 1, D, -1, 128, false, 0xFFFFFF, 0, std::nullopt},
        {"16-bit with alpha", 0, A, 2, 100, true, 0x10FF00, 3, std::pair{2, 100}},
    };
    for (const LoopCase& c : cases) {
        const int key = SelectTriangleSpanLoop(c.format, c.source, c.mode, c.param, c.blend,
                                               c.bright, c.transFlag);
        if (!c.sameAs) {
            EXPECT_EQ(key, -1) << c.name;
            continue;
        }
        ASSERT_GE(key, 0) << c.name;
        const LoopKey k = DecodeLoopKey(key);
        EXPECT_EQ(k.format, c.format) << c.name;
        EXPECT_EQ(k.source, c.source) << c.name;
        EXPECT_EQ(k.mode, c.sameAs->first == 1 && c.sameAs->second == 255 ? 0 : c.sameAs->first)
            << c.name;
        EXPECT_EQ(k.blend, c.blend) << c.name;
        EXPECT_EQ(k.bright, (c.bright & 0xFFFFFF) != 0xFFFFFF) << c.name;
        EXPECT_EQ(k.key, c.transFlag != 0) << c.name;
        EXPECT_EQ(k.special, LoopSpecial::None) << c.name;
        EXPECT_EQ(key, SelectTriangleSpanLoop(c.format, c.source, c.sameAs->first, c.sameAs->second,
                                              c.blend, c.bright, c.transFlag))
            << c.name;
        EXPECT_TRUE(DescribeTriangleSpanLoop(key).valid) << c.name;
    }
    // Only the low 24 bits of the bright count.
    EXPECT_EQ(SelectTriangleSpanLoop(1, D, 0, 0, false, 0xFFFFFFFFu, 0),
              SelectTriangleSpanLoop(1, D, 0, 0, false, 0x00FFFFFFu, 0));
}

TEST_F(TrianglePlanTest, FlatLoops) {
    struct FlatCase {
        int format, mode, param, index;
    };
    const FlatCase cases[] = {
        {1, 0, 0, 5},   {1, 1, 255, 5}, {1, 1, 128, 6}, {1, 1, 0, -1}, {1, 2, 0, -1},
        {1, 3, 0, -1},  {1, 3, 1, 8},   {1, 4, 0, 9},   {0, 0, 17, 0}, {0, 1, 255, 0},
        {0, 2, 255, 2}, {0, 4, 0, 4},   {0, 5, 9, -1},  {2, 0, 0, -1},
    };
    for (const FlatCase& c : cases) {
        EXPECT_EQ(SelectFlatSpanLoop(c.format, c.mode, c.param), c.index)
            << c.format << " " << c.mode << " " << c.param;
    }
}

TEST_F(TrianglePlanTest, FlatColourThroughTheBrightRows) {
    struct ColourCase {
        const char* name;
        int format;
        uint32_t colour, bright, expected;
    };
    const ColourCase cases[] = {
        {"white bright changes nothing", 1, 0xAAFF8040, 0xFFFFFF, 0xAAFF8040},
        {"red 128: red byte 255 becomes 128, byte 3 kept", 1, 0xAAFF8040, 0x80FFFF, 0xAA808040},
        {"each channel by its own bright byte", 1, 0x00FFFFFF, 0x336699, Rgb32(0x33, 0x66, 0x99)},
        {"a division by 255, not a shift: 255 under 128 is 128 (the fill gives 127)", 1, 0x000000FF,
         0xFFFF80, 0x00000080},
        {"16-bit fields by their own bright bytes", 0, 0xFFFF, 0x808080,
         Rgb565(31 * 128 / 255, 63 * 128 / 255, 31 * 128 / 255)},
        {"16-bit bits above the low 16 are dropped", 0, 0xABCD1234, 0xFFFFFF, 0x1234},
        {"16-bit under black", 0, 0xFFFF, 0x000000, 0},
    };
    for (const ColourCase& c : cases) {
        EXPECT_EQ(PrepareFlatColour(c.format, c.colour, c.bright), c.expected) << c.name;
    }
}

TEST_F(TrianglePlanTest, TexturedLoopsDifferFromTheScaledBlitWhereNamed) {
    auto key = [](int format, SourceKind source, int mode, bool blend, bool bright, bool colourKey,
                  LoopSpecial special = LoopSpecial::None) {
        LoopKey k;
        k.format = format;
        k.source = source;
        k.mode = mode;
        k.blend = blend;
        k.bright = bright;
        k.key = colourKey;
        k.special = special;
        return EncodeLoopKey(k);
    };
    // The 16-bit plain copy compares the whole key.
    EXPECT_EQ(DescribeScaledPixelLoop(key(0, SourceKind::Direct, 0, false, false, true)).accept,
              Acceptance::KeyLow16);
    EXPECT_EQ(DescribeTriangleSpanLoop(key(0, SourceKind::Direct, 0, false, false, true)).accept,
              Acceptance::KeyWhole);
    // Mode 4 with alpha and key keeps alpha 0 (in both formats, every variant).
    for (int format = 0; format < 2; ++format) {
        for (int v = 0; v < 4; ++v) {
            const int k = key(format, SourceKind::DirectAlpha, 4, v & 1, v & 2, true);
            EXPECT_EQ(DescribeScaledPixelLoop(k).accept, Acceptance::AlphaSkipZero);
            EXPECT_EQ(DescribeTriangleSpanLoop(k).accept, Acceptance::AlphaKeepZero);
            EXPECT_EQ(DescribeTriangleSpanLoop(
                          key(format, SourceKind::DirectAlpha, 3, v & 1, v & 2, true))
                          .accept,
                      Acceptance::AlphaSkipZero);
        }
    }
    // No full-parameter loops: the subtract is the ProductTable form.
    for (const SourceKind s : {SourceKind::Paletted, SourceKind::Direct}) {
        for (int format = 0; format < 2; ++format) {
            EXPECT_FALSE(DescribeTriangleSpanLoop(
                             key(format, s, 3, false, false, false, LoopSpecial::Shortcut))
                             .valid);
            EXPECT_FALSE(DescribeTriangleSpanLoop(
                             key(format, s, 3, false, false, false, LoopSpecial::Packed))
                             .valid);
            const PixelLoop loop = DescribeTriangleSpanLoop(key(format, s, 3, false, false, false));
            EXPECT_EQ(loop.rule.op, PixelOp::Subtract);
            EXPECT_TRUE(loop.rule.param);
            EXPECT_FALSE(loop.packed);
        }
    }
}

}  // namespace
