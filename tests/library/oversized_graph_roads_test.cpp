// Graphs larger than the screen on every road, through the shipped start-up: a graph taller
// than the screen and one larger both ways are drawn unscaled (opaque, and keyed under a
// blend), turned, stretched mirrored, stretched under a blend, rotated freely and onto four
// corners turned off the axes, each on a fresh background; and a graph target taller than
// the screen takes a blended stretch and a blended box over its whole height and is then
// drawn on the back screen. Every picture is the software screen's of the same depth, within
// the bounds the roads state: blends within their rounding on the 3D device, free rotations
// and four-corner draws a neighbouring pixel's colour at places there. On DirectDraw surfaces
// such a graph is read, and such a target written, through work surfaces larger than the
// screen's own, which have the screen's size.
#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"
#include "graphics/surfaces/surface_formats.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 96, kH = 64;                  // the window, and the work surfaces
constexpr int32_t kTallW = 24, kTallH = 100;         // taller than the screen
constexpr int32_t kLargeW = 120, kLargeH = 80;      // larger both ways
const RECT kScreen{0, 0, kW, kH};

// Every channel 0 or 255, so that every screen and texture format holds it exactly; patches
// of 4 x 6 pixels, so that a neighbouring pixel mostly shows the same colour; black, the
// transparent colour, on a diagonal of patches.
uint32_t GraphColour(int32_t x, int32_t y) {
    const int32_t px = x / 4, py = y / 6;
    if ((px + py) % 7 == 0) return 0;
    return ((px & 1) ? 0xFF0000u : 0) | ((py & 1) ? 0x00FF00u : 0) |
           (((px + py) & 2) ? 0x0000FFu : 0x00FFFFu);
}
// The background: yellow, which no pixel of the graphs shows.
uint32_t BackgroundColour(int32_t, int32_t) { return 0xFFFF00u; }

struct Graphs {
    HandleValue tall, large;
};

struct OversizedCase {
    const char* name;
    int (*draw)(const Graphs& g);
    int32_t blendMode = kBlendNone;  // set (at 128) around the draw
    bool freeShape = false;          // a free rotation or a four-corner draw
};

const OversizedCase kCases[] = {
    {"tall, unscaled, opaque, past the top-left",
     [](const Graphs& g) { return BlitGraphAt(-5, -20, g.tall, 0); }},
    {"large, unscaled, keyed, alpha blend",
     [](const Graphs& g) { return BlitGraphAt(-10, -6, g.large, 1); }, kBlendAlpha},
    {"tall, turned, keyed", [](const Graphs& g) { return BlitGraphTurned(30, -18, g.tall, 1); }},
    {"tall, stretched twice across and mirrored",
     [](const Graphs& g) { return BlitGraphStretched(90, -1, 42, 99, g.tall, 0); }},
    {"large, stretched mirrored both ways",
     [](const Graphs& g) { return BlitGraphStretched(110, 72, -10, -8, g.large, 1); }},
    {"tall, stretched twice across, alpha blend",
     [](const Graphs& g) { return BlitGraphStretched(4, -20, 52, 80, g.tall, 0); }, kBlendAlpha},
    {"large, stretched, additive blend",
     [](const Graphs& g) { return BlitGraphStretched(-12, -4, 108, 76, g.large, 1); }, kBlendAdd},
    {"tall, rotated freely",
     [](const Graphs& g) { return BlitGraphRotatedInt(54, 34, 1.0, -0.3246, g.tall, 1, 0); },
     kBlendNone, true},
    {"large, rotated freely",
     [](const Graphs& g) { return BlitGraphRotatedInt(40, 30, 1.0, 0.41, g.large, 0, 0); },
     kBlendNone, true},
    {"tall, rotated freely, alpha blend",
     [](const Graphs& g) { return BlitGraphRotatedInt(60, 30, 1.0, 0.9, g.tall, 1, 0); },
     kBlendAlpha, true},
    // The 3D device draws four corners as two triangles, each with its own map: on a
    // parallelogram the two maps agree, so that it stays within a neighbouring pixel.
    {"tall, onto four corners",
     [](const Graphs& g) {
         return BlitGraphQuad(10.0f, -30.0f, 40.0f, -22.0f, 66.0f, 88.0f, 36.0f, 80.0f, g.tall, 1);
     },
     kBlendNone, true},
    {"large, onto four corners",
     [](const Graphs& g) {
         return BlitGraphQuad(-6.0f, -4.0f, 104.0f, 2.0f, 112.0f, 68.0f, 2.0f, 62.0f, g.large, 0);
     },
     kBlendNone, true},
};

