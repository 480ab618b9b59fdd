// Graphs loaded through the public entries on every road, after the shipped start-up: a
// sprite keyed by the transparent colour set before it was loaded (and kept after the colour
// changes), a sheet divided into tiles, and a picture with an "_a" alpha image, each loaded as
// the road's own kind of graph (flag 0) and kept off the 3D device (flag 1). Their sizes read
// back through ApiQueryGraphSize, and drawn over a background they show their pixels exactly
// where every channel is 0 or 255; the whole picture equals the software screen's of the same
// depth, within the roads' rounding of partial alpha.
#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

#include "graphics/graphs/graph_handle_table.h"
#include "tests/support/bmp_file.h"
#include "tests/support/draw_road_bounds.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 128, kH = 96;  // the window
constexpr uint32_t kMagenta = 0xFF00FF;

uint32_t Background(int32_t x, int32_t y) { return ((x / 4 + y / 4) & 1) ? 0xFFFF00u : 0x0000FFu; }

// 8 x 6, the colour key (magenta or black, as the file is written) on a diagonal pattern,
// elsewhere colours that are neither key.
uint32_t SpriteColour(int32_t x, int32_t y, uint32_t key) {
    constexpr uint32_t kColours[6] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFFFFFF};
    return (x + y) % 5 == 0 ? key : kColours[(x * 3 + y * 5) % 6];
}
// 12 x 8, divided into 3 x 2 tiles of 4 x 4; each tile is one colour with a white corner
// pixel and a magenta (keyed) pixel, so that a tile taken from the wrong place shows.
uint32_t SheetColour(int32_t x, int32_t y) {
    constexpr uint32_t kTile[6] = {0xFFFF00, 0x00FF00, 0x0000FF, 0xFFFFFF, 0xFF0000, 0x00FFFF};
    const int32_t tx = x % 4, ty = y % 4;
    if (tx == 0 && ty == 0) return 0xFFFFFF;
    if (tx == 3 && ty == 1) return kMagenta;
    if (tx == ty + 1) return 0xFFFFFF ^ kTile[(y / 4) * 3 + x / 4];
    return kTile[(y / 4) * 3 + x / 4];
}
// 6 x 4 with an alpha image: a column of alpha 0, columns of 255, and one of 128.
uint32_t GlowColour(int32_t x, int32_t y) { return (x + y) & 1 ? 0xFF00FFu : 0x00FF00u; }
uint32_t GlowAlpha(int32_t x, int32_t) { return x == 0 ? 0 : x == 5 ? 128 : 255; }
uint32_t GlowAlphaPixel(int32_t x, int32_t y) { return GlowAlpha(x, y) * 0x010101u; }

struct Place {
    int32_t x, y;
};
// Where each graph is drawn; row 0 holds the graphs of flag 0, row 1 those of flag 1.
constexpr Place kSpriteAt[2] = {{2, 2}, {2, 50}};
constexpr Place kOldKeySpriteAt[2] = {{14, 2}, {14, 50}};
constexpr Place kTilesAt[2] = {{26, 2}, {26, 50}};  // tile k at + (6k, 0)
constexpr Place kGlowAt[2] = {{64, 2}, {64, 50}};
constexpr Place kRotatedTileAt[2] = {{84, 16}, {84, 64}};     // tile 4 rotated, scale 2
constexpr Place kRotatedAloneAt[2] = {{100, 16}, {100, 64}};  // the same pixels, own graph

class GraphLoadEntriesRoadsTest : public DrawRoadFixture {
protected:
    void WriteFiles() {
        WriteBmp24File(Path("back.bmp"), kW, kH, Background);
        WriteBmp24File(Path("magenta.bmp"), 8, 6,
                       [](int x, int y) { return SpriteColour(x, y, kMagenta); });
        WriteBmp24File(Path("black.bmp"), 8, 6, [](int x, int y) { return SpriteColour(x, y, 0); });
        WriteBmp24File(Path("sheet.bmp"), 12, 8, SheetColour);
        WriteBmp24File(Path("tile4.bmp"), 4, 4,
                       [](int x, int y) { return SheetColour(4 + x, 4 + y); });
        WriteBmp24File(Path("glow.bmp"), 6, 4, GlowColour);
        WriteBmp24File(Path("glow_a.bmp"), 6, 4, GlowAlphaPixel);
    }

