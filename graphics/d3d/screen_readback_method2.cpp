// Screen readback by GDI: the draw target's surface DC is copied into each piece's texture DC
// (drivers that take a GDI copy into textures). GDI leaves alpha bits 0, so a texture with
// alpha gets them set afterwards.
#include "base/log.h"
#include "graphics/d3d/screen_readback.h"
#include "platform/ddraw/ddraw.h"
#include "platform/gdi/gdi.h"

namespace {

// Copies one piece's share through the texture's DC; 0 or -1 (logged), the DC given back.
int CopyPiece(plat::DeviceContext* screenDc, const ScreenReadbackPiece& piece) {
    plat::DeviceContext* dc = nullptr;
    plat::DDResult hr = piece.texture->GetDC(&dc);
    if (hr != plat::DD_OK) {
        return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction2 　作業用テクスチャサーフェスのＤＣ取得に失敗しました  GetDC ReturnValue:%d",
                         hr);
    }
    if (!plat::BitBlt(dc, piece.toX, piece.toY, piece.width, piece.height, screenDc,
                      piece.fromScreen.left, piece.fromScreen.top, plat::SRCCOPY)) {
        piece.texture->ReleaseDC(dc);
        return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction2 　作業用テクスチャサーフェスへのイメージ転送に失敗しました  BitBlt  ErrorCode:%x",
                         kReadbackGdiErrorCode);
    }
    hr = piece.texture->ReleaseDC(dc);
    if (hr != plat::DD_OK) {
        return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction2 　作業用テクスチャサーフェスのＤＣ解放に失敗しました  ReleaseDC ReturnValue:%d",
                         hr);
    }
    hr = MakeReadbackRectOpaque(piece.texture, piece.toX, piece.toY, piece.width, piece.height);
    if (hr != plat::DD_OK) {
        return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction2 　作業用テクスチャサーフェスのロックに失敗しました  Lock  ReturnValue:%d",
                         hr);
    }
    return 0;
}

}  // namespace

int G_D3D_GetDrawScreenGraphFunction2(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                      const GraphRecord* graph, int32_t screenSizeFlag) {
    ScreenReadbackArea area;
    if (OpenScreenReadbackArea(x1, y1, x2, y2, graph, screenSizeFlag, &area) != 0 ||
        area.surface == nullptr) {
        return -1;
    }
    return ForEachReadbackPieceThroughScreenDc(
        area, graph,
        [](plat::DDResult hr) {
            return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction2  ＤＣ取得に失敗しました  GetDC ReturnValue:%d",
                             hr);
        },
        CopyPiece);
}
