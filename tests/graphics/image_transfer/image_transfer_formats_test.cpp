// Every colour format a decoded image comes in, put into graphs of 16-bit and 32-bit surfaces
// and software images, with and without the key-to-alpha option and an alpha image: the
// piece holds exactly what the colour-converting transfer makes of the same image.
#include <gtest/gtest.h>

#include <string>

#include "graphics/surfaces/surface_formats.h"
#include "graphics/pixels/transfer_pixels.h"
#include "tests/graphics/image_transfer/image_transfer_test_support.h"

namespace {

struct DestinationCase {
    const char* name;
    int display;  // display depth while the graph is made
    int softImage, depth, alpha;
};
const DestinationCase kDestinations[] = {
    {"16-bit surface", 16, 0, 0, 0},
    {"32-bit surface", 32, 0, 0, 0},
    {"16-bit software image", 16, 1, 16, 0},
    {"16-bit software image with alpha", 16, 0, 16, 1},
    {"32-bit software image", 32, 1, 32, 0},
    {"32-bit software image with alpha", 32, 0, 32, 1},
};

using ImageTransferFormatsTest = ImageTransferFixture;

TEST_F(ImageTransferFormatsTest, EverySourceFormatLandsAsTheConvertingTransferMakesIt) {
    constexpr int kWidth = 7, kHeight = 3;
    SetColorKeyRGB(255, 0, 255);
    for (const DestinationCase& dest : kDestinations) {
        UseDisplay(dest.display);
        for (const SourceFormatCase& format : kSourceFormats) {
            for (int keyToAlpha = 0; keyToAlpha <= 1; ++keyToAlpha) {
                for (int withAlphaImage = 0; withAlphaImage <= 1; ++withAlphaImage) {
                    SCOPED_TRACE(std::string(dest.name) + " <- " + format.name +
                                 (keyToAlpha ? ", key to alpha" : "") +
                                 (withAlphaImage ? ", alpha image" : ""));
                    TransferTestImage source(MakeSourceFormat(format), kWidth, kHeight, 3);
                    // One pixel of the key colour, so that key to alpha has something to do.
                    if (format.special == 0) source.SetPixel(2, 1, source.Value(255, 0, 255, 255));
                    PaletteColorFormat alphaFormat{};
                    SetColorFormatRgb24(&alphaFormat);
                    TransferTestImage alpha(alphaFormat, kWidth, kHeight, 9);

                    const HandleValue graph =
                        MakeGraph(kWidth, kHeight, dest.softImage, dest.depth, dest.alpha);
                    ASSERT_GE(graph, 0);
                    const ImageTransferSource from =
                        ImageSource(&source.image, withAlphaImage ? &alpha.image : nullptr);
                    ASSERT_EQ(TransferImageToSurface2D(from, nullptr, 0, 0, PieceOf(graph),
                                                       keyToAlpha),
                              0);

                    const PaletteColorFormat* destFormat = nullptr;
                    int bytes = 0;
                    const std::vector<uint8_t> actual = PieceBytes(graph, &destFormat, &bytes);
                    ASSERT_NE(destFormat, nullptr);
                    std::vector<uint8_t> expected(actual.size(), 0);
                    const RECT all = {0, 0, kWidth, kHeight};
                    ASSERT_GE(TransferPixels(expected.data(), kWidth * bytes, destFormat,
                                             source.image.pixels, source.image.pitch,
                                             &source.image.colorFormat,
                                             withAlphaImage ? alpha.image.pixels : nullptr,
                                             alpha.image.pitch,
                                             withAlphaImage ? &alpha.image.colorFormat : nullptr,
                                             0, 0, &all, 0, keyToAlpha, 0xFF00FF, kDitherNone, 0,
                                             0, 0),
                              0);
                    EXPECT_EQ(actual, expected);

                    // The key-colour pixel of an alpha destination is see-through exactly when
                    // the key goes to alpha and no other alpha source decides.
                    const SurfaceDataRecord* data = DataOf(graph);
                    if (dest.alpha && format.special == 0 && format.a == 0 && !withAlphaImage) {
                        int a = -1;
                        uint32_t pixel = 0;
                        std::memcpy(&pixel, &actual[(1 * kWidth + 2) * bytes],
                                    static_cast<size_t>(bytes));
                        ColorFormatPixelToRgba(&destFormat->format, pixel, nullptr, nullptr,
                                               nullptr, &a);
                        EXPECT_EQ(a, keyToAlpha ? 0 : 255);
                    }
                    // A surface carries the graph's colour key in the display's format.
                    if (!data->software) {
                        plat::ColorKey key{};
                        ASSERT_EQ(data->surface->GetColorKey(plat::DDCKEY_SRCBLT, &key),
                                  plat::DD_OK);
                        EXPECT_EQ(key.low, MakeSurfaceScreenColor(255, 0, 255));
                    }
                    DeleteGraphHandle(graph, 0);
                }
            }
        }
    }
}

}  // namespace
