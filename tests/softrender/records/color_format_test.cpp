#include "softrender/records/color_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

ColorFormat Build(int bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a,
                  PaletteColorFormat* full = nullptr) {
    PaletteColorFormat f{};
    BuildColorFormat(&f, bits, r, g, b, a);
    if (full) *full = f;
    return f.format;
}

const ColorFormat k565 = Build(16, 0xF800, 0x07E0, 0x001F, 0);
const ColorFormat k555 = Build(16, 0x7C00, 0x03E0, 0x001F, 0);
const ColorFormat kX888 = Build(32, 0xFF0000, 0xFF00, 0xFF, 0);
const ColorFormat kA888 = Build(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
// 2-10-10-10: colour channels wider than a byte, a 2-bit alpha.
const ColorFormat k1010102 = Build(32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000);

// ---- building from masks -------------------------------------------------------------------

struct BuildCase {
    const char* name;
    int bits;
    uint32_t masks[4];
    int bytes;
    int widths[4];
    int shifts[4];
    uint32_t noUse;
    int noUseShift, noUseWidth;
};

class BuildColorFormatTest : public ::testing::TestWithParam<BuildCase> {};

TEST_P(BuildColorFormatTest, WidthsShiftsAndNoUseBits) {
    const BuildCase& c = GetParam();
    PaletteColorFormat full{};
    full.noUseShift = full.noUseWidth = 99;  // must be overwritten
    const ColorFormat f = Build(c.bits, c.masks[0], c.masks[1], c.masks[2], c.masks[3], &full);
    EXPECT_EQ(f.bits, c.bits);
    EXPECT_EQ(f.bytes, c.bytes);
    const int widths[4] = {f.widthR, f.widthG, f.widthB, f.widthA};
    const int shifts[4] = {f.shiftR, f.shiftG, f.shiftB, f.shiftA};
    const uint32_t masks[4] = {f.maskR, f.maskG, f.maskB, f.maskA};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(widths[i], c.widths[i]) << "channel " << i;
        EXPECT_EQ(shifts[i], c.shifts[i]) << "channel " << i;
        EXPECT_EQ(masks[i], c.masks[i]) << "channel " << i;
    }
    EXPECT_EQ(f.noUseMask, c.noUse);
    EXPECT_EQ(full.noUseShift, c.noUseShift);
    EXPECT_EQ(full.noUseWidth, c.noUseWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, BuildColorFormatTest,
    ::testing::Values(
        BuildCase{"R5G6B5", 16, {0xF800, 0x07E0, 0x001F, 0}, 2, {5, 6, 5, 0}, {11, 5, 0, 0}, 0,
                  0, 0},
        BuildCase{"X1R5G5B5", 16, {0x7C00, 0x03E0, 0x001F, 0}, 2, {5, 5, 5, 0}, {10, 5, 0, 0},
                  0x8000, 15, 1},
        BuildCase{"X8R8G8B8", 32, {0xFF0000, 0xFF00, 0xFF, 0}, 4, {8, 8, 8, 0}, {16, 8, 0, 0},
                  0xFF000000, 24, 8},
        BuildCase{"A8R8G8B8", 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, 4, {8, 8, 8, 8},
                  {16, 8, 0, 24}, 0, 0, 0},
        BuildCase{"R8G8B8", 24, {0xFF0000, 0xFF00, 0xFF, 0}, 3, {8, 8, 8, 0}, {16, 8, 0, 0}, 0,
                  0, 0},
        BuildCase{"A2R10G10B10", 32, {0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000}, 4,
                  {10, 10, 10, 2}, {20, 10, 0, 30}, 0, 0, 0},
        // A mask reaching from bit 0 to bit 31 is one channel of 32 bits.
        BuildCase{"Full32", 32, {0xFFFFFFFF, 0, 0, 0}, 4, {32, 0, 0, 0}, {0, 0, 0, 0}, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColorFormatFromPixelFormat, MatchesBuildingFromTheSameMasks) {
    SurfacePixelFormat pf;
    std::memset(&pf, 0xCC, sizeof(pf));
    MakeRgbPixelFormat(&pf, 16, 0x7C00, 0x03E0, 0x001F, 0);
    EXPECT_EQ(pf.size, 32u);
    EXPECT_EQ(pf.flags, SURFACE_PIXEL_FORMAT_RGB);
    EXPECT_EQ(pf.fourCC, 0u);
    EXPECT_EQ(pf.rgbBitCount, 16u);
    EXPECT_EQ(pf.redMask, 0x7C00u);
    EXPECT_EQ(pf.alphaMask, 0u);

    PaletteColorFormat fromPf{};
    ASSERT_EQ(ColorFormatFromPixelFormat(&pf, &fromPf), 0);
    EXPECT_EQ(std::memcmp(&fromPf.format, &k555, sizeof(ColorFormat)), 0);
    EXPECT_EQ(fromPf.noUseShift, 15);
    EXPECT_EQ(fromPf.noUseWidth, 1);
}

// ---- conversions ---------------------------------------------------------------------------

struct ToPixelCase {
    const char* name;
    const ColorFormat* format;
    int r, g, b, a;
    uint32_t pixel;
};

class RgbaToPixelTest : public ::testing::TestWithParam<ToPixelCase> {};

TEST_P(RgbaToPixelTest, TruncatesAndPlacesChannels) {
    const ToPixelCase& c = GetParam();
    EXPECT_EQ(ColorFormatRgbaToPixel(c.format, c.r, c.g, c.b, c.a), c.pixel);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RgbaToPixelTest,
    ::testing::Values(
        ToPixelCase{"White565", &k565, 255, 255, 255, 0, 0xFFFF},
        // Truncation, not rounding; the alpha has nowhere to go.
        ToPixelCase{"Dropped565", &k565, 7, 3, 7, 255, 0},
        ToPixelCase{"Mixed565", &k565, 0x80, 0x40, 0x20, 0, (16u << 11) | (16u << 5) | 4u},
        // The no-use bit of 5-5-5 is set.
        ToPixelCase{"Black555", &k555, 0, 0, 0, 0, 0x8000},
        ToPixelCase{"White555", &k555, 255, 255, 255, 0, 0xFFFF},
        // The no-use byte of X8R8G8B8 is all ones.
        ToPixelCase{"X888", &kX888, 1, 2, 3, 0, 0xFF010203},
        ToPixelCase{"A888", &kA888, 1, 2, 3, 4, 0x04010203},
        // Channels wider than 8 bits come out 0; the 2-bit alpha is still placed.
        ToPixelCase{"Wide1010102", &k1010102, 255, 255, 255, 255, 0xC0000000},
        // Channel values are bytes: out-of-range values never reach a neighbour's bits.
        ToPixelCase{"Clamped565", &k565, 256, -1, 300, 0, 0xF81F}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColorFormatRgbaToPixel, RawSixteenBitFormatGivesZero) {
    const ColorFormat* raw16 = &GetStandardColorFormat(3, 0, 0)->format;
    EXPECT_EQ(ColorFormatRgbaToPixel(raw16, 255, 255, 255, 255), 0u);
}

struct ToRgbaCase {
    const char* name;
    const ColorFormat* format;
    uint32_t pixel;
    int r, g, b, a;
};

class PixelToRgbaTest : public ::testing::TestWithParam<ToRgbaCase> {};

TEST_P(PixelToRgbaTest, ScalesEachChannelToByteRange) {
    const ToRgbaCase& c = GetParam();
    int r = -1, g = -1, b = -1, a = -1;
    EXPECT_EQ(ColorFormatPixelToRgba(c.format, c.pixel, &r, &g, &b, &a), 0);
    EXPECT_EQ(r, c.r);
    EXPECT_EQ(g, c.g);
    EXPECT_EQ(b, c.b);
    EXPECT_EQ(a, c.a);
}

const ColorFormat kFull32 = Build(32, 0xFFFFFFFF, 0, 0, 0);

INSTANTIATE_TEST_SUITE_P(
    Cases, PixelToRgbaTest,
    ::testing::Values(
        ToRgbaCase{"Blue565", &k565, 0x001F, 0, 0, 255, 0},
        ToRgbaCase{"White565", &k565, 0xFFFF, 255, 255, 255, 0},
        // 16 of 31 is 131 (integer division), 32 of 63 is 129.
        ToRgbaCase{"Half565", &k565, (16u << 11) | (32u << 5) | 16u, 131, 129, 131, 0},
        ToRgbaCase{"NoUseIgnored555", &k555, 0x8000, 0, 0, 0, 0},
        ToRgbaCase{"A888", &kA888, 0x80FF4000, 255, 64, 0, 128},
        ToRgbaCase{"Wide1010102", &k1010102, 0xFFFFFFFF, 255, 255, 255, 255},
        ToRgbaCase{"WideHalf", &k1010102, (512u << 20) | (1u << 30), 127, 0, 0, 85},
        // A channel of 32 bits is scaled in 64-bit arithmetic.
        ToRgbaCase{"Full32", &kFull32, 0xFFFFFFFF, 255, 0, 0, 0},
        ToRgbaCase{"Full32Half", &kFull32, 0x80000000, 127, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColorFormatPixelToRgba, AcceptsNullOutputs) {
    int g = -1;
    EXPECT_EQ(ColorFormatPixelToRgba(&k565, 0x07E0, nullptr, &g, nullptr, nullptr), 0);
    EXPECT_EQ(g, 255);
}

struct ConvertCase {
    const char* name;
    const ColorFormat* dest;
    const ColorFormat* source;
    uint32_t in, out;
};

class ConvertPixelTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertPixelTest, ShiftsChannelsBetweenFormats) {
    const ConvertCase& c = GetParam();
    EXPECT_EQ(ConvertPixel(c.dest, c.source, c.in), c.out);
}

const ColorFormat kA565 = Build(32, 0xF800, 0x07E0, 0x001F, 0xFF0000);
// Only green, a byte wide, in the low byte; everything else unused.
const ColorFormat kGreenLow = Build(32, 0, 0xFF, 0, 0);

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertPixelTest,
    ::testing::Values(
        // Shifted, not replicated: (248, 252, 248) and the destination's no-use byte set.
        ConvertCase{"White565ToX888", &kX888, &k565, 0xFFFF, 0xFFF8FCF8},
        // Without source alpha the destination alpha is full.
        ConvertCase{"White565ToA888", &kA888, &k565, 0xFFFF, 0xFFF8FCF8},
        ConvertCase{"X888To565", &k565, &kX888, 0x00FF8040, 0xFC08},
        ConvertCase{"A888ToA565", &kA565, &kA888, 0x80FF8040, 0xFF80FC08},
        ConvertCase{"White555To565", &k565, &k555, 0x7FFF, 0xFFDF},
        ConvertCase{"565To555", &k555, &k565, 0xFFFF, 0xFFFF},
        // Widths differing by 32: the whole-pixel red channel has nowhere to go and the
        // destination's green has no source; nothing of the pixel leaks through.
        ConvertCase{"Full32ToGreenByte", &kGreenLow, &kFull32, 0x12345678, 0xFFFFFF00},
        ConvertCase{"GreenByteToFull32", &kFull32, &kGreenLow, 0x12345678, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- no-use mask and equality --------------------------------------------------------------

TEST(RecomputeNoUseMask, ZeroWhenChannelsFillThePixelElseTheFreeBits) {
    ColorFormat f = k565;
    f.noUseMask = 0x1234;
    RecomputeNoUseMask(&f);
    EXPECT_EQ(f.noUseMask, 0u);

    f = kX888;
    f.noUseMask = 0;
    RecomputeNoUseMask(&f);
    EXPECT_EQ(f.noUseMask, 0xFF000000u);

    f = k555;
    f.noUseMask = 0;
    RecomputeNoUseMask(&f);
    EXPECT_EQ(f.noUseMask, 0x8000u);
}

TEST(ColorFormatEquals, ComparesBitsAndMasks) {
    EXPECT_EQ(ColorFormatEquals(&k565, &k565), 1);
    EXPECT_EQ(ColorFormatEquals(&k565, &k555), 0);
    EXPECT_EQ(ColorFormatEquals(&kX888, &kA888), 0);
    ColorFormat other = k565;
    other.bits = 32;
    EXPECT_EQ(ColorFormatEquals(&k565, &other), 0);
    other = k565;
    other.noUseMask = 0xFFFF0000;  // not compared
    other.shiftR = 3;              // derived from the masks, not compared
    EXPECT_EQ(ColorFormatEquals(&k565, &other), 1);
}

// ---- presets -------------------------------------------------------------------------------

struct PresetCase {
    const char* name;
    void (*set)(PaletteColorFormat*);
    int bits, bytes, widthA, shiftA;
    uint32_t maskA, noUse;
    int noUseShift, noUseWidth;
    bool greyPalette;
};

class PresetTest : public ::testing::TestWithParam<PresetCase> {};

TEST_P(PresetTest, FillsTheWholeRecord) {
    const PresetCase& c = GetParam();
    PaletteColorFormat f;
    std::memset(&f, 0x5A, sizeof(f));
    c.set(&f);
    EXPECT_EQ(f.format.bits, c.bits);
    EXPECT_EQ(f.format.bytes, c.bytes);
    EXPECT_EQ(f.format.widthR, 8);
    EXPECT_EQ(f.format.widthG, 8);
    EXPECT_EQ(f.format.widthB, 8);
    EXPECT_EQ(f.format.shiftR, 16);
    EXPECT_EQ(f.format.shiftG, 8);
    EXPECT_EQ(f.format.shiftB, 0);
    EXPECT_EQ(f.format.maskR, 0xFF0000u);
    EXPECT_EQ(f.format.maskG, 0xFF00u);
    EXPECT_EQ(f.format.maskB, 0xFFu);
    EXPECT_EQ(f.format.widthA, c.widthA);
    EXPECT_EQ(f.format.shiftA, c.shiftA);
    EXPECT_EQ(f.format.maskA, c.maskA);
    EXPECT_EQ(f.format.noUseMask, c.noUse);
    EXPECT_EQ(f.noUseShift, c.noUseShift);
    EXPECT_EQ(f.noUseWidth, c.noUseWidth);
    for (int i = 0; i < 256; ++i) {
        const uint8_t level = c.greyPalette ? static_cast<uint8_t>(i) : 0;
        EXPECT_EQ(f.palette[i].b, level) << i;
        EXPECT_EQ(f.palette[i].g, level) << i;
        EXPECT_EQ(f.palette[i].r, level) << i;
        EXPECT_EQ(f.palette[i].reserved, 0) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Presets, PresetTest,
    ::testing::Values(
        PresetCase{"Eight", SetColorFormat8, 8, 1, 0, 0, 0, 0xFF000000, 24, 8, false},
        PresetCase{"Argb32", SetColorFormatArgb32, 32, 4, 8, 24, 0xFF000000, 0, 0, 0, false},
        PresetCase{"Rgb24", SetColorFormatRgb24, 24, 3, 0, 0, 0, 0, 0, 0, false},
        PresetCase{"Grey8", SetColorFormatGrey8, 8, 1, 0, 0, 0, 0xFF000000, 24, 8, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- cached standard formats ---------------------------------------------------------------

struct StandardCase {
    int pixelFormat, alpha, paletted;
    int bits, bytes;
    uint32_t r, g, b, a, noUse;
};

class StandardFormatTest : public ::testing::TestWithParam<StandardCase> {};

TEST_P(StandardFormatTest, BuildsTheTableRowOnceAndKeepsIt) {
    const StandardCase& c = GetParam();
    const PaletteColorFormat* f = GetStandardColorFormat(c.pixelFormat, c.alpha, c.paletted);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->format.bits, c.bits);
    EXPECT_EQ(f->format.bytes, c.bytes);
    EXPECT_EQ(f->format.maskR, c.r);
    EXPECT_EQ(f->format.maskG, c.g);
    EXPECT_EQ(f->format.maskB, c.b);
    EXPECT_EQ(f->format.maskA, c.a);
    EXPECT_EQ(f->format.noUseMask, c.noUse);
    EXPECT_EQ(GetStandardColorFormat(c.pixelFormat, c.alpha, c.paletted), f);

    const SurfacePixelFormat* pf = GetStandardPixelFormat(c.pixelFormat, c.alpha, c.paletted);
    ASSERT_NE(pf, nullptr);
    EXPECT_EQ(pf->rgbBitCount, static_cast<uint32_t>(c.bits));
    EXPECT_EQ(pf->redMask, c.r);
    EXPECT_EQ(pf->greenMask, c.g);
    EXPECT_EQ(pf->blueMask, c.b);
    EXPECT_EQ(pf->alphaMask, c.a);
    // The raw formats carry only the bit count and masks.
    EXPECT_EQ(pf->size, c.pixelFormat <= 1 ? 32u : 0u);
    EXPECT_EQ(pf->flags, c.pixelFormat <= 1 ? SURFACE_PIXEL_FORMAT_RGB : 0u);
    EXPECT_EQ(GetStandardPixelFormat(c.pixelFormat, c.alpha, c.paletted), pf);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StandardFormatTest,
    ::testing::Values(
        StandardCase{0, 0, 0, 16, 2, 0xF800, 0x07E0, 0x001F, 0, 0},
        StandardCase{0, 0, 1, 8, 1, 0xF800, 0x07E0, 0x001F, 0, 0},
        StandardCase{0, 1, 0, 32, 4, 0xF800, 0x07E0, 0x001F, 0xFF0000, 0xFF000000},
        StandardCase{0, 1, 1, 8, 1, 0xF800, 0x07E0, 0x001F, 0xFF0000, 0},
        StandardCase{1, 0, 0, 32, 4, 0xFF0000, 0xFF00, 0xFF, 0, 0xFF000000},
        StandardCase{1, 0, 1, 8, 1, 0xFF0000, 0xFF00, 0xFF, 0, 0},
        StandardCase{1, 1, 0, 32, 4, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0},
        StandardCase{1, 1, 1, 8, 1, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0},
        StandardCase{2, 0, 0, 8, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0},
        StandardCase{2, 1, 1, 8, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0},
        StandardCase{3, 0, 0, 16, 2, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0},
        StandardCase{3, 1, 0, 16, 2, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0}));

TEST(StandardFormat, RawFormatsHaveFullWidthsAndNoShifts) {
    for (int pixelFormat : {2, 3}) {
        const ColorFormat& f = GetStandardColorFormat(pixelFormat, 0, 0)->format;
        const int width = pixelFormat == 2 ? 8 : 16;
        EXPECT_EQ(f.widthR, width);
        EXPECT_EQ(f.widthG, width);
        EXPECT_EQ(f.widthB, width);
        EXPECT_EQ(f.widthA, width);
        EXPECT_EQ(f.shiftR + f.shiftG + f.shiftB + f.shiftA, 0);
    }
    EXPECT_EQ(GetStandardColorFormat(0, 0, 0)->format.widthG, 6);
    EXPECT_EQ(GetStandardColorFormat(0, 1, 0)->format.shiftA, 16);
}

TEST(StandardFormat, UnknownPixelFormatIsNull) {
    EXPECT_EQ(GetStandardColorFormat(4, 0, 0), nullptr);
    EXPECT_EQ(GetStandardColorFormat(-1, 0, 0), nullptr);
    EXPECT_EQ(GetStandardPixelFormat(4, 0, 0), nullptr);
}

}  // namespace
