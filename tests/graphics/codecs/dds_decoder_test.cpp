#include <bit>
#include <cstring>
#include <vector>

#include "graphics/pixels/transfer_pixels.h"
#include "tests/graphics/codecs/decoder_test_support.h"

namespace {

using fixtures::Bytes;
using fixtures::DdsFile;

class DdsDecoderTest : public DecoderTest {};

uint32_t Value(int x, int y) {
    return static_cast<uint32_t>(x * 0x3A1F27 + y * 0x51C3 + 0x1234567) * 2654435761u;
}

// Rows of pitch bytes; the bytes past a row's pixels are filled with 0xEE.
Bytes Rows(int width, int height, int bytes, int pitch) {
    Bytes out(static_cast<size_t>(pitch) * height, 0xEE);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t v = Value(x, y);
            std::memcpy(&out[static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * bytes], &v,
                        static_cast<size_t>(bytes));
        }
    }
    return out;
}

struct FourCCRow {
    uint32_t format;
    int bits;
    uint32_t r, g, b, a;
};

TEST_F(DdsDecoderTest, EveryDirect3DFormatNumberDecodesWithItsMasks) {
    const FourCCRow rows[] = {
        {0x14, 24, 0xFF0000, 0xFF00, 0xFF, 0},
        {0x15, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
        {0x16, 32, 0xFF0000, 0xFF00, 0xFF, 0},
        {0x17, 16, 0xF800, 0x07E0, 0x001F, 0},
        {0x18, 16, 0x7C00, 0x03E0, 0x1F, 0},
        {0x19, 16, 0x7C00, 0x03E0, 0x1F, 0x8000},
        {0x1A, 16, 0xF00, 0xF0, 0xF, 0xF000},
        // R3G3B2 is read through a palette of its colours: the plain 8-bit layout.
        {0x1B, 8, 0xFF0000, 0xFF00, 0xFF, 0},
        {0x1D, 16, 0xE0, 0x1C, 0x3, 0xFF00},
        {0x1E, 16, 0xF00, 0xF0, 0xF, 0},
        {0x1F, 32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000},
        {0x20, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000},
        {0x21, 32, 0xFF, 0xFF00, 0xFF0000, 0},
        {0x23, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000},
    };
    for (const FourCCRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "format 0x" << std::hex << row.format);
        const int bytes = row.bits / 8;
        DdsFile f;
        f.width = 5;
        f.height = 3;
        f.pixelFormatFlags = 0x4;
        f.fourCC = row.format;
        f.pixels = Rows(5, 3, bytes, 5 * bytes);
        ASSERT_EQ(Decode(LoadDdsImage, fixtures::BuildDds(f)), 0);
        const ColorFormat& format = image_.colorFormat.format;
        EXPECT_EQ(format.bits, row.bits);
        EXPECT_EQ(format.maskR, row.r);
        EXPECT_EQ(format.maskG, row.g);
        EXPECT_EQ(format.maskB, row.b);
        EXPECT_EQ(format.maskA, row.a);
        EXPECT_EQ(image_.pitch, 5 * bytes);
        const uint32_t mask = row.bits == 32 ? 0xFFFFFFFFu : (1u << row.bits) - 1;
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) ASSERT_EQ(Raw(x, y), Value(x, y) & mask);
        }
    }
}

// An 8-bit format of masks: each pixel value's fields scaled to 0..255 by v × 255 / (2^w - 1)
// (what widening a channel to 8 bits gives everywhere else), 0 for an absent channel.
uint32_t ExpandedChannel(uint32_t value, uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const uint32_t maximum = mask >> shift;
    return ((value & mask) >> shift) * 255 / maximum;
}

