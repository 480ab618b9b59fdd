#include "graphics/graph_system.h"

#include "graphics/aux_buffer_table.h"
#include "graphics/draw_state.h"
#include "graphics/graph_handle_table.h"
#include "graphics/graphics_hooks.h"
#include "graphics/graphics_state.h"
#include "base/log.h"

int InitGraphSystem() {
    GraphicsState& state = GetGraphicsState();
    if (state.graphicsUp) return 0;
    LogWrite("グラフィック管理系の初期化を行います\n");
    LogIndentAdd();

    const GraphicsHooks& hooks = GetGraphicsHooks();
    ClearGraphicsState();
    if (hooks.clearSurfaceTables != nullptr) hooks.clearSurfaceTables();

    DrawState& draw = state.draw;
    draw.blendGraph = kNoHandle;
    draw.use3D = 1;
    state.graphs.count = 0;
    state.graphs.areaEnd = 0;
    draw.alphaTest = 1;
    draw.textureFilter = 0;
    draw.blendMode = kBlendNone;
    draw.bright = kBrightWhite;
    HookRefreshDeviceColorState();
    draw.depthEnable = 0;
    draw.depthWrite = 0;
    draw.depthFunction = 4;
    draw.textureAddressMode = 3;
    draw.vertexDepth = 0.2f;

    state.graphicsUp = 1;
    state.direct3DInUse = hooks.startDirect3D != nullptr && hooks.startDirect3D() ? 1 : 0;
    LogWrite(state.direct3DInUse ? "３Ｄグラフィック描画機能を使用します\n"
                                 : "３Ｄグラフィック描画機能は使用しません\n");
    draw.colorDepthSetting = 0;

    draw.drawTarget = kDrawTargetBack;
    SetDrawTarget(kDrawTargetFront);
    int32_t width = 0, height = 0;
    QueryGraphDimensions(kDrawTargetFront, &width, &height);
    SetDrawAreaRect(0, 0, width, height);

    if (hooks.startFonts != nullptr) hooks.startFonts(16, 6, 0);

    LogIndentSub();
    LogWrite("グラフィック管理系の初期化は正常に終了しました\n");
    return 0;
}

int TermGraphSystem() {
    GraphicsState& state = GetGraphicsState();
    if (!state.graphicsUp) return 0;
    const GraphicsHooks& hooks = GetGraphicsHooks();
    if (hooks.endMasks != nullptr) hooks.endMasks();
    DeleteAllAuxBufferHandles();
    DeleteAllGraphs(0);
    if (hooks.deleteAllFonts != nullptr) hooks.deleteAllFonts();
    state.graphicsUp = 0;
    LogWrite("グラフィック管理系の終了処理は正常に終了しました\n");
    return 0;
}
