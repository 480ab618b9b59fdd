// The present: the back screen made visible by a flip, by a copy to the window's part of the
// primary, or by a GDI copy of the software back image; the vertical-blank waits; and the
// temporary primary that stands in for the primary while the front is the draw target.
#include <cmath>
#include <cstring>

#include "graphics/draw_state/draw_state.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/screen_overlay_driver.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_host.h"
#include "graphics/screen/screen_internal.h"
#include "platform/core/clock.h"
#include "platform/ddraw/ddraw.h"
#include "platform/gdi/gdi.h"

namespace {

constexpr int32_t kOsCodeVista = 0x108;

bool ScreenUp() {
    const ScreenState& s = GetScreenState();
    return s.directDraw != nullptr || s.noDirectDraw;
}

bool NoMenuNoGdi() {
    return GetScreenState().flipToGdi != 1 && !ScreenHostSlot()->hasWindowMenu();
}

void EndDirect3DScene() { Device3DSlot()->endCurrentDeviceScene(); }

uint32_t FlipFlags() {
    return GetScreenState().vsyncWait ? plat::DDFLIP_WAIT
                                      : plat::DDFLIP_WAIT | plat::DDFLIP_NOVSYNC;
}

// The software back image handed to GDI. The header's width is the row length in pixels
// (pitch / bytes per pixel), which may be wider than the screen: GDI finds each row where the
// image has it, and the copy itself takes only the screen's width.
void DescribeBackImage(const MEMIMG& image, int32_t height, plat::BitmapInfo* info) {
    std::memset(info, 0, sizeof *info);
    const ColorFormat* format = image.colorFormat;
    const int32_t bytes = format->bytes != 0 ? format->bytes : 4;
    info->header.size = sizeof(plat::BitmapInfoHeader);
    info->header.width = image.pitch / bytes;
    info->header.height = -height;
    info->header.planes = 1;
    info->header.bitCount = format->bits;
    info->header.compression = plat::BI_BITFIELDS;
    info->masks[0] = format->maskR;
    info->masks[1] = format->maskG;
    info->masks[2] = format->maskB;
}

void PresentSoftwareBack(int32_t width, int32_t height, const RECT& dest) {
    ScreenState& s = GetScreenState();
    if (s.vsyncWait) WaitVBlankPaced();
    const MEMIMG& image = s.backImage;
    if (image.magic != MEMIMG_MAGIC || image.pixels == nullptr) return;
    plat::BitmapInfo info;
    DescribeBackImage(image, height, &info);
    const size_t bytes = static_cast<size_t>(image.pitch) * static_cast<size_t>(image.height);
    const plat::WindowHandle window = ScreenWindow();
    plat::DeviceContext* dc = plat::GetDC(window);
    if (dc != nullptr) {
        const int32_t destWidth = dest.right - dest.left;
        const int32_t destHeight = dest.bottom - dest.top;
        if (destWidth == width && destHeight == height) {
            plat::SetDIBitsToDevice(dc, 0, 0, static_cast<uint32_t>(width),
                                    static_cast<uint32_t>(height), 0, 0, 0,
                                    static_cast<uint32_t>(height), image.pixels, bytes, &info,
                                    plat::DIB_RGB_COLORS);
        } else {
            plat::StretchDIBits(dc, 0, 0, destWidth, destHeight, 0, 0, width, height,
                                image.pixels, bytes, &info, plat::DIB_RGB_COLORS, plat::SRCCOPY);
        }
        plat::ReleaseDC(window, dc);
    }
    s.frontNeedsReadBack = 1;
}

// The hardware road of the window present. Returns true when the present is complete.
bool PresentHardwareBack(const plat::Rect& source, const plat::Rect& dest) {
    ScreenState& s = GetScreenState();
    EndDirect3DScene();
    if (s.primary == nullptr || s.back == nullptr) return false;
    if (ScreenIsWindowed()) {
        if (s.vsyncWait) WaitVBlankPaced();
        s.primary->Blt(&dest, s.back, &source, plat::DDBLT_WAIT, nullptr);
        return false;
    }
    if (ScreenHostSlot()->osCode() != kOsCodeVista) {
        if (s.vsyncWait) WaitVBlankPaced();
        if (NoMenuNoGdi()) {
            s.primary->BltFast(0, 0, s.back, &source, plat::DDBLTFAST_WAIT);
            return true;
        }
        s.primary->Blt(nullptr, s.back, nullptr, plat::DDBLT_WAIT, nullptr);
        return false;
    }
    // Windows Vista: flip, then keep the picture just shown in the back surface.
    s.primary->Flip(nullptr, FlipFlags());
    if (NoMenuNoGdi()) {
        s.back->BltFast(0, 0, s.primary, &source, plat::DDBLTFAST_WAIT);
        return true;
    }
    s.back->Blt(nullptr, s.primary, nullptr, plat::DDBLT_WAIT, nullptr);
    s.directDraw->FlipToGDISurface();
    return false;
}

// The window's draw rectangle's top-left (0, 0 without a window).
void WindowOrigin(int32_t* x, int32_t* y) {
    RECT rect = {};
    if (ScreenHostSlot()->getWindowDrawRect(&rect) != 0) rect = RECT{0, 0, 0, 0};
    *x = rect.left;
    *y = rect.top;
}

}  // namespace

