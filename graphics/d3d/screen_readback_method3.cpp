// Screen readback by GDI through a work texture: each piece's share is copied by GDI into a new
// work texture in the screen's own format (an exact copy), which is then locked with the
// piece's texture and converted into it (drivers whose textures take no DC).
#include "base/log.h"
#include "graphics/d3d/screen_readback.h"
#include "graphics/pixels/transfer_pixels.h"
#include "platform/ddraw/ddraw.h"

namespace {

// The piece's share, already in the work texture at (0, 0), converted into the piece. 0 or -1
// (logged).
int ConvertIntoPiece(plat::DrawSurface* work, const PaletteColorFormat& workFormat,
                     const ScreenReadbackPiece& piece) {
    plat::SurfaceDesc from{};
    const plat::DDResult hr = work->Lock(nullptr, &from, plat::DDLOCK_WAIT | plat::DDLOCK_READONLY);
    if (hr != plat::DD_OK) {
        return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction3 　作業用テクスチャサーフェスのロックに失敗しました  Lock  ReturnValue:%d",
                         hr);
    }
    ScreenReadbackLock to;
    const int result = LockReadbackPiece(piece, &to);
    if (result != 0) {
        work->Unlock(nullptr);
        return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction3 　転送先テクスチャサーフェスのロックに失敗しました  Lock  ReturnValue:%d",
                         result);
    }
    const RECT all{0, 0, piece.width, piece.height};
    TransferPixels(to.pixels, to.pitch, &to.format, from.surface, from.pitch, &workFormat, nullptr,
                   0, nullptr, 0, 0, &all, 0, 0, 0, kDitherNone, 0, 0, 0);
    UnlockReadbackPiece(piece, to);
    work->Unlock(nullptr);
    return 0;
}

// Copies one piece's share through a new work texture; 0 or -1 (logged), the work texture
// released.
int CopyPiece(plat::DeviceContext* screenDc, const plat::PixelFormat& screenPixelFormat,
              const PaletteColorFormat& screenFormat, const ScreenReadbackPiece& piece) {
    plat::DrawSurface* work = nullptr;
    const plat::DDResult hr = CreateReadbackWorkTexture(screenPixelFormat, piece, &work);
    if (hr != plat::DD_OK) {
        return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction3 　作業用テクスチャサーフェスの作成に失敗しました  CreateSurface  ReturnValue:%d",
                         hr);
    }
    int result =
        CopyScreenDcIntoWorkTexture("G_D3D_GetDrawScreenGraphFunction3", screenDc, work, piece);
    if (result == 0) result = ConvertIntoPiece(work, screenFormat, piece);
    work->Release();
    return result;
}

}  // namespace

int G_D3D_GetDrawScreenGraphFunction3(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                      const GraphRecord* graph, int32_t screenSizeFlag) {
    ScreenReadbackArea area;
    PaletteColorFormat screenFormat{};
    plat::PixelFormat screenPixelFormat{};
    if (OpenScreenReadbackArea(x1, y1, x2, y2, graph, screenSizeFlag, &area) != 0 ||
        ReadbackSurfaceFormat(area.surface, &screenFormat, &screenPixelFormat) != 0) {
        return -1;
    }
    return ForEachReadbackPieceThroughScreenDc(
        area, graph,
        [](plat::DDResult hr) {
            return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction3 　ＤＣ取得に失敗しました  GetDC  ReturnValue:%d",
                             hr);
        },
        [&](plat::DeviceContext* screenDc, const ScreenReadbackPiece& piece) {
            return CopyPiece(screenDc, screenPixelFormat, screenFormat, piece);
        });
}
