// The painter's step from shapes to keyed pixels: outside a shape exactly the key colour,
// inside the shape's colour, its anti-aliased rim darkened toward its own shade and never
// toward the key, and colours the library would mistake for the key moved off it.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tools/resources/paint/canvas.h"
#include "tools/resources/paint/keyed_image.h"
#include "tools/resources/paint/tile_sheet.h"

namespace {

using namespace res;

TEST(PainterTest, OutsideIsKeyInsideIsTheColourAndTheRimIsADarkerShadeOfIt) {
    Canvas c(16, 16);
    c.Fill(Circle(8, 8, 5.3f), Solid(Rgb8(200, 100, 40)));
    const RgbImage image = Flatten(c);
    EXPECT_EQ(image.at(0, 0), kKeyColour);
    EXPECT_EQ(image.at(15, 15), kKeyColour);
    EXPECT_EQ(image.at(8, 8), (Rgb8Pixel{200, 100, 40}));
    int rim = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const Rgb8Pixel p = image.at(x, y);
            if (p == kKeyColour || p == Rgb8Pixel{200, 100, 40}) continue;
            ++rim;
            // Same hue, darker: red stays the largest channel, green never rises toward 128.
            EXPECT_LT(p.r, 200);
            EXPECT_GE(p.r, p.g);
            EXPECT_GE(p.g, p.b);
        }
    }
    EXPECT_GT(rim, 8);  // the edge is anti-aliased
}

TEST(PainterTest, ColoursTheLibraryWouldTakeForTheKeyAreMovedOffIt) {
    struct Case {
        Colour paint;
        bool opaque;
    };
    const Case cases[] = {
        {Rgb8(0, 128, 0), false}, {Rgb8(4, 130, 3), false}, {Rgb8(0, 126, 0), true},
        {Rgb8(0, 128, 0), true},
    };
    for (const Case& k : cases) {
        Canvas c(4, 4);
        c.Fill(Box(2, 2, 3, 3), Solid(k.paint));
        const RgbImage image = k.opaque ? FlattenOpaque(c) : Flatten(c);
        for (const Rgb8Pixel& p : image.pixels) {
            EXPECT_NE(p, kKeyColour);
            EXPECT_FALSE(IsNearKey(p)) << int(p.r) << "," << int(p.g) << "," << int(p.b);
        }
    }
    // Colours clearly apart from the key stay as they are.
    EXPECT_FALSE(IsNearKey({0, 100, 0}));
    EXPECT_FALSE(IsNearKey({40, 128, 0}));
    EXPECT_TRUE(IsNearKey({7, 131, 7}));
}

TEST(PainterTest, TileSheetsLayTilesRowByRowAndRefuseWrongSizes) {
    const RgbImage sheet = MakeTileSheet({5, 3, 2, 2, 2}, [](int i) {
        return RgbImage(2, 2, Rgb8Pixel{static_cast<uint8_t>(10 * (i + 1)), 0, 0});
    });
    ASSERT_EQ(sheet.width, 6);
    ASSERT_EQ(sheet.height, 4);
    EXPECT_EQ(sheet.at(0, 0).r, 10);
    EXPECT_EQ(sheet.at(5, 1).r, 30);
    EXPECT_EQ(sheet.at(2, 3).r, 50);   // tile 4: second row, second place
    EXPECT_EQ(sheet.at(5, 3), kKeyColour);  // the sixth place is beyond the count
    EXPECT_THROW(MakeTileSheet({1, 1, 1, 2, 2}, [](int) { return RgbImage(3, 2, kKeyColour); }),
                 std::runtime_error);
}

}  // namespace
