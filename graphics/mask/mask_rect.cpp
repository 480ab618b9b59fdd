// The rectangle a hook works on and the place of the draw target on its surface.
#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/drivers/window_facts_driver.h"
#include "graphics/mask/mask_internal.h"
#include "graphics/mask/mask_screen.h"

bool ClipMaskRect(const RECT* rect, int32_t targetWidth, int32_t targetHeight, RECT* out) {
    const MaskState& m = GetMaskState();
    RECT r = *rect;
    ClipRectInPlace(&r, &GetDrawState().drawArea);
    // The mask screen and the bitmap have the screen's size: a larger graph target is masked
    // only where they reach, and nothing is read or written past them.
    const RECT maskArea{0, 0, m.width, m.height};
    ClipRectInPlace(&r, &maskArea);
    if (targetWidth > 0 && targetHeight > 0) {
        const RECT target{0, 0, targetWidth, targetHeight};
        ClipRectInPlace(&r, &target);
    }
    *out = r;
    return r.left < r.right && r.top < r.bottom;
}

void GetMaskTargetOrigin(int32_t* x, int32_t* y) {
    const DrawTargetSurface& target = GetDrawTargetSurface();
    *x = target.offsetX;
    *y = target.offsetY;
    const ScreenDriver& screen = *ScreenSlot();
    if (GetDrawState().drawTarget == kDrawTargetFront && WindowFactsSlot()->isWindowed() &&
        !screen.isTempPrimaryInUse() && !screen.isScreenSoftwareDrawn()) {
        RECT onDesktop{};
        if (WindowFactsSlot()->getScreenRectOnDesktop(&onDesktop) == 0) {
            *x += onDesktop.left;
            *y += onDesktop.top;
        }
    }
}
