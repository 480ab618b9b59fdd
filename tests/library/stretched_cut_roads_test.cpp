// Stretched draws cut by a draw area whose left and top edges fall inside a source pixel, on
// every road, through the shipped start-up: stretches by two, by three, by fractions and
// shrunk, mirrored and not. On a screen in DirectDraw surfaces the software draw copies only
// the part of the source the cut reads into a work surface; that part must reach as far as the
// cut's last column and row read, wherever the cut begins inside a source pixel. On the roads
// of the software renderer (the software screen and DirectDraw surfaces) each cut draw gives
// the software screen's pixels; on every road a cut draw shows inside its area exactly what
// the uncut draw shows there, and nothing outside it.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 80, kH = 64;  // the window
const RECT kScreen{0, 0, kW, kH};
constexpr int32_t kGraphW = 10, kGraphH = 8;

// Every pixel differs from its neighbours across and down, so that a column or row read from
// the wrong place shows; every channel 0 or 255, never black or the background's yellow.
uint32_t GraphColour(int32_t x, int32_t y) {
    static constexpr uint32_t kColours[] = {0xFF0000u, 0x00FF00u, 0x0000FFu,
                                            0xFF00FFu, 0x00FFFFu, 0xFFFFFFu};
    return kColours[(x + 3 * y) % 6];
}
uint32_t BackgroundColour(int32_t, int32_t) { return 0xFFFF00u; }

struct CutCase {
    const char* name;
    RECT corners;  // as the draw takes them: reversed ones mirror
    RECT area;     // the cut; its left and top edges fall inside a source pixel
    // Not a whole number of pixels for each source pixel: the 3D device clips its quad in
    // floats and samples at pixel centres, so that its cut draw may take a column or row from
    // a neighbouring texel.
    bool fractional = false;
};

const CutCase kCases[] = {
    {"by two", {4, 4, 24, 20}, {7, 7, 19, 15}},
    {"by two, mirrored across", {24, 4, 4, 20}, {7, 7, 19, 15}},
    {"by two, mirrored both ways", {24, 20, 4, 4}, {5, 9, 21, 19}},
    {"by three", {2, 2, 32, 26}, {3, 4, 12, 17}},
    {"by three, mirrored down", {2, 26, 32, 2}, {4, 4, 31, 7}},
    {"by two and a half", {6, 6, 31, 26}, {7, 8, 29, 18}, true},
    {"by two and a half, mirrored both ways", {31, 26, 6, 6}, {10, 10, 17, 17}, true},
    {"by one and seven tenths", {3, 5, 20, 19}, {5, 6, 17, 15}, true},
    {"by one and seven tenths, mirrored across", {20, 5, 3, 19}, {8, 7, 16, 18}, true},
    {"shrunk", {10, 10, 17, 15}, {11, 11, 16, 14}, true},
    {"by two, mirrored both ways, past the screen's right and bottom edges",
     {83, 67, 63, 51}, {64, 52, 80, 64}},
};

// The offset of the area's left (top) edge from the ordered rectangle's, in destination
// pixels of 1/65536, is not a whole number of the draw's steps: the edge falls inside a source
// pixel.
bool StartsInsideASourcePixel(int32_t a, int32_t b, int32_t edge, int32_t sourceSide) {
    const int64_t low = a < b ? a : b;
    const int64_t step = ((a < b ? b - a : a - b) * int64_t{65536}) / sourceSide;
    return ((edge - low) * 65536) % step != 0;
}

