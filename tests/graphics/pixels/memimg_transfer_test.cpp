// Transfers into software images: decoded images into every kind of MEMIMG (direct colour,
// alpha from a second image or from the colour key, paletted, raw), clipping, and MEMIMG to
// MEMIMG copies.
#include "graphics/pixels/memimg_transfer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/support/log_test_fixture.h"

namespace {

class MemImgTransferTest : public LogFixture {
protected:
    void TearDown() override {
        for (MEMIMG* m : images_) {
            ReleaseMemImg(m);
            delete m;
        }
        LogFixture::TearDown();
    }

    MEMIMG* Make(int width, int height, int pixelFormat, int paletted, int alpha, uint32_t key = 0) {
        auto* m = new MEMIMG{};
        EXPECT_EQ(CreateMemImg(m, width, height, -1, key, pixelFormat, paletted, alpha), 0);
        std::memset(m->pixels, 0x11, static_cast<size_t>(m->pitch) * height);
        images_.push_back(m);
        return m;
    }

    // An image over a buffer of the test's own: rows of width × bytes plus 3 bytes.
    GraphImage Image(std::vector<uint8_t>& buffer, const PaletteColorFormat& format, int width,
                     int height, const std::vector<uint32_t>& pixels) {
        GraphImage image{};
        image.colorFormat = format;
        image.width = width;
        image.height = height;
        image.pitch = width * format.format.bytes + 3;
        buffer.assign(static_cast<size_t>(image.pitch) * height, 0);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                std::memcpy(buffer.data() + y * image.pitch + x * format.format.bytes,
                            &pixels[y * width + x], format.format.bytes);
            }
        }
        image.pixels = buffer.data();
        return image;
    }

    static uint32_t At(const MEMIMG* m, int x, int y) {
        const int bytes = MemImgBytesPerPixel(m->pixelFormat, m->paletted, m->alpha);
        uint32_t v = 0;
        std::memcpy(&v, m->pixels + y * m->pitch + x * bytes, bytes);
        return v;
    }

    std::vector<MEMIMG*> images_;
};

PaletteColorFormat Rgb24() {
    PaletteColorFormat f;
    SetColorFormatRgb24(&f);
    return f;
}

TEST_F(MemImgTransferTest, DirectColourImagesConvertIntoBothPixelFormats) {
    std::vector<uint8_t> buffer;
    const GraphImage image = Image(buffer, Rgb24(), 3, 2,
                                   {0xFF0000, 0x00FF00, 0x0000FF, 0x808080, 0xFFFFFF, 0x000000});
    MEMIMG* m32 = Make(3, 2, MEMIMG_FORMAT_32, 0, 0);
    ASSERT_EQ(TransferGraphImageToMemImg(&image, nullptr, m32, 0, 0, 3, 2, 0, 0, 0), 0);
    EXPECT_EQ(At(m32, 0, 0), 0xFFFF0000u);  // the no-use byte is set
    EXPECT_EQ(At(m32, 0, 1), 0xFF808080u);
    MEMIMG* m16 = Make(3, 2, MEMIMG_FORMAT_565, 0, 0);
    ASSERT_EQ(TransferGraphImageToMemImg(&image, nullptr, m16, 0, 0, 3, 2, 0, 0, 0), 0);
    EXPECT_EQ(At(m16, 0, 0), 0xF800u);
    EXPECT_EQ(At(m16, 1, 0), 0x07E0u);
    EXPECT_EQ(At(m16, 0, 1), 0x8410u);
    EXPECT_EQ(At(m16, 1, 1), 0xFFFFu);
}