TEST_F(DdsDecoderTest, EightBitMaskFormatsDecodeToTheColoursOfTheirMasks) {
    struct EightBitCase {
        const char* name;
        bool fourCC;  // D3D format number 0x1B rather than header masks
        uint32_t masks[4];
    };
    const EightBitCase cases[] = {
        {"R3G3B2 by format number", true, {0xE0, 0x1C, 0x03, 0}},
        {"R3G3B2 by header masks", false, {0xE0, 0x1C, 0x03, 0}},
        {"B2G3R3 by header masks", false, {0x07, 0x38, 0xC0, 0}},
        {"A2R2G2B2 by header masks", false, {0x30, 0x0C, 0x03, 0xC0}},
    };
    // 16 × 16 pixels hold every byte value once, in a scrambled order.
    const int side = 16;
    auto stored = [](int x, int y) { return static_cast<uint8_t>((y * 16 + x) * 167 + 29); };
    Bytes pixels;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) pixels.push_back(stored(x, y));
    }
    for (const EightBitCase& c : cases) {
        SCOPED_TRACE(c.name);
        DdsFile f;
        f.width = side;
        f.height = side;
        if (c.fourCC) {
            f.pixelFormatFlags = 0x4;
            f.fourCC = 0x1B;
        } else {
            f.bitCount = 8;
            std::memcpy(f.masks, c.masks, sizeof(f.masks));
        }
        f.pixels = pixels;
        ASSERT_EQ(Decode(LoadDdsImage, fixtures::BuildDds(f)), 0);
        EXPECT_EQ(image_.colorFormat.format.bytes, 1);
        EXPECT_EQ(image_.colorFormat.format.widthA != 0, c.masks[3] != 0);

        // What a graph is made from: the image converted to 32-bit ARGB.
        PaletteColorFormat argb;
        SetColorFormatArgb32(&argb);
        std::vector<uint32_t> converted(side * side, 0x12345678);
        const RECT all{0, 0, side, side};
        ASSERT_EQ(TransferPixels(converted.data(), side * 4, &argb, image_.pixels, image_.pitch,
                                 &image_.colorFormat, nullptr, 0, nullptr, 0, 0, &all, 0, 0, 0,
                                 kDitherNone, 0, 0, 0),
                  0);
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const uint32_t v = stored(x, y);
                ASSERT_EQ(Raw(x, y), v) << x << "," << y;
                const uint32_t rgb = ExpandedChannel(v, c.masks[0]) << 16 |
                                     ExpandedChannel(v, c.masks[1]) << 8 |
                                     ExpandedChannel(v, c.masks[2]);
                ASSERT_EQ(Rgb(x, y), rgb) << x << "," << y;
                ASSERT_EQ(GetGraphImagePixelArgb(&image_, x, y), rgb) << x << "," << y;
                const uint32_t alpha = c.masks[3] != 0 ? ExpandedChannel(v, c.masks[3]) : 255;
                ASSERT_EQ(converted[static_cast<size_t>(y) * side + x], alpha << 24 | rgb)
                    << x << "," << y;
            }
        }
    }
    // A few R3G3B2 values written out: 3-bit 1, 2, 5 give 36, 72, 182; 2-bit 1, 2 give 85, 170.
    const struct {
        uint8_t value;
        uint32_t rgb;
    } known[] = {{0x00, 0x000000}, {0xFF, 0xFFFFFF}, {0x24, 0x242400}, {0x49, 0x484855},
                 {0xB6, 0xB6B6AA}, {0xE0, 0xFF0000}, {0x1C, 0x00FF00}, {0x03, 0x0000FF}};
    for (const auto& k : known) {
        SCOPED_TRACE(static_cast<int>(k.value));
        DdsFile f;
        f.width = 1;
        f.height = 1;
        f.pixelFormatFlags = 0x4;
        f.fourCC = 0x1B;
        f.pixels = Bytes{k.value};
        ASSERT_EQ(Decode(LoadDdsImage, fixtures::BuildDds(f)), 0);
        EXPECT_EQ(Rgb(0, 0), k.rgb);
    }
}

