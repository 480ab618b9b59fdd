// A graph as the draw target on every road of the started library (software screen, DirectDraw
// surfaces, the 3D device, where a drawable graph is a texture graph): the graph receives a
// sprite, and drawn on the back screen afterwards it shows exactly the sprite's pixels on its
// own fill, with the cleared screen around it; drawn through a mask, only where the mask lets
// it through.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/mask/mask_screen.h"
#include "platform/testing/d3d_test_controls.h"
#include "tests/graphics/d3d/d3d_draw_test_support.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/draw_road_table.h"

namespace {

// Every channel 0 or 255, so that any screen and texture format holds the colour exactly;
// black on a pattern (drawn opaque, it must arrive as black).
uint32_t SpriteColour(int32_t x, int32_t y) {
    if ((x + y) % 5 == 0) return 0;
    return ((x & 1) ? 0xFF0000u : 0) | ((y & 1) ? 0x00FF00u : 0) | ((x & 2) ? 0x0000FFu : 0);
}
constexpr uint32_t kFill = 0x0000FF;
constexpr int32_t kTargetW = 48, kTargetH = 40;
constexpr int32_t kSpriteX = 5, kSpriteY = 7, kSpriteW = 24, kSpriteH = 20;
constexpr int32_t kShowX = 100, kShowY = 60;  // where the target graph is drawn on the back

class GraphDrawTargetRoadsTest : public DrawRoadFixture {
protected:
    // A drawable graph (a texture graph on the 3D road) filled blue.
    static HandleValue MakeTarget(int32_t width, int32_t height) {
        EXPECT_EQ(SetNewGraphsDrawable(1), 0);
        const HandleValue graph = CreateBlankGraph(width, height, 0);
        EXPECT_EQ(SetNewGraphsDrawable(0), 0);
        EXPECT_GE(graph, 0);
        EXPECT_EQ(FillGraph(graph, 0, 0, 255, 255), 0);
        return graph;
    }
};

TEST_P(GraphDrawTargetRoadsTest, AGraphTargetReceivesASpriteAndShowsItsPixels) {
    StartOnRoad();
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    const HandleValue sprite = MakeGeneratedGraph(kSpriteW, kSpriteH, SpriteColour);
    const HandleValue target = MakeTarget(kTargetW, kTargetH);
    const bool device = GetParam().direct3D;
    EXPECT_EQ(GetGraphRecord(target)->flags.is3D, device ? 1 : 0);

    ASSERT_EQ(ApiSetDrawTarget(target), 0);
    EXPECT_EQ(GetDrawState().drawTarget, target);
    EXPECT_EQ(GetDrawState().targetWidth, kTargetW);
    EXPECT_EQ(GetDrawState().targetHeight, kTargetH);
    ASSERT_EQ(ApiDrawGraphAt(kSpriteX, kSpriteY, sprite, 0), 0);

    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    ASSERT_EQ(ApiClearDrawTarget(), 0);
    ASSERT_EQ(ApiDrawGraphAt(kShowX, kShowY, target, 0), 0);
    ASSERT_EQ(ApiPresentScreen(), 0);

    // The target with a frame of 4 pixels of the cleared screen around it.
    const RECT region{kShowX - 4, kShowY - 4, kShowX + kTargetW + 4, kShowY + kTargetH + 4};
    const std::vector<uint32_t> shown = BackColours(region);
    const uint32_t cleared = shown[0];
    int wrong = 0;
    for (int32_t y = region.top; y < region.bottom; ++y) {
        for (int32_t x = region.left; x < region.right; ++x) {
            const int32_t gx = x - kShowX, gy = y - kShowY;
            const bool inGraph = gx >= 0 && gx < kTargetW && gy >= 0 && gy < kTargetH;
            const bool inSprite = gx >= kSpriteX && gx < kSpriteX + kSpriteW && gy >= kSpriteY &&
                                  gy < kSpriteY + kSpriteH;
            const uint32_t expected = !inGraph    ? cleared
                                      : inSprite ? SpriteColour(gx - kSpriteX, gy - kSpriteY)
                                                 : kFill;
            const uint32_t v = shown[static_cast<size_t>(y - region.top) *
                                         (region.right - region.left) +
                                     (x - region.left)];
            if (v != expected && ++wrong <= 3) {
                ADD_FAILURE() << "graph pixel " << gx << "," << gy << ": " << std::hex << v
                              << " expected " << expected;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_NE(cleared, kFill);
    StopRoad();
}

// Drawn through a mask over the graph's left half, a graph target takes the sprite only there.
TEST_P(GraphDrawTargetRoadsTest, AMaskedDrawIntoAGraphTargetShowsOnlyWhereTheMaskLetsIt) {
    StartOnRoad();
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    const HandleValue sprite = MakeGeneratedGraph(kSpriteW, kSpriteH, SpriteColour);
    const HandleValue target = MakeTarget(kTargetW, kTargetH);
    ASSERT_EQ(RequestMaskScreen(1), 0);
    ASSERT_EQ(FillMaskRect(0, 0, 16, 480, 1), 0);
    ASSERT_EQ(ApiSetDrawTarget(target), 0);
    ASSERT_EQ(SetMaskEnabled(1), 0);
    ASSERT_EQ(ApiDrawGraphAt(kSpriteX, kSpriteY, sprite, 0), 0);
    ASSERT_EQ(SetMaskEnabled(0), 0);
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    ASSERT_EQ(ApiClearDrawTarget(), 0);
    ASSERT_EQ(ApiDrawGraphAt(kShowX, kShowY, target, 0), 0);
    ASSERT_EQ(ApiPresentScreen(), 0);
    const RECT region{kShowX, kShowY, kShowX + kTargetW, kShowY + kTargetH};
    const std::vector<uint32_t> shown = BackColours(region);
    int wrong = 0;
    for (int32_t gy = 0; gy < kTargetH; ++gy) {
        for (int32_t gx = 0; gx < kTargetW; ++gx) {
            const bool inSprite = gx >= kSpriteX && gx < kSpriteX + kSpriteW && gy >= kSpriteY &&
                                  gy < kSpriteY + kSpriteH;
            const uint32_t expected =
                inSprite && gx < 16 ? SpriteColour(gx - kSpriteX, gy - kSpriteY) : kFill;
            const uint32_t v = shown[static_cast<size_t>(gy) * kTargetW + gx];
            if (v != expected && ++wrong <= 3) {
                ADD_FAILURE() << "graph pixel " << gx << "," << gy << ": " << std::hex << v
                              << " expected " << expected;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    StopRoad();
}

INSTANTIATE_ON_DRAW_ROADS(GraphDrawTargetRoadsTest);

// A texture graph cut into several textures cannot be one render target: it is refused with a
// log line and the draw target stays what it was, so that no draw lands elsewhere.
class TextureTargetRefusedTest : public Direct3DDrawFixture {};

TEST_F(TextureTargetRefusedTest, AGraphOfSeveralTexturesIsRefusedAsDrawTarget) {
    plat::SetD3DTextureSideLimits(1, 32);
    Start(true);
    ASSERT_EQ(SetNewGraphsDrawable(1), 0);
    const HandleValue wide = CreateBlankGraph(80, 20, 0);
    ASSERT_EQ(SetNewGraphsDrawable(0), 0);
    ASSERT_GE(wide, 0);
    ASSERT_GT(GetGraphRecord(wide)->surfaceCount, 1);
    EXPECT_EQ(ApiSetDrawTarget(wide), -1);
    EXPECT_EQ(GetDrawState().drawTarget, kDrawTargetBack);
    EXPECT_TRUE(LogHas("複数のテクスチャに分かれたグラフィックは描画先にできません"));
    EXPECT_EQ(CurrentDevice3DRecord()->currentTarget, GetScreenState().back);
    Stop();
}

}  // namespace
