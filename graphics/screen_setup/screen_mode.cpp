// Display modes: the cooperative level and the mode for a window or full screen, the mode
// change with its fallbacks, and putting the desktop's mode back.
#include <cstring>

#include "base/fatal_exit.h"
#include "base/log.h"
#include "graphics/drivers/direct_draw_object.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/graph_load/graph_system.h"
#include "graphics/mask/mask_screen.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_host.h"
#include "graphics/screen/screen_internal.h"
#include "graphics/screen_setup/screen_setup.h"
#include "graphics/screen_setup/screen_setup_internal.h"
#include "platform/core/clock.h"
#include "platform/ddraw/ddraw.h"
#include "platform/gdi/gdi.h"

namespace {

constexpr uint32_t kModeChangeSpacingMs = 2000;
constexpr uint32_t kModeChangeSleepMs = 2060;
constexpr uint32_t kModeChangeShortSleepMs = 60;

uint32_t LevelFlags(uint32_t base) {
    return base | (GetScreenState().multiThreaded ? plat::DDSCL_MULTITHREADED : 0);
}

int32_t DesktopDepth() {
    plat::DeviceContext* dc = plat::GetDC(0);
    const int32_t depth = plat::GetDeviceCaps(dc, plat::BITSPIXEL) * plat::GetDeviceCaps(dc, plat::PLANES);
    if (dc != nullptr) plat::ReleaseDC(0, dc);
    return depth;
}

bool FullScreenLevelAccepted(plat::DDResult result) {
    return plat::DDSucceeded(result) || result == plat::DDERR_EXCLUSIVEMODEALREADYSET ||
           result == plat::DDERR_HWNDALREADYSET || result == plat::DDERR_HWNDSUBCLASSED;
}

int CooperativeLevelFatal() {
    return FatalExit("DirectDrawの協調レベルの設定に失敗しました、ソフトを終了します");
}

// A full-screen display mode without DirectDraw (software screen). refresh 0: the default.
bool ChangeDisplayByGdi(int32_t width, int32_t height, int32_t depth, int32_t refresh,
                        uint32_t flags) {
    plat::DevMode mode = {};
    mode.size = sizeof(mode);
    mode.fields = plat::DM_PELSWIDTH | plat::DM_PELSHEIGHT | plat::DM_BITSPERPEL;
    mode.pelsWidth = static_cast<uint32_t>(width);
    mode.pelsHeight = static_cast<uint32_t>(height);
    mode.bitsPerPel = static_cast<uint32_t>(depth);
    if (refresh != 0) {
        mode.fields |= plat::DM_DISPLAYFREQUENCY;
        mode.displayFrequency = static_cast<uint32_t>(refresh);
    }
    return plat::ChangeDisplaySettings(&mode, flags) == plat::DISP_CHANGE_SUCCESSFUL;
}

// Sets a full-screen mode at the state's refresh rate; a refused rate is dropped (the state's
// rate becomes 0) and the mode tried once more at the display's default.
bool SetFullScreenMode(int32_t width, int32_t height, int32_t depth) {
    ScreenState& s = GetScreenState();
    const auto attempt = [&](uint32_t flags) {
        if (!s.noDirectDraw && s.directDraw != nullptr) {
            return plat::DDSucceeded(s.directDraw->SetDisplayMode(
                static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                static_cast<uint32_t>(depth), static_cast<uint32_t>(s.refreshRate), 0));
        }
        return ChangeDisplayByGdi(width, height, depth, s.refreshRate, flags);
    };
    if (attempt(plat::CDS_FULLSCREEN)) return true;
    s.refreshRate = 0;
    return attempt(s.noDirectDraw ? 0 : plat::CDS_FULLSCREEN);
}

// SetScreenMode: the cooperative level and the display mode for the window mode. 0; -1 when
// the depth is 24 bits or the mode cannot be set.
int SetScreenMode(plat::DirectDraw* dd, int32_t desktopWidth, int32_t desktopHeight,
                  int32_t width, int32_t height, int32_t depth, int32_t* outDepth,
                  uint32_t* outLevel, int windowed, int32_t* displayModeChanged,
                  plat::WindowHandle window) {
    ScreenState& s = GetScreenState();
    const bool withDirectDraw = dd != nullptr && !s.noDirectDraw;
    LogWriteFormat("画面モードの変更処理を開始します %u x %u  %u bit ", static_cast<unsigned>(width),
                   static_cast<unsigned>(height), static_cast<unsigned>(depth));
    LogIndentAdd();
    if (s.multiThreaded) LogWrite("協調レベルはマルチスレッド対応にします\n");

    int result = 0;
    if (windowed) {
        LogWrite("ウインドウモードにします\n");
        if (width > desktopWidth || height > desktopHeight) {
            LogIndentSub();
            return FatalExit("デスクトップ画面のサイズが足りません、ソフトを終了します");
        }
        if (*displayModeChanged == 1) {
            LogWrite("フルスクリーンモードから抜けます\n");
            if (withDirectDraw) {
                dd->RestoreDisplayMode();
            } else {
                plat::ChangeDisplaySettings(nullptr, 0);
            }
            *displayModeChanged = 0;
        }
        const int32_t desktop = DesktopDepth();
        if (desktop == 24) {
            result = -1;
        } else {
            *outDepth = desktop;
            if (withDirectDraw) {
                const uint32_t level = LevelFlags(plat::DDSCL_NORMAL);
                if (!plat::DDSucceeded(dd->SetCooperativeLevel(window, level))) {
                    LogIndentSub();
                    return CooperativeLevelFatal();
                }
                *outLevel = level;
            }
            LogWrite("画面モードの変更は正常に終了しました \n");
        }
    } else if (depth == 24) {
        result = -1;
    } else {
        LogWrite("画面解像度を変更します... ");
        if (withDirectDraw) {
            const uint32_t level = LevelFlags(plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN);
            if (!FullScreenLevelAccepted(dd->SetCooperativeLevel(window, level))) {
                LogIndentSub();
                return CooperativeLevelFatal();
            }
            *outLevel = level;
        }
        if (!SetFullScreenMode(width, height, depth)) {
            LogWrite("画面モードの変更に失敗しました\n");
            result = -1;
        } else {
            *outDepth = depth;
            *displayModeChanged = 1;
            LogWrite("成功しました\n");
            LogWrite("画面モードの変更は正常に終了しました \n");
        }
    }
    LogIndentSub();
    return result;
}

int SetModeWithCurrentSettings() {
    ScreenState& s = GetScreenState();
    int32_t desktopWidth = 0, desktopHeight = 0;
    ScreenHostSlot()->getDesktopSize(&desktopWidth, &desktopHeight);
    int32_t width = 0, height = 0;
    GetScreenDimensions(&width, &height);
    const int32_t depth = s.screenDepth != 0 ? s.screenDepth : 16;
    return SetScreenMode(s.directDraw, desktopWidth, desktopHeight, width, height, depth,
                         &s.displayDepth, &s.cooperativeLevel, ScreenIsWindowed(),
                         &s.displayModeChanged, ScreenWindow());
}

struct ModeValues {
    int32_t width, height, depth, refresh;
    bool operator==(const ModeValues&) const = default;
};

ModeValues CurrentModeValues() {
    const ScreenState& s = GetScreenState();
    return {s.screenWidth, s.screenHeight, s.screenDepth, s.refreshRate};
}

void StoreModeValues(const ModeValues& v) {
    ScreenState& s = GetScreenState();
    s.screenWidth = v.width;
    s.screenHeight = v.height;
    s.screenDepth = v.depth;
    s.refreshRate = v.refresh;
}

// The first mode change: the mode, then the previous one, then 640 x 480 x 16. 0, or -2
// after the last fallback; the program ends when no mode at all can be set.
int SetFirstMode(const ModeValues& previous, const ModeValues& requested) {
    if (ScreenIsWindowed() == 0) ScreenHostSlot()->applyWindowStyle();
    if (SetModeWithCurrentSettings() == 0) return 0;
    StoreModeValues(previous);
    if ((!(previous == requested) || requested.refresh != 0) && SetModeWithCurrentSettings() == 0) {
        return 0;
    }
    StoreModeValues({kDefaultScreenWidth, kDefaultScreenHeight, 16, 0});
    if (SetModeWithCurrentSettings() == 0) return -2;
    return FatalExit("予期せぬ画面モード変更不能現象が起きました\n");
}

// A later mode change: the DirectDraw object made anew for the new level, then the mode with
// the same fallbacks as the first one. 0, -1 or -2.
int SetLaterMode(const ModeValues& previous) {
    ScreenState& s = GetScreenState();
    const plat::WindowHandle window = ScreenWindow();
    const int windowed = ScreenIsWindowed();
    if (!s.noDirectDraw && s.directDraw != nullptr) {
        LogWrite("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放します\n");
        s.directDraw->SetCooperativeLevel(window, plat::DDSCL_NORMAL);
        ReleaseClipper();
        SetDirectDrawObject(nullptr);
        s.directDraw->Release();
        s.directDraw = nullptr;
        LogWrite("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放しました\n");
        plat::DirectDraw* dd = nullptr;
        if (AcquireDirectDraw(&dd) != 0) {
            return FatalExit("DirectDraw オブジェクトの作成処理時にエラーが発生しました");
        }
        s.directDraw = dd;
        SetDirectDrawObject(dd);
        RecreateClipper();
        const uint32_t level = LevelFlags(windowed ? plat::DDSCL_NORMAL
                                                   : plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN);
        const plat::DDResult r = dd->SetCooperativeLevel(window, level);
        if (windowed ? !plat::DDSucceeded(r) : !FullScreenLevelAccepted(r)) {
            return CooperativeLevelFatal();
        }
        s.cooperativeLevel = level;
        s.displayModeChanged = 0;
    }
    if (windowed) {
        // A window keeps the desktop's mode; its depth is the desktop's.
        if (s.displayModeChanged) {
            if (!s.noDirectDraw && s.directDraw != nullptr) {
                s.directDraw->RestoreDisplayMode();
            } else {
                plat::ChangeDisplaySettings(nullptr, 0);
            }
            s.displayModeChanged = 0;
        }
        const int32_t desktop = DesktopDepth();
        if (desktop == 24) return -1;
        s.displayDepth = desktop;
        return 0;
    }
    LogWrite("画面解像度を変更します... ");
    int result = 0;
    int32_t width = 0, height = 0;
    GetScreenDimensions(&width, &height);
    bool set = s.screenDepth != 24 && SetFullScreenMode(width, height, s.screenDepth);
    if (!set) {
        StoreModeValues(previous);
        GetScreenDimensions(&width, &height);
        set = s.screenDepth != 24 && SetFullScreenMode(width, height, s.screenDepth);
    }
    if (!set) {
        StoreModeValues({kDefaultScreenWidth, kDefaultScreenHeight, 16, 0});
        set = SetFullScreenMode(kDefaultScreenWidth, kDefaultScreenHeight, 16);
        result = -2;
    }
    if (!set) return FatalExit("予期せぬ画面モード変更不能現象が起きました2\n");
    s.displayDepth = s.screenDepth;
    s.displayModeChanged = 1;
    LogWrite("成功しました\n");
    return result;
}

}  // namespace

