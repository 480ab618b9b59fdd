// The device batch: draws of one state go out as one DrawPrimitive, a state change sends the
// waiting vertices first, quit drops them, and scenes open and close around them.
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/drivers/window_facts_driver.h"
#include "tests/graphics/d3d/device_test_support.h"

namespace {

class Direct3DBatchTest : public Device3DFixture {};

TEST_F(Direct3DBatchTest, SpritesOfOneStateShareADrawAndABlendChangeSendsTheFirstBefore) {
    ASSERT_EQ(Start(true), 0);
    const HandleValue graph = MakeGraph(16, 16, 0x336699);
    // Settle the states of a first draw so that only the two sprites are counted.
    ASSERT_EQ(BlitGraphAt(0, 0, graph, 0), 0);
    ASSERT_EQ(FlushCurrentDeviceVertices(), 0);

    plat::StartD3DCallLog();
    ASSERT_EQ(BlitGraphAt(10, 10, graph, 0), 0);
    ASSERT_EQ(BlitGraphAt(40, 10, graph, 0), 0);
    ASSERT_EQ(FlushCurrentDeviceVertices(), 0);
    std::vector<plat::D3DCall> calls = plat::TakeD3DCallLog();
    std::vector<plat::D3DCall> draws = CallsNamed(calls, "DrawPrimitive");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].a, plat::D3DPT_TRIANGLELIST);
    EXPECT_EQ(draws[0].b, kTexVertexFormat);
    EXPECT_EQ(draws[0].c, 12u);

    ASSERT_EQ(BlitGraphAt(10, 40, graph, 0), 0);
    ASSERT_EQ(SetBlendState(kBlendAlpha, 128), 0);
    ASSERT_EQ(BlitGraphAt(40, 40, graph, 0), 0);
    ASSERT_EQ(FlushCurrentDeviceVertices(), 0);
    calls = plat::TakeD3DCallLog();
    draws = CallsNamed(calls, "DrawPrimitive");
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].c, 6u);
    EXPECT_EQ(draws[1].c, 6u);
    // The first sprite went out before blending was switched on for the second.
    const int firstDraw = FindCall(calls, "DrawPrimitive");
    const int blendOn =
        FindCall(calls, "SetRenderState", 0, plat::D3DRENDERSTATE_ALPHABLENDENABLE);
    ASSERT_GE(blendOn, 0);
    EXPECT_EQ(calls[static_cast<size_t>(blendOn)].b, 1u);
    EXPECT_LT(firstDraw, blendOn);
    plat::StopD3DCallLog();
}

int QuitAsked() { return 1; }

TEST_F(Direct3DBatchTest, WhileQuitIsRequestedFlushesDropTheBatch) {
    ASSERT_EQ(Start(true), 0);
    const HandleValue graph = MakeGraph(8, 8, 0xFFFFFF);
    ASSERT_EQ(BlitGraphAt(0, 0, graph, 0), 0);
    ASSERT_EQ(FlushCurrentDeviceVertices(), 0);

    const WindowFactsDriver& running = *WindowFactsSlot();
    static WindowFactsDriver quitting;
    quitting = running;
    quitting.isQuitRequested = QuitAsked;
    WindowFactsSlot().Install(quitting);

    plat::StartD3DCallLog();
    ASSERT_EQ(BlitGraphAt(0, 0, graph, 0), 0);
    ASSERT_GT(CurrentDevice3DRecord()->batch.count, 0);
    EXPECT_EQ(FlushCurrentDeviceVertices(), 0);
    EXPECT_EQ(CurrentDevice3DRecord()->batch.count, 0);
    EXPECT_TRUE(CallsNamed(plat::TakeD3DCallLog(), "DrawPrimitive").empty());
    WindowFactsSlot().Install(running);

    // Asked no longer, the next draw reaches the device again.
    ASSERT_EQ(BlitGraphAt(0, 0, graph, 0), 0);
    EXPECT_EQ(FlushCurrentDeviceVertices(), 0);
    EXPECT_EQ(CallsNamed(plat::TakeD3DCallLog(), "DrawPrimitive").size(), 1u);
    plat::StopD3DCallLog();
}

TEST_F(Direct3DBatchTest, SceneEndsOnlyWhenOneIsOpenAndSendsTheBatchFirst) {
    ASSERT_EQ(Start(true), 0);
    const HandleValue graph = MakeGraph(8, 8, 0x808080);
    ASSERT_EQ(EndCurrentDeviceScene(), 0);

    plat::StartD3DCallLog();
    EXPECT_EQ(EndCurrentDeviceScene(), 0);
    EXPECT_TRUE(plat::TakeD3DCallLog().empty());

    ASSERT_EQ(BlitGraphAt(0, 0, graph, 0), 0);
    EXPECT_EQ(CurrentDevice3DRecord()->inScene, 1);
    plat::TakeD3DCallLog();
    EXPECT_EQ(EndCurrentDeviceScene(), 0);
    const std::vector<plat::D3DCall> calls = plat::TakeD3DCallLog();
    const int draw = FindCall(calls, "DrawPrimitive");
    const int end = FindCall(calls, "EndScene");
    ASSERT_GE(draw, 0);
    ASSERT_GE(end, 0);
    EXPECT_LT(draw, end);
    EXPECT_EQ(CurrentDevice3DRecord()->inScene, 0);
    plat::StopD3DCallLog();
}

TEST_F(Direct3DBatchTest, BatchOperationsRefuseWhileDirect3DIsDown) {
    ASSERT_EQ(Start(false), 0);
    EXPECT_EQ(Direct3DIsUp(), 0);
    EXPECT_EQ(CurrentDevice3DRecord(), nullptr);
    EXPECT_EQ(FlushCurrentDeviceVertices(), -1);
    EXPECT_EQ(EndCurrentDeviceScene(), -1);
    EXPECT_EQ(BeginDeviceScene(), -1);
    EXPECT_EQ(ApplyDrawRenderState(kNoHandle, 0), -1);
    EXPECT_EQ(AppendDeviceVertices(nullptr, 6), nullptr);
}

}  // namespace
