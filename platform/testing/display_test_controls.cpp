#include "platform/testing/display_test_controls.h"

#include "platform/ddraw/ddraw_internal.h"
#include "platform/display/display_internal.h"

namespace plat {

void ResetDisplayTestControls() {
    ResetDisplayInternal();
    DDrawGlobals& state = DDrawState();
    state.failDirectDrawCreates = 0;
    state.failDirectDrawInitializes = 0;
}

bool GetShownPicture(ShownPicture* out, WindowHandle window) {
    return ReadShownPicture(window, out);
}

bool GetDesktopPicture(ShownPicture* out) {
    ShownPicture mode;
    if (out == nullptr || !DisplayInFullScreenMode() || !ReadShownPicture(0, &mode)) return false;
    const DisplayMode desktop = DesktopDisplayMode();
    const Rect fit = FitPictureRect(desktop.width, desktop.height, mode.width, mode.height);
    const int32_t fitWidth = fit.right - fit.left;
    const int32_t fitHeight = fit.bottom - fit.top;
    if (fitWidth <= 0 || fitHeight <= 0) return false;
    out->width = desktop.width;
    out->height = desktop.height;
    out->pixels.assign(static_cast<size_t>(desktop.width) * static_cast<size_t>(desktop.height), 0);
    for (int32_t y = 0; y < fitHeight; ++y) {
        const int64_t sy = static_cast<int64_t>(y) * mode.height / fitHeight;
        uint32_t* row = out->pixels.data() + static_cast<size_t>(fit.top + y) * desktop.width;
        for (int32_t x = 0; x < fitWidth; ++x) {
            const int64_t sx = static_cast<int64_t>(x) * mode.width / fitWidth;
            row[fit.left + x] = mode.pixels[static_cast<size_t>(sy * mode.width + sx)];
        }
    }
    return true;
}

void SetDisplayRefreshRateForTests(uint32_t hz) { SetRefreshOverrideInternal(hz); }

void SetOtherExclusiveOwner(bool active) { SetOtherExclusiveOwnerInternal(active); }

void FailNextDirectDrawCreates(int count) { DDrawState().failDirectDrawCreates = count; }

void FailNextDirectDrawInitializes(int count) {
    DDrawState().failDirectDrawInitializes = count;
}

}  // namespace plat