bool Inside(const RECT& r, int32_t x, int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

class StretchedCutRoadsTest : public DrawRoadFixture {
protected:
    struct Pictures {
        std::vector<std::vector<uint32_t>> whole, cut;  // a picture per case
    };

    // Each case drawn on the background with the whole screen as its area, then with its cut
    // as the area, on the road: the back screen after each draw.
    static Pictures DrawCases(const DrawRoad& road) {
        Pictures out;
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        const HandleValue background = MakeGeneratedGraph(kW, kH, BackgroundColour);
        const HandleValue graph = MakeGeneratedGraph(kGraphW, kGraphH, GraphColour);
        EXPECT_EQ(GetGraphRecord(graph)->flags.is3D, road.direct3D ? 1 : 0);
        const auto draw = [&](const CutCase& c, const RECT& area) {
            EXPECT_EQ(SetDrawAreaRect(0, 0, kW, kH), 0);
            EXPECT_EQ(BlitGraphAt(0, 0, background, 0), 0);
            EXPECT_EQ(SetDrawAreaRect(area.left, area.top, area.right, area.bottom), 0);
            EXPECT_EQ(BlitGraphStretched(c.corners.left, c.corners.top, c.corners.right,
                                         c.corners.bottom, graph, 0),
                      0)
                << c.name;
            EXPECT_EQ(SetDrawAreaRect(0, 0, kW, kH), 0);
            EXPECT_EQ(ApiPresentScreen(), 0);
            return BackColours(kScreen);
        };
        for (const CutCase& c : kCases) {
            out.whole.push_back(draw(c, kScreen));
            out.cut.push_back(draw(c, c.area));
        }
        StopRoad();
        return out;
    }
};

TEST_P(StretchedCutRoadsTest, ACutStretchShowsWhatTheUncutOneShowsInsideTheCut) {
    for (const CutCase& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(StartsInsideASourcePixel(c.corners.left, c.corners.right, c.area.left,
                                             kGraphW));
        EXPECT_TRUE(StartsInsideASourcePixel(c.corners.top, c.corners.bottom, c.area.top,
                                             kGraphH));
    }
    const Pictures drawn = DrawCases(GetParam());
    ASSERT_EQ(drawn.whole.size(), std::size(kCases));
    ASSERT_EQ(drawn.cut.size(), std::size(kCases));
    for (size_t i = 0; i < std::size(kCases); ++i) {
        const CutCase& c = kCases[i];
        SCOPED_TRACE(c.name);
        ASSERT_EQ(drawn.whole[i].size(), static_cast<size_t>(kW * kH));
        std::vector<uint32_t> expected = drawn.whole[i];
        int graphInside = 0;  // pixels of the graph inside the cut
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                uint32_t& p = expected[static_cast<size_t>(y * kW + x)];
                if (!Inside(c.area, x, y)) p = BackgroundColour(x, y);
                graphInside += Inside(c.area, x, y) && p != BackgroundColour(x, y) ? 1 : 0;
            }
        }
        // The stretch covers its whole cut.
        EXPECT_EQ(graphInside, (c.area.right - c.area.left) * (c.area.bottom - c.area.top));
        if (c.fractional && GetParam().direct3D) {
            EXPECT_EQ(CountFarFrom(expected, drawn.cut[i], kW, 0, true), 0);
        } else {
            EXPECT_EQ(CountDiffering(expected, drawn.cut[i], kW), 0);
        }
    }
}

TEST_P(StretchedCutRoadsTest, ACutStretchOnTheSoftwareRenderersRoadsGivesTheSoftwarePicture) {
    // The 3D device samples a fractional stretch at pixel centres, not by the scaled blit's
    // steps; its cut draws are held to the uncut ones above.
    if (GetParam().direct3D) GTEST_SKIP() << "the 3D device samples its own way";
    if (GetParam().softwareScreen) GTEST_SKIP() << "the software screen is the reference";
    const Pictures drawn = DrawCases(GetParam());
    const Pictures soft = DrawCases(SoftwareScreenRoad(GetParam().depth));
    ASSERT_EQ(drawn.cut.size(), std::size(kCases));
    ASSERT_EQ(soft.cut.size(), std::size(kCases));
    for (size_t i = 0; i < std::size(kCases); ++i) {
        SCOPED_TRACE(kCases[i].name);
        EXPECT_EQ(CountDiffering(soft.whole[i], drawn.whole[i], kW), 0);
        EXPECT_EQ(CountDiffering(soft.cut[i], drawn.cut[i], kW), 0);
    }
}

INSTANTIATE_ON_DRAW_ROADS(StretchedCutRoadsTest);

}  // namespace
