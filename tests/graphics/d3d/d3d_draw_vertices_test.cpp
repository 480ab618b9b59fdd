// The Direct3D graph draws as vertices in the device's batch, after a real start-up with the
// device offered: the unscaled draw on the half-pixel grid and its clip, the rotated draw of
// odd-sized graphs, batching of equal draws into one DrawPrimitive, the box fill's colour and
// the suppressed and refused cases.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/draw_graph/draw_graph.h"
#include "tests/graphics/d3d/d3d_draw_test_support.h"

namespace {

uint32_t Grey(int32_t x, int32_t y) { return 0x010101u * static_cast<uint32_t>(40 + x + 3 * y); }

class D3DDrawVerticesTest : public Direct3DDrawFixture {
protected:
    void SetUp() override {
        Direct3DDrawFixture::SetUp();
        Start(true);
    }
    // Sends what earlier steps left in the batch, so that a test sees only its own vertices.
    static void EmptyBatch() { ASSERT_EQ(EndCurrentDeviceScene(), 0); }
};

bool OnHalfPixel(float v) { return std::fabs(v - std::floor(v) - 0.5f) < 0.001f; }

TEST_F(D3DDrawVerticesTest, UnscaledGraphLiesOnTheHalfPixelGridAndClipsWithItsTexture) {
    const HandleValue graph = MakeGraph(32, 32, Grey);
    ASSERT_EQ(GetGraphRecord(graph)->flags.is3D, 1);
    int32_t textureW = 0, textureH = 0;
    FirstTextureSize(graph, &textureW, &textureH);
    EmptyBatch();

    ASSERT_EQ(BlitGraphAt(10, 20, graph, 0), 0);
    std::vector<TexVertex> v = WaitingTexVertices();
    ASSERT_EQ(v.size(), 6u);
    // Top-left, top-right, bottom-left, bottom-right, bottom-left, top-right.
    const float xs[6] = {9.5f, 41.5f, 9.5f, 41.5f, 9.5f, 41.5f};
    const float ys[6] = {19.5f, 19.5f, 51.5f, 51.5f, 51.5f, 19.5f};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(v[i].x, xs[i]);
        EXPECT_FLOAT_EQ(v[i].y, ys[i]);
        EXPECT_FLOAT_EQ(v[i].u, xs[i] == 9.5f ? 0.0f : 32.0f / textureW);
        EXPECT_FLOAT_EQ(v[i].v, ys[i] == 19.5f ? 0.0f : 32.0f / textureH);
        EXPECT_FLOAT_EQ(v[i].z, GetDrawState().vertexDepth);
    }
    EXPECT_EQ(v[0].diffuse, GetDeviceVertexColor());

    // Half outside the left edge of the draw area: the left corners sit on the edge, their u
    // advanced by the cut width over the texture width.
    EmptyBatch();
    ASSERT_EQ(SetDrawAreaRect(20, 0, 640, 480), 0);
    ASSERT_EQ(BlitGraphAt(10, 20, graph, 0), 0);
    v = WaitingTexVertices();
    ASSERT_EQ(v.size(), 6u);
    EXPECT_FLOAT_EQ(v[0].x, 20.0f);
    EXPECT_FLOAT_EQ(v[0].u, 10.5f / textureW);
    EXPECT_FLOAT_EQ(v[2].x, 20.0f);
    EXPECT_FLOAT_EQ(v[2].u, 10.5f / textureW);
    EXPECT_FLOAT_EQ(v[1].x, 41.5f);
    EXPECT_FLOAT_EQ(v[1].u, 32.0f / textureW);

    // Entirely outside: nothing appended, and no failure.
    EmptyBatch();
    EXPECT_EQ(BlitGraphAt(-40, 20, graph, 0), 0);
    EXPECT_TRUE(WaitingTexVertices().empty());
}

TEST_F(D3DDrawVerticesTest, StretchedDrawWithReversedCornersMirrorsAndZeroSizeIsRefused) {
    const HandleValue graph = MakeGraph(16, 8, Grey);
    int32_t textureW = 0, textureH = 0;
    FirstTextureSize(graph, &textureW, &textureH);
    EmptyBatch();
    ASSERT_EQ(BlitGraphStretched(100, 10, 68, 26, graph, 0), 0);
    const std::vector<TexVertex> v = WaitingTexVertices();
    ASSERT_EQ(v.size(), 6u);
    // The graph's left edge lands on the right.
    EXPECT_FLOAT_EQ(v[0].x, 99.5f);
    EXPECT_FLOAT_EQ(v[0].u, 0.0f);
    EXPECT_FLOAT_EQ(v[1].x, 67.5f);
    EXPECT_FLOAT_EQ(v[1].u, 16.0f / textureW);
    EXPECT_FLOAT_EQ(v[2].y, 25.5f);

    const GraphRecord* record = GetGraphRecord(graph);
    EXPECT_EQ(BlitGraphStretched3D(5, 5, 5, 20, record, 0, 1), -1);
    EXPECT_EQ(BlitGraphStretched3D(5, 5, 20, 5, record, 0, 1), -1);
}

