// Mirrored and turned draws that lie partly outside the draw area, on every road, through the
// shipped start-up: stretches with reversed corners, turned graphs and a mirrored part of a
// graph past each edge of the screen and of a smaller draw area; rotations mirrored and turned
// by a quarter; and four corners turned by a quarter, with the corners mirrored and not, under
// a blend graph (the 3D device clips those quads itself and moves their texture and
// blend-graph coordinates with the corners). Each picture is the software screen's of the
// same depth within the bounds the roads state: the same pixels for the stretch family, a
// neighbouring pixel's colour at places for rotations and four-corner draws. And on every
// road a draw cut by a smaller draw area shows inside it exactly what the uncut draw shows
// there, and nothing outside it.
//
// The software renderer's triangles (mirrored rotations, four-corner draws) move a corner at a
// negative coordinate one pixel towards zero, so those draws are compared with the software
// screen past the screen's right and bottom edges and past every edge of a smaller draw area,
// where no corner lies left of or above the screen; the stretch family's scaled blit has no
// such rule and is compared past every edge of the screen too.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <numbers>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 96, kH = 64;  // the window
const RECT kScreen{0, 0, kW, kH};
const RECT kInnerArea{16, 8, 80, 56};  // a draw area smaller than the screen
constexpr int32_t kGraphW = 60, kGraphH = 40;
constexpr int32_t kLargeW = 100, kLargeH = 70;  // more than one texture piece on the device
constexpr int32_t kBlendSide = 64;              // the blend graph covers the graph
constexpr double kQuarter = std::numbers::pi / 2;

// Every channel 0 or 255, so that every screen and texture format holds it exactly; patches
// of 4 x 6 pixels, so that a graph drawn from the wrong place shows other colours; never the
// background's yellow.
uint32_t GraphColour(int32_t x, int32_t y) {
    const int32_t px = x / 4, py = y / 6;
    if ((px + py) % 7 == 0) return 0;
    return ((px & 1) ? 0xFF0000u : 0) | ((py & 1) ? 0x00FF00u : 0) |
           (((px + py) & 2) ? 0x0000FFu : 0x00FFFFu);
}
uint32_t BackgroundColour(int32_t, int32_t) { return 0xFFFF00u; }
// Blend graphs: white shows the graph everywhere; the checked one hides it on a pattern.
uint32_t WhiteColour(int32_t, int32_t) { return 0xFFFFFFu; }
uint32_t CheckedColour(int32_t x, int32_t y) { return (x / 8 + y / 8) % 3 ? 0xFFFFFFu : 0; }

struct Graphs {
    HandleValue graph, large;
};

enum class Bound {
    kSamePixels,      // the stretch family: every pixel the software screen's
    kNeighbourPixel,  // rotations and four corners: a colour the software screen shows within
                      // one pixel
};

struct ClipCase {
    const char* name;
    int (*draw)(const Graphs& g);
    RECT area = kScreen;
    Bound bound = Bound::kSamePixels;
    bool underBlendGraph = false;  // so that a four-corner draw takes the device's clipped quads
};

