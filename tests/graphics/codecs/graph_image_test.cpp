#include "graphics/codecs/graph_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/testing/test_controls.h"
#include "system/window_data.h"
#include "tests/support/log_test_fixture.h"

namespace {

class GraphImageTest : public LogFixture {
protected:
    void TearDown() override {
        FreeGraphImage(&image_);
        LogFixture::TearDown();
    }

    // An image over a buffer of the test's own, in a format built from masks.
    GraphImage Over(std::vector<uint8_t>& buffer, int bits, uint32_t r, uint32_t g, uint32_t b,
                    uint32_t a, int width, int height, int pitch) {
        GraphImage image{};
        BuildColorFormat(&image.colorFormat, bits, r, g, b, a);
        buffer.assign(static_cast<size_t>(pitch) * height, 0);
        image.width = width;
        image.height = height;
        image.pitch = pitch;
        image.pixels = buffer.data();
        return image;
    }

    GraphImage image_{};
};

TEST_F(GraphImageTest, PresetImagesRoundRowsUpToFourBytes) {
    ASSERT_EQ(InitGraphImageArgb32(5, 3, &image_), 0);
    EXPECT_EQ(image_.pitch, 20);
    EXPECT_EQ(image_.colorFormat.format.bits, 32);
    EXPECT_EQ(image_.colorFormat.format.maskA, 0xFF000000u);
    EXPECT_EQ(GetAllocState().totalSize, 60u);
    FreeGraphImage(&image_);
    EXPECT_EQ(GetAllocState().count, 0u);
    EXPECT_EQ(image_.pixels, nullptr);
    EXPECT_EQ(image_.width, 0);
    EXPECT_EQ(image_.colorFormat.format.bits, 0);

    ASSERT_EQ(InitGraphImageRgb24(5, 3, &image_), 0);
    EXPECT_EQ(image_.pitch, 16);
    EXPECT_EQ(image_.colorFormat.format.bytes, 3);
    FreeGraphImage(&image_);
    ASSERT_EQ(InitGraphImageRgb24(4, 3, &image_), 0);
    EXPECT_EQ(image_.pitch, 12);
}

TEST_F(GraphImageTest, PresetImageFailuresLogAndLeaveNoPixels) {
    plat::FailNextAllocations(1);
    NewLogText();
    EXPECT_EQ(InitGraphImageArgb32(8, 8, &image_), -1);
    EXPECT_EQ(image_.pixels, nullptr);
    EXPECT_FALSE(NewLogText().empty());
    EXPECT_EQ(InitGraphImageArgb32(-1, 8, &image_), -1);
    EXPECT_EQ(InitGraphImageArgb32(65536, 65536, &image_), -1);
    EXPECT_EQ(image_.pixels, nullptr);
    EXPECT_EQ(GetAllocState().count, 0u);
}

TEST_F(GraphImageTest, FillAndReadBackRgb24) {
    ASSERT_EQ(InitGraphImageRgb24(3, 2, &image_), 0);
    std::memset(image_.pixels, 0xEE, static_cast<size_t>(image_.pitch) * 2);
    EXPECT_EQ(FillGraphImage(&image_, 10, 20, 30, 40), 0);
    for (int y = 0; y < 2; ++y) {
        const uint8_t* row = image_.pixels + y * image_.pitch;
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(row[x * 3 + 0], 30);
            EXPECT_EQ(row[x * 3 + 1], 20);
            EXPECT_EQ(row[x * 3 + 2], 10);
        }
        for (int i = 9; i < image_.pitch; ++i) EXPECT_EQ(row[i], 0xEE) << "row padding";
    }
    int r, g, b, a;
    EXPECT_EQ(GetGraphImagePixel(&image_, 2, 1, &r, &g, &b, &a), 0);
    EXPECT_EQ(r, 10);
    EXPECT_EQ(g, 20);
    EXPECT_EQ(b, 30);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(GetGraphImagePixelArgb(&image_, 0, 0), 0x000A141Eu);
}

