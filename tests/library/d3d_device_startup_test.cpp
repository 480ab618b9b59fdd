// The Direct3D back end through the library's start-up: offered, the device starts with the
// screen and draws; it is released at the end and around a display change; a start that fails
// leaves Direct3D down and the program on the software screen.
#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/device_format_driver.h"
#include "graphics/drivers/graph_surface_driver.h"
#include "graphics/drivers/texture_piece_access_driver.h"
#include "graphics/screen_setup/screen_setup.h"
#include "graphics/surfaces/surface_formats.h"
#include "tests/graphics/d3d/device_test_support.h"

namespace {

class Direct3DStartupTest : public Device3DFixture {
protected:
    static size_t DrawsOfOneSprite(HandleValue graph) {
        plat::StartD3DCallLog();
        EXPECT_EQ(BlitGraphAt(4, 4, graph, 0), 0);
        EXPECT_EQ(EndCurrentDeviceScene(), 0);
        const size_t draws = CallsNamed(plat::TakeD3DCallLog(), "DrawPrimitive").size();
        plat::StopD3DCallLog();
        return draws;
    }
};

TEST_F(Direct3DStartupTest, OfferedDirect3DStartsWithTheLibraryDrawsAndEndsWithIt) {
    ASSERT_EQ(Start(true), 0);
    EXPECT_TRUE(LogHas("３Ｄグラフィック描画機能を使用します"));
    EXPECT_TRUE(LogHas("Direct3D 関連の初期化は正常に終了しました"));
    EXPECT_EQ(Direct3DIsUp(), 1);
    EXPECT_EQ(IsSoftwareScreen(), 0);
    EXPECT_EQ(plat::LiveD3DDeviceCount(), 1u);
    EXPECT_FALSE(Device3DSlot().IsAbsent());
    EXPECT_EQ(&*Device3DStartSlot(), &kDevice3DStart);
    EXPECT_EQ(&*TextureSlot(), &kTexturePieces);
    EXPECT_EQ(&*TexturePieceAccessSlot(), &kTexturePieceAccess);
    EXPECT_EQ(&*GraphDraw3DSlot(), &kGraphDraws3D);
    EXPECT_FALSE(DeviceFormatSlot().IsAbsent());

    const HandleValue graph = MakeGraph(16, 16, 0xFF0000);
    EXPECT_EQ(GetGraphRecord(graph)->flags.is3D, 1);
    EXPECT_EQ(DrawsOfOneSprite(graph), 1u);

    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(plat::LiveD3DDeviceCount(), 0u);
    EXPECT_EQ(Direct3DIsUp(), 0);
    EXPECT_TRUE(Device3DSlot().IsAbsent());
    EXPECT_TRUE(Device3DStartSlot().IsAbsent());
    EXPECT_TRUE(TextureSlot().IsAbsent());
    EXPECT_TRUE(TexturePieceAccessSlot().IsAbsent());
    EXPECT_TRUE(GraphDraw3DSlot().IsAbsent());
    EXPECT_TRUE(DeviceFormatSlot().IsAbsent());
    EXPECT_TRUE(LogHas("Direct3D 関連の終了処理は正常に終了しました"));
}

TEST_F(Direct3DStartupTest, FailedStartLeavesDirect3DDownOnTheSoftwareScreen) {
    struct Case {
        const char* name;
        bool offered;
        int failCreates;
        const char* logged;
    };
    const Case cases[] = {
        {"not offered", false, 0, "Direct3Dオブジェクトの作成に失敗しました"},
        {"device refused", true, 1, "３Ｄデバイスの作成に失敗しました"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        plat::FailNextDeviceCreates(c.failCreates);
        ASSERT_EQ(Start(c.offered), 0);
        EXPECT_TRUE(LogHas(c.logged));
        EXPECT_TRUE(LogHas("３Ｄグラフィック描画機能は使用しません"));
        EXPECT_EQ(Direct3DIsUp(), 0);
        EXPECT_EQ(GetDevice3DState().initialised, 0);
        EXPECT_EQ(IsSoftwareScreen(), 1);
        EXPECT_EQ(plat::LiveD3DDeviceCount(), 0u);
        EXPECT_TRUE(Device3DSlot().IsAbsent());
        // Graphs are software graphs and still draw.
        const HandleValue graph = MakeGraph(8, 8, 0x00FF00);
        EXPECT_EQ(GetGraphRecord(graph)->flags.is3D, 0);
        EXPECT_EQ(BlitGraphAt(0, 0, graph, 0), 0);
        ASSERT_EQ(ApiTermLibrary(), 0);
        ResetLibraryState();
        ResetScreenState();
        plat::ResetD3DTestControls();
    }
}

TEST_F(Direct3DStartupTest, DisplayChangeReleasesAndRemakesTheDevice) {
    ASSERT_EQ(Start(true), 0);
    const HandleValue graph = MakeGraph(16, 16, 0x0000FF);
    ASSERT_EQ(RecreateScreenAfterDisplayChange(), 0);
    EXPECT_TRUE(LogHas("Ｄｉｒｅｃｔ３Ｄオブジェクトを解放しました"));
    EXPECT_TRUE(LogHas("Ｄｉｒｅｃｔ３Ｄオブジェクトは正常に取得されました"));
    EXPECT_EQ(Direct3DIsUp(), 1);
    EXPECT_EQ(plat::LiveD3DDeviceCount(), 1u);
    EXPECT_EQ(CurrentDevice3DRecord()->creationTarget, GetFrontSurface());
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    EXPECT_EQ(CurrentDevice3DRecord()->currentTarget, GetBackSurface());
    EXPECT_EQ(DrawsOfOneSprite(graph), 1u);
    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(plat::LiveD3DDeviceCount(), 0u);
}

TEST_F(Direct3DStartupTest, LaterModeChangeWhoseDirect3DFailsTakesTheSoftwareScreen) {
    ASSERT_EQ(Start(true), 0);
    plat::FailNextDeviceCreates(1);
    EXPECT_EQ(ChangeScreenMode(640, 480, 16, 0, -1), 0);
    EXPECT_EQ(IsSoftwareScreen(), 1);
    EXPECT_EQ(Direct3DIsUp(), 0);
    EXPECT_EQ(plat::LiveD3DDeviceCount(), 0u);
    EXPECT_EQ(GetGraphicsState().graphicsUp, 1);
    const HandleValue graph = MakeGraph(8, 8, 0x00FF00);
    EXPECT_EQ(BlitGraphAt(0, 0, graph, 0), 0);
    ASSERT_EQ(ApiTermLibrary(), 0);
}

}  // namespace
