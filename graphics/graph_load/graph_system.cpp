#include "graphics/graph_load/graph_system.h"

#include "graphics/graphs/aux_buffer_table.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/drivers/graph_surface_driver.h"
#include "graphics/mask/mask_drivers.h"
#include "graphics/mask/mask_screen.h"
#include "graphics/surfaces/surface_2d.h"
#include "softrender/rules/blend_tables.h"
#include "graphics/graphs/graphics_state.h"
#include "base/log.h"

namespace {

// Graph management plugs in its own modules: the 2D surface records that hold the pixels of
// graphs, the file loader that reloads lost graphs, and the mask screens with the bracket they
// put around every draw. The software renderer's blend tables are made ready with them.
void InstallOwnDrivers() {
    Surface2DSlot().Install(kSurfaceRecords);
    GraphLoaderSlot().Install(kGraphFileLoader);
    MaskSlot().Install(kMaskScreens);
    MaskBracketSlot().Install(kMaskBracket);
    BuildBlendTables();
}

void RemoveOwnDrivers() {
    Surface2DSlot().Reset();
    GraphLoaderSlot().Reset();
    MaskSlot().Reset();
    MaskBracketSlot().Reset();
}

}  // namespace

int InitGraphSystem() {
    GraphicsState& state = GetGraphicsState();
    if (state.graphicsUp) return 0;
    LogWrite("グラフィック管理系の初期化を行います\n");
    LogIndentAdd();

    InstallOwnDrivers();
    ClearGraphicsState();
    ClearSurfaceTables();

    DrawState& draw = state.draw;
    draw.blendGraph = kNoHandle;
    draw.use3D = 1;
    state.graphs.count = 0;
    state.graphs.areaEnd = 0;
    draw.alphaTest = 1;
    draw.textureFilter = 0;
    draw.blendMode = kBlendNone;
    draw.bright = kBrightWhite;
    Device3DSlot()->refreshDeviceColorState();
    draw.depthEnable = 0;
    draw.depthWrite = 0;
    draw.depthFunction = 4;
    draw.textureAddressMode = 3;
    draw.vertexDepth = 0.2f;

    state.graphicsUp = 1;
    state.direct3DInUse = Device3DSlot()->startDirect3D() ? 1 : 0;
    LogWrite(state.direct3DInUse ? "３Ｄグラフィック描画機能を使用します\n"
                                 : "３Ｄグラフィック描画機能は使用しません\n");
    draw.colorDepthSetting = 0;

    draw.drawTarget = kDrawTargetBack;
    SetDrawTarget(kDrawTargetFront);
    int32_t width = 0, height = 0;
    QueryGraphDimensions(kDrawTargetFront, &width, &height);
    SetDrawAreaRect(0, 0, width, height);

    FontSlot()->startFonts(16, 6, 0);

    LogIndentSub();
    LogWrite("グラフィック管理系の初期化は正常に終了しました\n");
    return 0;
}

int TermGraphSystem() {
    GraphicsState& state = GetGraphicsState();
    if (!state.graphicsUp) return 0;
    TermMaskScreen();
    DeleteAllAuxBufferHandles();
    DeleteAllGraphs(0);
    FontSlot()->deleteAllFonts();
    state.graphicsUp = 0;
    RemoveOwnDrivers();
    LogWrite("グラフィック管理系の終了処理は正常に終了しました\n");
    return 0;
}