// The roads may round blends differently, by at most these steps of a channel: on the 3D
// device one at 32 bits and twelve at 16 bits; the software screen and DirectDraw surfaces
// share the renderer.
int32_t BlendTolerance(const DrawRoad& road, int32_t mode) {
    if (!road.direct3D || mode == kBlendNone) return 0;
    return road.depth == 16 ? 12 : 1;
}

class OversizedGraphRoadsTest : public DrawRoadFixture {
protected:
    static const SurfaceDataRecord* SurfaceDataOf(HandleValue graph) {
        return GetSurfaceData(GetSurface2D(GetGraphRecord(graph)->surfaces[0])->surfaceData);
    }

    // The back screen after each case, drawn on the background, on the road.
    static std::vector<std::vector<uint32_t>> DrawCases(const DrawRoad& road) {
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        const HandleValue background = MakeGeneratedGraph(kW, kH, BackgroundColour);
        const Graphs graphs{MakeGeneratedGraph(kTallW, kTallH, GraphColour),
                            MakeGeneratedGraph(kLargeW, kLargeH, GraphColour)};
        EXPECT_EQ(GetGraphRecord(graphs.tall)->flags.is3D, road.direct3D ? 1 : 0);
        if (!road.softwareScreen && !road.direct3D) {
            // The tall graph lies in video memory, so that its software draws read it through
            // a work surface; the one wider than the screen lies in system memory.
            EXPECT_EQ(SurfaceDataOf(graphs.tall)->softImage, 0);
            EXPECT_EQ(SurfaceDataOf(graphs.large)->softImage, 1);
        }
        std::vector<std::vector<uint32_t>> out;
        for (const OversizedCase& c : kCases) {
            EXPECT_EQ(BlitGraphAt(0, 0, background, 0), 0);
            EXPECT_EQ(ApiSetBlendMode(c.blendMode, 128), 0);
            EXPECT_EQ(c.draw(graphs), 0) << c.name;
            EXPECT_EQ(ApiSetBlendMode(kBlendNone, 255), 0);
            EXPECT_EQ(ApiPresentScreen(), 0);
            out.push_back(BackColours(kScreen));
        }
        StopRoad();
        return out;
    }
};

TEST_P(OversizedGraphRoadsTest, EveryDrawKindOfAGraphLargerThanTheScreenGivesTheSoftwarePicture) {
    const std::vector<std::vector<uint32_t>> drawn = DrawCases(GetParam());
    const std::vector<std::vector<uint32_t>> soft =
        GetParam().softwareScreen ? drawn : DrawCases(SoftwareScreenRoad(GetParam().depth));
    ASSERT_EQ(drawn.size(), std::size(kCases));
    ASSERT_EQ(soft.size(), std::size(kCases));
    for (size_t i = 0; i < std::size(kCases); ++i) {
        const OversizedCase& c = kCases[i];
        SCOPED_TRACE(c.name);
        ASSERT_EQ(drawn[i].size(), static_cast<size_t>(kW * kH));
        // The draw covers much of the screen, and changes it on this road as well.
        int changedSoft = 0, changedDrawn = 0, equal = 0;
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                const size_t p = static_cast<size_t>(y * kW + x);
                changedSoft += soft[i][p] != BackgroundColour(x, y) ? 1 : 0;
                changedDrawn += drawn[i][p] != BackgroundColour(x, y) ? 1 : 0;
                equal += ChannelDifference(soft[i][p], drawn[i][p]) <=
                                 BlendTolerance(GetParam(), c.blendMode)
                             ? 1
                             : 0;
            }
        }
        EXPECT_GT(changedSoft, kW * kH / 8);
        EXPECT_GT(changedDrawn, changedSoft * 9 / 10);
        const bool neighbours = c.freeShape && GetParam().direct3D;
        EXPECT_EQ(CountFarFrom(soft[i], drawn[i], kW, BlendTolerance(GetParam(), c.blendMode),
                               neighbours, neighbours),
                  0);
        // A neighbour's colour only at places.
        EXPECT_GE(equal * 10, kW * kH * 8);
    }
}

