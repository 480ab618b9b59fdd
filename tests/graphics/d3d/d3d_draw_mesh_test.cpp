// Four-corner draws on the Direct3D road: a parallelogram is one quad, any other shape a mesh
// of 8 x 8 vertices drawn as joined triangle strips. Drawn additively, a mesh must cover each
// pixel of its shape once: the joins between rows are degenerate triangles and draw nothing.
#include <gtest/gtest.h>

#include <string>

#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/draw_graph/draw_graph.h"
#include "tests/graphics/d3d/d3d_draw_test_support.h"

namespace {

class D3DDrawMeshTest : public Direct3DDrawFixture {
protected:
    void SetUp() override {
        Direct3DDrawFixture::SetUp();
        Start(true);
        ASSERT_EQ(ApiClearDrawTarget(), 0);
        ASSERT_EQ(EndCurrentDeviceScene(), 0);
    }

    static std::vector<plat::D3DCall> Calls(const char* op) {
        std::vector<plat::D3DCall> out;
        for (const plat::D3DCall& call : plat::TakeD3DCallLog()) {
            if (std::string(call.op) == op) out.push_back(call);
        }
        return out;
    }
};

TEST_F(D3DDrawMeshTest, ParallelogramIsOneQuadAndAFreeShapeAMeshOfJoinedStrips) {
    const HandleValue white = MakeGraph(32, 32, [](int32_t, int32_t) { return 0xFFFFFFu; });
    plat::StartD3DCallLog();
    // A sheared parallelogram: one quad in the batch.
    ASSERT_EQ(BlitGraphQuad(100, 100, 132, 100, 142, 132, 110, 132, white, 0), 0);
    EXPECT_EQ(CurrentDevice3DRecord()->batch.count, 6);
    EXPECT_TRUE(Calls("DrawIndexedPrimitive").empty());

    // A trapezoid: a mesh of 7 row pairs of 8 columns, the six joins two indices each.
    ASSERT_EQ(BlitGraphQuad(100, 200, 164, 200, 180, 260, 90, 260, white, 0), 0);
    const std::vector<plat::D3DCall> mesh = Calls("DrawIndexedPrimitive");
    ASSERT_EQ(mesh.size(), 1u);
    EXPECT_EQ(mesh[0].a, plat::D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(mesh[0].b, kTexVertexFormat);
    EXPECT_EQ(mesh[0].c, 7u * 16u + 6u * 2u);
    plat::StopD3DCallLog();

    // Fewer than two columns or rows are refused.
    TexVertex grid[4] = {};
    EXPECT_EQ(DrawQuadMesh3D(CurrentDevice3DRecord(), 1, 4, grid), -1);
    EXPECT_EQ(DrawQuadMesh3D(CurrentDevice3DRecord(), 4, 1, grid), -1);
}

TEST_F(D3DDrawMeshTest, MeshAddedOnBlackCoversEachPixelOfItsShapeOnce) {
    const HandleValue white = MakeGraph(32, 32, [](int32_t, int32_t) { return 0xFFFFFFu; });
    ASSERT_EQ(SetBlendState(kBlendAdd, 100), 0);
    // A trapezoid, and a quad bent out of any parallelogram.
    ASSERT_EQ(BlitGraphQuad(100, 100, 164, 100, 180, 170, 90, 170, white, 0), 0);
    ASSERT_EQ(BlitGraphQuad(300, 100, 380, 120, 360, 200, 290, 180, white, 0), 0);
    ASSERT_EQ(EndCurrentDeviceScene(), 0);

    const std::vector<uint32_t> colours = BackColours(RECT{80, 90, 400, 210});
    const uint32_t once = 0x646464;  // white at 100 / 255 added to black
    int covered = 0;
    for (size_t i = 0; i < colours.size(); ++i) {
        if (colours[i] == 0) continue;
        ++covered;
        ASSERT_EQ(colours[i], once) << "pixel " << (80 + i % 320) << "," << (90 + i / 320);
    }
    EXPECT_GT(covered, 2 * 64 * 60);
}

}  // namespace
