// Every drawing road against the software screen of its depth, each through the real
// start-up: the library started on the road (on the 3D device graphs become textures and
// draws become vertices the device rasterises) and on the software screen, the same graphs and
// texts drawn on both, the back screens compared pixel for pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/font/font.h"
#include "graphics/font/string_draw.h"
#include "graphics/graphs/graph_handle_table.h"
#include "platform/testing/d3d_test_controls.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/draw_road_bounds.h"
#include "tests/support/draw_road_table.h"

namespace {

// Varied colours with black, the transparent colour, on a diagonal pattern.
uint32_t SpriteColour(int32_t x, int32_t y) {
    if ((x + 2 * y) % 7 == 0) return 0;
    return 0x102030u + 0x070000u * static_cast<uint32_t>(x) + 0x000705u * static_cast<uint32_t>(y);
}
uint32_t BackgroundColour(int32_t x, int32_t y) {
    return 0x604020u + 0x020000u * static_cast<uint32_t>(x % 40) + 0x000301u * static_cast<uint32_t>(y % 50);
}

constexpr RECT kRegion{0, 0, 64, 80};

struct DrawCase {
    const char* name;
    int32_t blendMode, blendParam, transFlag;
};
const DrawCase kCases[] = {
    {"blend mode 0", kBlendNone, 255, 0},
    {"blend mode 1 at 255", kBlendAlpha, 255, 0},
    {"blend mode 1 at 128", kBlendAlpha, 128, 0},
    {"colour key", kBlendNone, 255, 1},
};

class D3DDrawPixelsTest : public DrawRoadFixture {
protected:
    // A text case's tolerance on the test's road: on the 3D device at 16 bits at least the
    // roads' 16-bit bound (textures of 5 bits of green, see tests/support/draw_road_bounds.h).
    static int32_t Tolerance(int32_t tolerance) {
        constexpr int32_t k16 = road_bounds::kSteps16;
        return GetParam().direct3D && GetParam().depth == 16 && tolerance < k16 ? k16 : tolerance;
    }