int ApplyScreenMode() { return SetModeWithCurrentSettings(); }

int RestoreDisplayModeOnRelease() {
    ScreenState& s = GetScreenState();
    if (ScreenIsWindowed() || !s.displayModeChanged) return 0;
    if (!s.noDirectDraw && s.directDraw != nullptr) {
        s.directDraw->SetCooperativeLevel(ScreenWindow(), plat::DDSCL_NORMAL);
        s.directDraw->RestoreDisplayMode();
    } else {
        plat::ChangeDisplaySettings(nullptr, 0);
    }
    s.displayModeChanged = 0;
    return 0;
}

int RestoreDisplayModeAtEnd() {
    ScreenState& s = GetScreenState();
    if (!s.noDirectDraw) {
        if (s.directDraw == nullptr) return -1;
        if (s.cooperativeLevel & plat::DDSCL_EXCLUSIVE) {
            s.directDraw->SetCooperativeLevel(ScreenWindow(), plat::DDSCL_NORMAL);
            s.directDraw->RestoreDisplayMode();
        }
    } else {
        plat::ChangeDisplaySettings(nullptr, 0);
    }
    s.cooperativeLevel = 0;
    s.displayModeChanged = 0;
    LogWrite("画面モードを元に戻す処理は正常に終了しました\n");
    return 0;
}

