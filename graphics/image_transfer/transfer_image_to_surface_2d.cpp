// One piece of a graph filled from a source: the rectangle clipped to the source and to the
// piece, then handed to the piece's road (software image or locked surface), and the piece's
// colour key given to its surface again.
#include "graphics/drivers/screen_driver.h"
#include "graphics/image_transfer/image_transfer_internal.h"
#include "graphics/surfaces/surface_2d.h"
#include "base/log.h"

int IsTransferScreenUp() {
    return ScreenSlot()->isNoDirectDraw() || ScreenSlot()->hasDirectDrawObject() ? 1 : 0;
}

int TransferImageToSurface2D(const ImageTransferSource& source, const RECT* sourceRect,
                             int32_t x, int32_t y, HandleValue surface2D, int keyToAlpha) {
    if (!IsTransferScreenUp()) return LogWrite("画面が準備されていないため画像を転送できません\n");
    const Surface2DRecord* piece = GetSurface2D(surface2D);
    if (piece == nullptr) return LogWrite("グラフィックの２Ｄサーフェスが見つかりません\n");
    SurfaceDataRecord* data = GetSurfaceData(piece->surfaceData);
    if (data == nullptr) return LogWrite("グラフィックのサーフェスが見つかりません\n");

    ResolvedTransferSource resolved;
    if (ResolveTransferSource(source, &resolved) != 0) return -1;
    ClippedTransfer clipped;
    int result = 0;
    if (ClipTransferRect(resolved, sourceRect, x, y, piece->width, piece->height, &clipped)) {
        // The piece lies at (sourceX, sourceY) of its record's pixels.
        const int32_t dataX = clipped.x + piece->sourceX, dataY = clipped.y + piece->sourceY;
        if (data->software) {
            result = TransferIntoMemImg(resolved, clipped.source, dataX, dataY, data, keyToAlpha);
        } else if (GetDisplayDepth() == 8) {
            result = LogWrite("8ビット画面のサーフェスへの画像の転送には対応していません\n");
        } else {
            result = TransferIntoLockedSurface(resolved, clipped.source, dataX, dataY,
                                               piece->surfaceData, keyToAlpha);
        }
    }
    ReleaseTransferSource(&resolved);
    if (result != 0) return -1;
    ApplySurfaceDataColorKey(piece->surfaceData);
    return 0;
}

int TransferImageToSurface2DAt(const ImageTransferSource& source, const RECT* sourceRect,
                               int32_t x, int32_t y, HandleValue surface2D, int keyToAlpha) {
    const Surface2DRecord* piece = GetSurface2D(surface2D);
    if (piece == nullptr) return -1;
    const int64_t pieceX = int64_t{x} - piece->drawOffsetX;
    const int64_t pieceY = int64_t{y} - piece->drawOffsetY;
    if (pieceX < INT32_MIN || pieceY < INT32_MIN) return 0;  // left of or above the piece
    return TransferImageToSurface2D(source, sourceRect, static_cast<int32_t>(pieceX),
                                    static_cast<int32_t>(pieceY), surface2D, keyToAlpha);
}
