#include "tests/graphics/codecs/decoder_test_support.h"

namespace {

using fixtures::Bytes;

class BgraDecoderTest : public DecoderTest {};

uint8_t Sample(size_t i) { return static_cast<uint8_t>(i * 37 + (i >> 3) * 11 + 5); }

TEST_F(BgraDecoderTest, EightBitChannelsAreTakenAsStored) {
    Bytes pixels(3 * 2 * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = Sample(i);
    ASSERT_EQ(Decode(LoadBgraImage, fixtures::BuildBgra(0x08080808, 3, 2, pixels)), 0);
    EXPECT_EQ(image_.colorFormat.format.bits, 32);
    EXPECT_EQ(image_.colorFormat.format.maskA, 0xFF000000u);
    EXPECT_EQ(image_.colorFormat.format.maskR, 0xFF0000u);
    EXPECT_EQ(image_.pitch, 12);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const size_t at = (static_cast<size_t>(y) * 3 + x) * 4;
            const uint32_t expected = pixels[at] | pixels[at + 1] << 8 | pixels[at + 2] << 16 |
                                      static_cast<uint32_t>(pixels[at + 3]) << 24;
            ASSERT_EQ(Raw(x, y), expected);
        }
    }
}

TEST_F(BgraDecoderTest, SixteenBitChannelsKeepTheirHighByte) {
    Bytes pixels(4 * 3 * 8);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = Sample(i);
    ASSERT_EQ(Decode(LoadBgraImage, fixtures::BuildBgra(0x10101010, 4, 3, pixels)), 0);
    EXPECT_EQ(image_.pitch, 16);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            const size_t at = (static_cast<size_t>(y) * 4 + x) * 8;
            const uint32_t expected = pixels[at + 1] | pixels[at + 3] << 8 | pixels[at + 5] << 16 |
                                      static_cast<uint32_t>(pixels[at + 7]) << 24;
            ASSERT_EQ(Raw(x, y), expected);
        }
    }
}

TEST_F(BgraDecoderTest, UnusableFilesAreRefusedWithALogLine) {
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"channel layout", fixtures::BuildBgra(0x08080800, 1, 1, Bytes(4))},
        {"width 0", fixtures::BuildBgra(0x08080808, 0, 1, Bytes(4))},
        {"sizes whose product overflows",
         fixtures::BuildBgra(0x08080808, 0xFFFFFFFF, 0x40000001, Bytes(16))},
        {"too many pixels", fixtures::BuildBgra(0x10101010, 16384, 16384, Bytes(16))},
        {"8-bit pixels one byte short", fixtures::BuildBgra(0x08080808, 2, 2, Bytes(15))},
        {"16-bit pixels one row short", fixtures::BuildBgra(0x10101010, 2, 2, Bytes(16))},
        {"header cut", Bytes{'B', 'G', 'R', 'A', 8, 8, 8, 8, 1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        NewLogText();
        EXPECT_EQ(Decode(LoadBgraImage, c.file), -1);
        EXPECT_TRUE(Logged());
    }
    NewLogText();
    EXPECT_EQ(Decode(LoadBgraImage, Bytes{'B', 'G', 'R', 'B', 8, 8, 8, 8}), -1);
    EXPECT_FALSE(Logged());
}

}  // namespace
