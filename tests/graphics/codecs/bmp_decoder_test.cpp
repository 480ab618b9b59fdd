#include <climits>
#include <cstring>

#include "tests/graphics/codecs/decoder_test_support.h"

namespace {

using fixtures::BmpFile;
using fixtures::Bytes;

class BmpDecoderTest : public DecoderTest {};

uint32_t Pattern(int x, int y, uint32_t mask) {
    return static_cast<uint32_t>(x * 0x1F3B + y * 0x0A71 + x * y * 0x35) & mask;
}

// round(v × 255 / max), as the GDI conversion widens narrow channels.
uint32_t Widen(uint32_t v, uint32_t max) { return (v * 255 + max / 2) / max; }

BmpFile Paletted(int width, int height, uint16_t bits, int tableEntries) {
    BmpFile f;
    f.width = width;
    f.height = height;
    f.bitCount = bits;
    f.table = fixtures::MakeBmpTable(tableEntries);
    f.pixels = fixtures::PackBmpRows(width, height, bits, false, [&](int x, int y) {
        return Pattern(x, y, (1u << bits) - 1) % static_cast<uint32_t>(tableEntries);
    });
    return f;
}

TEST_F(BmpDecoderTest, PalettedImagesKeepTheirIndicesAndTable) {
    struct Case {
        uint16_t bits;
        int entries;
        uint32_t headerSize;
    };
    for (const Case c : {Case{8, 256, 40}, Case{8, 7, 40}, Case{4, 16, 40}, Case{4, 5, 108},
                         Case{8, 200, 124}, Case{8, 256, 12}, Case{4, 16, 12}}) {
        SCOPED_TRACE(testing::Message()
                     << c.bits << " bits, " << c.entries << " entries, header " << c.headerSize);
        BmpFile f = Paletted(7, 5, c.bits, c.entries);
        f.headerSize = c.headerSize;
        f.table = fixtures::MakeBmpTable(c.entries, c.headerSize == 12);
        // The used-colour count says how long the table is, so the pixels follow right after
        // a short one.
        if (c.entries < (1 << c.bits) && c.headerSize != 12) f.colorsUsed = c.entries;
        ASSERT_EQ(Decode(LoadBmpImage, fixtures::BuildBmp(f)), 0);
        EXPECT_EQ(image_.colorFormat.format.bits, 8);
        EXPECT_EQ(image_.width, 7);
        EXPECT_EQ(image_.height, 5);
        EXPECT_EQ(image_.pitch, 8);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 7; ++x) {
                const uint32_t index = Pattern(x, y, (1u << c.bits) - 1) % c.entries;
                ASSERT_EQ(Raw(x, y), index) << x << "," << y;
                ASSERT_EQ(Rgb(x, y), fixtures::TableColor(static_cast<int>(index)));
            }
        }
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry& e = image_.colorFormat.palette[i];
            const uint32_t expected = i < c.entries ? fixtures::TableColor(i) : 0;
            ASSERT_EQ(static_cast<uint32_t>(e.r << 16 | e.g << 8 | e.b), expected) << i;
            ASSERT_EQ(e.reserved, 0);
        }
    }
}

TEST_F(BmpDecoderTest, TwentyFourBitRowsComeOutTopDownWithTheFileStride) {
    for (bool topDown : {false, true}) {
        BmpFile f;
        f.width = 5;
        f.height = topDown ? -3 : 3;
        f.bitCount = 24;
        f.pixels = fixtures::PackBmpRows(5, 3, 24, topDown,
                                         [](int x, int y) { return Pattern(x, y, 0xFFFFFF); });
        ASSERT_EQ(Decode(LoadBmpImage, fixtures::BuildBmp(f)), 0);
        EXPECT_EQ(image_.colorFormat.format.bits, 24);
        EXPECT_EQ(image_.colorFormat.format.maskR, 0xFF0000u);
        EXPECT_EQ(image_.pitch, 16);
        EXPECT_EQ(image_.height, 3);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) ASSERT_EQ(Raw(x, y), Pattern(x, y, 0xFFFFFF));
        }
    }
}

TEST_F(BmpDecoderTest, PixelOffsetIsHonouredPastAGap) {
    BmpFile f = Paletted(3, 2, 8, 4);
    f.colorsUsed = 4;
    f.pixelOffset = 14 + 40 + 16 + 10;
    ASSERT_EQ(Decode(LoadBmpImage, fixtures::BuildBmp(f)), 0);
    EXPECT_EQ(Raw(2, 1), Pattern(2, 1, 0xFF) % 4);
}

// The formats the GDI conversion brings to 24 bits.
struct DibCase {
    const char* name;
    uint16_t bits;
    uint32_t compression;
    uint32_t headerSize;
    uint32_t masks[4];
    bool masksAfterHeader;
    bool topDown;
};