TEST_F(DdsDecoderTest, HeaderMasksAndAGivenPitchAreUsed) {
    DdsFile f;
    f.flags |= 0x8;
    f.width = 3;
    f.height = 2;
    f.pitch = 12;
    f.bitCount = 24;
    f.masks[0] = 0xFF;
    f.masks[1] = 0xFF00;
    f.masks[2] = 0xFF0000;
    f.pixels = Rows(3, 2, 3, 12);
    ASSERT_EQ(Decode(LoadDdsImage, fixtures::BuildDds(f)), 0);
    EXPECT_EQ(image_.pitch, 12);
    EXPECT_EQ(image_.colorFormat.format.maskR, 0xFFu);
    EXPECT_EQ(image_.colorFormat.format.maskA, 0u);
    EXPECT_EQ(image_.colorFormat.format.bytes, 3);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) ASSERT_EQ(Raw(x, y), Value(x, y) & 0xFFFFFF);
    }
}

TEST_F(DdsDecoderTest, UnusableHeadersAreRefusedWithALogLine) {
    const struct {
        const char* name;
        std::function<void(DdsFile&)> change;
    } cases[] = {
        {"pitch smaller than a row",
         [](DdsFile& f) {
             f.flags |= 0x8;
             f.pitch = 7;
         }},
        {"pitch far past the data",
         [](DdsFile& f) {
             f.flags |= 0x8;
             f.pitch = 0x40000000;
         }},
        {"bit count 0", [](DdsFile& f) { f.bitCount = 0; }},
        {"bit count 12", [](DdsFile& f) { f.bitCount = 12; }},
        {"bit count 64", [](DdsFile& f) { f.bitCount = 64; }},
        {"all masks 0", [](DdsFile& f) { std::memset(f.masks, 0, sizeof(f.masks)); }},
        {"green mask 0", [](DdsFile& f) { f.masks[1] = 0; }},
        {"overlapping masks", [](DdsFile& f) { f.masks[1] = 0x0FF0; }},
        {"alpha over a colour", [](DdsFile& f) { f.masks[3] = 0x8000; }},
        {"split mask", [](DdsFile& f) { f.masks[2] = 0x0005; }},
        {"mask beyond the pixel", [](DdsFile& f) { f.masks[0] = 0xF8000; }},
        {"compressed FourCC",
         [](DdsFile& f) {
             f.pixelFormatFlags = 0x4;
             f.fourCC = 0x31545844;
         }},
        {"FourCC with RGB flags",
         [](DdsFile& f) {
             f.pixelFormatFlags = 0x44;
             f.fourCC = 0x17;
         }},
        {"width 0", [](DdsFile& f) { f.width = 0; }},
        {"height beyond the limit", [](DdsFile& f) { f.height = 0x80000000u; }},
        {"pixels one byte short", [](DdsFile& f) { f.pixels.pop_back(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DdsFile f;
        f.width = 4;
        f.height = 2;
        f.bitCount = 16;
        f.masks[0] = 0xF800;
        f.masks[1] = 0x07E0;
        f.masks[2] = 0x001F;
        f.pixels = Rows(4, 2, 2, 8);
        c.change(f);
        NewLogText();
        EXPECT_EQ(Decode(LoadDdsImage, fixtures::BuildDds(f)), -1);
        EXPECT_TRUE(Logged());
    }
    Bytes cut = fixtures::BuildDds(DdsFile{});
    cut.resize(60);
    NewLogText();
    EXPECT_EQ(Decode(LoadDdsImage, cut), -1);
    EXPECT_TRUE(Logged());
}

TEST_F(DdsDecoderTest, OtherFilesAreTurnedAwayWithoutALogLine) {
    NewLogText();
    EXPECT_EQ(Decode(LoadDdsImage, Bytes{'D', 'D', 'X', ' ', 0, 0}), -1);
    EXPECT_EQ(Decode(LoadDdsImage, Bytes{'D', 'D'}), -1);
    EXPECT_FALSE(Logged());
}

}  // namespace