    // The back screen after the loads and draws on the road; the loads' results are checked.
    std::vector<uint32_t> DrawLoaded(const DrawRoad& road) {
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(ApiSetDrawTarget(-2), 0);
        const int back = ApiLoadGraphFromPath(Path("back.bmp").c_str(), 0);
        EXPECT_NE(back, -1);
        EXPECT_EQ(ApiDrawGraphAt(0, 0, back, 0), 0);
        for (int flag = 0; flag < 2; ++flag) {
            SCOPED_TRACE(testing::Message() << "flag " << flag);
            // The key set now holds for the graphs loaded now, and stays theirs afterwards.
            EXPECT_EQ(ApiSetColorKeyRGB(255, 0, 255), 0);
            const int magenta = ApiLoadGraphFromPath(Path("magenta.bmp").c_str(), flag);
            int tiles[6];
            EXPECT_EQ(
                ApiLoadDivGraphFromPath(Path("sheet.bmp").c_str(), 6, 3, 2, 4, 4, tiles, flag), 0);
            const int alone = ApiLoadGraphFromPath(Path("tile4.bmp").c_str(), flag);
            EXPECT_EQ(ApiSetColorKeyRGB(0, 0, 0), 0);
            const int black = ApiLoadGraphFromPath(Path("black.bmp").c_str(), flag);
            const int glow = ApiLoadGraphFromPath(Path("glow.bmp").c_str(), flag);
            for (const int g : {magenta, black, alone, glow}) EXPECT_NE(g, -1);
            for (const int g : {magenta, black, alone, glow, tiles[0], tiles[5]}) {
                const GraphRecord* record = GetGraphRecord(g);
                EXPECT_NE(record, nullptr);
                if (record != nullptr) {
                    EXPECT_EQ(record->flags.is3D, road.direct3D && flag == 0 ? 1 : 0) << g;
                }
            }

            int32_t w = 0, h = 0;
            EXPECT_EQ(ApiQueryGraphSize(magenta, &w, &h), 0);
            EXPECT_EQ(w * 100 + h, 8 * 100 + 6);
            EXPECT_EQ(ApiQueryGraphSize(glow, &w, nullptr), 0);
            EXPECT_EQ(w, 6);
            for (const int t : tiles) {
                EXPECT_EQ(ApiQueryGraphSize(t, &w, &h), 0);
                EXPECT_EQ(w * 100 + h, 4 * 100 + 4);
            }

            EXPECT_EQ(ApiDrawGraphAt(kSpriteAt[flag].x, kSpriteAt[flag].y, magenta, 1), 0);
            EXPECT_EQ(ApiDrawGraphAt(kOldKeySpriteAt[flag].x, kOldKeySpriteAt[flag].y, black, 1),
                      0);
            for (int k = 0; k < 6; ++k) {
                EXPECT_EQ(ApiDrawGraphAt(kTilesAt[flag].x + 6 * k, kTilesAt[flag].y, tiles[k], 1),
                          0);
            }
            EXPECT_EQ(ApiDrawGraphAt(kGlowAt[flag].x, kGlowAt[flag].y, glow, 1), 0);
            // A tile rotated and scaled draws as a graph of its own pixels does, on any road.
            EXPECT_EQ(ApiDrawGraphRotatedInt(kRotatedTileAt[flag].x, kRotatedTileAt[flag].y, 2.0,
                                             std::numbers::pi / 2, tiles[4], 1, 0),
                      0);
            EXPECT_EQ(ApiDrawGraphRotatedInt(kRotatedAloneAt[flag].x, kRotatedAloneAt[flag].y, 2.0,
                                             std::numbers::pi / 2, alone, 1, 0),
                      0);
        }
        int32_t w = 0, h = 0;
        EXPECT_EQ(ApiQueryGraphSize(-2, &w, &h), 0);
        EXPECT_EQ(w * 1000 + h, kW * 1000 + kH);
        EXPECT_EQ(ApiQueryGraphSize(-4, &w, &h), 0);
        EXPECT_EQ(w * 1000 + h, kW * 1000 + kH);
        EXPECT_EQ(ApiQueryGraphSize(0x7FFF, &w, &h), -1);
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(RECT{0, 0, kW, kH});
        StopRoad();
        return out;
    }
};

