#include "graphics/screen/screen_host.h"

#include "platform/core/system_info.h"
#include "platform/window/window.h"

namespace {

plat::WindowHandle NoWindow() { return 0; }
int FullScreen() { return 0; }
double UnitScale() { return 1.0; }
int NoDrawRect(RECT*) { return -1; }
int NoMenu() { return 0; }
void BlackBackground(int32_t* r, int32_t* g, int32_t* b) {
    *r = 0;
    *g = 0;
    *b = 0;
}
int PumpNeverQuits() { return 0; }
void NoInactiveWait() {}
int32_t NoOsCode() { return 0; }
int NoMmx() { return 0; }
void NoWindowToFit() {}
void NoInputDevices() {}
void PlatformDesktopSize(int32_t* width, int32_t* height) {
    const plat::DesktopInfo desktop = plat::GetDesktopInfo();
    *width = desktop.width;
    *height = desktop.height;
}

}  // namespace

const ScreenHostDriver kAbsentScreenHost = {
    .window = NoWindow,
    .isWindowed = FullScreen,
    .windowScale = UnitScale,
    .getWindowDrawRect = NoDrawRect,
    .hasWindowMenu = NoMenu,
    .getBackgroundColor = BlackBackground,
    .processMessage = PumpNeverQuits,
    .waitWhileInactive = NoInactiveWait,
    .osCode = NoOsCode,
    .hasMmx = NoMmx,
    .applyWindowStyle = NoWindowToFit,
    .getDesktopSize = PlatformDesktopSize,
    .restartInputDevices = NoInputDevices,
};

DriverSlot<ScreenHostDriver>& ScreenHostSlot() {
    static DriverSlot<ScreenHostDriver> slot(kAbsentScreenHost);
    return slot;
}

plat::WindowHandle ScreenWindow() { return ScreenHostSlot()->window(); }

int ScreenIsWindowed() { return ScreenHostSlot()->isWindowed(); }

void GetScreenBackgroundColor(int32_t* r, int32_t* g, int32_t* b) {
    ScreenHostSlot()->getBackgroundColor(r, g, b);
}