    // The back screen after a background and the sprite at (10, 20) drawn in the case's mode,
    // on the road asked for.
    static std::vector<uint32_t> DrawOnRoad(const DrawRoad& road, const DrawCase& c) {
        StartOnRoad(road);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        const HandleValue background = MakeGeneratedGraph(64, 80, BackgroundColour);
        const HandleValue sprite = MakeGeneratedGraph(32, 32, SpriteColour);
        EXPECT_EQ(GetGraphRecord(sprite)->flags.is3D, road.direct3D ? 1 : 0);
        EXPECT_EQ(ApiDrawGraphAt(0, 0, background, 0), 0);
        EXPECT_EQ(ApiSetBlendMode(c.blendMode, c.blendParam), 0);
        EXPECT_EQ(ApiDrawGraphAt(10, 20, sprite, c.transFlag), 0);
        EXPECT_EQ(ApiSetBlendMode(kBlendNone, 255), 0);
        // The present sends the batch and ends the scene.
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(kRegion);
        StopRoad();
        return out;
    }
};

TEST_P(D3DDrawPixelsTest, GraphAtAPointCoversItsPixelsAsTheSoftwareScreenDoes) {
    const int32_t depth = GetParam().depth;
    for (const DrawCase& c : kCases) {
        SCOPED_TRACE(c.name);
        // The roads' stated bound: a partial blend is weighed and rounded differently.
        const int32_t tolerance =
            road_bounds::BlendSteps(GetParam(), c.blendMode, c.blendParam, false);
        const std::vector<uint32_t> soft = DrawOnRoad(SoftwareScreenRoad(depth), c);
        const uint64_t rectanglesBefore = plat::D3DUnscaledRectangleCount();
        const std::vector<uint32_t> device = DrawOnRoad(GetParam(), c);
        // On the device an unscaled graph is one rectangle drawn straight from its vertices.
        if (GetParam().direct3D) {
            EXPECT_GT(plat::D3DUnscaledRectangleCount(), rectanglesBefore);
        }
        ASSERT_EQ(soft.size(), device.size());
        int differing = 0;
        for (size_t i = 0; i < soft.size(); ++i) {
            if (ChannelDifference(soft[i], device[i]) > tolerance && ++differing <= 5) {
                ADD_FAILURE() << "pixel " << i % 64 << "," << i / 64 << ": software " << std::hex
                              << soft[i] << ", Direct3D " << device[i];
            }
        }
        EXPECT_EQ(differing, 0);
        if (c.blendMode == kBlendNone && c.transFlag == 0 && depth == 32) {
            // Exactly the graph's pixels: the sprite inside (10, 20)-(42, 52), the background
            // around it.
            for (int32_t y = 0; y < 80; ++y) {
                for (int32_t x = 0; x < 64; ++x) {
                    const bool inside = x >= 10 && x < 42 && y >= 20 && y < 52;
                    const uint32_t expected =
                        inside ? SpriteColour(x - 10, y - 20) : BackgroundColour(x, y);
                    ASSERT_EQ(device[static_cast<size_t>(y) * 64 + x], expected) << x << "," << y;
                }
            }
        }
    }
}

struct TextCase {
    const char* name;
    int32_t type;      // font type; -1: the default font
    int32_t edgeSize;
    int vertical;
    int32_t blendMode;  // kBlendSubtract: drawn on white
    // Largest channel difference allowed: the software renderer's subtraction of white from
    // white leaves a step of 1 in some channels, the device's leaves 0.
    int32_t tolerance;
};
const TextCase kTextCases[] = {
    {"default font", -1, -1, 0, kBlendNone, 0},
    {"edge font", 1, 1, 0, kBlendNone, 0},
    {"wide edge font, vertical", 1, 2, 1, kBlendNone, 0},
    // The device's glyph textures hold 16 levels of coverage reaching full white, the software
    // cache's top level is 15/16: within one level.
    {"antialiased font", 2, -1, 0, kBlendNone, 17},
    {"subtracted from white", -1, -1, 0, kBlendSubtract, 1},
};

TEST_P(D3DDrawPixelsTest, TextOfATextureCachedFontLooksAsOnTheSoftwareScreen) {
    const char* kText = "Ag#x";
    for (const TextCase& c : kTextCases) {
        SCOPED_TRACE(c.name);
        std::vector<uint32_t> roads[2];
        for (int onRoad = 0; onRoad < 2; ++onRoad) {
            const DrawRoad& road = onRoad == 1 ? GetParam() : SoftwareScreenRoad(GetParam().depth);
            SCOPED_TRACE(road.name);
            StartOnRoad(road);
            EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
            const int direct3D = road.direct3D ? 1 : 0;
            const HandleValue font = c.type < 0 ? GetDefaultFontHandle()
                                                : CreateFontToHandle(nullptr, 16, 6, c.type, -1,
                                                                     c.edgeSize, 0, -1, -1);
            const FontRecord* record = GetFontRecord(font);
            ASSERT_NE(record, nullptr);
            EXPECT_EQ(record->textureCache, direct3D == 1 ? 1u : 0u);
            EXPECT_EQ(ApiClearDrawTarget(), 0);
            if (c.blendMode == kBlendSubtract) {
                const HandleValue paper =
                    MakeGeneratedGraph(120, 120, [](int32_t, int32_t) { return 0xFFFFFFu; });
                EXPECT_EQ(ApiDrawGraphAt(0, 0, paper, 0), 0);
            }
            const uint32_t white = MakeScreenColor(255, 255, 255);
            const uint32_t red = MakeScreenColor(255, 0, 0);
            EXPECT_EQ(ApiSetBlendMode(c.blendMode, 255), 0);
            if (c.type < 0) {
                EXPECT_EQ(ApiDrawTextDefaultFont(10, 30, kText, white, red), 0);
            } else {
                EXPECT_EQ(DrawTextWithFont(10, 30, kText, white, font, red, c.vertical), 0);
            }
            // The emulation leaves the blend state as it found it.
            EXPECT_EQ(GetDrawState().blendMode, c.blendMode);
            EXPECT_EQ(GetDrawState().blendParam, 255);
            EXPECT_EQ(ApiSetBlendMode(kBlendNone, 255), 0);
            EXPECT_EQ(ApiPresentScreen(), 0);
            roads[onRoad] = BackColours(RECT{0, 0, 120, 120});
            StopRoad();
        }
        const uint32_t paper = c.blendMode == kBlendSubtract ? 0xFFFFFFu : 0u;
        int lit = 0, edge = 0;
        for (uint32_t colour : roads[1]) {
            lit += colour != paper ? 1 : 0;
            edge += colour == 0xFF0000 ? 1 : 0;
        }
        EXPECT_GT(lit, 20);
        EXPECT_EQ(edge > 0, c.type == 1);
        int shown = 0;
        for (size_t i = 0; i < roads[0].size(); ++i) {
            if (ChannelDifference(roads[0][i], roads[1][i]) > Tolerance(c.tolerance) &&
                ++shown <= 5) {
                ADD_FAILURE() << "pixel " << i % 120 << "," << i / 120 << ": software " << std::hex
                              << roads[0][i] << ", Direct3D " << roads[1][i];
            }
        }
        EXPECT_EQ(shown, 0);
    }
}

INSTANTIATE_ON_DRAW_ROADS(D3DDrawPixelsTest);

}  // namespace