TEST_P(GraphLoadEntriesRoadsTest, LoadedGraphsAndTilesShowTheirPixelsAsOnTheSoftwareScreen) {
    WriteFiles();
    const std::vector<uint32_t> drawn = DrawLoaded(GetParam());
    ASSERT_EQ(drawn.size(), static_cast<size_t>(kW * kH));
    const auto at = [&](int32_t x, int32_t y) { return drawn[static_cast<size_t>(y * kW + x)]; };

    for (int flag = 0; flag < 2; ++flag) {
        SCOPED_TRACE(testing::Message() << "flag " << flag);
        int wrong = 0;
        const auto expect = [&](int32_t x, int32_t y, uint32_t colour, const char* what) {
            if (at(x, y) != colour && ++wrong <= 8) {
                ADD_FAILURE() << what << " at " << x << "," << y << ": " << std::hex << at(x, y)
                              << " expected " << colour;
            }
        };
        for (int32_t y = 0; y < 6; ++y) {
            for (int32_t x = 0; x < 8; ++x) {
                const bool keyed = (x + y) % 5 == 0;
                const int32_t mx = kSpriteAt[flag].x + x, my = kSpriteAt[flag].y + y;
                expect(mx, my, keyed ? Background(mx, my) : SpriteColour(x, y, 0), "magenta key");
                const int32_t bx = kOldKeySpriteAt[flag].x + x, by = kOldKeySpriteAt[flag].y + y;
                expect(bx, by, keyed ? Background(bx, by) : SpriteColour(x, y, 0), "black key");
            }
        }
        for (int k = 0; k < 6; ++k) {
            for (int32_t y = 0; y < 4; ++y) {
                for (int32_t x = 0; x < 4; ++x) {
                    const int32_t px = kTilesAt[flag].x + 6 * k + x, py = kTilesAt[flag].y + y;
                    const uint32_t c = SheetColour((k % 3) * 4 + x, (k / 3) * 4 + y);
                    expect(px, py, c == kMagenta ? Background(px, py) : c, "tile");
                }
            }
        }
        for (int32_t y = 0; y < 4; ++y) {
            for (int32_t x = 0; x < 5; ++x) {  // alpha 0 and 255; column 5 is half
                const int32_t px = kGlowAt[flag].x + x, py = kGlowAt[flag].y + y;
                expect(px, py, GlowAlpha(x, y) == 0 ? Background(px, py) : GlowColour(x, y),
                       "alpha");
            }
            const int32_t px = kGlowAt[flag].x + 5, py = kGlowAt[flag].y + y;
            EXPECT_NE(at(px, py), Background(px, py)) << "half alpha at " << px << "," << py;
            EXPECT_NE(at(px, py), GlowColour(5, y)) << "half alpha at " << px << "," << py;
        }
        // The rotated tile and its own graph: the same 8 x 8 block, and it is the tile's.
        int tilePixels = 0;
        for (int32_t y = -8; y < 8; ++y) {
            for (int32_t x = -8; x < 8; ++x) {
                const uint32_t t = at(kRotatedTileAt[flag].x + x, kRotatedTileAt[flag].y + y);
                const uint32_t a = at(kRotatedAloneAt[flag].x + x, kRotatedAloneAt[flag].y + y);
                if ((t != a) && ++wrong <= 8) {
                    ADD_FAILURE() << "rotated tile at offset " << x << "," << y << ": " << std::hex
                                  << t << ", its own graph " << a;
                }
                tilePixels += t == 0x00FFFF || t == 0xFF0000 ? 1 : 0;  // tile 4's colours
            }
        }
        EXPECT_GE(tilePixels, 30);
        EXPECT_EQ(wrong, 0);
    }

    // The whole picture is the software screen's, but for the half-alpha column, which the
    // roads round within the stated bounds.
    if (!GetParam().softwareScreen) {
        const std::vector<uint32_t> soft = DrawLoaded(SoftwareScreenRoad(GetParam().depth));
        std::vector<uint32_t> expected = soft;
        const int32_t tolerance =
            road_bounds::BlendSteps(GetParam(), kBlendNone, 255, false, /*partialAlpha=*/true);
        for (int flag = 0; flag < 2; ++flag) {
            for (int32_t y = 0; y < 4; ++y) {
                const size_t i =
                    static_cast<size_t>((kGlowAt[flag].y + y) * kW + kGlowAt[flag].x + 5);
                EXPECT_LE(ChannelDifference(soft[i], drawn[i]), tolerance)
                    << std::hex << soft[i] << " " << drawn[i];
                expected[i] = drawn[i];
            }
        }
        // The device turns an even-sized texture graph one pixel to the left of the software
        // screen's place (the stated bound); the 2D graphs of flag 1 are drawn in software.
        if (GetParam().direct3D) {
            for (const Place& c : {kRotatedTileAt[0], kRotatedAloneAt[0]}) {
                for (int32_t y = c.y - 6; y < c.y + 6; ++y) {
                    for (int32_t x = c.x - 6; x < c.x + 6; ++x) {
                        const uint32_t right = x + 1 < c.x + 6
                                                   ? soft[static_cast<size_t>(y * kW + x + 1)]
                                                   : Background(x + 1, y);
                        expected[static_cast<size_t>(y * kW + x)] =
                            right == Background(x + 1, y) ? Background(x, y) : right;
                    }
                }
            }
        }
        EXPECT_EQ(CountDiffering(expected, drawn, kW), 0);
    }
}

INSTANTIATE_ON_DRAW_ROADS(GraphLoadEntriesRoadsTest);

}  // namespace
