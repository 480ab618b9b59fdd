#include "tests/graphics/codecs/decoder_test_support.h"

namespace {

using fixtures::Bytes;
using fixtures::TgaFile;

class TgaDecoderTest : public DecoderTest {};

// Picture values with runs of equal pixels, so that RLE files have both kinds of packet.
uint32_t Value(int x, int y, uint32_t mask) {
    return (static_cast<uint32_t>((x / 3) * 0x2F1D3 + y * 0x9A5 + 7) * 0x01010101u) & mask;
}

void PutValue(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Packets for a sequence of stored values: runs of equal values repeat, the rest go raw.
Bytes EncodeRle(const std::vector<uint32_t>& values, int bytes) {
    Bytes out;
    size_t i = 0;
    while (i < values.size()) {
        size_t run = 1;
        while (i + run < values.size() && run < 128 && values[i + run] == values[i]) ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
            PutValue(out, values[i], bytes);
            i += run;
            continue;
        }
        size_t raw = 1;
        while (i + raw < values.size() && raw < 128 &&
               (i + raw + 1 >= values.size() || values[i + raw] != values[i + raw + 1])) {
            ++raw;
        }
        out.push_back(static_cast<uint8_t>(raw - 1));
        for (size_t k = 0; k < raw; ++k) PutValue(out, values[i + k], bytes);
        i += raw;
    }
    return out;
}

struct TgaCase {
    uint8_t type;
    int depth;
    uint8_t descriptor;
    bool footer;
};

TEST_F(TgaDecoderTest, EveryTypeDepthAndOrientationDecodesTopDownLeftToRight) {
    const int width = 7, height = 4;
    std::vector<TgaCase> cases;
    for (uint8_t type : {1, 2, 9, 10}) {
        for (int depth : {16, 24, 32}) {
            for (uint8_t descriptor : {0x00, 0x20, 0x10, 0x30}) {
                cases.push_back({type, depth, descriptor, (descriptor & 0x10) != 0});
            }
        }
    }
    for (const TgaCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << int{c.type} << " depth " << c.depth
                                        << " descriptor " << int{c.descriptor});
        const bool mapped = c.type == 1 || c.type == 9;
        const int bytes = c.depth / 8;
        const uint32_t mask = c.depth == 32 ? 0xFFFFFFFFu : (1u << c.depth) - 1;
        TgaFile f;
        f.imageType = c.type;
        f.width = width;
        f.height = height;
        f.descriptor = c.descriptor;
        f.footer = c.footer;
        f.id = {1, 2, 3, 4, 5};
        // Colour maps start at entry 3: index v means map entry v.
        std::vector<uint32_t> map(256, 0);
        if (mapped) {
            f.colorMapType = 1;
            f.mapFirst = 3;
            f.mapLength = 40;
            f.mapEntryBits = static_cast<uint8_t>(c.depth);
            f.pixelBits = 8;
            for (int i = 0; i < 40; ++i) {
                map[3 + i] = (static_cast<uint32_t>(i) * 0x0735F1u + 0x1234) & mask;
                PutValue(f.colorMap, map[3 + i], bytes);
            }
        } else {
            f.pixelBits = static_cast<uint8_t>(c.depth);
        }
        // Stored order follows the descriptor.
        std::vector<uint32_t> stored;
        for (int sy = 0; sy < height; ++sy) {
            const int y = (c.descriptor & 0x20) != 0 ? sy : height - 1 - sy;
            for (int sx = 0; sx < width; ++sx) {
                const int x = (c.descriptor & 0x10) != 0 ? width - 1 - sx : sx;
                stored.push_back(mapped ? 3 + Value(x, y, 0xFF) % 40 : Value(x, y, mask));
            }
        }
        const int storedBytes = mapped ? 1 : bytes;
        if (c.type >= 9) {
            f.pixels = EncodeRle(stored, storedBytes);
        } else {
            for (uint32_t v : stored) PutValue(f.pixels, v, storedBytes);
        }
        ASSERT_EQ(Decode(LoadTgaImage, fixtures::BuildTga(f)), 0);
        EXPECT_EQ(image_.width, width);
        EXPECT_EQ(image_.height, height);
        EXPECT_EQ(image_.pitch, width * bytes);
        EXPECT_EQ(image_.colorFormat.format.bits, c.depth);
        EXPECT_EQ(image_.colorFormat.format.maskA, c.depth == 32 ? 0xFF000000u : 0u);
        if (c.depth == 16) {
            EXPECT_EQ(image_.colorFormat.format.maskR, 0x7C00u);
            EXPECT_EQ(image_.colorFormat.format.noUseMask, 0x8000u);
        }
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const uint32_t expected =
                    mapped ? map[3 + Value(x, y, 0xFF) % 40] : Value(x, y, mask);
                ASSERT_EQ(Raw(x, y), expected) << x << "," << y;
            }
        }
    }
}

