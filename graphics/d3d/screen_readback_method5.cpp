// Screen readback by locks: the draw target's surface and each piece's texture are locked and
// the pixels converted directly from the screen's format into the texture's (drivers that
// allow locking both).
#include "base/log.h"
#include "graphics/d3d/screen_readback.h"
#include "graphics/pixels/transfer_pixels.h"
#include "platform/ddraw/ddraw.h"

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