TEST_F(MemImgTransferTest, AlphaComesFromTheAlphaImageOrTheColourKey) {
    std::vector<uint8_t> colourBuffer, alphaBuffer;
    const GraphImage image = Image(colourBuffer, Rgb24(), 2, 1, {0xFF00FF, 0x102030});
    PaletteColorFormat grey;
    SetColorFormatGrey8(&grey);
    const GraphImage alpha = Image(alphaBuffer, grey, 2, 1, {0x40, 0xC0});
    MEMIMG* m = Make(2, 1, MEMIMG_FORMAT_32, 0, 1);
    ASSERT_EQ(TransferGraphImageToMemImg(&image, &alpha, m, 0, 0, 2, 1, 0, 0, 1), 0);
    EXPECT_EQ(At(m, 0, 0), 0x40FF00FFu);
    EXPECT_EQ(At(m, 1, 0), 0xC0102030u);

    // Key to alpha with the key in the image's own layout: 5-6-5 magenta for a 16-bit image.
    for (int pixelFormat : {MEMIMG_FORMAT_32, MEMIMG_FORMAT_565}) {
        SCOPED_TRACE(pixelFormat);
        const ColorFormat& f = GetStandardColorFormat(pixelFormat, 1, 0)->format;
        MEMIMG* keyed = Make(2, 1, pixelFormat, 0, 1, ColorFormatRgbaToPixel(&f, 255, 0, 255, 0) & 0xFFFF'FF);
        ASSERT_EQ(TransferGraphImageToMemImg(&image, nullptr, keyed, 0, 0, 2, 1, 0, 0, 1), 0);
        int a0 = -1, a1 = -1;
        ColorFormatPixelToRgba(&f, At(keyed, 0, 0), nullptr, nullptr, nullptr, &a0);
        ColorFormatPixelToRgba(&f, At(keyed, 1, 0), nullptr, nullptr, nullptr, &a1);
        EXPECT_EQ(a0, 0);
        EXPECT_EQ(a1, 255);
    }
}

TEST_F(MemImgTransferTest, PalettedImagesCopyIndicesAndRebuildThePalette) {
    PaletteColorFormat p8;
    SetColorFormat8(&p8);
    p8.palette[0] = {0, 0, 0, 0};
    p8.palette[5] = {0x10, 0x20, 0xF8, 0};  // B, G, R
    p8.palette[9] = {0xFF, 0xFF, 0xFF, 0};
    std::vector<uint8_t> buffer;
    const GraphImage image = Image(buffer, p8, 3, 1, {5, 9, 0});
    for (int pixelFormat : {MEMIMG_FORMAT_565, MEMIMG_FORMAT_32}) {
        SCOPED_TRACE(pixelFormat);
        MEMIMG* m = Make(3, 1, pixelFormat, 1, 0);
        ASSERT_EQ(TransferGraphImageToMemImg(&image, nullptr, m, 0, 0, 3, 1, 0, 0, 0), 0);
        EXPECT_EQ(At(m, 0, 0), 5u);
        EXPECT_EQ(At(m, 1, 0), 9u);
        EXPECT_EQ(m->paletteCount, 10);
        if (pixelFormat == MEMIMG_FORMAT_565) {
            EXPECT_EQ(static_cast<const uint16_t*>(m->palette)[5], (0xF8 >> 3) << 11 | (0x20 >> 2) << 5 | 0x10 >> 3);
            EXPECT_EQ(static_cast<const uint16_t*>(m->palette)[9], 0xFFFF);
        } else {
            EXPECT_EQ(static_cast<const uint32_t*>(m->palette)[5], 0xF82010u);
        }
    }
    // A paletted image takes no direct-colour source.
    std::vector<uint8_t> other;
    const GraphImage rgb = Image(other, Rgb24(), 3, 1, {1, 2, 3});
    MEMIMG* m = Make(3, 1, MEMIMG_FORMAT_32, 1, 0);
    NewLogText();
    EXPECT_EQ(TransferGraphImageToMemImg(&rgb, nullptr, m, 0, 0, 3, 1, 0, 0, 0), -1);
    EXPECT_FALSE(NewLogText().empty());
}

TEST_F(MemImgTransferTest, RawImagesReceiveTheSourceValues) {
    PaletteColorFormat grey;
    SetColorFormatGrey8(&grey);
    grey.palette[7] = {1, 2, 3, 0};  // a palette does not matter to a raw transfer
    std::vector<uint8_t> buffer;
    const GraphImage image = Image(buffer, grey, 2, 1, {7, 200});
    MEMIMG* raw8 = Make(2, 1, MEMIMG_FORMAT_RAW8, 0, 0);
    ASSERT_EQ(TransferGraphImageToMemImg(&image, nullptr, raw8, 0, 0, 2, 1, 0, 0, 0), 0);
    EXPECT_EQ(At(raw8, 0, 0), 7u);
    EXPECT_EQ(At(raw8, 1, 0), 200u);

    PaletteColorFormat f16;
    BuildColorFormat(&f16, 16, 0xF800, 0x07E0, 0x001F, 0);
    std::vector<uint8_t> buffer16;
    const GraphImage image16 = Image(buffer16, f16, 2, 1, {0xBEEF, 0x1234});
    MEMIMG* raw16 = Make(2, 1, MEMIMG_FORMAT_RAW16, 0, 0);
    ASSERT_EQ(TransferGraphImageToMemImg(&image16, nullptr, raw16, 0, 0, 2, 1, 0, 0, 0), 0);
    EXPECT_EQ(At(raw16, 0, 0), 0xBEEFu);
    EXPECT_EQ(At(raw16, 1, 0), 0x1234u);
}

TEST_F(MemImgTransferTest, RectanglesAreClippedToBothImages) {
    std::vector<uint32_t> pixels;
    for (int i = 0; i < 16; ++i) pixels.push_back(0x010101u * (i + 1));
    std::vector<uint8_t> buffer;
    const GraphImage image = Image(buffer, Rgb24(), 4, 4, pixels);
    MEMIMG* m = Make(3, 3, MEMIMG_FORMAT_32, 0, 0);
    // Source from (-1, 2), 4 × 4, placed at (1, 0): only source column 0, rows 2 and 3 land,
    // at (2, 0) and (2, 1).
    ASSERT_EQ(TransferGraphImageToMemImg(&image, nullptr, m, -1, 2, 4, 4, 1, 0, 0), 0);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            uint32_t expected = 0x11111111u;
            if (x == 2 && y < 2) expected = 0xFF000000u | pixels[(2 + y) * 4 + 0];
            EXPECT_EQ(At(m, x, y), expected) << x << "," << y;
        }
    }
    NewLogText();
    EXPECT_EQ(TransferGraphImageToMemImg(&image, nullptr, m, 4, 0, 2, 2, 0, 0, 0), -1);
    EXPECT_EQ(TransferGraphImageToMemImg(&image, nullptr, m, 0, 0, 2, 2, 3, 0, 0), -1);
    EXPECT_EQ(TransferGraphImageToMemImg(&image, nullptr, m, 0, 0, INT32_MAX, 2, INT32_MIN, 0, 0), -1);
    EXPECT_FALSE(NewLogText().empty());
}

