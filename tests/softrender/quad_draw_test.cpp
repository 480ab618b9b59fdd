// Quads and the graph-level triangle and quad draws: the early-out box, the software-screen
// road through graph records (whole graphs and views of shared pixels, float corners, the
// blend graph, the mask's image) and every refusal of the graph-level entries.
#include "softrender/triangle/quad_draw.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_graph/soft_road/quad_graph_soft.h"
#include "graphics/draw_graph/soft_road/triangle_graph_soft.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/mask/mask_drivers.h"
#include "softrender/rules/blend_tables.h"
#include "tests/graphics/surfaces/surface_test_support.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

TEST(QuadDrawTest, TheEarlyOutBoxReachesTwoPixelsLeftAndUpAndFourRightAndDownOfTheCorners) {
    const RECT area{10, 10, 20, 20};
    struct BoxCase {
        const char* name;
        std::vector<int32_t> corners;
        int reaches;
    };
    const BoxCase cases[] = {
        {"inside", {12, 12, 15, 12, 12, 15, 15, 15}, 1},
        {"left of the area, rightmost corner 3 pixels left of it", {0, 12, 7, 12, 0, 15, 7, 15}, 1},
        {"left of the area, rightmost corner 4 pixels left of it", {0, 12, 6, 12, 0, 15, 6, 15}, 0},
        {"above the area, lowest corner 3 lines above it", {12, 0, 15, 0, 12, 7, 15, 7}, 1},
        {"above the area, lowest corner 4 lines above it", {12, 0, 15, 0, 12, 6, 15, 6}, 0},
        {"right of the area, leftmost corner 2 pixels right of its last column",
         {21, 12, 30, 12, 21, 15, 30, 15},
         1},
        {"right of the area, leftmost corner 3 pixels right of its last column",
         {22, 12, 30, 12, 22, 15, 30, 15},
         0},
        {"below the area, top corner 2 lines below its last line",
         {12, 21, 15, 21, 12, 30, 15, 30},
         1},
        {"below the area, top corner 3 lines below its last line",
         {12, 22, 15, 22, 12, 30, 15, 30},
         0},
        {"corners at the 32-bit limits do not wrap",
         {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
         0},
        {"a box across the whole range",
         {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX},
         1},
    };
    for (const BoxCase& c : cases)
        EXPECT_EQ(QuadReachesDrawArea(c.corners.data(), area), c.reaches) << c.name;
}

TEST(QuadDrawTest, TriangleBoxesForTheDirectDrawRoad) {
    const int32_t v[12] = {5, -2, 7, 1, -3, 4, 0, 9, 2, 8, 3, 0};
    RECT d, s;
    GetTriangleSoftDrawBoxes(v, &d, &s);
    EXPECT_EQ((std::vector<int32_t>{d.left, d.top, d.right, d.bottom}),
              (std::vector<int32_t>{-3, -2, 5, 8}));
    EXPECT_EQ((std::vector<int32_t>{s.left, s.top, s.right, s.bottom}),
              (std::vector<int32_t>{0, 0, 7, 9}));
}

int Yes() { return 1; }
int No() { return 0; }

MEMIMG* gDrawTarget = nullptr;
MEMIMG* gMask = nullptr;
// The screen module's back-screen image and the mask module's image, as the test gives them.
MEMIMG* BackScreenImage(HandleValue target) {
    return target == kDrawTargetBack ? gDrawTarget : nullptr;
}
MEMIMG* MaskImage() { return gMask; }

// Graphs held as 16-bit software images on a software screen (the default 16-bit display),
// drawn into a 16-bit destination that stands for the back screen, the draw target.
class GraphQuadDrawTest : public SurfaceFixture {
protected:
    void SetUp() override {
        SurfaceFixture::SetUp();
        BuildBlendTables();
        std::memcpy(savedWeights_, BlendWeightMap, sizeof(savedWeights_));
        for (int i = 0; i < 256; ++i) BlendWeightMap[i] = static_cast<uint8_t>(i);
        screen_ = kAbsentScreen;
        screen_.isNoDirectDraw = Yes;
        screen_.isScreenSoftwareDrawn = Yes;
        screen_.screenImage = BackScreenImage;
        ScreenSlot().Install(screen_);
        ASSERT_EQ(SetDrawTarget(kDrawTargetBack), 0);
        masks_ = kMaskScreens;
        masks_.maskImage = MaskImage;
        MaskSlot().Install(masks_);
        DrawState& s = GetDrawState();
        s.blendMode = 0;
        s.blendParam = 255;
        s.bright = 0xFFFFFF;
        s.blendGraph = kNoHandle;
        s.maskActive = 0;
        s.drawArea = RECT{0, 0, 16, 12};
        gDrawTarget = target_.get();
        gMask = nullptr;
    }
    void TearDown() override {
        gDrawTarget = gMask = nullptr;
        std::memcpy(BlendWeightMap, savedWeights_, sizeof(savedWeights_));
        SurfaceFixture::TearDown();
    }

    // A graph whose pixel (x, y) is the 5-6-5 value 0x0800 | y << 5 | x (never 0).
    HandleValue CodedGraph(int w, int h) {
        const HandleValue g = CreateBlankGraph(w, h, 1);
        EXPECT_GE(g, 0);
        MEMIMG& image = DataOf(g)->image;
        EXPECT_EQ(image.pixelFormat, MEMIMG_FORMAT_565);
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const uint16_t v = static_cast<uint16_t>(0x0800 | (y << 5) | x);
                std::memcpy(image.pixels + y * image.pitch + x * 2, &v, 2);
            }
        }
        return g;
    }

    TestImage target_{16, 12, 0};
    static inline ScreenDriver screen_ = {};
    static inline MaskDriver masks_ = {};
    uint8_t savedWeights_[256] = {};
};