TEST_F(D3DDrawVerticesTest, OddSizedGraphTurnedARightAngleAtAWholePixelEndsOnHalfPixels) {
    struct Case {
        int32_t width, height;
        double scale;
        double angle;
    };
    const Case cases[] = {
        {31, 31, 1.0, std::numbers::pi / 2},
        {31, 32, 1.0, std::numbers::pi / 2},
        {5, 5, 3.0, std::numbers::pi / 2},   // the rotation leaves it on whole pixels
        {7, 3, 3.0, std::numbers::pi},
        {5, 9, 3.0, -std::numbers::pi / 2},  // outside a turn
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " scale " +
                     std::to_string(c.scale) + " angle " + std::to_string(c.angle));
        const HandleValue graph = MakeGraph(c.width, c.height, Grey);
        EmptyBatch();
        ASSERT_EQ(BlitGraphRotated(200.0f, 150.0f, c.scale, c.angle, graph, 0, 0), 0);
        const std::vector<TexVertex> v = WaitingTexVertices();
        ASSERT_EQ(v.size(), 6u);
        float minX = v[0].x, maxX = v[0].x, minY = v[0].y, maxY = v[0].y;
        for (const TexVertex& p : v) {
            EXPECT_TRUE(OnHalfPixel(p.x)) << p.x;
            EXPECT_TRUE(OnHalfPixel(p.y)) << p.y;
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
        // Turned, the graph still covers its own number of pixels.
        const bool quarter = std::fabs(std::fabs(c.angle) - std::numbers::pi / 2) < 0.01;
        EXPECT_NEAR(maxX - minX, (quarter ? c.height : c.width) * c.scale, 0.01);
        EXPECT_NEAR(maxY - minY, (quarter ? c.width : c.height) * c.scale, 0.01);
        DeleteGraphHandle(graph, 0);
    }
    EXPECT_EQ(BlitGraphRotated3D(10.0f, 10.0f, 0.0, 1.0, GetGraphRecord(MakeGraph(4, 4, Grey)), 0,
                                 0),
              -1);
}

TEST_F(D3DDrawVerticesTest, EqualDrawsOnTheBackScreenGoOutAsOneDrawPrimitive) {
    const HandleValue graph = MakeGraph(32, 32, Grey);
    const HandleValue other = MakeGraph(32, 32, Grey);
    EmptyBatch();
    plat::StartD3DCallLog();
    ASSERT_EQ(BlitGraphAt(10, 20, graph, 0), 0);
    ASSERT_EQ(BlitGraphAt(100, 20, graph, 0), 0);
    ASSERT_EQ(FlushCurrentDeviceVertices(), 0);
    auto drawCalls = [] {
        std::vector<plat::D3DCall> out;
        for (const plat::D3DCall& call : plat::TakeD3DCallLog()) {
            if (std::string(call.op) == "DrawPrimitive") out.push_back(call);
        }
        return out;
    };
    std::vector<plat::D3DCall> calls = drawCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].a, plat::D3DPT_TRIANGLELIST);
    EXPECT_EQ(calls[0].b, kTexVertexFormat);
    EXPECT_EQ(calls[0].c, 12u);

    // Another texture between them sends the first quad on its own.
    ASSERT_EQ(BlitGraphAt(10, 20, graph, 0), 0);
    ASSERT_EQ(BlitGraphAt(100, 20, other, 0), 0);
    ASSERT_EQ(FlushCurrentDeviceVertices(), 0);
    calls = drawCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].c, 6u);
    EXPECT_EQ(calls[1].c, 6u);
    plat::StopD3DCallLog();
}

