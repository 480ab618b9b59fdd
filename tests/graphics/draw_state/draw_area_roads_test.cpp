// The draw area on every road, after the shipped start-up: with an area set by
// SetDrawAreaRect (corners given reversed), each kind of draw that crosses its edges (a graph
// at a point, stretched, rotated, on four corners, a part of a graph, a box fill, text) leaves
// every pixel outside the area as it was and draws inside it what the software screen of the
// same depth draws there. The area of a graph target clips draws into the graph in the same
// way, and an empty area draws nothing and answers 0.
#include <gtest/gtest.h>

#include <numbers>
#include <vector>

#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/font/font.h"
#include "graphics/font/string_draw.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/screen/screen.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 112, kH = 80;  // the window
constexpr RECT kArea{14, 10, 90, 62};
constexpr int32_t kSpriteW = 7, kSpriteH = 5;  // odd sizes: every road turns them alike

uint32_t Background(int32_t x, int32_t y) { return ((x / 4 + y / 4) & 1) ? 0xFFFF00u : 0x0000FFu; }
// Every channel 0 or 255 and no colour of the background; black, the key, on a diagonal.
uint32_t Sprite(int32_t x, int32_t y) {
    constexpr uint32_t kColours[4] = {0xFF0000, 0x00FF00, 0x00FFFF, 0xFFFFFF};
    return (x + y) % 4 == 0 ? 0 : kColours[(x + 2 * y) % 4];
}

