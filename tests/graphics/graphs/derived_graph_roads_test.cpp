// Derived graphs on every road, after the shipped start-up: a graph derived from a rectangle of
// a parent (a texture graph on the 3D device, and a 2D graph beside it) draws at a point,
// stretched, rotated, mirrored, on four free corners and in part exactly as a graph of its own
// holding the same pixels draws on that road, also after its parent is deleted; a derived
// graph of a derived graph shows its own rectangle; a rectangle that does not start inside
// the parent is refused.
#include <gtest/gtest.h>

#include <numbers>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 128, kH = 112;
constexpr int32_t kParentW = 20, kParentH = 14;
constexpr RECT kPart{5, 3, 5 + 9, 3 + 7};  // the derived rectangle, odd-sized

uint32_t Background(int32_t x, int32_t y) { return ((x / 4 + y / 4) & 1) ? 0xFFFF00u : 0x0000FFu; }
// The parent: every pixel a colour of its place (channels 0 or 255), black (the key) here and
// there, so that a rectangle read from the wrong place shows.
uint32_t Parent(int32_t x, int32_t y) {
    constexpr uint32_t kColours[7] = {0xFF0000, 0x00FF00, 0x00FFFF, 0xFFFFFF,
                                      0xFF00FF, 0x000000, 0x0000FF};
    return kColours[(x * 3 + y * 5 + x * y) % 7];
}

// The draws a graph of kPart's size gets, each in a cell of 32 x 28 from (x0, y0).
void DrawEach(HandleValue g, int32_t x0, int32_t y0) {
    EXPECT_EQ(BlitGraphAt(x0 + 2, y0 + 2, g, 1), 0);
    EXPECT_EQ(BlitGraphStretched(x0 + 14, y0 + 2, x0 + 32, y0 + 16, g, 1), 0);
    EXPECT_EQ(BlitGraphTurned(x0 + 2, y0 + 12, g, 0), 0);
    EXPECT_EQ(BlitGraphRotated(x0 + 23.0f, y0 + 22.0f, 1.0, std::numbers::pi / 2, g, 1, 0), 0);
    EXPECT_EQ(BlitGraphRect(x0 + 4, y0 + 21, 2, 1, 5, 4, g, 0, 0), 0);
}
void DrawQuad(HandleValue g, int32_t x0, int32_t y0) {
    EXPECT_EQ(
        BlitGraphQuad(x0 + 2, y0 + 1, x0 + 20, y0 + 3, x0 + 17, y0 + 16, x0 + 1, y0 + 12, g, 1), 0);
}

