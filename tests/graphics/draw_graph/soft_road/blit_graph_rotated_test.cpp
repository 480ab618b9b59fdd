// The graph-level rotated draw: which image it draws from and into, the refusals of the
// software path, and the box the DirectDraw road will prepare.
#include "graphics/draw_graph/soft_road/rotated_graph_soft.h"

#include <gtest/gtest.h>

#include <cmath>

#include "graphics/draw_target/draw_target.h"
#include "softrender/rotated/blit_rotated.h"
#include "softrender/rotated/rotated_blit_plan.h"
#include "tests/graphics/draw_graph/soft_road/soft_graph_fixture.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

class BlitGraphRotatedTest : public SoftGraphFixture {
protected:
    // A 5x4 graph whose pixels are all different.
    HandleValue MakeGraph() {
        const HandleValue graph = CreateBlankGraph(5, 4, 1);
        EXPECT_GE(graph, 0);
        MEMIMG* image = ImageOf(graph);
        EXPECT_NE(image, nullptr);
        if (image == nullptr) return graph;
        EXPECT_EQ(image->pixelFormat, MEMIMG_FORMAT_32);
        for (int y = 0; y < image->height; ++y) {
            for (int x = 0; x < image->width; ++x) {
                const uint32_t v = 0x01000000u * (y + 1) + 0x010203u * (x + 1);
                std::memcpy(image->pixels + y * image->pitch + x * 4, &v, 4);
            }
        }
        return graph;
    }
};

TEST_F(BlitGraphRotatedTest, DrawsTheGraphOnTheTarget) {
    const HandleValue graph = MakeGraph();
    TestImage target(24, 20, 1);
    TestImage expected(24, 20, 1);
    SetTarget(target.get());
    // The centre is truncated toward zero.
    EXPECT_EQ(BlitGraphRotatedSoft(10.9f, 9.5f, 1.5, 0.4, GetGraphRecord(graph), 0, 0), 0);
    BlitMemImgRotated(expected.get(), ImageOf(graph), 10, 9, 0.4f, 1.5f, 0, 0, nullptr, GetDrawState());
    EXPECT_EQ(target.bytes(), expected.bytes());
    EXPECT_NE(target.bytes(), TestImage(24, 20, 1).bytes());

    // Mirrored, onto the mask's image while mask drawing is active.
    TestImage mask(24, 20, 1);
    TestImage expectedMask(24, 20, 1);
    SetMask(mask.get());
    GetDrawState().maskActive = 1;
    const TestImage targetBefore(target);
    EXPECT_EQ(BlitGraphRotatedSoft(-3.7f, 5.0f, 1.0, 0.0, GetGraphRecord(graph), 1, 1), 0);
    BlitMemImgRotated(expectedMask.get(), ImageOf(graph), -3, 5, 0.0f, 1.0f, 1, 1, nullptr, GetDrawState());
    EXPECT_EQ(mask.bytes(), expectedMask.bytes());
    EXPECT_EQ(target.bytes(), targetBefore.bytes());
}

// A derived graph draws its own rectangle of the shared pixels (a view), not the parent's.
TEST_F(BlitGraphRotatedTest, DerivedGraphDrawsItsRectangle) {
    const HandleValue parent = MakeGraph();
    const HandleValue part = DeriveGraph(1, 2, 3, 2, parent);
    ASSERT_GE(part, 0);
    TestImage target(16, 16, 1);
    SetTarget(target.get());
    EXPECT_EQ(BlitGraphRotatedSoft(8.0f, 8.0f, 1.0, 0.0, GetGraphRecord(part), 0, 0), 0);
    const MEMIMG* whole = ImageOf(parent);
    // The part's 3x2 pixels land with their centre pixel (1, 1) on (8, 8).
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            uint32_t want = 0;
            const int sx = x - 8 + 1, sy = y - 8 + 1;
            if (sx >= 0 && sx < 3 && sy >= 0 && sy < 2) {
                std::memcpy(&want, whole->pixels + (sy + 2) * whole->pitch + (sx + 1) * 4, 4);
            }
            ASSERT_EQ(target.Get(x, y), want) << "at (" << x << ", " << y << ")";
        }
    }
}

