// Steps of the screen readback that more than one method takes: the walk over the pieces (with
// or without the screen surface's DC), the lock of a piece's texture for a converted copy, and
// the work texture filled by GDI.
#include "base/log.h"
#include "graphics/d3d/screen_readback.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/screen/screen_state.h"
#include "graphics/surfaces/surface_data.h"
#include "platform/ddraw/ddraw.h"
#include "platform/gdi/gdi.h"

int ForEachReadbackPiece(const ScreenReadbackArea& area, const GraphRecord* graph,
                         const ScreenReadbackPieceCopy& copy) {
    for (int32_t i = 0; i < graph->surfaceCount; ++i) {
        ScreenReadbackPiece piece;
        const int found = ScreenReadbackPieceAt(area, graph, i, &piece);
        if (found < 0) return -1;
        if (found == 0) continue;
        const int result = copy(piece);
        if (result != 0) return result;
    }
    return 0;
}

int ForEachReadbackPieceThroughScreenDc(
    const ScreenReadbackArea& area, const GraphRecord* graph,
    const std::function<int(plat::DDResult hr)>& logGetDcFailure,
    const std::function<int(plat::DeviceContext* screenDc, const ScreenReadbackPiece& piece)>&
        copy) {
    plat::DeviceContext* screenDc = nullptr;
    const plat::DDResult hr = area.surface->GetDC(&screenDc);
    if (hr != plat::DD_OK) return logGetDcFailure(hr);
    const int result = ForEachReadbackPiece(
        area, graph, [&](const ScreenReadbackPiece& piece) { return copy(screenDc, piece); });
    area.surface->ReleaseDC(screenDc);
    return result;
}

int LockReadbackPiece(const ScreenReadbackPiece& piece, ScreenReadbackLock* out) {
    *out = ScreenReadbackLock{};
    out->rect = RECT{piece.toX, piece.toY, piece.toX + piece.width, piece.toY + piece.height};
    int result = ReadbackSurfaceFormat(piece.texture, &out->format, nullptr);
    if (result == 0) {
        result = LockSurfaceData(piece.surfaceDataHandle, &out->pitch, &out->pixels, 1,
                                 &out->rect, nullptr);
        if (result == -2) UnlockSurfaceData(piece.surfaceDataHandle, &out->rect);
    }
    return result;
}

void UnlockReadbackPiece(const ScreenReadbackPiece& piece, const ScreenReadbackLock& lock) {
    UnlockSurfaceData(piece.surfaceDataHandle, &lock.rect);
}

plat::DDResult CreateReadbackWorkTexture(const plat::PixelFormat& pixelFormat,
                                         const ScreenReadbackPiece& piece,
                                         plat::DrawSurface** out) {
    plat::DirectDraw* directDraw = GetScreenDirectDraw();
    if (directDraw == nullptr) return plat::DDERR_GENERIC;
    plat::SurfaceDesc desc{};
    desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT | plat::DDSD_PIXELFORMAT;
    desc.width = static_cast<uint32_t>(piece.width);
    desc.height = static_cast<uint32_t>(piece.height);
    desc.pixelFormat = pixelFormat;
    desc.caps.caps = plat::DDSCAPS_TEXTURE | plat::DDSCAPS_SYSTEMMEMORY;
    return directDraw->CreateSurface(&desc, out);
}

int CopyScreenDcIntoWorkTexture(const char* method, plat::DeviceContext* screenDc,
                                plat::DrawSurface* work, const ScreenReadbackPiece& piece) {
    plat::DeviceContext* dc = nullptr;
    plat::DDResult hr = work->GetDC(&dc);
    if (hr != plat::DD_OK) {
        return LogFormat("Error  %s 　作業用テクスチャサーフェスのＤＣ取得に失敗しました  GetDC  ReturnValue:%d",
                         method, hr);
    }
    if (!plat::BitBlt(dc, 0, 0, piece.width, piece.height, screenDc, piece.fromScreen.left,
                      piece.fromScreen.top, plat::SRCCOPY)) {
        work->ReleaseDC(dc);
        return LogFormat("Error  %s 　作業用テクスチャサーフェスへのイメージ転送に失敗しました  BitBlt  ErrorCode:%x",
                         method, kReadbackGdiErrorCode);
    }
    hr = work->ReleaseDC(dc);
    if (hr != plat::DD_OK) {
        return LogFormat("Error  %s 　作業用テクスチャサーフェスのＤＣ解放に失敗しました  ReleaseDC  ReturnValue:%d",
                         method, hr);
    }
    return 0;
}
