#include "system/window_facts.h"

#include "graphics/drivers/screen_driver.h"
#include "platform/core/system_info.h"
#include "platform/window/window.h"
#include "system/message_pump.h"
#include "system/window_data.h"

namespace {

RECT gDrawAreaRequest = {};

void RememberDrawAreaRequest(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    gDrawAreaRequest = RECT{x1, y1, x2, y2};
}

int IsWindowed() { return GetWindowData().settings.windowed ? 1 : 0; }

// The screen's rectangle on the desktop: a window's client area starts where the window put
// it; a full screen covers the desktop from its corner.
int ScreenRectOnDesktop(RECT* out) {
    const WindowData& data = GetWindowData();
    if (data.window.handle == 0) return -1;
    int32_t width = 0, height = 0;
    GetScreenSize(&width, &height);
    int32_t left = 0, top = 0;
    if (data.settings.windowed) {
        left = data.window.clientRect.left;
        top = data.window.clientRect.top;
    }
    *out = RECT{left, top, left + width, top + height};
    return 0;
}

// The desktop measured at window start-up, else as the platform reports it now.
int DesktopSize(int32_t* width, int32_t* height) {
    const MachineFacts& machine = GetWindowData().machine;
    int32_t w = machine.desktopWidth, h = machine.desktopHeight;
    if (w <= 0 || h <= 0) {
        const plat::DesktopInfo desktop = plat::GetDesktopInfo();
        w = desktop.width;
        h = desktop.height;
    }
    if (w <= 0 || h <= 0) return -1;
    *width = w;
    *height = h;
    return 0;
}

int QuitRequested() { return IsQuitRequested() ? 1 : 0; }

}  // namespace

const WindowFactsDriver kWindowSystemFacts = {
    .waitWhileInactive = WaitWhileInactive,
    .rememberDrawAreaRequest = RememberDrawAreaRequest,
    .isWindowed = IsWindowed,
    .getScreenRectOnDesktop = ScreenRectOnDesktop,
    .getDesktopSize = DesktopSize,
    .isQuitRequested = QuitRequested,
};

RECT GetDrawAreaRequest() { return gDrawAreaRequest; }
