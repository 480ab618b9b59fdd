#include <cstdlib>

#include "tests/graphics/codecs/decoder_test_support.h"

namespace {

using fixtures::Bytes;

class JpegCodecTest : public DecoderTest {
protected:
    // Checks image_ against libjpeg's own decoding of the same file: the same samples, colour
    // rows stored B, G, R, rows of exactly width × components bytes.
    void ExpectSameAsDirectDecode(const Bytes& file, int firstRows = -1) {
        int width, height, components;
        Bytes samples;
        ASSERT_TRUE(fixtures::DecodeJpegDirect(file, &width, &height, &components, &samples));
        ASSERT_EQ(image_.width, width);
        ASSERT_EQ(image_.height, height);
        ASSERT_EQ(image_.pitch, width * components);
        ASSERT_EQ(image_.colorFormat.format.bits, components * 8);
        const int rows = firstRows < 0 ? height : firstRows;
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < width; ++x) {
                const uint8_t* s = &samples[(static_cast<size_t>(y) * width + x) * components];
                const uint32_t expected =
                    components == 1 ? static_cast<uint32_t>(s[0] * 0x010101)
                                    : static_cast<uint32_t>(s[0] << 16 | s[1] << 8 | s[2]);
                ASSERT_EQ(Rgb(x, y), expected) << x << "," << y;
            }
        }
    }
};

// Smooth content with some texture, so that the JPEG stays close to it.
Bytes Picture(int width, int height, int components) {
    Bytes out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < components; ++c) {
                out.push_back(static_cast<uint8_t>((x * 9 + y * 5 + c * 70 + ((x ^ y) & 3)) & 255));
            }
        }
    }
    return out;
}

TEST_F(JpegCodecTest, GreyColourAndProgressiveFilesDecodeAsLibjpegDecodesThem) {
    const struct {
        const char* name;
        int components;
        bool progressive;
    } cases[] = {{"grey", 1, false},
                 {"colour", 3, false},
                 {"progressive colour", 3, true},
                 {"progressive grey", 1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A width that is not a multiple of 4: rows are not rounded up.
        const Bytes file = fixtures::BuildJpeg(13, 10, c.components, Picture(13, 10, c.components),
                                               95, c.progressive);
        ASSERT_EQ(Decode(LoadJpegImage, file), 0);
        ExpectSameAsDirectDecode(file);
        if (c.components == 1) {
            EXPECT_EQ(image_.colorFormat.palette[200].g, 200);
        } else {
            EXPECT_EQ(image_.colorFormat.format.maskR, 0xFF0000u);
        }
    }
}

TEST_F(JpegCodecTest, FileThatEndsEarlyIsCompletedAfterAWarning) {
    const Bytes full = fixtures::BuildJpeg(32, 64, 3, Picture(32, 64, 3), 90);
    Bytes cut(full.begin(), full.begin() + static_cast<ptrdiff_t>(full.size() * 3 / 4));
    NewLogText();
    ASSERT_EQ(Decode(LoadJpegImage, cut), 0);
    EXPECT_TRUE(Logged());  // libjpeg's premature-end warning
    EXPECT_EQ(image_.height, 64);
    // The rows decoded before the data ran out are those of the whole file.
    ExpectSameAsDirectDecode(full, 8);
}

TEST_F(JpegCodecTest, UnusableFilesAreRefusedWithALogLine) {
    const Bytes good = fixtures::BuildJpeg(8, 8, 3, Picture(8, 8, 3), 90);
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"only the start marker", Bytes{0xFF, 0xD8}},
        {"cut before the frame header", Bytes(good.begin(), good.begin() + 40)},
        {"four components", fixtures::BuildJpeg(8, 8, 4, Picture(8, 8, 4), 90)},
        {"garbage after the start marker", Bytes{0xFF, 0xD8, 0x12, 0x34, 0x56, 0x78}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.file.empty());
        NewLogText();
        EXPECT_EQ(Decode(LoadJpegImage, c.file), -1);
        EXPECT_TRUE(Logged());
    }
}

TEST_F(JpegCodecTest, OtherFilesAreTurnedAwayWithoutALogLine) {
    NewLogText();
    EXPECT_EQ(Decode(LoadJpegImage, Bytes{0xFF, 0xD9, 0, 0}), -1);
    EXPECT_EQ(Decode(LoadJpegImage, Bytes{0xFF}), -1);
    EXPECT_FALSE(Logged());
}

TEST_F(JpegCodecTest, SavedImagesReadBackCloseToTheirPixels) {
    GraphImage source{};
    ASSERT_EQ(InitGraphImageRgb24(24, 16, &source), 0);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) SetGraphImagePixel(&source, x, y, x * 10, y * 15, 128, 0);
    }
    ASSERT_EQ(SaveJpegImage("shot.jpg", &source, 100, 0), 0);
    const std::string saved = dir_.ReadFile("shot.jpg");
    const Bytes file(saved.begin(), saved.end());
    ASSERT_EQ(Decode(LoadJpegImage, file), 0);
    ExpectSameAsDirectDecode(file);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) {
            int r, g, b;
            GetGraphImagePixel(&image_, x, y, &r, &g, &b, nullptr);
            ASSERT_LE(std::abs(r - x * 10), 8) << x << "," << y;
            ASSERT_LE(std::abs(g - y * 15), 8) << x << "," << y;
            ASSERT_LE(std::abs(b - 128), 8) << x << "," << y;
        }
    }
    NewLogText();
    EXPECT_EQ(SaveJpegImage("no_such_dir/shot.jpg", &source, 90, 0), -1);
    EXPECT_TRUE(Logged());
    FreeGraphImage(&source);
}

}  // namespace