int ChangeScreenMode(int32_t width, int32_t height, int32_t depth, int32_t force,
                     int32_t refresh) {
    ScreenState& s = GetScreenState();
    const ModeValues previous = CurrentModeValues();
    const ModeValues requested{width == -1 ? s.screenWidth : width,
                               height == -1 ? s.screenHeight : height,
                               depth == -1 ? s.screenDepth : depth,
                               refresh == -1 ? s.refreshRate : refresh};
    if (requested == previous && force == 0) return 0;

    LogWrite("画面モード変更処理を開始します\n");
    LogIndentAdd();
    StoreModeValues(requested);
    if (ScreenWindow() == 0 || (s.directDraw == nullptr && !s.noDirectDraw)) {
        LogIndentSub();
        return 0;
    }
    s.flipToGdiApplied = -1;

    // Mode changes are spaced: a display needs time to settle after one. The millisecond
    // clock counts from the start of the process, so before the first change there is nothing
    // to wait for.
    const uint32_t elapsed = plat::MillisecondClock() - s.lastModeChangeTime;
    plat::SleepMs(s.modeChanged && elapsed < kModeChangeSpacingMs ? kModeChangeSleepMs - elapsed
                                                                  : kModeChangeShortSleepMs);
    s.lastModeChangeTime = plat::MillisecondClock();
    s.modeChanged = 1;

    // The mask screen ends with graph management: whether one was kept and whether mask
    // drawing was on are remembered, so that it is made again for the new screen below.
    const int32_t maskKept = MaskScreenKept();
    const int32_t maskOn = GetDrawState().maskRequested;
    TermGraphSystem();
    Device3DStartSlot()->endDevice();
    if (s.palette != nullptr) {
        s.palette->Release();
        s.palette = nullptr;
    }
    ReleaseScreenSurfaces();

    int result = 0;
    if (!s.screenReady) {
        if (s.screenWidth == 0) s.screenWidth = kDefaultScreenWidth;
        if (s.screenHeight == 0) s.screenHeight = kDefaultScreenHeight;
        if (s.screenDepth == 0) s.screenDepth = 16;
        result = SetFirstMode(previous, requested);
    } else {
        const uint32_t savedKey = GetDrawState().colorKey;
        result = SetLaterMode(previous);
        GetDrawState().colorKey = savedKey;
    }
    if (result == -1) {
        LogIndentSub();
        return -1;
    }

    ReadScreenColorInfo();
    if (ScreenIsWindowed() || s.softwareScreen) ScreenHostSlot()->applyWindowStyle();
    if (CreateScreenSurfaces() != 0) {
        LogIndentSub();
        LogWrite("DirectDrawSurface の初期化に失敗しました\n");
        return -1;
    }
    if (!s.noDirectDraw && !s.softwareRequest && Device3DStartSlot()->startDevice() != 0) {
        LogIndentSub();
        ReleaseScreenSurfaces();
        // The first mode change reports the failure: the screen start gives up the hardware
        // road and opens the software screen. A later one would leave the program without a
        // screen, so it takes the software screen itself.
        if (!s.screenReady) return -1;
        LogWrite("ソフトウエアレンダリングモードに変更します\n");
        SwitchToSoftwareRendering(0);
        return s.softwareScreen ? result : -1;
    }
    const uint32_t savedKey = GetDrawState().colorKey;
    InitGraphSystem();
    if (s.screenReady) GetDrawState().colorKey = savedKey;
    if (maskKept) RemakeMaskScreen(maskOn);
    CreateScreenPalette();

    if (!s.noDirectDraw) {
        MeasureSurfaceCopy(s);
        MeasureRefreshRate(s);
        MeasureFrameTime(s);
    } else {
        s.refreshMeasured = 60;
        s.framePeriod = -1;
        s.frameTime = -1;
    }

    LogIndentSub();
    LogWrite("画面モード変更処理は正常に終了しました\n");
    ScreenHostSlot()->processMessage();
    s.presentCount = 0;
    return result;
}
