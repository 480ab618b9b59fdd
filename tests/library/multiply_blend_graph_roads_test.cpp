// Multiplying under a blend graph ignores the blend parameter on every road: at parameter 0 a
// graph with transparent pixels, drawn with the transparent flag, still changes a grey
// background wherever it is opaque and leaves its transparent pixels out, at a point and
// stretched. (The colours are not compared between the roads: the device draws under a
// hard-edged blend graph without blending, its alpha test alone cutting the graph.)
#include <gtest/gtest.h>

#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "tests/support/bmp_file.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 40, kH = 24;
constexpr uint32_t kGrey = 0x808080u;
constexpr uint32_t kColour = 0xD82C64u;
constexpr int32_t kGraphW = 6, kGraphH = 8;

// The graph: its colour, with black (the transparent colour) on a diagonal.
bool IsKey(int x, int y) { return x == y % kGraphW; }
constexpr int kOpaque = kGraphW * kGraphH - 8;

struct DrawKind {
    const char* name;
    int (*draw)(int graph);
    RECT box;     // where the draw lands
    int changed;  // the pixels it changes: the opaque ones
};

const DrawKind kKinds[] = {
    {"at a point", [](int g) { return ApiDrawGraphAt(2, 2, g, 1); }, RECT{2, 2, 8, 10}, kOpaque},
    {"stretched twice", [](int g) { return BlitGraphStretched(12, 2, 24, 18, g, 1); },
     RECT{12, 2, 24, 18}, 4 * kOpaque},
};

class MultiplyBlendGraphRoadsTest : public DrawRoadFixture {
protected:
    std::vector<uint32_t> DrawKinds(const DrawRoad& road) {
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        const int back = ApiLoadGraphFromPath(Path("grey.bmp").c_str(), 0);
        const int graph = ApiLoadGraphFromPath(Path("graph.bmp").c_str(), 0);
        const int blend = ApiLoadGraphFromPath(Path("blend.bmp").c_str(), 0);
        EXPECT_GE(graph, 0);
        EXPECT_GE(blend, 0);
        EXPECT_EQ(ApiDrawGraphAt(0, 0, back, 0), 0);
        // Border parameter 0: the blend graph weighs every pixel fully, a hard edge.
        EXPECT_EQ(SelectBlendGraph(blend, 0, 0), 0);
        EXPECT_EQ(ApiSetBlendMode(kBlendMultiply, 0), 0);
        for (const DrawKind& kind : kKinds) EXPECT_EQ(kind.draw(graph), 0) << kind.name;
        EXPECT_EQ(ApiSetBlendMode(kBlendNone, 255), 0);
        EXPECT_EQ(SelectBlendGraph(kNoHandle, 0, 0), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(RECT{0, 0, kW, kH});
        StopRoad();
        return out;
    }
};

TEST_P(MultiplyBlendGraphRoadsTest, AKeyedGraphMultipliesAtParameterZero) {
    WriteBmp24File(Path("grey.bmp"), kW, kH, [](int, int) { return kGrey; });
    WriteBmp24File(Path("graph.bmp"), kGraphW, kGraphH,
                   [](int x, int y) { return IsKey(x, y) ? 0u : kColour; });
    WriteBmp24File(Path("blend.bmp"), kGraphW, kGraphH, [](int, int) { return 0xFFFFFFu; });
    const std::vector<uint32_t> drawn = DrawKinds(GetParam());
    ASSERT_EQ(drawn.size(), static_cast<size_t>(kW * kH));
    const uint32_t grey = drawn[0];
    if (GetParam().softwareScreen && GetParam().depth == 32) {
        // The product weighed by the blend graph's full weight: grey x colour x 255 over 2^16.
        EXPECT_EQ(drawn[static_cast<size_t>(2 * kW + 3)], 0x6B1531u);
    }
    for (const DrawKind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        const int32_t scale = (kind.box.right - kind.box.left) / kGraphW;
        int changed = 0, misplaced = 0;
        for (int32_t y = kind.box.top; y < kind.box.bottom; ++y) {
            for (int32_t x = kind.box.left; x < kind.box.right; ++x) {
                const bool isChanged = drawn[static_cast<size_t>(y * kW + x)] != grey;
                const bool opaque =
                    !IsKey((x - kind.box.left) / scale, (y - kind.box.top) / scale);
                changed += isChanged ? 1 : 0;
                if (isChanged != opaque && ++misplaced <= 3) {
                    ADD_FAILURE() << "at " << x << "," << y << (opaque ? ": left" : ": drawn");
                }
            }
        }
        EXPECT_EQ(changed, kind.changed);
        EXPECT_EQ(misplaced, 0);
    }
}

INSTANTIATE_ON_DRAW_ROADS(MultiplyBlendGraphRoadsTest);

}  // namespace
