// The graph drawing family on every road, through the shipped start-up: on a small window a
// background graph, then a sprite at a point (keyed, and opaque off the top-left corner),
// stretched and mirrored, turned, rotated (a quarter turn doubled, mirrored unturned, and at an
// odd angle and scale), onto four corners (a doubled rectangle and a free quadrilateral) and
// in parts (plain and stretched). Draws whose pixels follow from the sprite's are checked pixel
// for pixel on each road; every road's whole picture must equal the software screen's of the
// same depth. Blends in each mode with a bright, drawn on the same background, agree with the
// software screen within one step of a channel (the roads round partial blends differently).
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graph_handle_table.h"
#include "tests/graphics/generated_graph_test_support.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 96, kH = 64;          // the window
constexpr int32_t kSpriteW = 8, kSpriteH = 6;

// Every channel 0 or 255, so that every screen and texture format holds it exactly; black,
// the transparent colour, on a diagonal pattern.
uint32_t SpriteColour(int32_t x, int32_t y) {
    if ((x + y) % 5 == 0) return 0;
    return ((x & 1) ? 0xFF0000u : 0) | ((y & 1) ? 0x00FF00u : 0) |
           (((x + y) & 2) ? 0x0000FFu : 0) | (x == 6 ? 0x00FF00u : 0);
}
// The background: yellow and blue 4 x 4 checks, no black.
uint32_t BackgroundColour(int32_t x, int32_t y) {
    return ((x / 4 + y / 4) & 1) ? 0xFFFF00u : 0x0000FFu;
}

// The picture every road must show: the background with the draws whose pixels follow from
// the sprite's; unknown (kFree) where the draw's sampling is only compared across roads.
constexpr uint32_t kFree = 0xFF000000u;

struct Expected {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(kW * kH);
    Expected() {
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) pixels[y * kW + x] = BackgroundColour(x, y);
        }
    }
    // Screen pixel (x, y) shows sprite pixel (sx, sy); keyed: black leaves the background.
    void Put(int32_t x, int32_t y, int32_t sx, int32_t sy, bool keyed) {
        if (x < 0 || y < 0 || x >= kW || y >= kH) return;
        const uint32_t c = SpriteColour(sx, sy);
        if (!(keyed && c == 0)) pixels[y * kW + x] = c;
    }
    void Free(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        for (int32_t y = y1; y < y2; ++y) {
            for (int32_t x = x1; x < x2; ++x) pixels[y * kW + x] = kFree;
        }
    }
};

struct FamilyCase {
    const char* name;
    int (*draw)(HandleValue sprite);
    void (*expect)(Expected& e);
};

