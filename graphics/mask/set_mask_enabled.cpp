// The switch of mask drawing and the reverse setting.
#include "graphics/draw_state/draw_state.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/drivers/window_facts_driver.h"
#include "graphics/mask/mask_screen.h"

int SetMaskEnabled(int32_t flag) {
    MaskState& m = GetMaskState();
    if (m.bits == nullptr) return -1;
    DrawState& draw = GetDrawState();
    const int32_t requestedBefore = draw.maskRequested;
    const int32_t activeBefore = draw.maskActive;
    draw.maskRequested = flag;
    draw.maskActive = flag != 0 && m.screenWanted != 0 ? 1 : 0;

    // The draw origin: while the mask is active every draw lands in the mask screen, which is
    // addressed like the draw target itself; otherwise the front of a windowed screen drawn on
    // the primary is placed where the window is on the desktop.
    const ScreenDriver& screen = *ScreenSlot();
    draw.frontScreenRect = RECT{0, 0, draw.targetWidth, draw.targetHeight};
    if (!draw.maskActive && draw.drawTarget == kDrawTargetFront &&
        WindowFactsSlot()->isWindowed() && !screen.isTempPrimaryInUse() &&
        !screen.isScreenSoftwareDrawn()) {
        RECT onDesktop{};
        if (WindowFactsSlot()->getScreenRectOnDesktop(&onDesktop) == 0) {
            draw.frontScreenRect = onDesktop;
        }
    }
    // The 3D device draws into the mask screen while the mask is on. When it cannot, the
    // switch is undone: masked 2D draws and unmasked 3D draws would not agree on the picture.
    if (Device3DSlot()->setMaskRenderTarget3D(draw.maskRequested) != 0 && IsUsing3DDevice()) {
        draw.maskRequested = requestedBefore;
        draw.maskActive = activeBefore;
        Device3DSlot()->setMaskRenderTarget3D(draw.maskRequested);
        return -1;
    }
    return 0;
}

int SetMaskReverse(int32_t reverse) {
    GetMaskState().reverse = reverse != 0 ? 1 : 0;
    return 0;
}