uint32_t ExpectedDibColor(const DibCase& c, uint32_t v) {
    if (c.bits == 1) return fixtures::TableColor(static_cast<int>(v));
    uint32_t masks[3] = {c.masks[0], c.masks[1], c.masks[2]};
    if (c.compression == 0) {
        masks[0] = c.bits == 16 ? 0x7C00 : 0xFF0000;
        masks[1] = c.bits == 16 ? 0x03E0 : 0xFF00;
        masks[2] = c.bits == 16 ? 0x001F : 0xFF;
    }
    uint32_t rgb = 0;
    for (int i = 0; i < 3; ++i) {
        const int shift = __builtin_ctz(masks[i]);
        const uint32_t max = masks[i] >> shift;
        rgb = rgb << 8 | Widen((v & masks[i]) >> shift, max);
    }
    return rgb;
}

TEST_F(BmpDecoderTest, DibConvertedFormatsComeOutAs24BitRgb) {
    const DibCase cases[] = {
        {"1 bit", 1, 0, 40, {}, false, false},
        {"1 bit top-down", 1, 0, 40, {}, false, true},
        {"16 bit 5-5-5", 16, 0, 40, {}, false, false},
        {"32 bit", 32, 0, 40, {}, false, false},
        {"16 bit fields 5-6-5", 16, 3, 40, {0xF800, 0x07E0, 0x001F, 0}, true, false},
        {"32 bit fields in a V3 header",
         32,
         3,
         56,
         {0xFF, 0xFF00, 0xFF0000, 0xFF000000},
         false,
         false},
        {"16 bit fields in a V4 header",
         16,
         3,
         108,
         {0x0F00, 0x00F0, 0x000F, 0xF000},
         false,
         false},
        {"32 bit fields in a V5 header", 32, 3, 124, {0x3FF00000, 0xFFC00, 0x3FF, 0}, false, true},
    };
    for (const DibCase& c : cases) {
        SCOPED_TRACE(c.name);
        BmpFile f;
        f.headerSize = c.headerSize;
        f.width = 9;
        f.height = c.topDown ? -4 : 4;
        f.bitCount = c.bits;
        f.compression = c.compression;
        std::memcpy(f.masks, c.masks, sizeof(f.masks));
        f.writeMasksAfterHeader = c.masksAfterHeader;
        if (c.bits == 1) f.table = fixtures::MakeBmpTable(2);
        const uint32_t mask = c.bits == 32 ? 0xFFFFFFFFu : (1u << c.bits) - 1;
        f.pixels = fixtures::PackBmpRows(9, 4, c.bits, c.topDown, [&](int x, int y) {
            return Pattern(x, y, mask) * 0x01010101u & mask;
        });
        ASSERT_EQ(Decode(LoadBmpImage, fixtures::BuildBmp(f)), 0);
        EXPECT_EQ(image_.colorFormat.format.bits, 24);
        EXPECT_EQ(image_.width, 9);
        EXPECT_EQ(image_.height, 4);
        EXPECT_EQ(image_.pitch, 28);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 9; ++x) {
                const uint32_t v = Pattern(x, y, mask) * 0x01010101u & mask;
                ASSERT_EQ(Raw(x, y), ExpectedDibColor(c, v)) << x << "," << y;
            }
        }
    }
}

