// The display model: its mode (the desktop's, or a full-screen mode), its framebuffer, the
// window whose picture is shown, the exclusive owner and the simulated raster.
#include "platform/display/display.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/core/clock.h"
#include "platform/core/system_info.h"
#include "platform/display/display_internal.h"
#include "platform/window/window_backend.h"

namespace plat {

namespace {

constexpr uint32_t kDefaultRefresh = 60;
constexpr int32_t kOfferedSizes[][2] = {
    {640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1280, 1024},
};

void NothingToTell() {}
bool OwnMasks(int32_t, uint32_t*, uint32_t*, uint32_t*) { return false; }

std::atomic<const DisplaySurfacesDriver*> g_surfaces{&kAbsentDisplaySurfaces};

DisplayGlobals& State() {
    static DisplayGlobals state;
    return state;
}

uint32_t BackendRefreshLocked(DisplayGlobals& s) {
    if (s.refreshOverride != 0) return s.refreshOverride;
    const uint32_t rate = Backend().RefreshRate();
    return rate != 0 ? rate : kDefaultRefresh;
}

DisplayMode DesktopModeLocked(DisplayGlobals& s) {
    const DesktopInfo desktop = GetDesktopInfo();
    return DisplayMode{desktop.width, desktop.height,
                       desktop.bitsPerPixel == 24 ? 32 : desktop.bitsPerPixel,
                       BackendRefreshLocked(s)};
}

DisplayMode CurrentModeLocked(DisplayGlobals& s) {
    return s.fullScreen ? s.mode : DesktopModeLocked(s);
}

void Masks(int32_t bits, uint32_t* r, uint32_t* g, uint32_t* b) {
    if (bits == 16) {
        *r = 0xF800, *g = 0x07E0, *b = 0x001F;
    } else if (bits == 32) {
        *r = 0xFF0000, *g = 0xFF00, *b = 0xFF;
    } else {
        *r = *g = *b = 0;
    }
}

// Makes the own framebuffer match the current mode; true when it was made anew.
bool EnsureBufferLocked(DisplayGlobals& s) {
    const DisplayMode mode = CurrentModeLocked(s);
    if (mode.width == s.width && mode.height == s.height && mode.bitsPerPixel == s.bitsPerPixel &&
        !s.buffer.empty()) {
        return false;
    }
    const int32_t bytes = std::max(1, mode.bitsPerPixel / 8);
    s.width = std::max(1, mode.width);
    s.height = std::max(1, mode.height);
    s.bitsPerPixel = mode.bitsPerPixel;
    s.pitch = (s.width * bytes + 7) / 8 * 8;
    s.buffer.assign(static_cast<size_t>(s.pitch) * static_cast<size_t>(s.height), 0);
    return true;
}

// After any change of mode: the framebuffer follows, the scanout is dropped, the surfaces of
// the old mode are told.
void ModeChangedLocked(DisplayGlobals& s) {
    s.scanout = nullptr;
    EnsureBufferLocked(s);
    ++s.changeSerial;
}

// Tells every window of the new mode, as the desktop does after each change of display mode
// (WM_DISPLAYCHANGE: the depth in wParam, the size in lParam). Called without the display's
// lock held.
void AnnounceDisplayChange() {
    const DisplayMode mode = CurrentDisplayMode();
    PostMessageToAllWindows(WM_DISPLAYCHANGE, static_cast<WParam>(mode.bitsPerPixel),
                            MakeLParam(mode.width, mode.height));
}

}  // namespace

const DisplaySurfacesDriver kAbsentDisplaySurfaces = {
    .displayModeChanged = NothingToTell,
    .displayTakenByOtherOwner = NothingToTell,
    .displayFormatMasks = OwnMasks,
};

void InstallDisplaySurfaces(const DisplaySurfacesDriver& driver) { g_surfaces.store(&driver); }

const DisplaySurfacesDriver& DisplaySurfaces() { return *g_surfaces.load(); }

DisplayGlobals& DisplayState() { return State(); }

DisplayMode CurrentDisplayMode() {
    DisplayGlobals& s = State();
    std::lock_guard<std::recursive_mutex> hold(s.mutex);
    return CurrentModeLocked(s);
}

DisplayMode DesktopDisplayMode() {
    DisplayGlobals& s = State();
    std::lock_guard<std::recursive_mutex> hold(s.mutex);
    return DesktopModeLocked(s);
}

uint32_t DisplayRefreshRate() { return CurrentDisplayMode().refreshRate; }

bool DisplayInFullScreenMode() {
    DisplayGlobals& s = State();
    std::lock_guard<std::recursive_mutex> hold(s.mutex);
    return s.fullScreen;
}

bool DisplayOffersMode(int32_t width, int32_t height, int32_t bitsPerPixel,
                       uint32_t refreshRate) {
    DisplayGlobals& s = State();
    std::lock_guard<std::recursive_mutex> hold(s.mutex);
    if (bitsPerPixel != 16 && bitsPerPixel != 32) return false;
    const DisplayMode desktop = DesktopModeLocked(s);
    bool sizeOffered = width == desktop.width && height == desktop.height;
    for (const auto& size : kOfferedSizes) {
        if (size[0] == width && size[1] == height) sizeOffered = true;
    }
    if (!sizeOffered) return false;
    return refreshRate == 0 || refreshRate == desktop.refreshRate ||
           refreshRate == kDefaultRefresh;
}

DisplayModeResult SetFullScreenDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel,
                                           uint32_t refreshRate) {
    DisplayGlobals& s = State();
    {
        std::lock_guard<std::recursive_mutex> hold(s.mutex);
        if (s.otherOwner) return DisplayModeResult::Busy;
        if (!DisplayOffersMode(width, height, bitsPerPixel, 0)) return DisplayModeResult::BadMode;
        if (!DisplayOffersMode(width, height, bitsPerPixel, refreshRate)) {
            return DisplayModeResult::BadRefresh;
        }
        s.fullScreen = true;
        s.mode = DisplayMode{width, height, bitsPerPixel,
                             refreshRate != 0 ? refreshRate : BackendRefreshLocked(s)};
        ModeChangedLocked(s);
    }
    DisplaySurfaces().displayModeChanged();
    AnnounceDisplayChange();
    return DisplayModeResult::Ok;
}