class DerivedGraphRoadsTest : public DrawRoadFixture {
protected:
    // Row 0: the derived graph of a texture parent (a 2D parent off the device), its own
    // graph; row 1: the same from a 2D parent; row 2: the four-corner draws and the derived
    // graph of a derived graph.
    static std::vector<uint32_t> DrawDerived(const DrawRoad& road) {
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        EXPECT_EQ(BlitGraphAt(0, 0, MakeGeneratedGraph(kW, kH, Background), 0), 0);
        const auto part = [](int32_t x, int32_t y) {
            return Parent(kPart.left + x, kPart.top + y);
        };
        for (int want3D = 1; want3D >= 0; --want3D) {
            const int32_t row = (1 - want3D) * 28;
            const HandleValue parent = MakeGeneratedGraph(kParentW, kParentH, Parent, want3D);
            const HandleValue derived = DeriveGraph(kPart.left, kPart.top, kPart.right - kPart.left,
                                                    kPart.bottom - kPart.top, parent);
            EXPECT_GE(derived, 0);
            EXPECT_EQ(GetGraphRecord(derived)->flags.is3D, road.direct3D ? want3D : 0);
            const HandleValue own = MakeGeneratedGraph(kPart.right - kPart.left,
                                                       kPart.bottom - kPart.top, part, want3D);
            if (want3D == 0) {
                EXPECT_EQ(DeleteGraphHandle(parent, 0), 0);  // the part lives on
            }
            DrawEach(derived, 0, row);
            DrawEach(own, 64, row);
            DrawQuad(derived, 32 * want3D, 56);
            DrawQuad(own, 64 + 32 * want3D, 56);
        }
        // A derived graph of a derived graph, against its own graph; a rectangle reaching past
        // the parent is cut to it.
        const HandleValue parent = MakeGeneratedGraph(kParentW, kParentH, Parent);
        const HandleValue first = DeriveGraph(4, 2, 14, 10, parent);
        const HandleValue second = DeriveGraph(3, 2, 40, 40, first);
        EXPECT_GE(second, 0);
        int32_t w = 0, h = 0;
        EXPECT_EQ(ApiQueryGraphSize(second, &w, &h), 0);
        EXPECT_EQ(w * 100 + h, 11 * 100 + 8);
        const HandleValue own = MakeGeneratedGraph(
            11, 8, [](int32_t x, int32_t y) { return Parent(7 + x, 4 + y); }, 1);
        EXPECT_EQ(BlitGraphStretched(4, 86, 26, 110, second, 1), 0);
        EXPECT_EQ(BlitGraphStretched(68, 86, 90, 110, own, 1), 0);
        EXPECT_EQ(BlitGraphRotated(44.25f, 98.25f, 1.5, std::numbers::pi / 6, second, 1, 0), 0);
        EXPECT_EQ(BlitGraphRotated(108.25f, 98.25f, 1.5, std::numbers::pi / 6, own, 1, 0), 0);
        // Rectangles that do not start inside the parent.
        for (const RECT& r : {RECT{kParentW, 0, 2, 2}, RECT{0, kParentH, 2, 2}, RECT{-1, 0, 4, 4},
                              RECT{0, -3, 4, 4}, RECT{2, 2, 0, 4}, RECT{2, 2, 4, -1}}) {
            EXPECT_EQ(DeriveGraph(r.left, r.top, r.right, r.bottom, parent), -1)
                << r.left << "," << r.top << " " << r.right << "x" << r.bottom;
        }
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(RECT{0, 0, kW, kH});
        StopRoad();
        return out;
    }
};

TEST_P(DerivedGraphRoadsTest, ADerivedGraphDrawsAsAGraphOfItsOwnPixels) {
    const std::vector<uint32_t> drawn = DrawDerived(GetParam());
    ASSERT_EQ(drawn.size(), static_cast<size_t>(kW * kH));
    // The left half (derived graphs) equals the right half (their own graphs), pixel for pixel:
    // both halves' backgrounds line up (64 is a multiple of 8).
    // The device samples a four-corner draw's pixels that lie on its bottom and left edges at
    // the graph's edge, where the texel beyond it shows: the parent's pixel for the derived
    // graph, the texture's transparent padding for its own graph. A few such pixels are
    // allowed there and nowhere else.
    int differing = 0, drawnPixels = 0, edgeTexels = 0;
    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            const uint32_t d = drawn[static_cast<size_t>(y * kW + x)];
            const uint32_t o = drawn[static_cast<size_t>(y * kW + x + 64)];
            drawnPixels += d != Background(x, y) ? 1 : 0;
            if (d == o) continue;
            if (GetParam().direct3D && y >= 56 && y < 84 && o == Background(x, y)) {
                ++edgeTexels;
            } else if (++differing <= 8) {
                ADD_FAILURE() << "at " << x << "," << y << ": derived " << std::hex << d
                              << ", own graph " << o;
            }
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_LE(edgeTexels, 4);
    EXPECT_GT(drawnPixels, 900);
    // Unscaled at (2, 2): the parent's rectangle exactly, black keyed.
    for (int32_t y = 0; y < kPart.bottom - kPart.top; ++y) {
        for (int32_t x = 0; x < kPart.right - kPart.left; ++x) {
            const uint32_t c = Parent(kPart.left + x, kPart.top + y);
            EXPECT_EQ(drawn[static_cast<size_t>((2 + y) * kW + 2 + x)],
                      c == 0 ? Background(2 + x, 2 + y) : c)
                << x << "," << y;
        }
    }
}

