// A graph as the draw target on every drawing road, through the shipped start-up: a drawable
// graph of the road's kind (a texture graph on the 3D device) is made the target, filled,
// given a sprite unscaled and keyed, one stretched and a box; with the back screen the target
// again the graph is drawn there, and the back screen shows exactly those pixels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/surfaces/surface_formats.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 64, kH = 48;
constexpr int32_t kTargetW = 24, kTargetH = 16;
constexpr uint32_t kPaper = 0x0000FFu;  // the target's fill

// Every channel 0 or 255, so that every screen and texture format holds it exactly; black,
// the transparent colour, on a diagonal pattern.
uint32_t SpriteColour(int32_t x, int32_t y) {
    if ((x + 2 * y) % 5 == 0) return 0;
    return ((x & 1) ? 0xFF0000u : 0) | ((y & 1) ? 0x00FF00u : 0) | (((x + y) & 2) ? 0x0000FFu : 0);
}

class DrawTargetGraphRoadsTest : public DrawRoadFixture {};

TEST_P(DrawTargetGraphRoadsTest, AGraphTargetReceivesDrawsAndShowsThemOnTheBackScreen) {
    StartOnRoad(kW, kH);
    const HandleValue sprite = MakeGeneratedGraph(8, 6, SpriteColour);
    SetNewGraphsDrawable(1);
    const HandleValue target = CreateBlankGraph(kTargetW, kTargetH, 0);
    SetNewGraphsDrawable(0);
    ASSERT_GE(target, 0);
    EXPECT_EQ(GetGraphRecord(target)->flags.is3D, GetParam().direct3D ? 1 : 0);

    ASSERT_EQ(ApiSetDrawTarget(target), 0);
    EXPECT_EQ(GetDrawTarget(), target);
    // The draw area follows the target.
    EXPECT_EQ(GetDrawState().drawArea.right, kTargetW);
    EXPECT_EQ(GetDrawState().drawArea.bottom, kTargetH);
    ASSERT_EQ(FillBoxSoft(0, 0, kTargetW, kTargetH, MakeSurfaceScreenColor(0, 0, 255)), 0);
    ASSERT_EQ(BlitGraphAt(2, 1, sprite, 1), 0);
    ASSERT_EQ(BlitGraphStretched(12, 2, 28, 14, sprite, 0), 0);  // cut at the right edge
    ASSERT_EQ(FillBoxSoft(2, 10, 6, 14, MakeSurfaceScreenColor(255, 255, 0)), 0);

    // The back screen again: cleared, the graph drawn at (20, 16).
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    ASSERT_EQ(ApiClearDrawTarget(), 0);
    ASSERT_EQ(BlitGraphAt(20, 16, target, 0), 0);
    ASSERT_EQ(ApiPresentScreen(), 0);
    const std::vector<uint32_t> back = BackColours(RECT{0, 0, kW, kH});

    std::vector<uint32_t> expected(static_cast<size_t>(kW * kH), 0u);
    for (int32_t y = 0; y < kTargetH; ++y) {
        for (int32_t x = 0; x < kTargetW; ++x) {
            uint32_t c = kPaper;
            if (x >= 2 && x < 10 && y >= 1 && y < 7 && SpriteColour(x - 2, y - 1) != 0) {
                c = SpriteColour(x - 2, y - 1);
            }
            if (x >= 12 && y >= 2 && y < 14) c = SpriteColour((x - 12) / 2, (y - 2) / 2);
            if (x >= 2 && x < 6 && y >= 10 && y < 14) c = 0xFFFF00u;
            expected[static_cast<size_t>((16 + y) * kW + 20 + x)] = c;
        }
    }
    EXPECT_EQ(CountDiffering(expected, back, kW), 0);
    StopRoad();
}

INSTANTIATE_ON_DRAW_ROADS(DrawTargetGraphRoadsTest);

}  // namespace
