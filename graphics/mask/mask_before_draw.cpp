// The hook before a draw: the part of the draw target the draw may touch is copied into the
// mask screen, where the draw then goes.
#include "graphics/draw_target/target_screen.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/mask/mask_internal.h"
#include "graphics/mask/mask_screen.h"
#include "graphics/pixels/transfer_pixels.h"
#include "platform/ddraw/ddraw.h"

namespace {

plat::Rect Moved(const RECT& r, int32_t dx, int32_t dy) {
    return plat::Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// The image's rectangle r into (x, y) of pixels laid out in format.
void TransferImageRect(const GraphImage& image, uint8_t* pixels, int32_t pitch,
                       const PaletteColorFormat* format, int32_t x, int32_t y, const RECT& r) {
    TransferPixels(pixels, pitch, format, image.pixels, image.pitch, &image.colorFormat, nullptr,
                   0, nullptr, x, y, &r, 0, 0, 0, kDitherNone, 0, 0, 0);
}

}  // namespace

int MaskBeforeDraw(const RECT* rect, plat::DrawSurface* source, const GraphImage* sourceImage) {
    if (!MaskScreenExists()) return 0;
    Device3DSlot()->endCurrentDeviceScene();
    MaskState& m = GetMaskState();
    RECT r{};
    const int32_t w = sourceImage != nullptr ? sourceImage->width : 0;
    const int32_t h = sourceImage != nullptr ? sourceImage->height : 0;
    if (!ClipMaskRect(rect, w, h, &r)) return 0;

    if (m.isMemImg) {
        if (sourceImage == nullptr || sourceImage->pixels == nullptr) return 0;
        TransferImageRect(*sourceImage, m.memImg.pixels, m.memImg.pitch,
                          GetStandardColorFormat(m.memImg.pixelFormat, 0, 0), r.left, r.top, r);
        return 0;
    }
    if (source != nullptr) {
        int32_t ox = 0, oy = 0;
        GetMaskTargetOrigin(&ox, &oy);
        const plat::Rect from = Moved(r, ox, oy);
        m.surface->BltFast(r.left, r.top, source, &from,
                           plat::DDBLTFAST_NOCOLORKEY | plat::DDBLTFAST_WAIT);
        return 0;
    }
    if (sourceImage == nullptr || sourceImage->pixels == nullptr) return 0;
    // An image target with a mask surface: the image's pixels go into the locked rectangle of
    // the mask screen, converted to the display's format.
    const TargetScreen screen = ReadTargetScreen();
    const plat::Rect lockRect{r.left, r.top, r.right, r.bottom};
    plat::SurfaceDesc desc{};
    if (m.surface->Lock(&lockRect, &desc, plat::DDLOCK_WAIT | plat::DDLOCK_WRITEONLY) !=
        plat::DD_OK) {
        return 0;
    }
    // The lock points at r's top-left.
    TransferImageRect(*sourceImage, static_cast<uint8_t*>(desc.surface), desc.pitch,
                      screen.screenFormat, 0, 0, r);
    m.surface->Unlock(&lockRect);
    return 0;
}