TEST_F(GraphImageTest, SetPixelArgb32AndOutsideCoordinates) {
    ASSERT_EQ(InitGraphImageArgb32(4, 4, &image_), 0);
    FillGraphImage(&image_, 0, 0, 0, 0);
    EXPECT_EQ(SetGraphImagePixel(&image_, 1, 2, 0x11, 0x22, 0x33, 0x44), 0);
    EXPECT_EQ(GetGraphImagePixelArgb(&image_, 1, 2), 0x44112233u);
    EXPECT_EQ(GetGraphImagePixelArgb(&image_, 2, 1), 0u);

    for (auto [x, y] : {std::pair{-1, 0}, {4, 0}, {0, -1}, {0, 4}}) {
        EXPECT_EQ(SetGraphImagePixel(&image_, x, y, 255, 255, 255, 255), -1);
        int r = -1;
        EXPECT_EQ(GetGraphImagePixel(&image_, x, y, &r, nullptr, nullptr, nullptr), -1);
        EXPECT_EQ(r, 0);
        EXPECT_EQ(GetGraphImagePixelArgb(&image_, x, y), 0u);
    }
    for (int i = 0; i < 16; ++i) {
        if (i == 2 * 4 + 1) continue;
        EXPECT_EQ(reinterpret_cast<uint32_t*>(image_.pixels)[i], 0u) << i;
    }
}

TEST_F(GraphImageTest, SixteenBitPixelsReadThroughTheirFormat) {
    std::vector<uint8_t> buffer;
    GraphImage image = Over(buffer, 16, 0xF800, 0x07E0, 0x001F, 0, 2, 1, 4);
    SetGraphImagePixel(&image, 0, 0, 255, 255, 255, 0);
    EXPECT_EQ(buffer[0], 0xFF);
    EXPECT_EQ(buffer[1], 0xFF);
    // Each channel moved to the top of its byte; the low bits stay 0.
    EXPECT_EQ(GetGraphImagePixelArgb(&image, 0, 0), 0x00F8FCF8u);
    SetGraphImagePixel(&image, 1, 0, 0, 0, 255, 0);
    int r, g, b, a;
    GetGraphImagePixel(&image, 1, 0, &r, &g, &b, &a);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 255);
    EXPECT_EQ(a, 0);
}

TEST_F(GraphImageTest, PalettedPixelsReadThroughThePalette) {
    std::vector<uint8_t> buffer;
    GraphImage image = Over(buffer, 8, 0, 0, 0, 0, 3, 1, 4);
    SetColorFormat8(&image.colorFormat);
    image.colorFormat.palette[7] = PaletteEntry{0x30, 0x20, 0x10, 0};
    buffer[2] = 7;
    int r, g, b, a;
    EXPECT_EQ(GetGraphImagePixel(&image, 2, 0, &r, &g, &b, &a), 0);
    EXPECT_EQ(r, 0x10);
    EXPECT_EQ(g, 0x20);
    EXPECT_EQ(b, 0x30);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(GetGraphImagePixelArgb(&image, 2, 0), 0x00102030u);
    // Paletted images are not written by colour.
    EXPECT_EQ(FillGraphImage(&image, 1, 2, 3, 4), 0);
    EXPECT_EQ(buffer[0], 0);
}

struct MirrorCase {
    int bits;
    int width;
};

class MirrorGraphImageTest : public GraphImageTest,
                             public ::testing::WithParamInterface<MirrorCase> {};

TEST_P(MirrorGraphImageTest, ReversesEveryRowAndKeepsThePadding) {
    const MirrorCase& c = GetParam();
    const int bytes = c.bits / 8;
    const int height = 2;
    const int pitch = c.width * bytes + 3;
    std::vector<uint8_t> buffer;
    GraphImage image = Over(buffer, c.bits, 0xFF, 0, 0, 0, c.width, height, pitch);
    for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(i);
    const std::vector<uint8_t> before = buffer;

    ASSERT_EQ(MirrorGraphImage(&image), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            for (int k = 0; k < bytes; ++k) {
                const size_t to = static_cast<size_t>(y * pitch + x * bytes + k);
                const size_t from = static_cast<size_t>(y * pitch + (c.width - 1 - x) * bytes + k);
                EXPECT_EQ(buffer[to], before[from]) << "x " << x << " y " << y << " byte " << k;
            }
        }
        for (int i = c.width * bytes; i < pitch; ++i) {
            EXPECT_EQ(buffer[y * pitch + i], before[y * pitch + i]) << "padding";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MirrorGraphImageTest,
                         ::testing::Values(MirrorCase{8, 5}, MirrorCase{16, 4}, MirrorCase{24, 3},
                                           MirrorCase{24, 1}, MirrorCase{32, 6}));

TEST_F(GraphImageTest, MirrorOfAnEmptyImageFails) {
    EXPECT_EQ(MirrorGraphImage(&image_), -1);
    std::vector<uint8_t> buffer;
    GraphImage image = Over(buffer, 32, 0xFF, 0, 0, 0, 0, 4, 4);
    EXPECT_EQ(MirrorGraphImage(&image), -1);
}

}  // namespace