TEST_F(GraphQuadDrawTest, AQuadOfTheGraphsSizeCopiesItsPixels) {
    const HandleValue g = CodedGraph(4, 3);
    EXPECT_EQ(DrawGraphQuadSoft(2, 1, 6, 1, 2, 4, 6, 4, GetGraphRecord(g), 0), 0);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(target_.Get(2 + x, 1 + y), 0x0800u | (y << 5) | x) << x << " " << y;
        }
    }
    EXPECT_EQ(target_.Get(6, 1), 0u);  // u = width: outside the graph
    EXPECT_EQ(target_.Get(2, 4), 0u);  // the bottom vertex's line
}

TEST_F(GraphQuadDrawTest, ADerivedGraphDrawsItsOwnRectangleOfTheSharedPixels) {
    const HandleValue parent = CodedGraph(8, 8);
    const HandleValue tile = DeriveGraph(3, 2, 2, 2, parent);
    ASSERT_GE(tile, 0);
    EXPECT_EQ(DrawGraphQuadSoft(0, 0, 2, 0, 0, 2, 2, 2, GetGraphRecord(tile), 0), 0);
    EXPECT_EQ(target_.Get(0, 0), 0x0800u | (2 << 5) | 3);
    EXPECT_EQ(target_.Get(1, 1), 0x0800u | (3 << 5) | 4);
}

TEST_F(GraphQuadDrawTest, FloatCornersAreTruncatedTowardZero) {
    const HandleValue g = CodedGraph(4, 4);
    TestImage viaInts = target_;
    EXPECT_EQ(DrawGraphQuadSoftFloat(-2.9f, 1.9f, 5.9f, 1.2f, 2.9f, 7.99f, 9.5f, 8.0f,
                                     GetGraphRecord(g), 0),
              0);
    gDrawTarget = viaInts.get();
    EXPECT_EQ(DrawGraphQuadSoft(-2, 1, 5, 1, 2, 7, 9, 8, GetGraphRecord(g), 0), 0);
    EXPECT_EQ(target_.bytes(), viaInts.bytes());
    // A corner beyond the 32-bit range becomes the most negative integer: nothing is drawn.
    TestImage untouched(16, 12, 0);
    gDrawTarget = untouched.get();
    EXPECT_EQ(DrawGraphQuadSoftFloat(0, 0, 4e9f, 0, 0, 4, 4, 4, GetGraphRecord(g), 0), 0);
    EXPECT_EQ(untouched.bytes(), TestImage(16, 12, 0).bytes());
}