const FamilyCase kFamily[] = {
    {"at a point, opaque, partly off the top-left",
     [](HandleValue s) { return BlitGraphAt(-3, -2, s, 0); },
     [](Expected& e) {
         for (int y = 0; y < kSpriteH; ++y)
             for (int x = 0; x < kSpriteW; ++x) e.Put(x - 3, y - 2, x, y, false);
     }},
    {"at a point, keyed", [](HandleValue s) { return BlitGraphAt(10, 2, s, 1); },
     [](Expected& e) {
         for (int y = 0; y < kSpriteH; ++y)
             for (int x = 0; x < kSpriteW; ++x) e.Put(10 + x, 2 + y, x, y, true);
     }},
    {"stretched twice, mirrored by x1 > x2",
     [](HandleValue s) { return BlitGraphStretched(40, 2, 24, 14, s, 1); },
     [](Expected& e) {
         for (int j = 0; j < 12; ++j)
             for (int i = 0; i < 16; ++i) e.Put(24 + i, 2 + j, 7 - i / 2, j / 2, true);
     }},
    {"turned", [](HandleValue s) { return BlitGraphTurned(44, 2, s, 1); },
     [](Expected& e) {
         for (int y = 0; y < kSpriteH; ++y)
             for (int x = 0; x < kSpriteW; ++x) e.Put(44 + x, 2 + y, 7 - x, y, true);
     }},
    {"rotated unturned, mirrored",
     [](HandleValue s) { return BlitGraphRotatedInt(60, 8, 1.0, 0.0, s, 0, 1); },
     [](Expected& e) {
         // Mirrored about the centre (4, 3) that lands on (60, 8).
         for (int y = 0; y < kSpriteH; ++y)
             for (int x = 0; x < kSpriteW; ++x) e.Put(64 - x, 5 + y, x, y, false);
     }},
    {"rotated a quarter at twice the size",
     [](HandleValue s) { return BlitGraphRotatedInt(82, 16, 2.0, std::numbers::pi / 2, s, 0, 0); },
     [](Expected& e) {
         // Sprite pixel (x, y) is the 2 x 2 block at (87 - 2y, 8 + 2x).
         for (int y = 0; y < kSpriteH; ++y)
             for (int x = 0; x < kSpriteW; ++x)
                 for (int d = 0; d < 4; ++d) e.Put(87 - 2 * y + d % 2, 8 + 2 * x + d / 2, x, y, false);
     }},
    {"four corners on a doubled rectangle",
     [](HandleValue s) { return BlitGraphQuad(2, 24, 18, 24, 18, 36, 2, 36, s, 1); },
     [](Expected& e) {
         for (int j = 0; j < 12; ++j)
             for (int i = 0; i < 16; ++i) e.Put(2 + i, 24 + j, i / 2, j / 2, true);
     }},
    {"part of the graph", [](HandleValue s) { return BlitGraphRect(24, 24, 2, 1, 4, 3, s, 1, 0); },
     [](Expected& e) {
         for (int j = 0; j < 3; ++j)
             for (int i = 0; i < 4; ++i) e.Put(24 + i, 24 + j, 2 + i, 1 + j, true);
     }},
    {"part of the graph stretched twice",
     [](HandleValue s) { return BlitGraphRectStretched(32, 24, 40, 30, 2, 1, 4, 3, s, 1); },
     [](Expected& e) {
         for (int j = 0; j < 6; ++j)
             for (int i = 0; i < 8; ++i) e.Put(32 + i, 24 + j, 2 + i / 2, 1 + j / 2, true);
     }},
    {"stretched two and a half times",
     [](HandleValue s) { return BlitGraphStretched(2, 40, 22, 50, s, 1); },
     [](Expected& e) { e.Free(2, 40, 22, 50); }},
    {"four free corners",
     [](HandleValue s) { return BlitGraphQuad(30, 40, 48, 42, 46, 56, 28, 52, s, 1); },
     [](Expected& e) { e.Free(28, 40, 49, 57); }},
    {"rotated 30 degrees at one and a half times",
     [](HandleValue s) {
         return BlitGraphRotated(70.0f, 46.0f, 1.5, std::numbers::pi / 6, s, 1, 0);
     },
     [](Expected& e) { e.Free(60, 36, 81, 57); }},
};

class DrawFamilyRoadsTest : public DrawRoadFixture {
protected:
    // The back screen after the background and the family's draws, on the road.
    static std::vector<uint32_t> DrawFamily(const DrawRoad& road) {
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        const HandleValue background = MakeGeneratedGraph(kW, kH, BackgroundColour);
        const HandleValue sprite = MakeGeneratedGraph(kSpriteW, kSpriteH, SpriteColour);
        EXPECT_EQ(GetGraphRecord(sprite)->flags.is3D, road.direct3D ? 1 : 0);
        EXPECT_EQ(BlitGraphAt(0, 0, background, 0), 0);
        for (const FamilyCase& c : kFamily) EXPECT_EQ(c.draw(sprite), 0) << c.name;
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(RECT{0, 0, kW, kH});
        StopRoad();
        return out;
    }
};

TEST_P(DrawFamilyRoadsTest, EveryDrawOfTheFamilyGivesTheSoftwareScreensPicture) {
    const std::vector<uint32_t> drawn = DrawFamily(GetParam());
    ASSERT_EQ(drawn.size(), static_cast<size_t>(kW * kH));

    // Each case's known pixels, case by case so that a failure names the draw.
    for (const FamilyCase& c : kFamily) {
        SCOPED_TRACE(c.name);
        Expected alone;
        c.expect(alone);
        Expected before;
        int wrong = 0;
        for (size_t i = 0; i < drawn.size(); ++i) {
            if (alone.pixels[i] == before.pixels[i] || alone.pixels[i] == kFree) continue;
            if (drawn[i] != alone.pixels[i] && ++wrong <= 5) {
                ADD_FAILURE() << "at " << i % kW << "," << i / kW << ": " << std::hex << drawn[i]
                              << " expected " << alone.pixels[i];
            }
        }
        EXPECT_EQ(wrong, 0);
    }
    // The free draws changed their places.
    Expected all;
    for (const FamilyCase& c : kFamily) c.expect(all);
    int freeChanged = 0;
    for (size_t i = 0; i < drawn.size(); ++i) {
        freeChanged += all.pixels[i] == kFree && drawn[i] != Expected().pixels[i] ? 1 : 0;
    }
    EXPECT_GT(freeChanged, 150);

    // The whole picture is the software screen's of the same depth.
    if (!GetParam().softwareScreen) {
        const std::vector<uint32_t> soft = DrawFamily(SoftwareScreenRoad(GetParam().depth));
        EXPECT_EQ(CountDiffering(soft, drawn, kW), 0);
    }
}