TEST_F(BlitGraphRotatedTest, Refusals) {
    const HandleValue graph = MakeGraph();
    TestImage target(16, 16, 1);
    const TestImage before(target);
    GraphRecord* record = GetGraphRecord(graph);
    {
        SCOPED_TRACE("no draw target image");
        SetTarget(nullptr);
        EXPECT_EQ(BlitGraphRotatedSoft(8, 8, 1.0, 0.0, record, 0, 0), -1);
    }
    SetTarget(target.get());
    {
        SCOPED_TRACE("mask active without a mask image");
        GetDrawState().maskActive = 1;
        EXPECT_EQ(BlitGraphRotatedSoft(8, 8, 1.0, 0.0, record, 0, 0), -1);
        GetDrawState().maskActive = 0;
    }
    {
        SCOPED_TRACE("a graph whose 2D surface does not resolve");
        GraphRecord broken = *record;
        broken.surfaces[0] = kNoHandle;
        EXPECT_EQ(BlitGraphRotatedSoft(8, 8, 1.0, 0.0, &broken, 0, 0), -1);
        EXPECT_EQ(BlitGraphRotatedSoft(8, 8, 1.0, 0.0, nullptr, 0, 0), -1);
    }
    {
        SCOPED_TRACE("the DirectDraw road is not connected");
        UseDirectDrawScreen();
        EXPECT_EQ(BlitGraphRotatedSoft(8, 8, 1.0, 0.0, record, 0, 0), -1);
    }
    {
        SCOPED_TRACE("neither software-only mode nor DirectDraw");
        UseNoScreen();
        EXPECT_EQ(BlitGraphRotatedSoft(8, 8, 1.0, 0.0, record, 0, 0), -1);
    }
    EXPECT_EQ(target.bytes(), before.bytes());
    {
        SCOPED_TRACE("the kernel draws nothing: still 0");
        UseSoftwareScreen(32);
        EXPECT_EQ(BlitGraphRotatedSoft(8, 8, 0.0, 0.0, record, 0, 0), 0);
        TestImage wrongFormat(16, 16, 0);
        SetTarget(wrongFormat.get());
        EXPECT_EQ(BlitGraphRotatedSoft(8, 8, 1.0, 0.0, record, 0, 0), 0);
        EXPECT_EQ(target.bytes(), before.bytes());
    }
}

TEST_F(BlitGraphRotatedTest, DirectDrawBox) {
    struct Case {
        const char* name;
        double scale, angle;
        RECT box;
    };
    const Case cases[] = {
        {"angle 0", 1.0, 0.0, {8, 8, 12, 12}},
        {"scale 2", 2.0, 0.0, {6, 6, 14, 14}},
        {"quarter turn", 1.0, M_PI / 2, {8, 8, 12, 12}},
        // The corners lie 2.83 pixels from the centre: 7.17 rounds toward zero to 7.
        {"eighth turn", 1.0, M_PI / 4, {7, 7, 12, 12}},
    };
    TestImage destination(40, 40, MEMIMG_FORMAT_32);
    TestImage source(4, 4, MEMIMG_FORMAT_32);
    const KernelDrawState state{RECT{0, 0, 40, 40}, kBlendNone, 255, 0xFFFFFF};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RECT box = GetRotatedSoftDrawBox(10, 10, c.scale, c.angle, 4, 4);
        EXPECT_EQ(box.left, c.box.left);
        EXPECT_EQ(box.top, c.box.top);
        EXPECT_EQ(box.right, c.box.right);
        EXPECT_EQ(box.bottom, c.box.bottom);
        // Widened by the kernel's margin it is the box the kernel's span loop walks.
        const RotatedBlitPlan plan =
            PlanBlitMemImgRotated(destination.get(), source.get(), 10, 10,
                                  static_cast<float>(c.angle), static_cast<float>(c.scale), 0, 0,
                                  nullptr, state);
        ASSERT_EQ(plan.draw, RotatedDraw::Spans);
        const RECT reach = KernelReach(box);
        EXPECT_EQ(reach.left, plan.box.left);
        EXPECT_EQ(reach.top, plan.box.top);
        EXPECT_EQ(reach.right, plan.box.right);
        EXPECT_EQ(reach.bottom, plan.box.bottom);
    }
}

}  // namespace