TEST_F(GraphQuadDrawTest, FlatTrianglesIgnoreTheBlendGraph) {
    const HandleValue blend = CodedGraph(16, 16);
    std::memset(DataOf(blend)->image.pixels, 0, DataOf(blend)->image.pitch * 16);
    GetDrawState().blendGraph = blend;
    const int32_t v[12] = {0, 0, 0, 0, 4, 0, 0, 0, 0, 4, 0, 0};
    EXPECT_EQ(DrawGraphTriangleSoft(v, nullptr, 0, 0xF81F), 0);
    EXPECT_EQ(target_.Get(0, 0), 0xF81Fu);
    // A textured triangle reads it: weight 0 everywhere leaves the destination in mode 0.
    const HandleValue g = CodedGraph(4, 4);
    const int32_t t[12] = {8, 0, 0, 0, 12, 0, 4, 0, 8, 4, 0, 4};
    EXPECT_EQ(DrawGraphTriangleSoft(t, GetGraphRecord(g), 0, 0), 0);
    EXPECT_EQ(target_.Get(8, 0), 0u);
    GetDrawState().blendGraph = kNoHandle;
    EXPECT_EQ(DrawGraphTriangleSoft(t, GetGraphRecord(g), 0, 0), 0);
    EXPECT_EQ(target_.Get(8, 0), 0x0800u);
}

TEST_F(GraphQuadDrawTest, TheMaskImageIsTheDestinationWhileMaskDrawingIsActive) {
    TestImage mask(16, 12, 0);
    const int32_t v[12] = {0, 0, 0, 0, 4, 0, 0, 0, 0, 4, 0, 0};
    GetDrawState().maskActive = 1;
    EXPECT_EQ(DrawGraphTriangleSoft(v, nullptr, 0, 0x1234), -1);  // no mask image known
    gMask = mask.get();
    EXPECT_EQ(DrawGraphTriangleSoft(v, nullptr, 0, 0x1234), 0);
    EXPECT_EQ(mask.Get(0, 0), 0x1234u);
    EXPECT_EQ(target_.Get(0, 0), 0u);
}

TEST_F(GraphQuadDrawTest, Refusals) {
    const HandleValue g = CodedGraph(4, 4);
    const GraphRecord* graph = GetGraphRecord(g);
    const int32_t v[12] = {0, 0, 0, 0, 4, 0, 4, 0, 0, 4, 0, 4};
    const std::vector<uint8_t> blank = target_.bytes();

    // No destination image known.
    gDrawTarget = nullptr;
    EXPECT_EQ(DrawGraphTriangleSoft(v, graph, 0, 0), -1);
    gDrawTarget = target_.get();

    // Neither software-only mode nor a DirectDraw object.
    screen_.isNoDirectDraw = No;
    SetDirectDrawObject(nullptr);
    EXPECT_EQ(DrawGraphTriangleSoft(v, graph, 0, 0), -1);
    EXPECT_EQ(DrawGraphQuadSoft(0, 0, 4, 0, 0, 4, 4, 4, graph, 0), 0);  // always 0
    SetDirectDrawObject(dd_);
    screen_.isNoDirectDraw = Yes;

    // The DirectDraw road is not connected: refused, not drawn elsewhere.
    screen_.isScreenSoftwareDrawn = No;
    EXPECT_EQ(DrawGraphTriangleSoft(v, graph, 0, 0), -1);
    screen_.isScreenSoftwareDrawn = Yes;

    // The graph's surface data cannot be found.
    Surface2DRecord* view = GetSurface2D(graph->surfaces[0]);
    const HandleValue data = view->surfaceData;
    view->surfaceData = kNoHandle;
    EXPECT_EQ(DrawGraphTriangleSoft(v, graph, 0, 0), -1);
    view->surfaceData = data;

    // No graph for the quad: nothing to map (the triangle draw would fill it with colour 0).
    EXPECT_EQ(DrawGraphQuadSoft(0, 0, 4, 0, 0, 4, 4, 4, nullptr, 0), -1);
    EXPECT_EQ(target_.bytes(), blank);

    // A graph of another pixel format than the destination: no conversion, nothing drawn, 0.
    TestImage wide(16, 12, 1);
    gDrawTarget = wide.get();
    EXPECT_EQ(DrawGraphTriangleSoft(v, graph, 0, 0), 0);
    EXPECT_EQ(wide.bytes(), TestImage(16, 12, 1).bytes());
}

}  // namespace
