// The software-image road of the image transfer: the source converted into the record's
// MEMIMG, and the colour key of a paletted image found in the source's palette.
#include "graphics/image_transfer/image_transfer_internal.h"
#include "graphics/pixels/memimg_transfer.h"
#include "base/log.h"

int TransferIntoMemImg(const ResolvedTransferSource& source, const RECT& sourceRect, int32_t x,
                       int32_t y, SurfaceDataRecord* data, int keyToAlpha) {
    MEMIMG& m = data->image;
    const int result = TransferGraphImageToMemImg(
        &source.colour, source.hasAlpha ? &source.alpha : nullptr, &m, sourceRect.left,
        sourceRect.top, sourceRect.right - sourceRect.left, sourceRect.bottom - sourceRect.top, x,
        y, keyToAlpha);
    if (result != 0) return LogWrite("ソフトウエアイメージへの画像の転送に失敗しました\n");
    if (m.paletted) {
        // The key belongs to the palette the transfer brought; the record keeps the
        // transparent colour the graph was made with.
        m.colorKey = FindPaletteColorKey(source.colour.colorFormat.palette, data->colorKey,
                                         m.pixelFormat == MEMIMG_FORMAT_565 ? 16 : 32);
    }
    return 0;
}