void RestoreDesktopDisplayMode() {
    DisplayGlobals& s = State();
    {
        std::lock_guard<std::recursive_mutex> hold(s.mutex);
        if (!s.fullScreen) return;
        s.fullScreen = false;
        ModeChangedLocked(s);
    }
    DisplaySurfaces().displayModeChanged();
    AnnounceDisplayChange();
}

DisplayFramebuffer GetDisplayFramebuffer() {
    DisplayGlobals& s = State();
    bool remade = false;
    DisplayFramebuffer out{};
    {
        std::lock_guard<std::recursive_mutex> hold(s.mutex);
        // A desktop that changed under a windowed display is a mode change too.
        if (EnsureBufferLocked(s) && !s.firstBuffer) {
            s.scanout = nullptr;
            remade = true;
        }
        s.firstBuffer = false;
        out.width = s.width;
        out.height = s.height;
        out.bitsPerPixel = s.bitsPerPixel;
        if (s.scanout != nullptr) {
            out.pixels = s.scanout;
            out.pitch = s.scanoutPitch;
        } else {
            out.pixels = s.buffer.data();
            out.pitch = s.pitch;
        }
        Masks(s.bitsPerPixel, &out.redMask, &out.greenMask, &out.blueMask);
        // A display format set by the surface layer's test control (a 5-5-5 display, say)
        // is the framebuffer's too.
        DisplaySurfaces().displayFormatMasks(s.bitsPerPixel, &out.redMask, &out.greenMask,
                                             &out.blueMask);
    }
    if (remade) DisplaySurfaces().displayModeChanged();
    return out;
}

void SetDisplayScanout(uint8_t* pixels, int32_t pitch) {
    DisplayGlobals& s = State();
    std::lock_guard<std::recursive_mutex> hold(s.mutex);
    if (pixels != nullptr && !s.fullScreen) return;
    s.scanout = pixels;
    s.scanoutPitch = pitch;
    ++s.changeSerial;
}

void DropDisplayScanout(const uint8_t* pixels) {
    DisplayGlobals& s = State();
    std::lock_guard<std::recursive_mutex> hold(s.mutex);
    if (pixels == nullptr || s.scanout != pixels) return;
    s.scanout = nullptr;
    ++s.changeSerial;
}

void SetDisplayPalette(const uint8_t rgb[256][3]) {
    DisplayGlobals& s = State();
    std::lock_guard<std::recursive_mutex> hold(s.mutex);
    std::memcpy(s.palette, rgb, sizeof(s.palette));
    ++s.changeSerial;
}

void MarkDisplayChanged() {
    DisplayGlobals& s = State();
    std::lock_guard<std::recursive_mutex> hold(s.mutex);
    ++s.changeSerial;
}

uint64_t DisplayChangeSerial() {
    DisplayGlobals& s = State();
    std::lock_guard<std::recursive_mutex> hold(s.mutex);
    return s.changeSerial;
}

void SetDisplayWindow(WindowHandle window) {
    DisplayGlobals& s = State();
    std::lock_guard<std::recursive_mutex> hold(s.mutex);
    if (s.window != window) ++s.changeSerial;
    s.window = window;
}