// Every escape: runs, literals with and without padding, end of line, delta, end of bitmap,
// and pixels that run past the end of a row (dropped).
TEST_F(BmpDecoderTest, RunLengthDataDecodesEveryEscape) {
    struct Case {
        const char* name;
        uint16_t bits;
        uint32_t compression;
        Bytes data;
        uint8_t expected[4][6];  // top row first
    };
    const Case cases[] = {
        {"RLE8",
         8,
         1,
         {3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 2, 7, 0, 2, 1, 0, 3, 9, 0, 0, 0, 2, 2, 1, 4, 10, 0, 1},
         {{0, 0, 10, 10, 10, 10}, {0, 0, 0, 0, 0, 0}, {7, 7, 0, 9, 9, 9}, {5, 5, 5, 1, 2, 3}}},
        {"RLE4",
         4,
         2,
         {3,    0x5A, 0, 3, 0x12, 0x30, 0, 0,    0, 5, 0x12, 0x34,
          0x50, 0,    0, 2, 1,    1,    2, 0x77, 0, 0, 0,    1},
         {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, {1, 2, 3, 4, 5, 0}, {5, 10, 5, 1, 2, 3}}},
        {"RLE8 run and literal past the row end, no end-of-bitmap after the last row",
         8,
         1,
         {9, 1, 0, 0, 0, 7, 1, 2, 3, 4, 5, 6, 7, 0, 0, 0, 6, 3, 0, 0, 2, 4, 0, 0},
         {{4, 4, 0, 0, 0, 0}, {3, 3, 3, 3, 3, 3}, {1, 2, 3, 4, 5, 6}, {1, 1, 1, 1, 1, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpFile f;
        f.width = 6;
        f.height = 4;
        f.bitCount = c.bits;
        f.compression = c.compression;
        f.table = fixtures::MakeBmpTable(16);
        f.colorsUsed = 16;
        f.pixels = c.data;
        ASSERT_EQ(Decode(LoadBmpImage, fixtures::BuildBmp(f)), 0);
        EXPECT_EQ(image_.colorFormat.format.bits, 8);
        EXPECT_EQ(image_.pitch, 8);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 6; ++x) ASSERT_EQ(Raw(x, y), c.expected[y][x]) << x << "," << y;
        }
        EXPECT_EQ(image_.colorFormat.palette[10].r, fixtures::TableColor(10) >> 16);
    }
}

TEST_F(BmpDecoderTest, RunLengthMovesPastTheLastRowEndThePicture) {
    BmpFile f;
    f.width = 2;
    f.height = 2;
    f.bitCount = 8;
    f.compression = 1;
    f.table = fixtures::MakeBmpTable(4);
    f.pixels = {2, 1, 0, 2, 0, 200, 2, 3};  // a delta far past the image, then more pixels
    ASSERT_EQ(Decode(LoadBmpImage, fixtures::BuildBmp(f)), 0);
    EXPECT_EQ(Raw(0, 1), 1u);
    EXPECT_EQ(Raw(1, 1), 1u);
    EXPECT_EQ(Raw(0, 0), 0u);
}

struct BadBmp {
    const char* name;
    std::function<void(BmpFile&)> change;
    std::function<void(Bytes&)> damage;
};

TEST_F(BmpDecoderTest, DamagedFilesAreRefusedWithALogLine) {
    const BadBmp cases[] = {
        {"pixel data one byte short", nullptr, [](Bytes& b) { b.pop_back(); }},
        {"width 0", [](BmpFile& f) { f.width = 0; }, nullptr},
        {"negative width", [](BmpFile& f) { f.width = -4; }, nullptr},
        {"height 0", [](BmpFile& f) { f.height = 0; }, nullptr},
        {"height INT_MIN", [](BmpFile& f) { f.height = INT_MIN; }, nullptr},
        {"width whose stride overflows", [](BmpFile& f) { f.width = 0x7FFFFFFF; }, nullptr},
        {"too many pixels",
         [](BmpFile& f) {
             f.width = 16384;
             f.height = -16384;
         },
         nullptr},
        {"unknown header size", [](BmpFile& f) { f.headerSize = 20; }, nullptr},
        {"bit count 7", [](BmpFile& f) { f.bitCount = 7; }, nullptr},
        {"bit fields on 8 bits", [](BmpFile& f) { f.compression = 3; }, nullptr},
        {"RLE4 on 8 bits", [](BmpFile& f) { f.compression = 2; }, nullptr},
        {"JPEG compression", [](BmpFile& f) { f.compression = 4; }, nullptr},
        {"pixel offset past the end", nullptr, [](Bytes& b) { b[11] = 0x40; }},
        {"pixel offset inside the header", [](BmpFile& f) { f.pixelOffset = 30; }, nullptr},
        {"header cut short", nullptr, [](Bytes& b) { b.resize(40); }},
    };
    for (const BadBmp& c : cases) {
        SCOPED_TRACE(c.name);
        BmpFile f = Paletted(6, 3, 8, 256);
        if (c.change) c.change(f);
        Bytes file = fixtures::BuildBmp(f);
        if (c.damage) c.damage(file);
        NewLogText();
        EXPECT_EQ(Decode(LoadBmpImage, file), -1);
        EXPECT_TRUE(Logged());
    }
}

TEST_F(BmpDecoderTest, BrokenRunLengthDataIsRefused) {
    const struct {
        const char* name;
        Bytes data;
    } cases[] = {
        {"literal past the data", {0, 6, 1, 2, 3}},
        {"padding of a literal past the data", {0, 3, 1, 2, 3}},
        {"delta without its offsets", {2, 1, 0, 2, 1}},
        {"data ends inside the picture", {2, 1, 0, 0, 1, 1}},
        {"no data", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BmpFile f;
        f.width = 2;
        f.height = 2;
        f.bitCount = 8;
        f.compression = 1;
        f.table = fixtures::MakeBmpTable(4);
        f.pixels = c.data;
        NewLogText();
        EXPECT_EQ(Decode(LoadBmpImage, fixtures::BuildBmp(f)), -1);
        EXPECT_TRUE(Logged());
    }
}

TEST_F(BmpDecoderTest, OtherFilesAreTurnedAwayWithoutALogLine) {
    NewLogText();
    EXPECT_EQ(Decode(LoadBmpImage, Bytes{'B', 'X', 0, 0, 0, 0}), -1);
    EXPECT_EQ(Decode(LoadBmpImage, Bytes{'B'}), -1);
    EXPECT_EQ(Decode(LoadBmpImage, Bytes{}), -1);
    EXPECT_FALSE(Logged());
}

}  // namespace
