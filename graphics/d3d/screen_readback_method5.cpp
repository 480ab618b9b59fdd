// Screen readback by locks: the draw target's surface and each piece's texture are locked and
// the pixels converted directly from the screen's format into the texture's (drivers that
// allow locking both).
#include "base/log.h"
#include "graphics/d3d/screen_readback.h"
#include "graphics/graph_handle_table.h"
#include "graphics/surface_data.h"
#include "graphics/transfer_pixels.h"
#include "platform/ddraw/ddraw.h"

namespace {

// Converts one piece's share from the locked screen into the piece's texture; 0 or -1
// (logged).
int ConvertPiece(const plat::SurfaceDesc& screen, const PaletteColorFormat& screenFormat,
                 const ScreenReadbackPiece& piece) {
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
        return LogFormat("Error  G_D3D_GetDrawScreenGraphFunction5 　転送先テクスチャサーフェスのロックに失敗しました  Lock  ReturnValue:%d",
                         result);
    }
    TransferPixels(pixels, pitch, &pieceFormat, screen.surface, screen.pitch, &screenFormat,
                   nullptr, 0, nullptr, 0, 0, &piece.fromScreen, 0, 0, 0, kDitherNone, 0, 0, 0);
    UnlockSurfaceData(piece.surfaceDataHandle, &to);
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
    int result = 0;
    for (int32_t i = 0; i < graph->surfaceCount && result == 0; ++i) {
        ScreenReadbackPiece piece;
        const int found = ScreenReadbackPieceAt(area, graph, i, &piece);
        if (found < 0) result = -1;
        if (found > 0) result = ConvertPiece(screen, screenFormat, piece);
    }
    area.surface->Unlock(nullptr);
    return result;
}
