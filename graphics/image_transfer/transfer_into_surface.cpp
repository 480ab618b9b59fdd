// The surface road of the image transfer: the record's surface locked write-only over the
// destination rectangle and filled through TransferPixels in the surface's format.
#include "graphics/image_transfer/image_transfer_internal.h"
#include "graphics/pixels/transfer_pixels.h"
#include "base/log.h"

int TransferIntoLockedSurface(const ResolvedTransferSource& source, const RECT& sourceRect,
                              int32_t x, int32_t y, HandleValue data, int keyToAlpha) {
    const SurfaceDataRecord* record = GetSurfaceData(data);
    if (record == nullptr) return LogWrite("グラフィックのサーフェスが見つかりません\n");
    const RECT area = {x, y, x + (sourceRect.right - sourceRect.left),
                       y + (sourceRect.bottom - sourceRect.top)};
    int32_t pitch = 0;
    void* pixels = nullptr;
    const PaletteColorFormat* format = nullptr;
    const int locked = LockSurfaceData(data, &pitch, &pixels, 1, &area, &format);
    if (locked == -1) return LogWrite("２Ｄサーフェスのロックに失敗しました\n");
    if (format == nullptr || pixels == nullptr) {
        UnlockSurfaceData(data, &area);
        return LogWrite("２Ｄサーフェスのロックに失敗しました\n");
    }
    const GraphImage* alpha = source.hasAlpha ? &source.alpha : nullptr;
    const int result = TransferPixels(
        pixels, pitch, format, source.colour.pixels, source.colour.pitch,
        &source.colour.colorFormat, alpha != nullptr ? alpha->pixels : nullptr,
        alpha != nullptr ? alpha->pitch : 0, alpha != nullptr ? &alpha->colorFormat : nullptr, 0, 0,
        &sourceRect, 0, keyToAlpha, record->colorKey, kDitherNone, 0, 0, 0);
    UnlockSurfaceData(data, &area);
    return result < 0 ? LogWrite("サーフェスへの画像の転送に失敗しました\n") : 0;
}
