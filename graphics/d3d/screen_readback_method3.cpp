// Screen readback by GDI through a work texture: each piece's share is copied by GDI into a new
// work texture in the screen's own format (an exact copy), which is then locked with the
// piece's texture and converted into it (drivers whose textures take no DC).
#include "base/log.h"
#include "graphics/d3d/screen_readback.h"
#include "graphics/graph_handle_table.h"
#include "graphics/screen/screen_state.h"
#include "graphics/surface_data.h"
#include "graphics/transfer_pixels.h"
#include "platform/ddraw/ddraw.h"
#include "platform/window/gdi.h"

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
    PaletteColorFormat pieceFormat{};
    int32_t pitch = 0;
    void* pixels = nullptr;
    const RECT to{piece.toX, piece.toY, piece.toX + piece.width, piece.toY + piece.height};
    int result = ReadbackSurfaceFormat(piece.texture, &pieceFormat, nullptr);
    if (result == 0) {
        // Only a lock of its own counts: a nested lock (-2) would write into pixels that
        // another caller holds.
        result = LockSurfaceData(piece.surfaceDataHandle, &pitch, &pixels, 1, &to, nullptr);
        if (result == -2) UnlockSurfaceData(piece.surfaceDataHandle, &to);
    }
    if (result != 0) {
        work->Unlock(nullptr);
        return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction3 　転送先テクスチャサーフェスのロックに失敗しました  Lock  ReturnValue:%d",
                         result);
    }
    const RECT all{0, 0, piece.width, piece.height};
    TransferPixels(pixels, pitch, &pieceFormat, from.surface, from.pitch, &workFormat, nullptr, 0,
                   nullptr, 0, 0, &all, 0, 0, 0, kDitherNone, 0, 0, 0);
    UnlockSurfaceData(piece.surfaceDataHandle, &to);
    work->Unlock(nullptr);
    return 0;
}

// Copies one piece's share through a new work texture; 0 or -1 (logged), the work texture
// released.
int CopyPiece(plat::DeviceContext* screenDc, const plat::PixelFormat& screenPixelFormat,
              const PaletteColorFormat& screenFormat, const ScreenReadbackPiece& piece) {
    plat::SurfaceDesc desc{};
    desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT | plat::DDSD_PIXELFORMAT;
    desc.width = static_cast<uint32_t>(piece.width);
    desc.height = static_cast<uint32_t>(piece.height);
    desc.pixelFormat = screenPixelFormat;
    desc.caps.caps = plat::DDSCAPS_TEXTURE | plat::DDSCAPS_SYSTEMMEMORY;
    plat::DrawSurface* work = nullptr;
    plat::DirectDraw* directDraw = GetScreenDirectDraw();
    plat::DDResult hr =
        directDraw != nullptr ? directDraw->CreateSurface(&desc, &work) : plat::DDERR_GENERIC;
    if (hr != plat::DD_OK) {
        return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction3 　作業用テクスチャサーフェスの作成に失敗しました  CreateSurface  ReturnValue:%d",
                         hr);
    }
    int result = 0;
    plat::DeviceContext* dc = nullptr;
    hr = work->GetDC(&dc);
    if (hr != plat::DD_OK) {
        result = LogFormat("Error  G_D3D_GetDrawScreenGraphFunction3 　作業用テクスチャサーフェスのＤＣ取得に失敗しました  GetDC  ReturnValue:%d",
                           hr);
    } else if (!plat::BitBlt(dc, 0, 0, piece.width, piece.height, screenDc,
                             piece.fromScreen.left, piece.fromScreen.top, plat::SRCCOPY)) {
        work->ReleaseDC(dc);
        result = LogFormat("Error  G_D3D_GetDrawScreenGraphFunction3 　作業用テクスチャサーフェスへのイメージ転送に失敗しました  BitBlt  ErrorCode:%x",
                           kReadbackGdiErrorCode);
    } else if ((hr = work->ReleaseDC(dc)) != plat::DD_OK) {
        result = LogFormat("Error  G_D3D_GetDrawScreenGraphFunction3 　作業用テクスチャサーフェスのＤＣ解放に失敗しました  ReleaseDC  ReturnValue:%d",
                           hr);
    } else {
        result = ConvertIntoPiece(work, screenFormat, piece);
    }
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
    plat::DeviceContext* screenDc = nullptr;
    const plat::DDResult hr = area.surface->GetDC(&screenDc);
    if (hr != plat::DD_OK) {
        return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction3 　ＤＣ取得に失敗しました  GetDC  ReturnValue:%d",
                         hr);
    }
    int result = 0;
    for (int32_t i = 0; i < graph->surfaceCount && result == 0; ++i) {
        ScreenReadbackPiece piece;
        const int found = ScreenReadbackPieceAt(area, graph, i, &piece);
        if (found < 0) result = -1;
        if (found > 0) result = CopyPiece(screenDc, screenPixelFormat, screenFormat, piece);
    }
    area.surface->ReleaseDC(screenDc);
    return result;
}
