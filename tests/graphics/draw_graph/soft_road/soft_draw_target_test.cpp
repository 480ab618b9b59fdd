// What the graph-level software draws ask of graph management through the SoftDrawTargetDriver:
// without graph management every draw is refused and nothing is touched; with graph
// management's answers the graph's size and surface image are found; and on a screen in
// DirectDraw surfaces each draw runs on the images that begin hands out, with the rectangles
// the road prepares, and ends exactly once.
#include "graphics/draw_graph/soft_road/soft_draw_target.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/draw_graph/soft_road/rotated_graph_soft.h"
#include "softrender/rotated/blit_rotated.h"
#include "graphics/draw_graph/soft_road/stretched_graph_soft.h"
#include "softrender/scaled/blit_scaled.h"
#include "graphics/draw_graph/soft_road/quad_graph_soft.h"
#include "graphics/draw_graph/soft_road/triangle_graph_soft.h"
#include "softrender/triangle/triangle_rasterizer.h"
#include "tests/graphics/draw_graph/soft_road/soft_graph_fixture.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

// What one begin of the DirectDraw road was handed, and the images it hands back.
struct BeginCall {
    HandleValue surface2D;
    RECT sourceRect;
    RECT destRect;
};
std::vector<BeginCall> gBegins;
int gEnds = 0;
int gBeginResult = 0;
MEMIMG* gPreparedDestination = nullptr;
const MEMIMG* gPreparedSource = nullptr;

int RecordBegin(HandleValue surface2D, const RECT* sourceRect, const RECT* destRect,
                SoftDrawPlace* place) {
    gBegins.push_back({surface2D, *sourceRect, *destRect});
    if (gBeginResult != 0) return gBeginResult;
    place->destination = gPreparedDestination;
    place->source = surface2D == kNoHandle ? nullptr : gPreparedSource;
    return 0;
}
void RecordEnd() { ++gEnds; }