// A derived graph of a drawable graph as the draw target: draws land in the parent at the
// derived rectangle's place, clipped to it, and a clear clears that place only, as on the
// software screen.
TEST_P(DerivedGraphRoadsTest, ADerivedGraphAsTheDrawTargetDrawsIntoItsPartOfTheParent) {
    const auto drawInto = [](const DrawRoad& road) {
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(SetNewGraphsDrawable(1), 0);
        const HandleValue parent = CreateBlankGraph(32, 24, 0);
        EXPECT_EQ(SetNewGraphsDrawable(0), 0);
        EXPECT_GE(parent, 0);
        const HandleValue back = MakeGeneratedGraph(32, 24, Background);
        const HandleValue sprite = MakeGeneratedGraph(kParentW, kParentH, Parent);
        EXPECT_EQ(ApiSetDrawTarget(parent), 0);
        EXPECT_EQ(BlitGraphAt(0, 0, back, 0), 0);
        const HandleValue part = DeriveGraph(8, 4, 16, 12, parent);
        EXPECT_GE(part, 0);
        EXPECT_EQ(ApiSetDrawTarget(part), 0);
        RECT area{};
        GetDrawAreaRect(&area);
        EXPECT_EQ(area.right * 1000 + area.bottom, 16 * 1000 + 12);
        EXPECT_EQ(BlitGraphAt(-2, -3, sprite, 1), 0);
        // Another part cleared: only its own pixels.
        const HandleValue corner = DeriveGraph(24, 16, 8, 8, parent);
        EXPECT_EQ(ApiSetDrawTarget(corner), 0);
        EXPECT_EQ(ApiClearDrawTarget(), 0);
        EXPECT_EQ(ApiSetDrawTarget(-2), 0);
        EXPECT_EQ(ApiClearDrawTarget(), 0);
        EXPECT_EQ(BlitGraphAt(0, 0, parent, 0), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(RECT{0, 0, 32, 24});
        StopRoad();
        return out;
    };
    const std::vector<uint32_t> drawn = drawInto(GetParam());
    ASSERT_EQ(drawn.size(), 32u * 24u);
    for (int32_t y = 0; y < 24; ++y) {
        for (int32_t x = 0; x < 32; ++x) {
            // The sprite's pixel (x - 6, y - 1) where it lies inside the part.
            const bool inPart =
                x >= 8 && x < 24 && y >= 4 && y < 16 && x - 6 < kParentW && y - 1 < kParentH;
            const uint32_t s = inPart ? Parent(x - 6, y - 1) : 0;
            const bool cleared = x >= 24 && y >= 16;
            const uint32_t want = cleared ? 0 : inPart && s != 0 ? s : Background(x, y);
            ASSERT_EQ(drawn[static_cast<size_t>(y * 32 + x)], want) << x << "," << y;
        }
    }
}

// ApiClearDrawTarget on a graph target clears the whole graph, on every road.
TEST_P(DerivedGraphRoadsTest, AClearOfAGraphTargetClearsTheGraph) {
    StartOnRoad(kW, kH);
    EXPECT_EQ(SetNewGraphsDrawable(1), 0);
    const HandleValue target = CreateBlankGraph(16, 12, 0);
    EXPECT_EQ(SetNewGraphsDrawable(0), 0);
    ASSERT_GE(target, 0);
    ASSERT_EQ(ApiSetDrawTarget(target), 0);
    ASSERT_EQ(BlitGraphAt(0, 0, MakeGeneratedGraph(16, 12, Background), 0), 0);
    ASSERT_EQ(ApiClearDrawTarget(), 0);
    ASSERT_EQ(ApiSetDrawTarget(-2), 0);
    ASSERT_EQ(BlitGraphAt(0, 0, MakeGeneratedGraph(24, 20, Background), 0), 0);
    ASSERT_EQ(BlitGraphAt(4, 4, target, 0), 0);
    ASSERT_EQ(ApiPresentScreen(), 0);
    const std::vector<uint32_t> shown = BackColours(RECT{0, 0, 24, 20});
    ASSERT_EQ(shown.size(), 24u * 20u);
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 24; ++x) {
            const bool inTarget = x >= 4 && x < 20 && y >= 4 && y < 16;
            ASSERT_EQ(shown[static_cast<size_t>(y * 24 + x)], inTarget ? 0u : Background(x, y))
                << x << "," << y;
        }
    }
}

INSTANTIATE_ON_DRAW_ROADS(DerivedGraphRoadsTest);

}  // namespace
