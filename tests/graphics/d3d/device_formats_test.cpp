// The texture format table: what the device's enumeration fills, the copies for the entries
// it leaves empty, the choice of an entry, and the texture side limits.
#include <cstring>

#include "tests/graphics/d3d/device_test_support.h"
#include "tests/support/pixel_formats.h"

namespace {

plat::PixelFormat Format(uint32_t flags, uint32_t bits, uint32_t r, uint32_t g, uint32_t b,
                         uint32_t a) {
    return PixelFormatOf(flags, bits, r, g, b, a);
}

const plat::PixelFormat kRgb565 = Format(plat::DDPF_RGB, 16, 0xF800, 0x7E0, 0x1F, 0);
const plat::PixelFormat kArgb1555 =
    Format(plat::DDPF_RGB | plat::DDPF_ALPHAPIXELS, 16, 0x7C00, 0x3E0, 0x1F, 0x8000);
const plat::PixelFormat kArgb4444 =
    Format(plat::DDPF_RGB | plat::DDPF_ALPHAPIXELS, 16, 0xF00, 0xF0, 0xF, 0xF000);
const plat::PixelFormat kXrgb8888 = Format(plat::DDPF_RGB, 32, 0xFF0000, 0xFF00, 0xFF, 0);
const plat::PixelFormat kArgb8888 = Format(plat::DDPF_RGB | plat::DDPF_ALPHAPIXELS, 32,
                                           0xFF0000, 0xFF00, 0xFF, 0xFF000000u);

class Direct3DFormatsTest : public Device3DFixture {
protected:
    void SetUp() override {
        Device3DFixture::SetUp();
        ResetDevice3DState();
    }
    // The library ends first (its devices are released), then the records are cleared.
    void TearDown() override {
        Device3DFixture::TearDown();
        ResetDevice3DState();
    }

    static void Offer(std::vector<plat::PixelFormat> formats) {
        for (plat::PixelFormat& f : formats) StoreOfferedTextureFormat(&f, nullptr);
    }
    static const plat::PixelFormat& Entry(int index) {
        return GetDevice3DState().formats[index].pixelFormat;
    }
};

TEST_F(Direct3DFormatsTest, OnlySixteenBitFormatsFillTheWideEntriesWithSixteenBitCopies) {
    Offer({kRgb565, kArgb1555, kArgb4444});
    ASSERT_EQ(FillEmptyTextureFormats(), 0);
    EXPECT_EQ(Entry(kTexFormat16).greenMask, 0x7E0u);
    EXPECT_EQ(Entry(kTexFormat16Alpha).alphaMask, 0xF000u);
    EXPECT_EQ(Entry(kTexFormat16AlphaKey).alphaMask, 0x8000u);
    for (int index : {kTexFormat32, kTexFormat32Alpha, kTexFormat32AlphaKey, kTexFormat32Target,
                      kTexFormatAlphaTarget}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(Entry(index).bitCount, 16u);
    }
    EXPECT_EQ(std::memcmp(&Entry(kTexFormat32), &Entry(kTexFormat16), sizeof kRgb565), 0);
    EXPECT_EQ(std::memcmp(&Entry(kTexFormat32Alpha), &Entry(kTexFormat16Alpha), sizeof kRgb565),
              0);
    EXPECT_EQ(Entry(kTexFormat32AlphaKey).alphaMask, 0xF000u);
    EXPECT_EQ(Entry(kTexFormatAlphaTarget).alphaMask, 0xF000u);
    // The colour format follows the pixel format.
    plat::PixelFormat out{};
    const PaletteColorFormat* colour = GetTextureFormat(kTexFormat32, &out);
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->format.bits, 16);
    EXPECT_EQ(colour->format.maskG, 0x7E0u);
}