std::vector<int32_t> Edges(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

class SoftDrawTargetTest : public SoftGraphFixture {
protected:
    void SetUp() override {
        SoftGraphFixture::SetUp();
        gBegins.clear();
        gEnds = 0;
        gBeginResult = 0;
        gPreparedDestination = nullptr;
        gPreparedSource = nullptr;
    }

    // A graph whose pixels are all different.
    HandleValue MakeGraph(int w, int h) {
        const HandleValue graph = CreateBlankGraph(w, h, 1);
        EXPECT_GE(graph, 0);
        MEMIMG* image = ImageOf(graph);
        EXPECT_NE(image, nullptr);
        if (image == nullptr) return graph;
        for (int y = 0; y < image->height; ++y) {
            for (int x = 0; x < image->width; ++x) {
                const uint32_t v = 0x00204060u + 0x010000u * y + 0x0101u * x;
                std::memcpy(image->pixels + y * image->pitch + x * 4, &v, 4);
            }
        }
        return graph;
    }

    // The screen in DirectDraw surfaces, with a DirectDraw road that records its begins and
    // ends and hands out the given images.
    void UseRecordingDirectDrawRoad(MEMIMG* destination, const MEMIMG* source) {
        UseDirectDrawScreen();
        gPreparedDestination = destination;
        gPreparedSource = source;
        road_ = *SoftDrawTargetSlot();
        road_.beginDirectDrawSoftDraw = RecordBegin;
        road_.endDirectDrawSoftDraw = RecordEnd;
        SoftDrawTargetSlot().Install(road_);
    }

    SoftDrawTargetDriver road_ = {};
};

TEST(SoftDrawTargetAbsentTest, TheAbsentDriverOffersNothing) {
    const SoftDrawTargetDriver& absent = kAbsentSoftDrawTarget;
    EXPECT_TRUE(DriverIsComplete(absent));
    EXPECT_EQ(absent.isSoftDrawAvailable(), 0);
    EXPECT_EQ(absent.isSoftwareScreenRoad(), 0);
    EXPECT_EQ(absent.drawTargetImage(), nullptr);
    EXPECT_EQ(absent.maskImage(), nullptr);
    EXPECT_EQ(absent.blendGraphImage(), nullptr);
    int32_t w = 7, h = 7;
    absent.graphSize(nullptr, &w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    MEMIMG view;
    SoftSurfaceImage image{&view, 3, 1, 1};
    EXPECT_EQ(absent.surfaceImage(nullptr, kNoHandle, &view, &image), -1);
    EXPECT_EQ(image.image, nullptr);
    EXPECT_EQ(image.surface2D, kNoHandle);
    SoftDrawPlace place{};
    const RECT r{0, 0, 1, 1};
    EXPECT_EQ(absent.beginDirectDrawSoftDraw(kNoHandle, &r, &r, &place), -1);
    absent.endDirectDrawSoftDraw();
}

TEST_F(SoftDrawTargetTest, WithoutGraphManagementsDriverEveryGraphDrawIsRefused) {
    const HandleValue graph = MakeGraph(4, 3);
    const GraphRecord* record = GetGraphRecord(graph);
    TestImage target(16, 16, 1);
    SetTarget(target.get());
    SoftDrawTargetSlot().Reset();
    const int32_t v[12] = {0, 0, 0, 0, 4, 0, 4, 0, 0, 4, 0, 4};
    EXPECT_EQ(BlitGraphRotatedSoft(8, 8, 1.0, 0.0, record, 0, 0), -1);
    EXPECT_EQ(BlitGraphStretchedSoft(0, 0, 8, 8, record, 0, 1, kNoHandle), -1);
    EXPECT_EQ(DrawGraphTriangleSoft(v, record, 0, 0), -1);
    EXPECT_EQ(DrawGraphTriangleSoft(v, nullptr, 0, 0x1234), -1);
    EXPECT_EQ(DrawGraphQuadSoft(0, 0, 4, 0, 0, 4, 4, 4, record, 0), 0);  // always 0
    EXPECT_EQ(target.bytes(), TestImage(16, 16, 1).bytes());
}

TEST_F(SoftDrawTargetTest, GraphManagementGivesTheGraphsSizeAndSurfaceImage) {
    const HandleValue parent = MakeGraph(6, 5);
    const HandleValue part = DeriveGraph(2, 1, 3, 2, parent);
    ASSERT_GE(part, 0);
    const SoftDrawTargetDriver& driver = *SoftDrawTargetSlot();
    int32_t w = 0, h = 0;
    driver.graphSize(GetGraphRecord(part), &w, &h);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);

    MEMIMG view;
    SoftSurfaceImage own{};
    ASSERT_EQ(driver.surfaceImage(GetGraphRecord(parent), kNoHandle, &view, &own), 0);
    EXPECT_EQ(own.image, ImageOf(parent));
    EXPECT_EQ(own.surface2D, GetGraphRecord(parent)->surfaces[0]);
    EXPECT_EQ(own.width, 6);
    EXPECT_EQ(own.height, 5);

    // Another graph's 2D surface: a view of the derived rectangle, with that surface's size.
    SoftSurfaceImage given{};
    const HandleValue partSurface = GetGraphRecord(part)->surfaces[0];
    ASSERT_EQ(driver.surfaceImage(GetGraphRecord(parent), partSurface, &view, &given), 0);
    EXPECT_EQ(given.image, &view);
    EXPECT_EQ(given.surface2D, partSurface);
    EXPECT_EQ(given.width, 3);
    EXPECT_EQ(given.height, 2);
    EXPECT_EQ(view.width, 3);
    EXPECT_EQ(view.height, 2);
    EXPECT_EQ(view.pixels, ImageOf(parent)->pixels + 1 * ImageOf(parent)->pitch + 2 * 4);

    EXPECT_EQ(driver.surfaceImage(GetGraphRecord(parent), 12345, &view, &given), -1);
    EXPECT_EQ(driver.surfaceImage(nullptr, kNoHandle, &view, &given), -1);
}

TEST_F(SoftDrawTargetTest, TheRotatedDrawRunsOnThePreparedImages) {
    const HandleValue graph = MakeGraph(5, 4);
    TestImage prepared(24, 20, 1);
    TestImage source(5, 4, 1);
    source.Fill(0x00AA5511);
    UseRecordingDirectDrawRoad(prepared.get(), source.get());

    EXPECT_EQ(BlitGraphRotatedSoft(10.9f, 9.5f, 1.5, 0.4, GetGraphRecord(graph), 0, 0), 0);
    ASSERT_EQ(gBegins.size(), 1u);
    EXPECT_EQ(gBegins[0].surface2D, GetGraphRecord(graph)->surfaces[0]);
    EXPECT_EQ(Edges(gBegins[0].sourceRect), (std::vector<int32_t>{0, 0, 5, 4}));
    EXPECT_EQ(Edges(gBegins[0].destRect), Edges(GetRotatedSoftDrawBox(10, 9, 1.5, 0.4, 5, 4)));
    EXPECT_EQ(gEnds, 1);
    TestImage expected(24, 20, 1);
    BlitMemImgRotated(expected.get(), source.get(), 10, 9, 0.4f, 1.5f, 0, 0, nullptr, GetDrawState());
    EXPECT_EQ(prepared.bytes(), expected.bytes());
    EXPECT_NE(prepared.bytes(), TestImage(24, 20, 1).bytes());
}

TEST_F(SoftDrawTargetTest, TheStretchedDrawRunsOnThePreparedImages) {
    const HandleValue graph = MakeGraph(4, 3);
    TestImage prepared(24, 20, 1);
    TestImage source(4, 3, 1);
    source.Fill(0x00336699);
    UseRecordingDirectDrawRoad(prepared.get(), source.get());
    GetDrawState().drawArea = RECT{0, 0, 10, 10};

    // Mirrored along x and clipped by the draw area.
    EXPECT_EQ(BlitGraphStretchedSoft(12, 1, 2, 7, GetGraphRecord(graph), 0, 1, kNoHandle), 0);
    ASSERT_EQ(gBegins.size(), 1u);
    RECT sourceRect, destRect;
    ASSERT_EQ(GetStretchedSoftDrawRects(12, 1, 2, 7, 4, 3, RECT{0, 0, 10, 10}, &sourceRect,
                                        &destRect),
              0);
    EXPECT_EQ(gBegins[0].surface2D, GetGraphRecord(graph)->surfaces[0]);
    EXPECT_EQ(Edges(gBegins[0].sourceRect), Edges(sourceRect));
    EXPECT_EQ(Edges(gBegins[0].destRect), Edges(destRect));
    EXPECT_EQ(gEnds, 1);
    TestImage expected(24, 20, 1);
    GetDrawState().drawArea = RECT{0, 0, 10, 10};
    BlitMemImgScaled(expected.get(), source.get(), RECT{12, 1, 2, 7}, 0, nullptr, GetDrawState());
    EXPECT_EQ(prepared.bytes(), expected.bytes());
    EXPECT_NE(prepared.bytes(), TestImage(24, 20, 1).bytes());

    // A rectangle of the source's own size, not mirrored, is not this road's.
    const std::vector<uint8_t> before = prepared.bytes();
    EXPECT_EQ(BlitGraphStretchedSoft(1, 1, 5, 4, GetGraphRecord(graph), 0, 1, kNoHandle), -1);
    // A rectangle, or a rotated box with the kernel's margin, that misses the draw area has
    // nothing to draw: 0, as on the software screen, and nothing is begun.
    EXPECT_EQ(BlitGraphStretchedSoft(20, 20, 30, 30, GetGraphRecord(graph), 0, 1, kNoHandle), 0);
    EXPECT_EQ(BlitGraphStretchedSoft(30, 30, 20, 20, GetGraphRecord(graph), 0, 1, kNoHandle), 0);
    EXPECT_EQ(BlitGraphRotatedSoft(20.0f, 20.0f, 1.0, 0.5, GetGraphRecord(graph), 0, 0), 0);
    EXPECT_EQ(BlitGraphRotatedSoft(-6.0f, 3.0f, 1.0, 0.0, GetGraphRecord(graph), 0, 0), 0);
    // A zero-width rectangle is still refused.
    EXPECT_EQ(BlitGraphStretchedSoft(3, 3, 3, 9, GetGraphRecord(graph), 0, 1, kNoHandle), -1);
    EXPECT_EQ(gBegins.size(), 1u);
    EXPECT_EQ(gEnds, 1);
    EXPECT_EQ(prepared.bytes(), before);
}

TEST_F(SoftDrawTargetTest, TheTriangleDrawRunsOnThePreparedImages) {
    const HandleValue graph = MakeGraph(4, 4);
    TestImage prepared(16, 16, 1);
    TestImage source(4, 4, 1);
    source.Fill(0x00123456);
    UseRecordingDirectDrawRoad(prepared.get(), source.get());

    const int32_t v[12] = {1, 2, 0, 0, 9, 2, 4, 0, 1, 8, 0, 4};
    EXPECT_EQ(DrawGraphTriangleSoft(v, GetGraphRecord(graph), 0, 0), 0);
    RECT destinationBox, sourceBox;
    GetTriangleSoftDrawBoxes(v, &destinationBox, &sourceBox);
    ASSERT_EQ(gBegins.size(), 1u);
    EXPECT_EQ(gBegins[0].surface2D, GetGraphRecord(graph)->surfaces[0]);
    EXPECT_EQ(Edges(gBegins[0].sourceRect), Edges(sourceBox));
    EXPECT_EQ(Edges(gBegins[0].destRect), Edges(destinationBox));
    EXPECT_EQ(gEnds, 1);
    TestImage expected(16, 16, 1);
    RasterizeMemImgTriangle(expected.get(), source.get(), v, 0, nullptr, 0, GetDrawState());
    EXPECT_EQ(prepared.bytes(), expected.bytes());
    EXPECT_NE(prepared.bytes(), TestImage(16, 16, 1).bytes());

    // A flat triangle has no 2D surface and no source.
    TestImage flat(16, 16, 1);
    gPreparedDestination = flat.get();
    EXPECT_EQ(DrawGraphTriangleSoft(v, nullptr, 0, 0x00FF00FF), 0);
    ASSERT_EQ(gBegins.size(), 2u);
    EXPECT_EQ(gBegins[1].surface2D, kNoHandle);
    EXPECT_EQ(gEnds, 2);
    TestImage expectedFlat(16, 16, 1);
    RasterizeMemImgTriangle(expectedFlat.get(), nullptr, v, 0, nullptr, 0x00FF00FF, GetDrawState());
    EXPECT_EQ(flat.bytes(), expectedFlat.bytes());
}

TEST_F(SoftDrawTargetTest, ARefusedBeginDrawsNothingAndEndsNothing) {
    const HandleValue graph = MakeGraph(4, 4);
    TestImage prepared(16, 16, 1);
    UseRecordingDirectDrawRoad(prepared.get(), ImageOf(graph));
    gBeginResult = -1;
    const int32_t v[12] = {1, 2, 0, 0, 9, 2, 4, 0, 1, 8, 0, 4};
    EXPECT_EQ(BlitGraphRotatedSoft(8, 8, 1.0, 0.3, GetGraphRecord(graph), 0, 0), -1);
    EXPECT_EQ(BlitGraphStretchedSoft(0, 0, 9, 9, GetGraphRecord(graph), 0, 1, kNoHandle), -1);
    EXPECT_EQ(DrawGraphTriangleSoft(v, GetGraphRecord(graph), 0, 0), -1);
    EXPECT_EQ(DrawGraphTriangleSoft(v, nullptr, 0, 0x1234), -1);
    EXPECT_EQ(gBegins.size(), 4u);
    EXPECT_EQ(gEnds, 0);
    EXPECT_EQ(prepared.bytes(), TestImage(16, 16, 1).bytes());
}

}  // namespace