// BlitGraphQuad takes the corners round the graph: top-left, top-right, bottom-right,
// bottom-left.
const ClipCase kCases[] = {
    {"stretched, mirrored across, past the left edge",
     [](const Graphs& g) { return BlitGraphStretched(40, 10, -20, 50, g.graph, 0); }},
    {"stretched, mirrored across, past the right edge",
     [](const Graphs& g) { return BlitGraphStretched(120, 6, 60, 46, g.graph, 1); }},
    {"stretched, mirrored down, past the top edge",
     [](const Graphs& g) { return BlitGraphStretched(10, 20, 70, -20, g.graph, 0); }},
    {"stretched twice, mirrored both ways, past the right and bottom edges",
     [](const Graphs& g) { return BlitGraphStretched(130, 100, 10, 20, g.graph, 0); }},
    {"turned, past the left edge",
     [](const Graphs& g) { return BlitGraphTurned(-25, 10, g.graph, 1); }},
    {"turned, past the bottom edge",
     [](const Graphs& g) { return BlitGraphTurned(20, 40, g.graph, 0); }},
    {"part of the graph stretched twice, mirrored, past the left and bottom edges",
     [](const Graphs& g) {
         return BlitGraphRectStretched(40, 50, -20, 74, 10, 8, 30, 12, g.graph, 0);
     }},
    {"stretched, mirrored both ways, past the area's top-left corner",
     [](const Graphs& g) { return BlitGraphStretched(50, 40, -10, 0, g.graph, 0); }, kInnerArea},
    {"large, turned, past the area's right and bottom edges",
     [](const Graphs& g) { return BlitGraphTurned(40, 20, g.large, 0); }, kInnerArea},

    {"rotated, mirrored, past the right edge",
     [](const Graphs& g) { return BlitGraphRotatedInt(86, 32, 1.0, 0.0, g.graph, 0, 1); },
     kScreen, Bound::kNeighbourPixel},
    {"rotated, mirrored, past the bottom edge",
     [](const Graphs& g) { return BlitGraphRotatedInt(48, 58, 1.0, 0.0, g.graph, 0, 1); },
     kScreen, Bound::kNeighbourPixel},
    {"rotated, mirrored, past the area's left edge",
     [](const Graphs& g) { return BlitGraphRotatedInt(30, 32, 1.0, 0.0, g.graph, 0, 1); },
     kInnerArea, Bound::kNeighbourPixel},
    {"rotated a quarter, mirrored, past the area's top and bottom edges",
     [](const Graphs& g) { return BlitGraphRotatedInt(60, 32, 1.0, kQuarter, g.graph, 1, 1); },
     kInnerArea, Bound::kNeighbourPixel},

    {"four corners turned a quarter, past the right edge",
     [](const Graphs& g) { return BlitGraphQuad(110, 2, 110, 62, 70, 62, 70, 2, g.graph, 0); },
     kScreen, Bound::kNeighbourPixel, true},
    {"four corners turned back a quarter, past the bottom edge",
     [](const Graphs& g) { return BlitGraphQuad(30, 84, 30, 24, 70, 24, 70, 84, g.graph, 0); },
     kScreen, Bound::kNeighbourPixel, true},
    {"four corners mirrored and turned a quarter, past the area's left, top and bottom edges",
     [](const Graphs& g) { return BlitGraphQuad(4, 4, 4, 64, 44, 64, 44, 4, g.graph, 0); },
     kInnerArea, Bound::kNeighbourPixel, true},
    {"four corners mirrored and turned back a quarter, past the area's right and bottom edges",
     [](const Graphs& g) { return BlitGraphQuad(90, 60, 90, 0, 50, 0, 50, 60, g.graph, 1); },
     kInnerArea, Bound::kNeighbourPixel, true},
};

class MirroredTurnedClipRoadsTest : public DrawRoadFixture {
protected:
    // The back screen after each case, drawn on the background within its area (areas[i]
    // when given, else the case's own), on the road. The cases under a blend graph take
    // blendColour's at the border parameter.
    template <class Colour>
    static std::vector<std::vector<uint32_t>> DrawCases(const DrawRoad& road,
                                                        Colour blendColour, int32_t border,
                                                        const std::vector<RECT>& areas = {}) {
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        const HandleValue background = MakeGeneratedGraph(kW, kH, BackgroundColour);
        const Graphs graphs{MakeGeneratedGraph(kGraphW, kGraphH, GraphColour),
                            MakeGeneratedGraph(kLargeW, kLargeH, GraphColour)};
        const HandleValue blend = MakeGeneratedGraph(kBlendSide, kBlendSide, blendColour);
        EXPECT_EQ(GetGraphRecord(graphs.large)->flags.is3D, road.direct3D ? 1 : 0);
        if (road.direct3D) {
            EXPECT_GT(GetGraphRecord(graphs.large)->surfaceCount, 1);
        }
        std::vector<std::vector<uint32_t>> out;
        for (size_t i = 0; i < std::size(kCases); ++i) {
            const ClipCase& c = kCases[i];
            const RECT& area = i < areas.size() ? areas[i] : c.area;
            EXPECT_EQ(SetDrawAreaRect(0, 0, kW, kH), 0);
            EXPECT_EQ(BlitGraphAt(0, 0, background, 0), 0);
            EXPECT_EQ(SetDrawAreaRect(area.left, area.top, area.right, area.bottom), 0);
            if (c.underBlendGraph) {
                EXPECT_EQ(SelectBlendGraph(blend, border, 0), 0);
            }
            EXPECT_EQ(c.draw(graphs), 0) << c.name;
            if (c.underBlendGraph) {
                EXPECT_EQ(SelectBlendGraph(kNoHandle, 0, 0), 0);
            }
            EXPECT_EQ(SetDrawAreaRect(0, 0, kW, kH), 0);
            EXPECT_EQ(ApiPresentScreen(), 0);
            out.push_back(BackColours(kScreen));
        }
        StopRoad();
        return out;
    }

    static bool Inside(const RECT& r, int32_t x, int32_t y) {
        return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    }

    // Under a blend graph that lets all of the graph through, the software screen's
    // blend-graph kernels still mix the graph with the background by the weight: a channel
    // of 255 over 0 shows one step short at 32 bits and up to twelve at 16 bits. The 3D
    // device shows the graph whole, and so do DirectDraw surfaces, where the blend graph lies
    // in a surface the software kernels do not read.
    static int32_t BlendTolerance(const DrawRoad& road, const ClipCase& c) {
        if (!c.underBlendGraph) return 0;
        return road.depth == 16 ? 12 : 1;
    }
};