int PresentScreen() {
    ScreenState& s = GetScreenState();
    if (!ScreenUp()) return -1;
    ScreenHostSlot()->waitWhileInactive();
    if (s.softwareScreen || s.flipToGdi || s.noDirectDraw || ScreenIsWindowed() ||
        ScreenHostSlot()->hasWindowMenu()) {
        return PresentScreenWindowed();
    }
    ScreenOverlaySlot()->drawIfShown();
    if (GetDrawTarget() == kDrawTargetFront && s.vsyncWait) {
        ++s.presentCount;
        return WaitVBlankCount(1);
    }
    EndDirect3DScene();
    if (s.primary != nullptr) s.primary->Flip(nullptr, FlipFlags());
    if (s.vsyncWait) plat::SleepMs(1);
    ++s.presentCount;
    return 0;
}

int PresentScreenWindowed() {
    ScreenState& s = GetScreenState();
    if (!ScreenUp()) return -1;
    ScreenOverlaySlot()->drawIfShown();
    if (GetDrawTarget() == kDrawTargetFront) {
        ++s.presentCount;
        return WaitVBlankCount(1);
    }
    int32_t width = 0, height = 0;
    GetScreenDimensions(&width, &height);
    const plat::Rect source{0, 0, width, height};
    plat::Rect dest = source;
    if (ScreenIsWindowed()) {
        RECT client = {};
        if (ScreenHostSlot()->getWindowDrawRect(&client) != 0) client = RECT{0, 0, 0, 0};
        double scale = ScreenHostSlot()->windowScale();
        if (scale <= 0.0) scale = 1.0;
        dest.left = client.left;
        dest.top = client.top;
        dest.right = client.left + static_cast<int32_t>(std::lround(scale * width));
        dest.bottom = client.top + static_cast<int32_t>(std::lround(scale * height));
    }
    if (!s.softwareScreen) {
        if (PresentHardwareBack(source, dest)) {
            ++s.presentCount;
            return 0;
        }
    } else {
        PresentSoftwareBack(width, height, RECT{dest.left, dest.top, dest.right, dest.bottom});
    }
    ++s.presentCount;
    return 0;
}

int WaitVBlankCount(int32_t count) {
    plat::DirectDraw* dd = GetScreenState().directDraw;
    if (dd == nullptr) return -1;
    ScreenHostSlot()->waitWhileInactive();
    if (count == 0) {
        if (ScreenHostSlot()->processMessage() != 0) return 0;
        PollVerticalBlank(dd, 1, true);
        return 0;
    }
    for (int32_t i = 0; i < count; ++i) {
        if (PollVerticalBlank(dd, 0, true) < 0) return -1;
        if (PollVerticalBlank(dd, 1, true) < 0) return -1;
    }
    return 0;
}

void WaitVBlankPaced() {
    ScreenState& s = GetScreenState();
    plat::DirectDraw* dd = s.directDraw;
    if (dd == nullptr) return;
    const uint32_t now = plat::MillisecondClock();
    if (s.frameTime < 0 || static_cast<int32_t>(now - s.lastVBlankTime) >= s.frameTime) {
        plat::SleepMs(0);
        if (!InVerticalBlank(dd)) dd->WaitForVerticalBlank(plat::DDWAITVB_BLOCKBEGIN, nullptr);
    } else {
        while (static_cast<int32_t>(plat::MillisecondClock() - s.lastVBlankTime) < s.frameTime) {
            plat::SleepMs(1);
        }
        dd->WaitForVerticalBlank(plat::DDWAITVB_BLOCKBEGIN, nullptr);
    }
    s.lastVBlankTime = plat::MillisecondClock();
}

namespace {

// Copies the window's rectangle of the primary to the temporary primary, or back.
int CopyBetweenPrimaries(bool toTemporary) {
    ScreenState& s = GetScreenState();
    if (s.primary == nullptr || s.tempPrimary == nullptr) return 0;
    int32_t width = 0, height = 0, x = 0, y = 0;
    GetScreenDimensions(&width, &height);
    WindowOrigin(&x, &y);
    const plat::Rect own{0, 0, width, height};
    const plat::Rect onPrimary{x, y, x + width, y + height};
    if (toTemporary) {
        s.tempPrimary->Blt(&own, s.primary, &onPrimary, plat::DDBLT_WAIT, nullptr);
    } else {
        s.primary->Blt(&onPrimary, s.tempPrimary, &own, plat::DDBLT_WAIT, nullptr);
    }
    return 0;
}

}  // namespace

int CopyPrimaryToTempPrimary() { return CopyBetweenPrimaries(true); }

int CopyTempPrimaryToPrimary() { return CopyBetweenPrimaries(false); }

void TempPrimaryTimerProc(plat::WindowHandle window, uint32_t, uintptr_t, uint32_t) {
    ScreenState& s = GetScreenState();
    // One copy per tick: the timer is stopped while the copy runs and set again after it.
    plat::KillTimer(window, kTempPrimaryTimerId);
    if (s.primary == nullptr || !s.tempPrimaryTimerOn) {
        s.tempPrimaryTimerOn = 0;
        return;
    }
    CopyTempPrimaryToPrimary();
    plat::SetTimer(window, kTempPrimaryTimerId, kTempPrimaryTimerMs, TempPrimaryTimerProc);
}

void StartTempPrimaryTimer() {
    ScreenState& s = GetScreenState();
    const plat::WindowHandle window = ScreenWindow();
    if (window == 0) return;
    if (plat::SetTimer(window, kTempPrimaryTimerId, kTempPrimaryTimerMs, TempPrimaryTimerProc) != 0) {
        s.tempPrimaryTimerOn = 1;
    }
}

void StopTempPrimaryTimer() {
    ScreenState& s = GetScreenState();
    const plat::WindowHandle window = ScreenWindow();
    if (window != 0) plat::KillTimer(window, kTempPrimaryTimerId);
    s.tempPrimaryTimerOn = 0;
}