bool Inside(const RECT& r, int32_t x, int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// The box fill of the road: the device's on the 3D device, the software one elsewhere.
int FillBoxOnRoad(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
    return IsUsing3DDevice() ? FillBox3D(x1, y1, x2, y2, colour)
                             : FillBoxSoft(x1, y1, x2, y2, colour);
}

class DrawAreaRoadsTest : public DrawRoadFixture {
protected:
    // The back screen after the background and the draws across the area's edges.
    static std::vector<uint32_t> DrawClipped(const DrawRoad& road) {
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        const HandleValue back = MakeGeneratedGraph(kW, kH, Background);
        const HandleValue sprite = MakeGeneratedGraph(kSpriteW, kSpriteH, Sprite);
        const HandleValue font = CreateFontToHandle(nullptr, 16, 6, 0, -1, -1, 0, -1, -1);
        EXPECT_GE(font, 0);
        EXPECT_EQ(BlitGraphAt(0, 0, back, 0), 0);

        EXPECT_EQ(SetDrawAreaRect(kArea.right, kArea.bottom, kArea.left, kArea.top), 0);
        RECT area{};
        GetDrawAreaRect(&area);
        EXPECT_EQ(area.left * 1000 + area.top, kArea.left * 1000 + kArea.top);
        EXPECT_EQ(area.right * 1000 + area.bottom, kArea.right * 1000 + kArea.bottom);

        EXPECT_EQ(BlitGraphAt(kArea.left - 3, 20, sprite, 1), 0);  // left edge
        EXPECT_EQ(BlitGraphAt(40, kArea.top - 2, sprite, 0), 0);   // top edge
        EXPECT_EQ(BlitGraphStretched(kArea.right - 6, 16, kArea.right + 8, 26, sprite, 1), 0);
        EXPECT_EQ(BlitGraphRotatedInt(kArea.right - 1, 40, 1.0, std::numbers::pi / 2, sprite, 1, 0),
                  0);
        EXPECT_EQ(BlitGraphQuad(20, kArea.bottom - 4, 34, kArea.bottom - 4, 34, kArea.bottom + 6,
                                20, kArea.bottom + 6, sprite, 1),
                  0);
        EXPECT_EQ(BlitGraphRect(kArea.left - 2, kArea.bottom - 3, 1, 1, 5, 4, sprite, 1, 0), 0);
        EXPECT_EQ(FillBoxOnRoad(kArea.right - 4, kArea.bottom - 4, kArea.right + 4,
                                kArea.bottom + 4, MakeScreenColor(0, 255, 0)),
                  0);
        EXPECT_EQ(
            DrawTextWithFont(kArea.left + 40, kArea.top - 6, "Ag", MakeScreenColor(255, 255, 255),
                             font, MakeScreenColor(0, 0, 0), 0),
            0);
        // Draws wholly outside answer 0 and draw nothing.
        EXPECT_EQ(BlitGraphAt(0, 0, sprite, 0), 0);
        EXPECT_EQ(BlitGraphStretched(kW - 10, kH - 8, kW, kH, sprite, 0), 0);
        EXPECT_EQ(FillBoxOnRoad(0, kH - 6, 8, kH, MakeScreenColor(255, 0, 0)), 0);

        // An empty area: every draw answers 0 and draws nothing.
        EXPECT_EQ(SetDrawAreaRect(30, 30, 30, 60), 0);
        EXPECT_EQ(BlitGraphAt(28, 30, sprite, 0), 0);
        EXPECT_EQ(BlitGraphStretched(28, 30, 40, 50, sprite, 0), 0);
        EXPECT_EQ(BlitGraphRotatedInt(30, 40, 2.0, 0.3, sprite, 0, 0), 0);
        EXPECT_EQ(SetDrawAreaRect(0, 0, kW, kH), 0);

        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(RECT{0, 0, kW, kH});
        StopRoad();
        return out;
    }

    // A 40 x 30 graph target with a draw area of its own, drawn into and then shown whole at
    // (0, 0) of the back screen; the back screen's area comes back whole with the back screen.
    static std::vector<uint32_t> DrawIntoClippedGraph(const DrawRoad& road) {
        StartOnRoad(road, kW, kH);
        const HandleValue sprite = MakeGeneratedGraph(kSpriteW, kSpriteH, Sprite);
        const HandleValue back = MakeGeneratedGraph(40, 30, Background);
        EXPECT_EQ(SetNewGraphsDrawable(1), 0);
        const HandleValue target = CreateBlankGraph(40, 30, 0);
        EXPECT_EQ(SetNewGraphsDrawable(0), 0);
        EXPECT_GE(target, 0);
        EXPECT_EQ(ApiSetDrawTarget(target), 0);
        RECT area{};
        GetDrawAreaRect(&area);
        EXPECT_EQ(area.right * 1000 + area.bottom, 40 * 1000 + 30);
        EXPECT_EQ(BlitGraphAt(0, 0, back, 0), 0);
        EXPECT_EQ(SetDrawAreaRect(6, 4, 30, 22), 0);
        EXPECT_EQ(BlitGraphAt(3, 2, sprite, 0), 0);
        EXPECT_EQ(BlitGraphStretched(24, 16, 38, 26, sprite, 1), 0);
        EXPECT_EQ(FillBoxOnRoad(10, 18, 20, 28, MakeScreenColor(255, 255, 255)), 0);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        GetDrawAreaRect(&area);
        EXPECT_EQ(area.right * 1000 + area.bottom, kW * 1000 + kH);
        EXPECT_EQ(ApiClearDrawTarget(), 0);
        EXPECT_EQ(BlitGraphAt(0, 0, target, 0), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(RECT{0, 0, 40, 30});
        StopRoad();
        return out;
    }
};

TEST_P(DrawAreaRoadsTest, DrawsAcrossTheAreasEdgesChangeOnlyTheAreaAsOnTheSoftwareScreen) {
    const std::vector<uint32_t> drawn = DrawClipped(GetParam());
    ASSERT_EQ(drawn.size(), static_cast<size_t>(kW * kH));
    int outside = 0, changed = 0;
    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 0; x < kW; ++x) {
            const uint32_t c = drawn[static_cast<size_t>(y * kW + x)];
            if (Inside(kArea, x, y)) {
                changed += c != Background(x, y) ? 1 : 0;
            } else if (c != Background(x, y) && ++outside <= 5) {
                ADD_FAILURE() << "outside the area at " << x << "," << y << ": " << std::hex << c;
            }
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(changed, 200);
    // The draws made while the area was empty left their place as it was.
    for (int32_t y = 28; y < 52; ++y) {
        for (int32_t x = 26; x < 46; ++x) {
            ASSERT_EQ(drawn[static_cast<size_t>(y * kW + x)], Background(x, y)) << x << "," << y;
        }
    }
    if (!GetParam().softwareScreen) {
        const std::vector<uint32_t> soft = DrawClipped(SoftwareScreenRoad(GetParam().depth));
        EXPECT_EQ(CountDiffering(soft, drawn, kW), 0);
    }
}

TEST_P(DrawAreaRoadsTest, AGraphTargetsAreaClipsDrawsIntoTheGraph) {
    const std::vector<uint32_t> drawn = DrawIntoClippedGraph(GetParam());
    ASSERT_EQ(drawn.size(), 40u * 30u);
    constexpr RECT kGraphArea{6, 4, 30, 22};
    int outside = 0;
    for (int32_t y = 0; y < 30; ++y) {
        for (int32_t x = 0; x < 40; ++x) {
            const uint32_t c = drawn[static_cast<size_t>(y * 40 + x)];
            if (!Inside(kGraphArea, x, y) && c != Background(x, y) && ++outside <= 5) {
                ADD_FAILURE() << "outside the graph's area at " << x << "," << y << ": " << std::hex
                              << c;
            }
        }
    }
    EXPECT_EQ(outside, 0);
    // The sprite's part inside: sprite pixel (x - 3, y - 2) from (6, 4) on; the box's white.
    for (int32_t y = 4; y < 7; ++y) {
        for (int32_t x = 6; x < 10; ++x) {
            EXPECT_EQ(drawn[static_cast<size_t>(y * 40 + x)], Sprite(x - 3, y - 2))
                << x << "," << y;
        }
    }
    for (int32_t y = 18; y < 22; ++y) {
        for (int32_t x = 10; x < 20; ++x) {
            EXPECT_EQ(drawn[static_cast<size_t>(y * 40 + x)], 0xFFFFFFu) << x << "," << y;
        }
    }
    if (!GetParam().softwareScreen) {
        const std::vector<uint32_t> soft =
            DrawIntoClippedGraph(SoftwareScreenRoad(GetParam().depth));
        EXPECT_EQ(CountDiffering(soft, drawn, 40), 0);
    }
}

INSTANTIATE_ON_DRAW_ROADS(DrawAreaRoadsTest);

}  // namespace
