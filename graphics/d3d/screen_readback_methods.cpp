// The five ways of reading the screen back into a graph's texture pieces, one a driver of the
// 3D device may allow: by BltFast, by GDI, by GDI through a work texture, by GDI and the
// device's Load, and by locks. The readback table (screen_readback_table.cpp) says in which
// order they are tried.
#include "base/log.h"
#include "graphics/d3d/device.h"
#include "graphics/d3d/screen_readback.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/drivers/window_facts_driver.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/pixels/transfer_pixels.h"
#include "graphics/screen/screen_state.h"
#include "platform/ddraw/ddraw.h"
#include "platform/gdi/gdi.h"

// Screen readback by BltFast: each piece's share of the rectangle is blitted from the draw
// target's surface straight into the piece's texture (drivers that blit between the screen and
// textures; both must have the same pixel format).
int G_D3D_GetDrawScreenGraphFunction1(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                      const GraphRecord* graph, int32_t screenSizeFlag) {
    ScreenReadbackArea area;
    if (OpenScreenReadbackArea(x1, y1, x2, y2, graph, screenSizeFlag, &area) != 0 ||
        area.surface == nullptr) {
        return -1;
    }
    return ForEachReadbackPiece(area, graph, [&](const ScreenReadbackPiece& piece) {
        const plat::Rect from{piece.fromScreen.left, piece.fromScreen.top, piece.fromScreen.right,
                              piece.fromScreen.bottom};
        const plat::DDResult hr = piece.texture->BltFast(piece.toX, piece.toY, area.surface,
                                                         &from, plat::DDBLTFAST_WAIT);
        if (hr != plat::DD_OK) {
            return LogFormat("Error G_D3D_GetDrawScreenGraphFunction1  BltFast ReturnValue:%d", hr);
        }
        return 0;
    });
}

// Screen readback by GDI: the draw target's surface DC is copied into each piece's texture DC
// (drivers that take a GDI copy into textures). GDI leaves alpha bits 0, so a texture with
// alpha gets them set afterwards.
namespace {

// Copies the piece's share of the screen DC into the piece's texture through the texture's own
// DC and makes it opaque; 0 or -1 (logged), the DC given back.
int CopyScreenShareByTextureDc(plat::DeviceContext* screenDc,
                               const ScreenReadbackPiece& piece) {
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
        CopyScreenShareByTextureDc);
}

// Screen readback by GDI through a work texture: each piece's share is copied by GDI into a new
// work texture in the screen's own format (an exact copy), which is then locked with the
// piece's texture and converted into it (drivers whose textures take no DC).
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

// Copies the piece's share of the screen DC into a new work texture in the screen's format and
// converts it from there into the piece's texture; 0 or -1 (logged), the work texture released.
int CopyScreenShareByConversion(plat::DeviceContext* screenDc,
                                const plat::PixelFormat& screenPixelFormat,
                                const PaletteColorFormat& screenFormat,
                                const ScreenReadbackPiece& piece) {
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
            return CopyScreenShareByConversion(screenDc, screenPixelFormat, screenFormat, piece);
        });
}

// Screen readback by GDI and the device's Load: each piece's share is copied by GDI into a new
// work texture in the piece's own format, which the device then loads into the piece's texture
// (drivers that take neither a DC nor a lock on their textures).
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

// Copies the piece's share of the screen DC into a new work texture in the piece's format,
// which the device's Load puts into the piece's texture; 0 or -1 (logged), the work texture
// released.
int CopyScreenShareByDeviceLoad(plat::Direct3DDevice* device, plat::DeviceContext* screenDc,
                                const ScreenReadbackArea& area,
                                const ScreenReadbackPiece& piece, const GraphRecord* graph) {
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
            return CopyScreenShareByDeviceLoad(device, screenDc, area, piece, graph);
        });
}

// Screen readback by locks: the draw target's surface and each piece's texture are locked and
// the pixels converted directly from the screen's format into the texture's (drivers that
// allow locking both).
namespace {

// Converts one piece's share from the locked screen into the piece's texture; 0 or -1
// (logged).
int ConvertPiece(const plat::SurfaceDesc& screen, const PaletteColorFormat& screenFormat,
                 const ScreenReadbackPiece& piece) {
    ScreenReadbackLock to;
    const int result = LockReadbackPiece(piece, &to);
    if (result != 0) {
        return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction5 　転送先テクスチャサーフェスのロックに失敗しました  Lock  ReturnValue:%d",
                         result);
    }
    TransferPixels(to.pixels, to.pitch, &to.format, screen.surface, screen.pitch, &screenFormat,
                   nullptr, 0, nullptr, 0, 0, &piece.fromScreen, 0, 0, 0, kDitherNone, 0, 0, 0);
    UnlockReadbackPiece(piece, to);
    return 0;
}

}  // namespace

int G_D3D_GetDrawScreenGraphFunction5(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                      const GraphRecord* graph, int32_t screenSizeFlag) {
    ScreenReadbackArea area;
    PaletteColorFormat screenFormat{};
    if (OpenScreenReadbackArea(x1, y1, x2, y2, graph, screenSizeFlag, &area) != 0 ||
        ReadbackSurfaceFormat(area.surface, &screenFormat, nullptr) != 0) {
        return -1;
    }
    plat::SurfaceDesc screen{};
    const plat::DDResult hr =
        area.surface->Lock(nullptr, &screen, plat::DDLOCK_WAIT | plat::DDLOCK_READONLY);
    if (hr != plat::DD_OK) {
        return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction5 　作業用テクスチャサーフェスのロックに失敗しました  Lock  ReturnValue:%d",
                         hr);
    }
    const int result = ForEachReadbackPiece(area, graph, [&](const ScreenReadbackPiece& piece) {
        return ConvertPiece(screen, screenFormat, piece);
    });
    area.surface->Unlock(nullptr);
    return result;
}