TEST_F(D3DDrawVerticesTest, BoxFillTakesTheColourTimesTheBrightOnWholePixels) {
    EmptyBatch();
    ASSERT_EQ(SetBrightRGB(255, 128, 0), 0);
    ASSERT_EQ(FillBox3D(25, 16, 5, 6, MakeScreenColor(255, 255, 255)), 0);
    const Device3DRecord* device = CurrentDevice3DRecord();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(device->batch.kind, 0);
    ASSERT_EQ(device->batch.count, 6);
    const PlainVertex* v = device->batch.plain;
    EXPECT_EQ(v[0].diffuse, 0xFFFF8000u);
    EXPECT_EQ(v[3].diffuse, 0xFFFF8000u);
    EXPECT_FLOAT_EQ(v[0].x, 5.0f);
    EXPECT_FLOAT_EQ(v[0].y, 6.0f);
    EXPECT_FLOAT_EQ(v[3].x, 25.0f);
    EXPECT_FLOAT_EQ(v[3].y, 16.0f);

    // A grey box at half alpha: each channel scaled by the bright, alpha the parameter.
    EmptyBatch();
    ASSERT_EQ(SetBlendState(kBlendAlpha, 100), 0);
    ASSERT_EQ(FillBox3D(0, 0, 10, 10, MakeScreenColor(200, 200, 200)), 0);
    EXPECT_EQ(device->batch.plain[0].diffuse,
              (100u << 24) | (200u << 16) | ((128u * 200 / 255) << 8));

    // Clipped away: 0, nothing appended.
    EmptyBatch();
    EXPECT_EQ(FillBox3D(700, 10, 720, 20, MakeScreenColor(1, 2, 3)), 0);
    EXPECT_EQ(device->batch.count, 0);
}

TEST_F(D3DDrawVerticesTest, FourCornerDrawUnderABlendGraphMapsPiecesWithBlendCoordinates) {
    const HandleValue blend = MakeGraph(64, 64, Grey);
    const HandleValue graph = MakeGraph(32, 32, Grey);
    ASSERT_EQ(SelectBlendGraph(blend, 128, 0), 0);
    int32_t blendW = 0, blendH = 0;
    FirstTextureSize(blend, &blendW, &blendH);
    struct Corner {
        float x, y, blendU, blendV;
    };
    struct Case {
        const char* name;
        float quad[8];      // top-left, top-right, bottom-right, bottom-left
        Corner corners[4];  // top-left, top-right, bottom-left, bottom-right of the batch
    };
    const float u = 32.0f / blendW, v = 32.0f / blendH;
    const Case cases[] = {
        {"a rectangle: the stretched draw",
         {10, 20, 42, 20, 42, 52, 10, 52},
         {{9.5f, 19.5f, 0, 0}, {41.5f, 19.5f, u, 0}, {9.5f, 51.5f, 0, v}, {41.5f, 51.5f, u, v}}},
        {"sheared",
         {10, 20, 42, 20, 52, 52, 20, 52},
         {{9.5f, 19.5f, 0, 0}, {41.5f, 19.5f, u, 0}, {19.5f, 51.5f, 0, v}, {51.5f, 51.5f, u, v}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmptyBatch();
        const float* q = c.quad;
        ASSERT_EQ(BlitGraphQuad(q[0], q[1], q[2], q[3], q[4], q[5], q[6], q[7], graph, 0), 0);
        const Device3DRecord* device = CurrentDevice3DRecord();
        ASSERT_EQ(device->batch.kind, 2);
        ASSERT_EQ(device->batch.count, 6);
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(i);
            const BlendTexVertex& p = device->batch.blendTex[i];
            EXPECT_FLOAT_EQ(p.x, c.corners[i].x);
            EXPECT_FLOAT_EQ(p.y, c.corners[i].y);
            EXPECT_FLOAT_EQ(p.blendU, c.corners[i].blendU);
            EXPECT_FLOAT_EQ(p.blendV, c.corners[i].blendV);
            EXPECT_EQ(p.specular, 0xFFFFFFFFu);
        }
    }
    ASSERT_EQ(SelectBlendGraph(kNoHandle, 0, 0), 0);
}

TEST_F(D3DDrawVerticesTest, SuppressedDrawsAppendNothingAndADownDeviceRefuses) {
    const HandleValue graph = MakeGraph(8, 8, Grey);
    const GraphRecord* record = GetGraphRecord(graph);
    EmptyBatch();
    GetDevice3DState().drawingSuppressed = 1;
    EXPECT_EQ(BlitGraph3D(10, 10, record, 0, 1), 0);
    EXPECT_EQ(BlitGraphStretched3D(10, 10, 30, 30, record, 0, 1), 0);
    EXPECT_EQ(BlitGraphRotated3D(10.0f, 10.0f, 1.0, 0.5, record, 0, 0), 0);
    EXPECT_EQ(BlitGraphQuad3D(0, 0, 10, 0, 0, 10, 12, 12, record, 0), 0);
    EXPECT_EQ(CurrentDevice3DRecord()->batch.count, 0);
    GetDevice3DState().drawingSuppressed = 0;

    const int32_t current = GetDevice3DState().currentDevice;
    GetDevice3DState().currentDevice = (current + 1) % kMaxDevices3D;  // an empty slot
    EXPECT_EQ(BlitGraph3D(10, 10, record, 0, 1), -1);
    EXPECT_EQ(FillBox3D(0, 0, 10, 10, 0), -1);
    EXPECT_EQ(DrawQuadMesh3D(nullptr, 8, 8, nullptr), -1);
    GetDevice3DState().currentDevice = current;
}

}  // namespace