TEST_P(MirroredTurnedClipRoadsTest, AMirroredOrTurnedDrawPastTheDrawAreaGivesTheSoftwarePicture) {
    const std::vector<std::vector<uint32_t>> drawn = DrawCases(GetParam(), WhiteColour, 0);
    const std::vector<std::vector<uint32_t>> soft =
        GetParam().softwareScreen
            ? drawn
            : DrawCases(SoftwareScreenRoad(GetParam().depth), WhiteColour, 0);
    ASSERT_EQ(drawn.size(), std::size(kCases));
    ASSERT_EQ(soft.size(), std::size(kCases));
    for (size_t i = 0; i < std::size(kCases); ++i) {
        const ClipCase& c = kCases[i];
        SCOPED_TRACE(c.name);
        ASSERT_EQ(drawn[i].size(), static_cast<size_t>(kW * kH));
        // The draw covers a good part of its area; outside the area nothing changes.
        int changedSoft = 0, changedDrawn = 0, outside = 0;
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                const size_t p = static_cast<size_t>(y * kW + x);
                const bool changed = drawn[i][p] != BackgroundColour(x, y);
                changedSoft += soft[i][p] != BackgroundColour(x, y) ? 1 : 0;
                changedDrawn += changed ? 1 : 0;
                outside += changed && !Inside(c.area, x, y) ? 1 : 0;
            }
        }
        const int32_t areaPixels = (c.area.right - c.area.left) * (c.area.bottom - c.area.top);
        EXPECT_GT(changedSoft, areaPixels / 12);
        EXPECT_GT(changedDrawn, changedSoft * 9 / 10);
        EXPECT_EQ(outside, 0);
        const bool neighbours = c.bound == Bound::kNeighbourPixel;
        EXPECT_EQ(CountFarFrom(soft[i], drawn[i], kW, BlendTolerance(GetParam(), c), neighbours,
                               neighbours),
                  0);
    }
}

TEST_P(MirroredTurnedClipRoadsTest, ADrawCutByASmallerDrawAreaShowsInsideItWhatTheUncutDrawShows) {
    const std::vector<RECT> wholeScreen(std::size(kCases), kScreen);
    const std::vector<std::vector<uint32_t>> whole =
        DrawCases(GetParam(), CheckedColour, 128, wholeScreen);
    ASSERT_EQ(whole.size(), std::size(kCases));
    // Each draw is cut on every side: the area is the middle half, both ways, of the box
    // round the pixels it changed on the whole screen.
    std::vector<RECT> cutAreas;
    for (const std::vector<uint32_t>& picture : whole) {
        RECT box{kW, kH, 0, 0};
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                if (picture[static_cast<size_t>(y * kW + x)] == BackgroundColour(x, y)) continue;
                box = RECT{std::min(box.left, x), std::min(box.top, y),
                           std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
            }
        }
        const int32_t quarterW = (box.right - box.left) / 4;
        const int32_t quarterH = (box.bottom - box.top) / 4;
        cutAreas.push_back(RECT{box.left + quarterW, box.top + quarterH, box.right - quarterW,
                                box.bottom - quarterH});
    }
    const std::vector<std::vector<uint32_t>> cut =
        DrawCases(GetParam(), CheckedColour, 128, cutAreas);
    ASSERT_EQ(cut.size(), std::size(kCases));
    for (size_t i = 0; i < std::size(kCases); ++i) {
        SCOPED_TRACE(kCases[i].name);
        const RECT& area = cutAreas[i];
        // The cut area is not a sliver.
        EXPECT_GE((area.right - area.left) * (area.bottom - area.top), 100);
        std::vector<uint32_t> expected = whole[i];
        int hidden = 0;  // background inside the draw, where the checked blend graph hides it
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                const size_t p = static_cast<size_t>(y * kW + x);
                if (!Inside(area, x, y)) expected[p] = BackgroundColour(x, y);
                hidden += Inside(area, x, y) && expected[p] == BackgroundColour(x, y) ? 1 : 0;
            }
        }
        // On DirectDraw surfaces the blend graph lies in a surface the software kernels do not
        // read, and the draws show the whole graph.
        const bool directDraw = !GetParam().softwareScreen && !GetParam().direct3D;
        if (kCases[i].underBlendGraph && !directDraw) {
            EXPECT_GT(hidden, 0);
        }
        EXPECT_EQ(CountDiffering(expected, cut[i], kW), 0);
    }
}

INSTANTIATE_ON_DRAW_ROADS(MirroredTurnedClipRoadsTest);

}  // namespace
