// The screen save's PNG and JPEG files read back through the library's own decoders: PNG gives
// the screen's colours exactly, JPEG within a stated tolerance of them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/memory_stream.h"
#include "graphics/codecs/image_decoders.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/screen_save/screen_save.h"
#include "tests/graphics/screen_save/screen_save_test_support.h"

namespace {

int32_t gDepth = 16;

// A smooth picture (what JPEG keeps well): red across, green down, blue along the diagonal.
uint32_t GradientValue(int32_t x, int32_t y) {
    const uint32_t r = static_cast<uint32_t>(x * 255 / 639);
    const uint32_t g = static_cast<uint32_t>(y * 255 / 479);
    const uint32_t b = static_cast<uint32_t>((x + y) * 255 / 1118);
    return gDepth == 16 ? (r >> 3) << 11 | (g >> 2) << 5 | b >> 3 : r << 16 | g << 8 | b;
}

// The colour the screen holds at (x, y): the value through the screen's format.
void ScreenColour(const ColorFormat* format, uint32_t (*value)(int32_t, int32_t), int32_t x,
                  int32_t y, int* rgb) {
    int a = 0;
    ColorFormatPixelToRgba(format, value(x, y), &rgb[0], &rgb[1], &rgb[2], &a);
}

// Decodes the file's bytes with the decoder into image; 0 or -1.
int DecodeFile(const std::string& bytes, GraphImageDecoder decoder, GraphImage* image) {
    DataStream stream{*GetMemStreamFunctions(), MemStreamOpen(bytes.data(), bytes.size())};
    const int result = decoder(&stream, image);
    stream.functions.close(stream.handle);
    return result;
}

constexpr RECT kBox{100, 90, 164, 138};  // 64 x 48

TEST_F(ScreenSaveTest, PngReadsBackAsTheScreensColoursExactly) {
    for (const ScreenRoad& road : kScreenRoads) {
        SCOPED_TRACE(road.name);
        Start(road);
        const ColorFormat* format = PaintBack(PatternValue);
        ASSERT_EQ(WriteScreenImageFile(kBox.left, kBox.top, kBox.right, kBox.bottom, "shot.png",
                                       kScreenSavePng, 80, 1, 6),
                  0);
        GraphImage image{};
        ASSERT_EQ(DecodeFile(FileBytes("shot.png"), LoadPngImage, &image), 0);
        ASSERT_EQ(image.width, 64);
        ASSERT_EQ(image.height, 48);
        int mismatches = 0;
        for (int32_t y = 0; y < image.height; ++y) {
            for (int32_t x = 0; x < image.width; ++x) {
                int want[3], got[3];
                ScreenColour(format, PatternValue, kBox.left + x, kBox.top + y, want);
                GetGraphImagePixel(&image, x, y, &got[0], &got[1], &got[2], nullptr);
                for (int c = 0; c < 3; ++c) mismatches += want[c] != got[c] ? 1 : 0;
            }
        }
        EXPECT_EQ(mismatches, 0);
        FreeGraphImage(&image);
        Stop();
    }
}

TEST_F(ScreenSaveTest, JpegReadsBackWithinItsToleranceAndQualityCounts) {
    // Tolerance at quality 95 on a smooth picture: no channel more than 12 away, and on
    // average less than 2.
    for (const ScreenRoad& road : {kScreenRoads[1], kScreenRoads[2]}) {
        SCOPED_TRACE(road.name);
        Start(road);
        gDepth = road.depth;
        const ColorFormat* format = PaintBack(GradientValue);
        std::string files[2];
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(WriteScreenImageFile(kBox.left, kBox.top, kBox.right, kBox.bottom,
                                           "shot.jpg", kScreenSaveJpeg, i == 0 ? 95 : 10, 1, -1),
                      0);
            files[i] = FileBytes("shot.jpg");
        }
        // The lower quality makes a smaller file.
        EXPECT_LT(files[1].size(), files[0].size());
        GraphImage image{};
        ASSERT_EQ(DecodeFile(files[0], LoadJpegImage, &image), 0);
        ASSERT_EQ(image.width, 64);
        ASSERT_EQ(image.height, 48);
        int worst = 0;
        long total = 0;
        for (int32_t y = 0; y < image.height; ++y) {
            for (int32_t x = 0; x < image.width; ++x) {
                int want[3], got[3];
                ScreenColour(format, GradientValue, kBox.left + x, kBox.top + y, want);
                GetGraphImagePixel(&image, x, y, &got[0], &got[1], &got[2], nullptr);
                for (int c = 0; c < 3; ++c) {
                    worst = std::max(worst, std::abs(want[c] - got[c]));
                    total += std::abs(want[c] - got[c]);
                }
            }
        }
        EXPECT_LE(worst, 12);
        EXPECT_LT(static_cast<double>(total) / (64 * 48 * 3), 2.0);
        FreeGraphImage(&image);
        Stop();
    }
}

}  // namespace
