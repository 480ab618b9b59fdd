// GDI's view of the display: device capabilities, system metrics, the display settings and
// GdiFlush.
#include <cstdint>

#include "platform/display/display.h"
#include "platform/gdi/gdi_internal.h"

namespace plat {

int32_t GetDeviceCaps(DeviceContext* dc, int32_t index) {
    const DisplayMode mode = CurrentDisplayMode();
    int32_t width = mode.width, height = mode.height, bits = mode.bitsPerPixel;
    if (dc != nullptr && !dc->isWindow) {
        DcTarget t;
        if (GetDCTarget(dc, &t)) {
            width = t.width;
            height = t.height;
            bits = static_cast<int32_t>(t.bitCount);
        }
    }
    switch (index) {
        case HORZRES: return width;
        case VERTRES: return height;
        case BITSPIXEL: return bits;
        case PLANES: return 1;
        case VREFRESH: return static_cast<int32_t>(mode.refreshRate);
        default: return 0;
    }
}

bool GdiFlush() { return true; }

int32_t GetSystemMetrics(int32_t index) {
    const DisplayMode mode = CurrentDisplayMode();
    switch (index) {
        case SM_CXSCREEN: return mode.width;
        case SM_CYSCREEN: return mode.height;
        default: return 0;
    }
}

int32_t ChangeDisplaySettings(const DevMode* mode, uint32_t flags) {
    if (mode == nullptr) {
        RestoreDesktopDisplayMode();
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (mode->size != sizeof(DevMode)) return DISP_CHANGE_BADPARAM;
    if ((flags & ~(CDS_UPDATEREGISTRY | CDS_TEST | CDS_FULLSCREEN)) != 0) {
        return DISP_CHANGE_BADFLAGS;
    }
    const DisplayMode now = CurrentDisplayMode();
    const auto pick = [&](uint32_t bit, uint32_t value, int32_t current) {
        return (mode->fields & bit) != 0 ? static_cast<int64_t>(value) : current;
    };
    const int64_t width = pick(DM_PELSWIDTH, mode->pelsWidth, now.width);
    const int64_t height = pick(DM_PELSHEIGHT, mode->pelsHeight, now.height);
    const int64_t bpp = pick(DM_BITSPERPEL, mode->bitsPerPel, now.bitsPerPixel);
    const uint32_t rate = (mode->fields & DM_DISPLAYFREQUENCY) != 0 ? mode->displayFrequency : 0;
    if (width > INT32_MAX || height > INT32_MAX || bpp > 64) return DISP_CHANGE_BADMODE;
    if ((flags & CDS_TEST) != 0) {
        return DisplayOffersMode(static_cast<int32_t>(width), static_cast<int32_t>(height),
                                 static_cast<int32_t>(bpp), rate)
                   ? DISP_CHANGE_SUCCESSFUL
                   : DISP_CHANGE_BADMODE;
    }
    switch (SetFullScreenDisplayMode(static_cast<int32_t>(width), static_cast<int32_t>(height),
                                     static_cast<int32_t>(bpp), rate)) {
        case DisplayModeResult::Ok: return DISP_CHANGE_SUCCESSFUL;
        case DisplayModeResult::Busy: return DISP_CHANGE_FAILED;
        default: return DISP_CHANGE_BADMODE;
    }
}

}  // namespace plat