// A graph target taller than the screen: a blended stretch and a blended box over its whole
// height, then the target drawn on the back screen in two halves, its top and its bottom.
constexpr int32_t kTargetW = 40, kTargetH = 110;
constexpr uint32_t kPaper = 0x0000FFu;

class OversizedTargetRoadsTest : public DrawRoadFixture {
protected:
    static std::vector<uint32_t> DrawOnTallTarget(const DrawRoad& road) {
        StartOnRoad(road, kW, kH);
        const HandleValue sprite = MakeGeneratedGraph(kTallW, kTallH, GraphColour);
        SetNewGraphsDrawable(1);
        const HandleValue target = CreateBlankGraph(kTargetW, kTargetH, 0);
        SetNewGraphsDrawable(0);
        EXPECT_GE(target, 0);
        EXPECT_EQ(ApiSetDrawTarget(target), 0);
        EXPECT_EQ(FillBoxSoft(0, 0, kTargetW, kTargetH, MakeSurfaceScreenColor(0, 0, 255)), 0);
        EXPECT_EQ(ApiSetBlendMode(kBlendAlpha, 128), 0);
        EXPECT_EQ(BlitGraphStretched(-4, 5, 44, 105, sprite, 1), 0);
        EXPECT_EQ(FillBoxSoft(10, 0, 20, kTargetH, MakeSurfaceScreenColor(255, 255, 0)), 0);
        EXPECT_EQ(ApiSetBlendMode(kBlendNone, 255), 0);

        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        EXPECT_EQ(ApiClearDrawTarget(), 0);
        EXPECT_EQ(BlitGraphAt(2, 0, target, 0), 0);                          // its top
        EXPECT_EQ(BlitGraphAt(50, kH - kTargetH, target, 0), 0);             // its bottom
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(kScreen);
        StopRoad();
        return out;
    }
};

TEST_P(OversizedTargetRoadsTest, BlendedDrawsReachEveryRowOfAGraphTargetTallerThanTheScreen) {
    const std::vector<uint32_t> drawn = DrawOnTallTarget(GetParam());
    const std::vector<uint32_t> soft =
        GetParam().softwareScreen ? drawn : DrawOnTallTarget(SoftwareScreenRoad(GetParam().depth));
    ASSERT_EQ(drawn.size(), static_cast<size_t>(kW * kH));
    // The paper shows nowhere unblended: the box and the stretch cover every row.
    int paper = 0;
    for (int32_t y = 0; y < kH; ++y) {
        for (const int32_t x : {2 + 12, 50 + 12}) {
            paper += drawn[static_cast<size_t>(y * kW + x)] == kPaper ? 1 : 0;
        }
    }
    EXPECT_EQ(paper, 0);
    EXPECT_EQ(CountDiffering(soft, drawn, kW, BlendTolerance(GetParam(), kBlendAlpha)), 0);
}

INSTANTIATE_ON_DRAW_ROADS(OversizedGraphRoadsTest);
INSTANTIATE_ON_DRAW_ROADS(OversizedTargetRoadsTest);

}  // namespace
