// The graph-level stretched draw: the corners as the caller gives them (reversed ones mirror,
// floats truncated), the 2D surface drawn from, the refusals of the software path, and the
// rectangles the DirectDraw road will prepare.
#include "graphics/draw_graph/soft_road/stretched_graph_soft.h"

#include <gtest/gtest.h>

#include "softrender/scaled/blit_scaled.h"
#include "tests/graphics/draw_graph/soft_road/soft_graph_fixture.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

class BlitGraphStretchedTest : public SoftGraphFixture {
protected:
    // A graph whose pixels are all different.
    HandleValue MakeGraph(int w, int h, uint32_t seed) { return MakeNumberedGraph(w, h, seed); }
};

TEST_F(BlitGraphStretchedTest, DrawsTheGraphOnTheTarget) {
    const HandleValue graph = MakeGraph(4, 3, 0x00102030);
    const GraphRecord* record = GetGraphRecord(graph);
    TestImage target(24, 20, 1);
    SetTarget(target.get());
    struct Case {
        const char* name;
        int32_t x1, y1, x2, y2;
    };
    const Case cases[] = {
        {"enlarged", 1, 2, 13, 11},
        {"mirrored both ways", 13, 11, 1, 2},
        {"same size", 5, 5, 9, 8},
        {"partly outside", -5, 15, 7, 25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestImage expected(target);
        BlitMemImgScaled(expected.get(), ImageOf(graph), RECT{c.x1, c.y1, c.x2, c.y2}, 0, nullptr, GetDrawState());
        EXPECT_EQ(BlitGraphStretchedSoft(c.x1, c.y1, c.x2, c.y2, record, 0, 1, kNoHandle), 0);
        EXPECT_EQ(target.bytes(), expected.bytes());
    }
    {
        SCOPED_TRACE("float corners are truncated toward zero");
        TestImage expected(target);
        BlitMemImgScaled(expected.get(), ImageOf(graph), RECT{-1, 2, 9, 7}, 0, nullptr, GetDrawState());
        EXPECT_EQ(BlitGraphStretchedSoft(StretchCoordFromFloat(-1.9f), StretchCoordFromFloat(2.5f),
                                         StretchCoordFromFloat(9.99f), StretchCoordFromFloat(7.0f),
                                         record, 0, 0, kNoHandle),
                  0);
        EXPECT_EQ(target.bytes(), expected.bytes());
    }
    {
        SCOPED_TRACE("onto the mask's image while mask drawing is active");
        TestImage mask(24, 20, 1);
        TestImage expected(mask);
        SetMask(mask.get());
        GetDrawState().maskActive = 1;
        const TestImage targetBefore(target);
        BlitMemImgScaled(expected.get(), ImageOf(graph), RECT{0, 0, 8, 6}, 0, nullptr, GetDrawState());
        EXPECT_EQ(BlitGraphStretchedSoft(0, 0, 8, 6, record, 0, 1, kNoHandle), 0);
        EXPECT_EQ(mask.bytes(), expected.bytes());
        EXPECT_EQ(target.bytes(), targetBefore.bytes());
    }
}

// A given 2D surface is drawn instead of the graph's own; a derived graph's surface is a view
// of its rectangle of the shared pixels.
TEST_F(BlitGraphStretchedTest, DrawsTheGivenSurface) {
    const HandleValue graph = MakeGraph(4, 3, 0x00102030);
    const HandleValue other = MakeGraph(6, 5, 0x00405060);
    const HandleValue part = DeriveGraph(2, 1, 3, 3, other);
    ASSERT_GE(part, 0);
    TestImage target(24, 20, 1);
    SetTarget(target.get());

    MEMIMG view;
    std::memset(&view, 0, sizeof view);
    InitMemImgView(&view, ImageOf(other), 2, 1, 3, 3);
    TestImage expected(target);
    BlitMemImgScaled(expected.get(), &view, RECT{1, 1, 10, 7}, 0, nullptr, GetDrawState());
    const HandleValue surface = GetGraphRecord(part)->surfaces[0];
    EXPECT_EQ(BlitGraphStretchedSoft(1, 1, 10, 7, GetGraphRecord(graph), 0, 1, surface), 0);
    EXPECT_EQ(target.bytes(), expected.bytes());

    TestImage expectedPart(target);
    BlitMemImgScaled(expectedPart.get(), &view, RECT{12, 2, 3, 9}, 0, nullptr, GetDrawState());
    EXPECT_EQ(BlitGraphStretchedSoft(12, 2, 3, 9, GetGraphRecord(part), 0, 1, kNoHandle), 0);
    EXPECT_EQ(target.bytes(), expectedPart.bytes());
}

TEST_F(BlitGraphStretchedTest, Refusals) {
    const HandleValue graph = MakeGraph(4, 3, 0x00102030);
    GraphRecord* record = GetGraphRecord(graph);
    TestImage target(16, 16, 1);
    const TestImage before(target);
    {
        SCOPED_TRACE("no draw target image");
        SetTarget(nullptr);
        EXPECT_EQ(BlitGraphStretchedSoft(0, 0, 8, 8, record, 0, 1, kNoHandle), -1);
    }
    SetTarget(target.get());
    {
        SCOPED_TRACE("a 2D surface that does not resolve");
        EXPECT_EQ(BlitGraphStretchedSoft(0, 0, 8, 8, record, 0, 1, 12345), -1);
        GraphRecord broken = *record;
        broken.surfaces[0] = kNoHandle;
        EXPECT_EQ(BlitGraphStretchedSoft(0, 0, 8, 8, &broken, 0, 1, kNoHandle), -1);
        EXPECT_EQ(BlitGraphStretchedSoft(0, 0, 8, 8, nullptr, 0, 1, kNoHandle), -1);
    }
    {
        SCOPED_TRACE("surface data that does not resolve");
        Surface2DRecord* surface = GetSurface2D(record->surfaces[0]);
        ASSERT_NE(surface, nullptr);
        const HandleValue data = surface->surfaceData;
        surface->surfaceData = kNoHandle;
        EXPECT_EQ(BlitGraphStretchedSoft(0, 0, 8, 8, record, 0, 1, kNoHandle), -1);
        surface->surfaceData = data;
    }
    {
        SCOPED_TRACE("the DirectDraw road is not connected");
        UseDirectDrawScreen();
        EXPECT_EQ(BlitGraphStretchedSoft(0, 0, 8, 8, record, 0, 1, kNoHandle), -1);
    }
    {
        SCOPED_TRACE("neither software-only mode nor DirectDraw");
        UseNoScreen();
        EXPECT_EQ(BlitGraphStretchedSoft(0, 0, 8, 8, record, 0, 1, kNoHandle), -1);
    }
    EXPECT_EQ(target.bytes(), before.bytes());
    {
        SCOPED_TRACE("an empty rectangle on a software screen: 0, nothing drawn");
        UseSoftwareScreen(32);
        EXPECT_EQ(BlitGraphStretchedSoft(3, 0, 3, 8, record, 0, 1, kNoHandle), 0);
        EXPECT_EQ(target.bytes(), before.bytes());
    }
}

TEST_F(BlitGraphStretchedTest, DirectDrawRectangles) {
    struct Case {
        const char* name;
        RECT corners;
        int32_t sourceWidth, sourceHeight;
        int result;
        RECT source, dest;
    };
    const RECT area{0, 0, 16, 16};
    const Case cases[] = {
        {"inside", {0, 0, 8, 8}, 4, 4, 0, {0, 0, 4, 4}, {0, 0, 8, 8}},
        {"left half clipped", {-4, 0, 4, 8}, 4, 4, 0, {2, 0, 4, 4}, {0, 0, 4, 8}},
        {"left half clipped, mirrored", {4, 0, -4, 8}, 4, 4, 0, {0, 0, 2, 4}, {0, 0, 4, 8}},
        {"bottom clipped, mirrored vertically", {0, 20, 8, 8}, 4, 4, 0, {0, 1, 4, 4}, {0, 8, 8, 16}},
        {"shrunk, right clipped", {10, 0, 18, 1}, 16, 1, 0, {0, 0, 12, 1}, {10, 0, 16, 1}},
        // The area's left and top edges fall inside the first source pixel: the source part
        // reaches the column and row the last drawn pixel reads (16 / 2).
        {"cut inside a source pixel", {-1, -1, 31, 31}, 16, 16, 0, {0, 0, 9, 9}, {0, 0, 16, 16}},
        {"cut inside a source pixel, mirrored across", {31, -1, -1, 31}, 16, 16, 0,
         {7, 0, 16, 9}, {0, 0, 16, 16}},
        {"zero width", {3, 0, 3, 8}, 4, 4, -1, {}, {}},
        {"outside", {20, 0, 28, 8}, 4, 4, 1, {}, {}},
        {"outside, mirrored", {28, 0, 20, 8}, 4, 4, 1, {}, {}},
        {"touching the right edge only", {16, 0, 20, 8}, 4, 4, 1, {}, {}},
        {"empty source", {0, 0, 8, 8}, 0, 4, -1, {}, {}},
        {"a step of 0", {0, 0, 1, 1}, 70000, 1, -1, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RECT source{-9, -9, -9, -9}, dest{-9, -9, -9, -9};
        ASSERT_EQ(GetStretchedSoftDrawRects(c.corners.left, c.corners.top, c.corners.right,
                                            c.corners.bottom, c.sourceWidth, c.sourceHeight, area,
                                            &source, &dest),
                  c.result);
        if (c.result != 0) continue;
        EXPECT_EQ(source.left, c.source.left);
        EXPECT_EQ(source.top, c.source.top);
        EXPECT_EQ(source.right, c.source.right);
        EXPECT_EQ(source.bottom, c.source.bottom);
        EXPECT_EQ(dest.left, c.dest.left);
        EXPECT_EQ(dest.top, c.dest.top);
        EXPECT_EQ(dest.right, c.dest.right);
        EXPECT_EQ(dest.bottom, c.dest.bottom);
    }
}

}  // namespace
