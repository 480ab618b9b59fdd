// The made images against the game's table: sizes and tile layouts, the key colour around
// every shape, something drawn in every tile the game shows, and no colour inside a shape that
// the library would take for the key.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "tests/tools/bmp_file.h"
#include "tests/tools/resource_table.h"

namespace {

class ImageFileTest : public ::testing::TestWithParam<ImageEntry> {};

// The tile rectangle of tile i; a whole image is one tile.
struct TileRect {
    int left, top, width, height;
};

TileRect TileOf(const ImageEntry& e, const BmpFile& bmp, int i) {
    if (!e.tiled) return {0, 0, bmp.width, bmp.height};
    return {(i % e.perRow) * e.width, (i / e.perRow) * e.height, e.width, e.height};
}

bool TileShown(const ImageEntry& e, int i) {
    const bool font = e.name == "fonts.bmp" || e.name == "fontl.bmp";
    return !font || FontTileUsed(i);
}

TEST_P(ImageFileTest, HasTheTableLayout) {
    const ImageEntry& e = GetParam();
    const BmpFile bmp = ReadBmp24(ResourcePath(e.name));
    ASSERT_TRUE(bmp.ok) << e.name << ": " << bmp.error;
    if (e.tiled) {
        EXPECT_EQ(bmp.width, e.perRow * e.width) << e.name;
        EXPECT_EQ(bmp.height, e.rows * e.height) << e.name;
        EXPECT_EQ(e.count, e.perRow * e.rows) << e.name;
    } else {
        // A whole image takes its size from the file: a sprite-sized, non-empty picture.
        EXPECT_GE(bmp.width, 8) << e.name;
        EXPECT_GE(bmp.height, 8) << e.name;
        EXPECT_LE(bmp.width, 128) << e.name;
        EXPECT_LE(bmp.height, 128) << e.name;
    }
}

TEST_P(ImageFileTest, EveryTileIsKeyedAroundAShapeWithoutNearKeyColours) {
    const ImageEntry& e = GetParam();
    const BmpFile bmp = ReadBmp24(ResourcePath(e.name));
    ASSERT_TRUE(bmp.ok) << e.name << ": " << bmp.error;
    for (int i = 0; i < e.count; ++i) {
        const TileRect t = TileOf(e, bmp, i);
        int drawn = 0, nearKey = 0, keyed = 0;
        for (int y = t.top; y < t.top + t.height; ++y) {
            for (int x = t.left; x < t.left + t.width; ++x) {
                const BmpPixel p = bmp.at(x, y);
                if (IsKey(p)) {
                    ++keyed;
                } else {
                    ++drawn;
                    if (IsNearKey(p)) ++nearKey;
                }
            }
        }
        EXPECT_EQ(nearKey, 0) << e.name << " tile " << i << ": near-key colours inside shapes";
        if (e.opaque) {
            EXPECT_EQ(keyed, 0) << e.name << " tile " << i << " is drawn opaque";
            continue;
        }
        const int right = t.left + t.width - 1, bottom = t.top + t.height - 1;
        for (const auto& [x, y] : {std::pair{t.left, t.top}, std::pair{right, t.top},
                                   std::pair{t.left, bottom}, std::pair{right, bottom}}) {
            EXPECT_TRUE(IsKey(bmp.at(x, y))) << e.name << " tile " << i << " corner " << x << ","
                                             << y;
        }
        if (TileShown(e, i)) {
            // Something real: at least a twentieth of the tile or 12 pixels.
            EXPECT_GE(drawn, std::min(12, t.width * t.height / 20)) << e.name << " tile " << i;
        } else {
            EXPECT_EQ(drawn, 0) << e.name << " tile " << i << " is never drawn: key only";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Resources, ImageFileTest, ::testing::ValuesIn(ImageTable()),
                         [](const ::testing::TestParamInfo<ImageEntry>& info) {
                             std::string name = info.param.name;
                             for (char& c : name) {
                                 if (c == '.') c = '_';
                             }
                             return name;
                         });

// Tiles that play one after the other differ from each other (an animation, not a copy).
TEST(ImageFileAnimationTest, AnimatedSheetsChangeFromTileToTile) {
    for (const ImageEntry& e : ImageTable()) {
        if (!e.tiled || e.name == "frame.bmp" || e.name == "fonts.bmp" || e.name == "fontl.bmp") {
            continue;
        }
        const BmpFile bmp = ReadBmp24(ResourcePath(e.name));
        ASSERT_TRUE(bmp.ok) << e.name;
        for (int i = 1; i < e.count; ++i) {
            const TileRect a = TileOf(e, bmp, i - 1), b = TileOf(e, bmp, i);
            int differing = 0;
            for (int y = 0; y < a.height; ++y) {
                for (int x = 0; x < a.width; ++x) {
                    const BmpPixel p = bmp.at(a.left + x, a.top + y);
                    const BmpPixel q = bmp.at(b.left + x, b.top + y);
                    if (p.r != q.r || p.g != q.g || p.b != q.b) ++differing;
                }
            }
            EXPECT_GT(differing, 0) << e.name << " tiles " << i - 1 << " and " << i;
        }
    }
}

}  // namespace