TEST_F(MemImgTransferTest, MemImgRectanglesCopyBetweenFormatsAndPalettes) {
    MEMIMG* src = Make(3, 2, MEMIMG_FORMAT_565, 0, 0);
    reinterpret_cast<uint16_t*>(src->pixels)[0] = 0xF800;
    reinterpret_cast<uint16_t*>(src->pixels)[1] = 0x001F;
    MEMIMG* dst = Make(4, 4, MEMIMG_FORMAT_32, 0, 0);
    const RECT rect = {0, 0, 2, 1};
    ASSERT_EQ(TransferMemImgRect(dst, src, &rect, 2, 3), 0);
    EXPECT_EQ(At(dst, 2, 3), 0xFFFF0000u);
    EXPECT_EQ(At(dst, 3, 3), 0xFF0000FFu);
    EXPECT_EQ(At(dst, 1, 3), 0x11111111u);
    // Clipped at the destination's right edge.
    ASSERT_EQ(TransferMemImgRect(dst, src, nullptr, 3, 0), 0);
    EXPECT_EQ(At(dst, 3, 0), 0xFFFF0000u);
    EXPECT_EQ(TransferMemImgRect(dst, src, nullptr, 4, 0), -1);

    // A paletted 5-6-5 source through its palette.
    MEMIMG* paletted = Make(2, 1, MEMIMG_FORMAT_565, 1, 0);
    static_cast<uint16_t*>(paletted->palette)[3] = 0x07E0;
    paletted->paletteCount = 4;
    paletted->pixels[0] = 3;
    paletted->pixels[1] = 3;
    ASSERT_EQ(TransferMemImgRect(dst, paletted, nullptr, 0, 0), 0);
    EXPECT_EQ(At(dst, 0, 0), 0xFF00FF00u);
    // Paletted into paletted: indices, and the count covers them.
    MEMIMG* indices = Make(2, 1, MEMIMG_FORMAT_565, 1, 0);
    ASSERT_EQ(TransferMemImgRect(indices, paletted, nullptr, 0, 0), 0);
    EXPECT_EQ(indices->pixels[1], 3);
    EXPECT_EQ(indices->paletteCount, 4);
}

}  // namespace
