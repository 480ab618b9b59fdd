// The colour key of paletted software images after a transfer: the index of the first palette
// entry that shows the graph's transparent colour, and no key at all (rather than index 0)
// when no entry shows it.
#include <gtest/gtest.h>

#include "graphics/image_transfer/image_transfer_internal.h"
#include "tests/graphics/image_transfer/image_transfer_test_support.h"

namespace {

using ImageTransferPaletteKeyTest = ImageTransferFixture;

// An 8-bit image whose palette has no magenta, except the entry asked for.
TransferTestImage PalettedImage(int keyIndex, PaletteEntry keyEntry) {
    PaletteColorFormat format{};
    SetColorFormat8(&format);
    for (int i = 0; i < 256; ++i) {
        format.palette[i] = PaletteEntry{static_cast<uint8_t>(i), 40, 60, 0};
    }
    if (keyIndex >= 0) format.palette[keyIndex] = keyEntry;
    TransferTestImage image(format, 4, 2, 1);
    for (int x = 0; x < 4; ++x) {
        image.SetPixel(x, 0, 0);  // index 0 on the whole top row
        image.SetPixel(x, 1, static_cast<uint32_t>(x + 3));
    }
    return image;
}

TEST_F(ImageTransferPaletteKeyTest, KeyIsTheFirstEntryShowingTheColourOrNoneAtAll) {
    constexpr PaletteEntry kMagenta = {255, 0, 255, 0};  // b, g, r
    constexpr PaletteEntry kNearMagenta = {252, 1, 250, 0};  // magenta in 5-6-5 only
    struct Case {
        const char* name;
        int depth;
        int keyIndex;
        PaletteEntry entry;
        uint32_t expectedKey;
    } cases[] = {
        {"key at index 0, 16-bit", 16, 0, kMagenta, 0},
        {"key at index 0, 32-bit", 32, 0, kMagenta, 0},
        {"key at index 9", 32, 9, kMagenta, 9},
        {"no entry shows the key, 16-bit", 16, -1, kMagenta, kPalettedNoColorKey},
        {"no entry shows the key, 32-bit", 32, -1, kMagenta, kPalettedNoColorKey},
        {"near colour matches in 5-6-5", 16, 7, kNearMagenta, 7},
        {"near colour misses in 8-8-8", 32, 7, kNearMagenta, kPalettedNoColorKey},
    };
    SetColorKeyRGB(255, 0, 255);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UseDisplay(c.depth);
        TransferTestImage image = PalettedImage(c.keyIndex, c.entry);
        const HandleValue graph = MakeGraph(4, 2, 1, c.depth, 0, 1);
        ASSERT_GE(graph, 0);
        SurfaceDataRecord* data = DataOf(graph);
        ASSERT_EQ(data->image.paletted, 1);
        ASSERT_EQ(TransferImageToGraph2D(ImageSource(&image.image, nullptr), 0, 0,
                                         GetGraphRecord(graph)),
                  0);
        EXPECT_EQ(data->image.colorKey, c.expectedKey);
        // The indices arrive as they are, index 0 among them.
        const std::vector<uint8_t> expected = {0, 0, 0, 0, 3, 4, 5, 6};
        EXPECT_EQ(PieceBytes(graph), expected);
        DeleteGraphHandle(graph, 0);
    }
}

TEST_F(ImageTransferPaletteKeyTest, FindPaletteColorKeyTellsNoKeyFromIndexZero) {
    PaletteEntry palette[256] = {};
    for (PaletteEntry& e : palette) e = PaletteEntry{9, 9, 9, 0};
    EXPECT_EQ(FindPaletteColorKey(palette, 0x000000, 32), kPalettedNoColorKey);
    palette[0] = PaletteEntry{0, 0, 0, 0};
    EXPECT_EQ(FindPaletteColorKey(palette, 0x000000, 32), 0u);
    palette[0] = PaletteEntry{5, 6, 7, 0};
    palette[200] = PaletteEntry{0, 0, 0, 0};
    palette[201] = PaletteEntry{0, 0, 0, 0};
    EXPECT_EQ(FindPaletteColorKey(palette, 0x000000, 16), 200u);
}

}  // namespace
