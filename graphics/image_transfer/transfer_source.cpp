// The source of a transfer made ready as images: decoded images are used as they are, GDI
// bitmaps (colour and alpha) are read into images of their own.
#include <cstring>

#include "graphics/image_transfer/image_transfer_internal.h"
#include "base/log.h"

int ResolveTransferSource(const ImageTransferSource& source, ResolvedTransferSource* out) {
    std::memset(out, 0, sizeof *out);
    if (source.fromBitmap != 1) {
        if (source.image == nullptr || source.image->pixels == nullptr) {
            return LogWrite("転送する画像がありません\n");
        }
        out->colour = *source.image;
        if (source.alphaImage != nullptr && source.alphaImage->pixels != nullptr) {
            out->alpha = *source.alphaImage;
            out->hasAlpha = true;
        }
        return 0;
    }
    if (source.bitmap == nullptr) return LogWrite("転送するビットマップがありません\n");
    out->ownsImages = true;
    if (ReadBitmapAsGraphImage(source.bitmap, &out->colour) != 0) return -1;
    if (source.alphaBitmap != nullptr) {
        if (ReadBitmapAsGraphImage(source.alphaBitmap, &out->alpha) != 0) {
            ReleaseTransferSource(out);
            return -1;
        }
        out->hasAlpha = true;
    }
    return 0;
}

void ReleaseTransferSource(ResolvedTransferSource* resolved) {
    if (resolved->ownsImages) {
        FreeGraphImage(&resolved->colour);
        FreeGraphImage(&resolved->alpha);
    }
    std::memset(resolved, 0, sizeof *resolved);
}