TEST_F(Direct3DFormatsTest, FullOfferTakesEachEntryFromItsOwnFormat) {
    Offer({kRgb565, kArgb1555, kArgb4444, kXrgb8888, kArgb8888});
    ASSERT_EQ(FillEmptyTextureFormats(), 0);
    EXPECT_EQ(Entry(kTexFormat32).bitCount, 32u);
    EXPECT_EQ(Entry(kTexFormat32Alpha).alphaMask, 0xFF000000u);
    EXPECT_EQ(Entry(kTexFormat32AlphaKey).alphaMask, 0xFF000000u);
    EXPECT_EQ(Entry(kTexFormat16Target).greenMask, 0x7E0u);
    EXPECT_EQ(Entry(kTexFormat32Target).bitCount, 32u);
    EXPECT_EQ(Entry(kTexFormatAlphaTarget).alphaMask, 0xFF000000u);
}

TEST_F(Direct3DFormatsTest, FormatsTheDeviceCannotSampleAsColourAreSkipped) {
    Offer({Format(plat::DDPF_FOURCC, 16, 0, 0, 0, 0),
           Format(0x20000 | plat::DDPF_RGB, 16, 0xF800, 0x7E0, 0x1F, 0),  // luminance
           Format(0x2, 16, 0, 0, 0, 0xFFFF)});                             // alpha only
    EXPECT_EQ(FillEmptyTextureFormats(), -1);
    EXPECT_EQ(GetTextureFormat(kTexFormat16, nullptr), nullptr);
    EXPECT_EQ(GetTextureFormat(-1, nullptr), nullptr);
    EXPECT_EQ(GetTextureFormat(kTextureFormatCount, nullptr), nullptr);
}

TEST_F(Direct3DFormatsTest, TextureKindsChooseTheirEntries) {
    struct Case {
        int32_t depth, alpha, alphaKey, target;
        int32_t entry;
    };
    const Case cases[] = {
        {16, 0, 0, 0, kTexFormat16},          {32, 0, 0, 0, kTexFormat32},
        {16, 1, 0, 0, kTexFormat16Alpha},     {32, 1, 1, 0, kTexFormat32Alpha},
        {16, 0, 1, 0, kTexFormat16AlphaKey},  {32, 0, 1, 0, kTexFormat32AlphaKey},
        {16, 0, 0, 1, kTexFormat16Target},    {32, 0, 0, 1, kTexFormat32Target},
        {16, 1, 0, 1, kTexFormatAlphaTarget}, {32, 0, 1, 1, kTexFormatAlphaTarget},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(ChooseTextureFormat(c.depth, c.alpha, c.alphaKey, c.target), c.entry);
    }
}

TEST_F(Direct3DFormatsTest, DeviceReportingNoTextureSidesGetsTheDefaults) {
    plat::SetD3DTextureSideLimits(0, 0);
    ASSERT_EQ(Start(true), 0);
    ASSERT_EQ(Direct3DIsUp(), 1);
    EXPECT_EQ(GetDevice3DState().maxTextureSide, 256u);
    EXPECT_EQ(GetDevice3DState().minTextureSide, 32u);
    // The line ends: the next log text starts a line of its own.
    bool whole = false;
    for (std::string line : LogLines()) {
        line.erase(0, line.find_first_not_of('\t'));
        if (line == "テクスチャ最大幅:256 最小幅:32 ") whole = true;
    }
    EXPECT_TRUE(whole);
}

TEST_F(Direct3DFormatsTest, StartedDeviceOffersEveryEntryAndAZBufferFormat) {
    ASSERT_EQ(Start(true, 16), 0);
    for (int index = 0; index < kTextureFormatCount; ++index) {
        SCOPED_TRACE(index);
        EXPECT_NE(GetTextureFormat(index, nullptr), nullptr);
    }
    // A 16-bit screen keeps the screen's own 5-6-5 format for plain textures.
    EXPECT_EQ(Entry(kTexFormat16).greenMask, 0x7E0u);
    EXPECT_EQ(GetZBufferFormat()->flags, plat::DDPF_ZBUFFER);
    EXPECT_EQ(GetZBufferFormat()->bitCount, 16u);
}

}  // namespace
