// Screen readback by GDI and the device's Load: each piece's share is copied by GDI into a new
// work texture in the piece's own format, which the device then loads into the piece's texture
// (drivers that take neither a DC nor a lock on their textures).
#include "base/log.h"
#include "graphics/d3d/direct3d_backend.h"
#include "graphics/d3d/screen_readback.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/drivers/window_facts_driver.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/screen/screen_state.h"
#include "platform/ddraw/ddraw.h"

namespace {

// What a failed Load leaves in the log to tell the case apart.
void LogLoadFailure(plat::DDResult hr, const ScreenReadbackArea& area,
                    const ScreenReadbackPiece& piece, const GraphRecord* graph) {
    LogFormat("hr:%d  W:%d  H:%d  FullMode:%d  Point x:%d y:%d   Rect top:%d bottom:%d left:%d right:%d",
              hr, piece.width, piece.height, WindowFactsSlot()->isWindowed() ? 0 : 1, piece.toX,
              piece.toY, 0, piece.height, 0, piece.width);
    LogFormat("AlphaCh:%d  AlphaTest:%d  ColorBitDepth:%d", graph->flags.alpha,
              graph->flags.alphaTest, graph->flags.colorDepth);
    RECT window{};
    GetScreenRectOnDesktop(&window);
    LogFormat("ScreenColor:%d  SizeX:%d  SizeY:%d  DrawPointX:%d  DrawPointY:%d  WndRect.left:%d  WndRect.top:%d  left:%d  top:%d",
              GetScreenDepth(), area.screenWidth, area.screenHeight, area.originX, area.originY,
              window.left, window.top, area.rect.left, area.rect.top);
}

// Copies one piece's share through a work texture and Load; 0 or -1 (logged), the work
// texture released.
int CopyPiece(plat::Direct3DDevice* device, plat::DeviceContext* screenDc,
              const ScreenReadbackArea& area, const ScreenReadbackPiece& piece,
              const GraphRecord* graph) {
    plat::PixelFormat pieceFormat{};
    PaletteColorFormat unused{};
    plat::DDResult hr = plat::DDERR_GENERIC;
    plat::DrawSurface* work = nullptr;
    if (ReadbackSurfaceFormat(piece.texture, &unused, &pieceFormat) == 0) {
        hr = CreateReadbackWorkTexture(pieceFormat, piece, &work);
    }
    if (hr != plat::DD_OK) {
        return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction4 　作業用テクスチャサーフェスの作成に失敗しました  CreateSurface  ReturnValue:%d",
                         hr);
    }
    int result =
        CopyScreenDcIntoWorkTexture("G_D3D_GetDrawScreenGraphFunction4", screenDc, work, piece);
    if (result == 0) {
        hr = MakeReadbackRectOpaque(work, 0, 0, piece.width, piece.height);
        if (hr != plat::DD_OK) {
            result = LogFormat("Error  G_D3D_GetDrawScreenGraphFunction4 　作業用テクスチャサーフェスのロックに失敗しました  Lock  ReturnValue:%d",
                               hr);
        } else {
            const plat::Point to{piece.toX, piece.toY};
            const plat::Rect from{0, 0, piece.width, piece.height};
            hr = device->Load(piece.texture, &to, work, &from, 0);
            if (hr != plat::DD_OK) {
                LogLoadFailure(hr, area, piece, graph);
                result = -1;
            }
        }
    }
    work->Release();
    return result;
}

}  // namespace

int G_D3D_GetDrawScreenGraphFunction4(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                      const GraphRecord* graph, int32_t screenSizeFlag) {
    ScreenReadbackArea area;
    plat::Direct3DDevice* device = GetCurrentDevice3D();
    if (OpenScreenReadbackArea(x1, y1, x2, y2, graph, screenSizeFlag, &area) != 0 ||
        area.surface == nullptr || device == nullptr) {
        return -1;
    }
    return ForEachReadbackPieceThroughScreenDc(
        area, graph,
        [](plat::DDResult hr) {
            return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction4 　ＤＣ取得に失敗しました  GetDC  ReturnValue:%d",
                             hr);
        },
        [&](plat::DeviceContext* screenDc, const ScreenReadbackPiece& piece) {
            return CopyPiece(device, screenDc, area, piece, graph);
        });
}