TEST_F(TgaDecoderTest, ColourMapEntriesPastIndex255AreSkipped) {
    TgaFile f;
    f.imageType = 1;
    f.colorMapType = 1;
    f.mapFirst = 250;
    f.mapLength = 10;
    f.mapEntryBits = 24;
    f.pixelBits = 8;
    f.width = 2;
    f.height = 1;
    for (int i = 0; i < 10; ++i) PutValue(f.colorMap, 0x010101u * static_cast<uint32_t>(i + 1), 3);
    f.pixels = {255, 250};
    ASSERT_EQ(Decode(LoadTgaImage, fixtures::BuildTga(f)), 0);
    EXPECT_EQ(Raw(0, 0), 0x060606u);
    EXPECT_EQ(Raw(1, 0), 0x010101u);
}

TEST_F(TgaDecoderTest, RunLengthDataRunsToTheEndOfAFileWithoutFooter) {
    TgaFile f;
    f.imageType = 10;
    f.width = 3;
    f.height = 1;
    f.pixelBits = 24;
    f.pixels = {0x82, 0x11, 0x22, 0x33};  // three repeats, the last bytes of the file
    ASSERT_EQ(Decode(LoadTgaImage, fixtures::BuildTga(f)), 0);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Raw(x, 0), 0x332211u);
}

TEST_F(TgaDecoderTest, PacketsRunningPastTheImageAreCutAtItsEnd) {
    TgaFile f;
    f.imageType = 10;
    f.width = 2;
    f.height = 2;
    f.pixelBits = 32;
    f.descriptor = 0x20;
    f.pixels = {0x02, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 0xFF, 4, 4, 4, 4};
    ASSERT_EQ(Decode(LoadTgaImage, fixtures::BuildTga(f)), 0);
    EXPECT_EQ(Raw(0, 0), 0x01010101u);
    EXPECT_EQ(Raw(0, 1), 0x03030303u);
    EXPECT_EQ(Raw(1, 1), 0x04040404u);
}

TEST_F(TgaDecoderTest, UnusableFilesAreRefusedWithALogLine) {
    const struct {
        const char* name;
        std::function<void(TgaFile&)> change;
    } cases[] = {
        {"width 4096", [](TgaFile& f) { f.width = 4096; }},
        {"height 0", [](TgaFile& f) { f.height = 0; }},
        {"x origin", [](TgaFile& f) { f.xOrigin = 1; }},
        {"8-bit true colour", [](TgaFile& f) { f.pixelBits = 8; }},
        {"pixels one byte short", [](TgaFile& f) { f.pixels.pop_back(); }},
        {"id longer than the file",
         [](TgaFile& f) {
             f.id.assign(200, 0);
             f.pixels.clear();
         }},
        {"colour-mapped without a map",
         [](TgaFile& f) {
             f.imageType = 1;
             f.pixelBits = 8;
         }},
        {"colour map past the file",
         [](TgaFile& f) {
             f.colorMapType = 1;
             f.mapLength = 1000;
             f.mapEntryBits = 24;
         }},
        {"16-bit indices",
         [](TgaFile& f) {
             f.imageType = 1;
             f.colorMapType = 1;
             f.mapLength = 2;
             f.mapEntryBits = 24;
             f.colorMap.assign(6, 0);
             f.pixelBits = 16;
         }},
        {"run-length raw packet past the data",
         [](TgaFile& f) {
             f.imageType = 10;
             f.pixels = {0x05, 1, 2, 3, 4, 5, 6};
         }},
        {"run-length data ends before the image",
         [](TgaFile& f) {
             f.imageType = 10;
             f.pixels = {0x81, 1, 2, 3};
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TgaFile f;
        f.width = 2;
        f.height = 2;
        f.pixels.assign(12, 9);
        c.change(f);
        NewLogText();
        EXPECT_EQ(Decode(LoadTgaImage, fixtures::BuildTga(f)), -1);
        EXPECT_TRUE(Logged());
    }
}

TEST_F(TgaDecoderTest, FilesOfOtherTypesAreTurnedAwayWithoutALogLine) {
    NewLogText();
    for (uint8_t type : {0, 3, 11, 32}) {
        TgaFile f;
        f.imageType = type;
        f.width = 1;
        f.height = 1;
        f.pixels = {1, 2, 3};
        EXPECT_EQ(Decode(LoadTgaImage, fixtures::BuildTga(f)), -1);
    }
    EXPECT_EQ(Decode(LoadTgaImage, Bytes{0, 0, 2}), -1);
    EXPECT_FALSE(Logged());
}

}  // namespace