WindowHandle DisplayWindow() {
    DisplayGlobals& s = State();
    WindowHandle chosen;
    {
        std::lock_guard<std::recursive_mutex> hold(s.mutex);
        chosen = s.window;
    }
    if (chosen != 0 && IsWindow(chosen)) return chosen;
    return FirstVisibleWindow();
}

bool WindowClientOnDesktop(WindowHandle window, Rect* out) {
    Rect client{};
    Point origin{0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return false;
    *out = Rect{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    return true;
}

void SetOtherExclusiveOwnerInternal(bool active) {
    DisplayGlobals& s = State();
    bool restored = false;
    {
        std::lock_guard<std::recursive_mutex> hold(s.mutex);
        if (s.otherOwner == active) return;
        s.otherOwner = active;
        // The other program takes the display and leaves it in the desktop's mode.
        if (active && s.fullScreen) {
            s.fullScreen = false;
            ModeChangedLocked(s);
            restored = true;
        }
    }
    if (restored) {
        DisplaySurfaces().displayModeChanged();
        AnnounceDisplayChange();
    }
    if (active) DisplaySurfaces().displayTakenByOtherOwner();
}

void ResetDisplayInternal() {
    DisplayGlobals& s = State();
    bool changed = false;
    {
        std::lock_guard<std::recursive_mutex> hold(s.mutex);
        s.otherOwner = false;
        s.refreshOverride = 0;
        s.window = 0;
        // The framebuffer is made anew: primaries that pointed at it must let go.
        changed = true;
        s.fullScreen = false;
        s.scanout = nullptr;
        // Made again on first use, in the (maybe new) desktop's mode.
        std::vector<uint8_t>().swap(s.buffer);
        s.width = s.height = s.bitsPerPixel = 0;
        s.firstBuffer = true;
        ++s.changeSerial;
    }
    if (changed) DisplaySurfaces().displayModeChanged();
}

void SetRefreshOverrideInternal(uint32_t hz) {
    DisplayGlobals& s = State();
    std::lock_guard<std::recursive_mutex> hold(s.mutex);
    s.refreshOverride = hz;
    if (s.fullScreen && hz != 0) s.mode.refreshRate = hz;
}

bool OtherExclusiveOwnerActive() {
    DisplayGlobals& s = State();
    std::lock_guard<std::recursive_mutex> hold(s.mutex);
    return s.otherOwner;
}

const void* ExclusiveDisplayOwner() {
    DisplayGlobals& s = State();
    std::lock_guard<std::recursive_mutex> hold(s.mutex);
    return s.exclusiveOwner;
}

bool TakeExclusiveDisplay(const void* owner) {
    DisplayGlobals& s = State();
    std::lock_guard<std::recursive_mutex> hold(s.mutex);
    if (s.otherOwner) return false;
    if (s.exclusiveOwner != nullptr && s.exclusiveOwner != owner) return false;
    s.exclusiveOwner = owner;
    return true;
}

void ReleaseExclusiveDisplay(const void* owner) {
    DisplayGlobals& s = State();
    std::lock_guard<std::recursive_mutex> hold(s.mutex);
    if (s.exclusiveOwner == owner) s.exclusiveOwner = nullptr;
}

RasterPosition ReadRaster() {
    const DisplayMode mode = CurrentDisplayMode();
    RasterPosition r{};
    r.visibleLines = static_cast<uint32_t>(std::max(1, mode.height));
    r.totalLines = r.visibleLines + std::max<uint32_t>(1, (r.visibleLines + 11) / 12);
    const uint64_t rate = mode.refreshRate != 0 ? mode.refreshRate : kDefaultRefresh;
    const uint64_t frameNs = 1000000000ull / rate;
    const uint64_t now = PerformanceCounter();  // nanoseconds
    const uint64_t phase = now % frameNs;
    r.frame = now / frameNs;
    r.line = static_cast<uint32_t>(phase * r.totalLines / frameNs);
    r.inVerticalBlank = r.line >= r.visibleLines;
    // The first nanosecond of the frame whose line is the first blank line.
    const uint64_t blankStart = (static_cast<uint64_t>(r.visibleLines) * frameNs +
                                 r.totalLines - 1) / r.totalLines;
    const uint64_t toStartNs = phase <= blankStart ? blankStart - phase
                                                   : frameNs - phase + blankStart;
    const uint64_t toEndNs = frameNs - phase;
    r.microsecondsToBlankStart = (toStartNs + 999) / 1000;
    r.microsecondsToBlankEnd = (toEndNs + 999) / 1000;
    return r;
}

}  // namespace plat
