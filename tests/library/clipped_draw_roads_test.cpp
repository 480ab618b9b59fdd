// A draw that has nothing to draw answers alike on every road: a stretched or rotated graph
// (and the draws built on the stretched one) wholly outside the draw area gives 0 on the
// software screen, on DirectDraw surfaces and on the 3D device, 16-bit and 32-bit, after the
// shipped start-up; the draw leaves the screen as it was. A bad handle still gives -1.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "graphics/d3d/device.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "platform/testing/display_test_controls.h"
#include "tests/support/bmp_file.h"
#include "tests/support/headless_library_fixture.h"

namespace {

enum class Road { kSoftwareScreen, kDirectDraw, kDevice3D };

struct RoadCase {
    const char* name;
    Road road;
    int32_t depth;
};

const RoadCase kRoads[] = {
    {"software screen, 16-bit", Road::kSoftwareScreen, 16},
    {"software screen, 32-bit", Road::kSoftwareScreen, 32},
    {"DirectDraw surfaces, 16-bit", Road::kDirectDraw, 16},
    {"DirectDraw surfaces, 32-bit", Road::kDirectDraw, 32},
    {"3D device, 16-bit", Road::kDevice3D, 16},
    {"3D device, 32-bit", Road::kDevice3D, 32},
};

class ClippedDrawRoadsTest : public HeadlessLibraryFixture {
protected:
    void Start(const RoadCase& road) {
        ASSERT_EQ(PrepareWindowedStart(road.depth, road.road == Road::kDevice3D), 0);
        // The DirectDraw surfaces are asked for on their road only.
        SetSoftwareRenderRequest(road.road == Road::kDirectDraw ? 1 : 0);
        plat::FailNextThreadStarts(1);
        ASSERT_EQ(ApiInitLibrary(), 0);
        ASSERT_EQ(GetScreenState().softwareScreen, road.road == Road::kSoftwareScreen ? 1 : 0);
        ASSERT_EQ(Direct3DIsUp(), road.road == Road::kDevice3D ? 1 : 0);
        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    }

    // The shown picture after a present.
    static std::vector<uint32_t> Shown() {
        EXPECT_EQ(ApiPresentScreen(), 0);
        plat::ShownPicture shown;
        EXPECT_TRUE(plat::GetShownPicture(&shown, GetWindowData().window.handle));
        return shown.pixels;
    }
};

TEST_F(ClippedDrawRoadsTest, AWhollyClippedStretchedOrRotatedDrawAnswersZeroOnEveryRoad) {
    {
        std::ofstream out(Path("sprite.bmp"), std::ios::binary);
        out << Bmp24Bytes(16, 12, [](int x, int y) {
            return 0x00FF0000u | static_cast<uint32_t>(x * 16) << 8 | static_cast<uint32_t>(y * 20);
        });
    }
    struct Draw {
        const char* name;
        int (*draw)(HandleValue graph);
    };
    // The draw area is (100, 100)-(300, 200) below; every draw lies wholly outside it, most of
    // them on the screen.
    const Draw draws[] = {
        {"stretched, left of the area",
         [](HandleValue g) { return BlitGraphStretched(10, 120, 60, 160, g, 0); }},
        {"stretched, right of it, mirrored",
         [](HandleValue g) { return BlitGraphStretched(400, 120, 320, 180, g, 1); }},
        {"stretched, below it, from its bottom edge",
         [](HandleValue g) { return BlitGraphStretched(120, 200, 180, 260, g, 0); }},
        {"stretched, off the screen",
         [](HandleValue g) { return BlitGraphStretched(-500, -400, -300, -200, g, 0); }},
        {"turned", [](HandleValue g) { return BlitGraphTurned(500, 300, g, 0); }},
        {"part, stretched",
         [](HandleValue g) { return BlitGraphRectStretched(10, 10, 90, 90, 2, 2, 8, 6, g, 0); }},
        {"rotated, above the area",
         [](HandleValue g) { return BlitGraphRotated(200.0f, 40.0f, 2.0, 0.7, g, 0, 0); }},
        {"rotated, right of it, turned",
         [](HandleValue g) { return BlitGraphRotated(380.0f, 150.0f, 1.5, 2.0, g, 1, 1); }},
        {"rotated, off the screen",
         [](HandleValue g) { return BlitGraphRotated(-900.0f, 2000.0f, 1.0, 0.0, g, 0, 0); }},
        {"rotated, integer entry",
         [](HandleValue g) { return ApiDrawGraphRotatedInt(600, 450, 1.0, 0.3, g, 0, 0); }},
    };
    for (const RoadCase& road : kRoads) {
        SCOPED_TRACE(road.name);
        Start(road);
        const int graph = ApiLoadGraphFromPath(Path("sprite.bmp").c_str(), 0);
        ASSERT_NE(graph, -1);
        ASSERT_EQ(GetGraphRecord(graph)->flags.is3D, road.road == Road::kDevice3D ? 1 : 0);
        ASSERT_EQ(SetDrawAreaRect(100, 100, 300, 200), 0);
        const std::vector<uint32_t> before = Shown();
        for (const Draw& d : draws) {
            SCOPED_TRACE(d.name);
            EXPECT_EQ(d.draw(graph), 0);
        }
        EXPECT_TRUE(Shown() == before) << "a clipped draw changed the screen";

        // A draw that reaches into the area still draws, and a bad handle is still refused.
        EXPECT_EQ(BlitGraphStretched(90, 90, 130, 130, graph, 0), 0);
        EXPECT_EQ(BlitGraphRotated(300.0f, 200.0f, 1.0, 0.5, graph, 0, 0), 0);
        EXPECT_FALSE(Shown() == before);
        EXPECT_EQ(BlitGraphStretched(10, 120, 60, 160, -1, 0), -1);
        EXPECT_EQ(BlitGraphRotated(200.0f, 40.0f, 2.0, 0.7, -1, 0, 0), -1);

        ASSERT_EQ(ApiTermLibrary(), 0);
        ResetLibraryState();
        ResetScreenState();
    }
}

}  // namespace
