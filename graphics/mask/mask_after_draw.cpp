// The hook after a draw: the pixels of the mask screen that the mask lets through go onto the
// draw target; everywhere else the target keeps what it had.
#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/target_screen.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/mask/mask_internal.h"
#include "graphics/mask/mask_screen.h"
#include "platform/ddraw/ddraw.h"

namespace {

uint8_t* At(uint8_t* pixels, int32_t pitch, int32_t bytes, int32_t x, int32_t y) {
    return pixels + static_cast<ptrdiff_t>(y) * pitch + static_cast<ptrdiff_t>(x) * bytes;
}

// Software screen: mask MEMIMG onto the target image.
void AfterOnMemImg(const MaskState& m, const GraphImage& target, const RECT& r) {
    const ColorFormat& maskFormat = GetStandardColorFormat(m.memImg.pixelFormat, 0, 0)->format;
    const ColorFormat& targetFormat = target.colorFormat.format;
    CopyPixelsThroughMask(At(target.pixels, target.pitch, targetFormat.bytes, r.left, r.top),
                          target.pitch, targetFormat,
                          At(m.memImg.pixels, m.memImg.pitch, maskFormat.bytes, r.left, r.top),
                          m.memImg.pitch, maskFormat, r);
}

// DirectDraw, target surface: both locked, the mask's pixels copied where they show. Both
// surfaces are in the display's format (the before-hook's BltFast needs that as well).
void AfterOnSurface(const MaskState& m, plat::DrawSurface* target, const RECT& r) {
    const TargetScreen screen = ReadTargetScreen();
    int32_t ox = 0, oy = 0;
    GetMaskTargetOrigin(&ox, &oy);
    const plat::Rect maskRect{r.left, r.top, r.right, r.bottom};
    const plat::Rect targetRect{r.left + ox, r.top + oy, r.right + ox, r.bottom + oy};
    plat::SurfaceDesc maskDesc{}, targetDesc{};
    if (m.surface->GetSurfaceDesc(&maskDesc) != plat::DD_OK ||
        target->GetSurfaceDesc(&targetDesc) != plat::DD_OK ||
        maskDesc.pixelFormat.bitCount != targetDesc.pixelFormat.bitCount ||
        maskDesc.pixelFormat.bitCount != screen.screenFormat->format.bits) {
        return;
    }
    if (m.surface->Lock(&maskRect, &maskDesc, plat::DDLOCK_WAIT | plat::DDLOCK_READONLY) !=
        plat::DD_OK) {
        return;
    }
    if (target->Lock(&targetRect, &targetDesc, plat::DDLOCK_WAIT) == plat::DD_OK) {
        const ColorFormat& format = screen.screenFormat->format;
        CopyPixelsThroughMask(static_cast<uint8_t*>(targetDesc.surface), targetDesc.pitch,
                              format, static_cast<const uint8_t*>(maskDesc.surface),
                              maskDesc.pitch, format, r);
        target->Unlock(&targetRect);
    }
    m.surface->Unlock(&maskRect);
}

// DirectDraw, target image: the locked mask surface converted into the image.
void AfterOnImage(const MaskState& m, const GraphImage& target, const RECT& r) {
    const TargetScreen screen = ReadTargetScreen();
    const plat::Rect maskRect{r.left, r.top, r.right, r.bottom};
    plat::SurfaceDesc desc{};
    if (m.surface->Lock(&maskRect, &desc, plat::DDLOCK_WAIT | plat::DDLOCK_READONLY) !=
        plat::DD_OK) {
        return;
    }
    const ColorFormat& targetFormat = target.colorFormat.format;
    CopyPixelsThroughMask(At(target.pixels, target.pitch, targetFormat.bytes, r.left, r.top),
                          target.pitch, targetFormat, static_cast<const uint8_t*>(desc.surface),
                          desc.pitch, screen.screenFormat->format, r);
    m.surface->Unlock(&maskRect);
}

}  // namespace

int MaskAfterDraw(const RECT* rect, plat::DrawSurface* target, const GraphImage* targetImage) {
    if (!MaskScreenExists() || !GetDrawState().maskActive) return 0;
    // The 3D device's draws into the mask screen wait in its batch: they are sent before the
    // mask screen is read.
    Device3DSlot()->endCurrentDeviceScene();
    const MaskState& m = GetMaskState();
    const bool image = targetImage != nullptr && targetImage->pixels != nullptr;
    RECT r{};
    if (!ClipMaskRect(rect, image ? targetImage->width : 0, image ? targetImage->height : 0, &r)) {
        return 0;
    }
    if (m.isMemImg) {
        if (image) AfterOnMemImg(m, *targetImage, r);
    } else if (target != nullptr) {
        AfterOnSurface(m, target, r);
    } else if (image) {
        AfterOnImage(m, *targetImage, r);
    }
    return 0;
}