struct BlendCase {
    int32_t mode, param;
};
const BlendCase kBlends[] = {
    {kBlendNone, 255},      {kBlendAlpha, 255}, {kBlendAlpha, 128}, {kBlendAlpha, 40},
    {kBlendAdd, 255},       {kBlendAdd, 100},   {kBlendSubtract, 255}, {kBlendSubtract, 100},
    {kBlendMultiply, 255},
};
struct Bright {
    int32_t r, g, b;
};
const Bright kBrights[] = {{255, 255, 255}, {200, 120, 255}};

// Mid-level colours, so that every mode changes both source and destination.
uint32_t BlendBackground(int32_t x, int32_t y) {
    return ((x / 3 + y / 3) & 1) ? 0x80C040u : 0x406080u;
}

class BlendRoadsTest : public DrawRoadFixture {
protected:
    // Each blend with each bright, a sprite unscaled and one stretched in a cell of the grid.
    static std::vector<uint32_t> DrawBlends(const DrawRoad& road) {
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        const auto sprite = [](int32_t x, int32_t y) {
            return (x + y) % 5 == 0 ? 0u : 0x204060u + 0x100000u * x + 0x000C10u * y;
        };
        const HandleValue back = MakeGeneratedGraph(kW, kH, BlendBackground);
        const HandleValue graph = MakeGeneratedGraph(kSpriteW, kSpriteH, sprite);
        EXPECT_EQ(BlitGraphAt(0, 0, back, 0), 0);
        int cell = 0;
        for (const Bright& bright : kBrights) {
            for (const BlendCase& blend : kBlends) {
                const int32_t x = (cell % 4) * 24, y = (cell / 4) * 12;
                EXPECT_EQ(ApiSetBlendMode(blend.mode, blend.param), 0);
                EXPECT_EQ(ApiSetBrightnessRGB(bright.r, bright.g, bright.b), 0);
                EXPECT_EQ(BlitGraphAt(x + 1, y + 1, graph, 1), 0);
                EXPECT_EQ(BlitGraphStretched(x + 10, y + 1, x + 22, y + 10, graph, 1), 0);
                ++cell;
            }
        }
        EXPECT_EQ(ApiSetBlendMode(kBlendNone, 255), 0);
        EXPECT_EQ(ApiSetBrightnessRGB(255, 255, 255), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(RECT{0, 0, kW, kH});
        StopRoad();
        return out;
    }
};

// The roads may round a partial blend or a bright differently (the device to nearest, the
// software renderer's tables down): each channel within one step of the software screen's.
TEST_P(BlendRoadsTest, BlendsAndBrightsAgreeWithTheSoftwareScreenWithinOneStep) {
    const std::vector<uint32_t> drawn = DrawBlends(GetParam());
    const std::vector<uint32_t> soft = DrawBlends(SoftwareScreenRoad(GetParam().depth));
    // One step of a channel: 1 of 255 at 32 bits; at 16 bits one step of the 5- or 6-bit
    // channel, as the 8-bit value read back (8 for red and blue).
    const int32_t step = GetParam().depth == 16 ? 8 : 1;
    EXPECT_EQ(CountDiffering(soft, drawn, kW, step), 0);
    // The grid really blended: most of each cell's sprite pixels differ from the background
    // by more than the rounding.
    int changed = 0;
    for (size_t i = 0; i < drawn.size(); ++i) {
        const uint32_t under = BlendBackground(static_cast<int32_t>(i % kW), static_cast<int32_t>(i / kW));
        changed += ChannelDifference(drawn[i], under) > 2 * step ? 1 : 0;
    }
    EXPECT_GT(changed, 1000);
}

INSTANTIATE_ON_DRAW_ROADS(DrawFamilyRoadsTest);
INSTANTIATE_ON_DRAW_ROADS(BlendRoadsTest);

}  // namespace
