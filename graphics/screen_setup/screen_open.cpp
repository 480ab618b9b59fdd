// The screen's start and end: the DirectDraw object and its clipper, the first mode change,
// the software screen, flip to GDI, the re-creation after a display change, and the screen as
// the driver the rest of graphics reads it through.
#include <cstring>

#include "base/fatal_exit.h"
#include "base/log.h"
#include "graphics/drivers/direct_draw_object.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/mask/mask_screen.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/graph_load/graph_system.h"
#include "graphics/graphs/graphics_state.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_host.h"
#include "graphics/screen/screen_internal.h"
#include "graphics/screen_setup/screen_setup.h"
#include "graphics/screen_setup/screen_setup_internal.h"
#include "graphics/surfaces/surface_data.h"
#include "platform/ddraw/ddraw.h"
#include "platform/window/window.h"
#include "softrender/records/display_image_format.h"
#include "softrender/rules/blend_tables.h"

namespace {

// The total video memory recorded when the adapter is not asked (16 MB).
constexpr uint32_t kUnaskedVideoMemory = 0x1000000;
constexpr int32_t kOsCodeVista = 0x108;

// --- The screen as a driver ---------------------------------------------------------------------

void DriverScreenDimensions(int32_t* width, int32_t* height) {
    const ScreenState& s = GetScreenState();
    *width = s.screenWidth;
    *height = s.screenHeight;
}
int32_t DriverScreenDepth() { return GetScreenState().displayDepth; }
int DriverHasDirectDraw() { return GetScreenState().directDraw != nullptr ? 1 : 0; }
int DriverNoDirectDraw() { return GetScreenState().noDirectDraw; }
int DriverSoftwareDrawn() {
    const ScreenState& s = GetScreenState();
    return s.softwareScreen && GetScreenDepth() != 8 ? 1 : 0;
}
int DriverTempPrimaryInUse() {
    const ScreenState& s = GetScreenState();
    return s.useTempPrimary && s.directDraw != nullptr && !s.noDirectDraw ? 1 : 0;
}
MEMIMG* DriverScreenImage(HandleValue target) {
    ScreenState& s = GetScreenState();
    if (!s.screenImagesExist) return nullptr;
    if (target == kDrawTargetFront) return &s.primaryImage;
    if (target == kDrawTargetBack) return &s.backImage;
    return nullptr;
}

const ScreenDriver kScreenModule = {
    .getScreenDimensions = DriverScreenDimensions,
    .getScreenDepth = DriverScreenDepth,
    .hasDirectDrawObject = DriverHasDirectDraw,
    .isNoDirectDraw = DriverNoDirectDraw,
    .isScreenSoftwareDrawn = DriverSoftwareDrawn,
    .isTempPrimaryInUse = DriverTempPrimaryInUse,
    .setSoftwareRenderRequest = SetSoftwareRenderRequest,
    .restoreScreenSurfaces = RestoreScreenSurfaces,
    .selectDrawTargetSurface = SelectDrawTargetSurface,
    .screenImage = DriverScreenImage,
};

// Software images made in the display's format follow the open screen's depth.
const DisplayImageFormatDriver kScreenImageFormat = {
    .displayImageFormat = GetDisplayMemImgFormat,
};

// The screen's drivers come and go together.
void InstallScreenDrivers() {
    ScreenSlot().Install(kScreenModule);
    DisplayImageFormatSlot().Install(kScreenImageFormat);
}
void ResetScreenDrivers() {
    ScreenSlot().Reset();
    DisplayImageFormatSlot().Reset();
}

void ReleaseObject(ScreenState& s) {
    SetDirectDrawObject(nullptr);
    if (s.directDraw != nullptr) s.directDraw->Release();
    s.directDraw = nullptr;
}

// Selects the back, the front and then the target that was current, keeping the draw area.
void ReselectDrawTargets() {
    if (!GetGraphicsState().graphicsUp) return;
    const HandleValue target = GetDrawTarget();
    RECT area = {};
    GetDrawAreaRect(&area);
    SetDrawTarget(kDrawTargetBack);
    SetDrawTarget(kDrawTargetFront);
    SetDrawTarget(target);
    SetDrawAreaRect(area.left, area.top, area.right, area.bottom);
}

// The graphs' surfaces were made with the DirectDraw object: around a display change they go
// with it and are made again on the new one, in the new display's format. Their pixels come
// back through the graphs' restore afterwards.
void ForEachSurfaceOfGraphs(bool make) { RemakeOrReleaseSurfaceDataSurfaces(false, make); }

}  // namespace

int ReleaseAllSurface2DData() {
    ForEachSurfaceOfGraphs(false);
    return 0;
}

int RecreateAllSurface2DData() {
    if (GetScreenState().directDraw != nullptr) ForEachSurfaceOfGraphs(true);
    return 0;
}

// --- DirectDraw object and clipper ------------------------------------------------------------

int AcquireDirectDraw(plat::DirectDraw** out) {
    *out = nullptr;
    LogWrite("DirectDraw オブジェクトの取得を行います....  ");
    plat::DirectDraw* dd = nullptr;
    if (!plat::DDSucceeded(plat::CoCreateDirectDraw(&dd)) || dd == nullptr) {
        LogWrite("オブジェクトの取得に失敗しました\n");
        return -1;
    }
    LogWrite("引き続き初期化処理... ");
    if (!plat::DDSucceeded(dd->Initialize(nullptr))) {
        LogWrite("DirectDrawオブジェクトの初期化に失敗しました\n");
        dd->Release();
        return -1;
    }
    LogWrite("初期化に成功しました\n");
    LogWrite("ビデオカードの情報\n");
    // The adapter is asked about only while Shift is held: some drivers answer slowly.
    VideoCardFacts& card = GetScreenState().videoCard;
    card = VideoCardFacts{};
    card.totalMemory = kUnaskedVideoMemory;
    if (plat::IsKeyDown(plat::VK_SHIFT)) {
        plat::DeviceIdentifier id = {};
        dd->GetDeviceIdentifier(&id, 0);
        LogWriteFormat("ビデオカードドライバ:%.511s バージョン:%u.%u.%u.%u ", id.driver,
                       id.driverVersionHigh >> 16, id.driverVersionHigh & 0xFFFF,
                       id.driverVersionLow >> 16, id.driverVersionLow & 0xFFFF);
        LogWriteFormat("ドライバ記述:%.511s \n", id.description);
        const plat::SurfaceCaps caps{plat::DDSCAPS_VIDEOMEMORY, 0};
        uint32_t total = 0, free = 0;
        dd->GetAvailableVidMem(&caps, &total, &free);
        LogFormat("ビデオメモリ総量:%.2fMB ビデオメモリ空き容量:%.2fMB", total / 1048576.0,
                  free / 1048576.0);
        std::memcpy(card.driver, id.driver, sizeof card.driver - 1);
        std::memcpy(card.description, id.description, sizeof card.description - 1);
        card.totalMemory = total;
        card.freeMemory = free;
    }
    *out = dd;
    return 0;
}

int CreateWindowClipper(plat::DrawClipper** out) {
    *out = nullptr;
    ScreenState& s = GetScreenState();
    plat::DrawClipper* clipper = nullptr;
    if (s.directDraw == nullptr ||
        !plat::DDSucceeded(s.directDraw->CreateClipper(0, &clipper))) {
        LogWrite("ＤｉｒｅｃｔＤｒａｗＣｌｉｐｐｅｒオブジェクトの作成に失敗しました\n");
        return -1;
    }
    if (!plat::DDSucceeded(clipper->SetHWnd(0, ScreenWindow()))) {
        clipper->Release();
        LogWrite("ＤｉｒｅｃｔＤｒａｗＣｌｉｐｐｅｒオブジェクトの作成に失敗しました\n");
        return -1;
    }
    *out = clipper;
    return 0;
}

int RecreateClipper() {
    ScreenState& s = GetScreenState();
    if (s.noDirectDraw) return 0;
    ReleaseClipper();
    if (CreateWindowClipper(&s.clipper) != 0) {
        return FatalExit("クリッパーオブジェクトの作成失敗しました");
    }
    return 0;
}

int ReleaseClipper() {
    ScreenState& s = GetScreenState();
    if (s.clipper != nullptr) s.clipper->Release();
    s.clipper = nullptr;
    return 0;
}

namespace {

// Overlay surfaces for movies: the first format of kOverlayFormats whose 16 x 16 overlay
// surface the display makes in video memory, tried only when the driver's stretch factors
// ask for an overlay (not on Windows Vista, not without DirectDraw surfaces). The result is
// overlayFormat, -1 when none works.
void ProbeOverlayFormat(ScreenState& s) {
    s.overlayFormat = -1;
    if (!s.noDirectDraw && ScreenHostSlot()->osCode() != kOsCodeVista) {
        s.caps = plat::DDCaps{};
        s.caps.size = sizeof(plat::DDCaps);
        s.directDraw->GetCaps(&s.caps, nullptr);
        if (s.caps.minOverlayStretch < 1000 || s.caps.maxOverlayStretch < 2000) {
            for (int32_t i = 0; i < kOverlayFormatCount && s.overlayFormat == -1; ++i) {
                plat::SurfaceDesc desc = {};
                desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT |
                             plat::DDSD_PIXELFORMAT;
                desc.caps.caps = plat::DDSCAPS_OVERLAY | plat::DDSCAPS_VIDEOMEMORY;
                desc.width = 16;
                desc.height = 16;
                desc.pixelFormat = kOverlayFormats[i];
                plat::DrawSurface* overlay = nullptr;
                if (!plat::DDSucceeded(s.directDraw->CreateSurface(&desc, &overlay)) ||
                    overlay == nullptr) {
                    continue;
                }
                plat::SurfaceCaps caps{};
                overlay->GetCaps(&caps);
                if ((caps.caps & plat::DDSCAPS_SYSTEMMEMORY) == 0) s.overlayFormat = i;
                overlay->Release();
            }
        }
    }
    if (s.overlayFormat != -1) {
        LogFormat("オーバーレイサーフェスを使用します　　　%s", kOverlayFormatNames[s.overlayFormat]);
    } else {
        LogWrite("オーバーレイサーフェスは使用しません\n");
    }
}

}  // namespace

// --- Start and end ------------------------------------------------------------------------------

int OpenDirectDrawScreen() {
    ScreenState& s = GetScreenState();
    if (s.directDraw != nullptr) return -1;
    LogWrite("DirectDraw 関連の初期化を行います\n");
    LogIndentAdd();
    InstallScreenDrivers();
    if (s.noDirectDraw) {
        GetDrawState().use3D = 0;
        SwitchToSoftwareRendering(0);
    }
    plat::DirectDraw* dd = nullptr;
    if (AcquireDirectDraw(&dd) != 0) {
        LogIndentSub();
        ResetScreenDrivers();
        return FatalExit("DirectDrawオブジェクトの作成に失敗しました");
    }
    s.directDraw = dd;
    SetDirectDrawObject(dd);
    if (!s.noDirectDraw && CreateWindowClipper(&s.clipper) != 0) {
        LogIndentSub();
        CloseDirectDrawScreen();
        return FatalExit("DirectDrawClipperオブジェクトの作成時にエラーが発生しました");
    }
    if (s.screenWidth == 0) s.screenWidth = kDefaultScreenWidth;
    if (s.screenHeight == 0) s.screenHeight = kDefaultScreenHeight;
    if (s.screenDepth == 0) s.screenDepth = 16;
    s.displayDepth = s.screenDepth;
    if (ChangeScreenMode(-1, -1, -1, 1, -1) == -1) {
        LogIndentSub();
        CloseDirectDrawScreen();
        return -1;
    }
    // The back screen starts cleared; the front stays the draw target.
    SetDrawTarget(kDrawTargetBack);
    ClearDrawTargetSurface();
    SetDrawTarget(kDrawTargetFront);
    s.screenOpen = 1;
    s.mmx = ScreenHostSlot()->hasMmx();

    ProbeOverlayFormat(s);
    LogIndentSub();
    LogWrite("DirectDraw 関連の初期化は正常に終了しました\n");
    BuildBlendTables();
    s.screenReady = 1;
    return 0;
}

int CloseDirectDrawScreen() {
    ScreenState& s = GetScreenState();
    StopTempPrimaryTimer();
    LogWrite("DirectDraw 関連の終了処理をおこないます\n");
    LogIndentAdd();
    if (s.directDraw == nullptr) {
        LogIndentSub();
        ResetScreenDrivers();
        return 0;
    }
    if (s.palette != nullptr) {
        s.palette->Release();
        s.palette = nullptr;
    }
    // Graphs go with their surfaces before the screen's own, and the device with them.
    TermGraphSystem();
    Device3DStartSlot()->endDevice();
    ReleaseScreenSurfaces();
    // The draw target lay in one of those surfaces: nothing may draw into it any more.
    GetDrawTargetSurface() = DrawTargetSurface{};
    ReleaseClipper();
    // The desktop's mode comes back while the object that set the mode still exists.
    RestoreDisplayModeAtEnd();
    LogWrite("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放します\n");
    ReleaseObject(s);
    LogWrite("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放しました\n");
    LogIndentSub();
    LogWrite("DirectDraw 関連の終了処理は正常に終了しました\n");
    s.screenReady = 0;
    s.screenOpen = 0;
    ResetScreenDrivers();
    return 0;
}

int StartGraphicsOutput() {
    if (OpenDirectDrawScreen() == 0) return 0;
    if (GetScreenState().softwareScreen) return FatalExit("DirectDraw の初期化に失敗しました");
    LogWrite("ソフトウエアレンダリングモードに変更します\n");
    SwitchToSoftwareRendering(0);
    if (OpenDirectDrawScreen() != 0) return FatalExit("DirectDraw の初期化に失敗しました");
    return 0;
}

int StopGraphicsOutput() {
    TermGraphSystem();
    CloseDirectDrawScreen();
    return 0;
}

int SwitchToSoftwareRendering(int32_t useHardware) {
    ScreenState& s = GetScreenState();
    const bool wasHardware = s.directDraw != nullptr && !s.noDirectDraw;
    if (s.noDirectDraw || useHardware == 0) {
        GetDrawState().use3D = 0;
        GetDrawState().softImageSetting = 1;
        s.noDirectDraw = 1;
        s.softwareRequest = 1;
        s.softwareScreen = 1;
    } else {
        s.softwareScreen = 0;
    }
    if (s.directDraw != nullptr) {
        // Released, not ended: the mode change below makes the mask anew for the new screen.
        ReleaseMaskScreen();
        ReleaseClipper();
        if (wasHardware && s.noDirectDraw) {
            // The object gives the display back: from now on the mode is set without it.
            s.directDraw->SetCooperativeLevel(ScreenWindow(), plat::DDSCL_NORMAL);
            s.directDraw->RestoreDisplayMode();
            s.cooperativeLevel = plat::DDSCL_NORMAL;
            s.displayModeChanged = 0;
        }
        ChangeScreenMode(-1, -1, -1, 1, -1);
        const HandleValue target = GetDrawTarget();
        if (target == kDrawTargetFront || target == kDrawTargetBack) SetDrawTarget(target);
    }
    return 0;
}

// --- Flip to GDI and display changes -------------------------------------------------------------

int SetFlipToGdiMode(int32_t value) {
    ScreenState& s = GetScreenState();
    const int32_t effective = value == 1 || ScreenHostSlot()->hasWindowMenu() ? 1 : 0;
    if (effective == s.flipToGdiApplied) return 0;
    s.flipToGdi = value;
    if (s.directDraw != nullptr && !s.noDirectDraw && effective == 1) {
        s.directDraw->FlipToGDISurface();
    }
    ReselectDrawTargets();
    s.flipToGdiApplied = effective;
    return 0;
}

int ReleaseDirectDrawObject() {
    ScreenState& s = GetScreenState();
    LogWrite("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放します\n");
    if (s.directDraw == nullptr) {
        LogWrite("既に解放されています\n");
        return 0;
    }
    ReleaseAllSurface2DData();
    RestoreDisplayModeOnRelease();
    if (s.palette != nullptr) {
        s.palette->Release();
        s.palette = nullptr;
    }
    ReleaseClipper();
    ReleaseObject(s);
    LogWrite("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放しました\n");
    return 0;
}

namespace {

// A new DirectDraw object after a display change, with the screen mode set on it and the
// colour information read again. -1 only when the fatal exit returns (no fatal routine).
int ReacquireDirectDraw() {
    ScreenState& s = GetScreenState();
    plat::DirectDraw* dd = nullptr;
    if (AcquireDirectDraw(&dd) != 0) {
        return FatalExit("DirectDraw オブジェクトの作成処理時にエラーが発生しました");
    }
    s.directDraw = dd;
    SetDirectDrawObject(dd);
    ApplyScreenMode();
    ReadScreenColorInfo();
    return 0;
}

}  // namespace

int RecreateScreenAfterDisplayChange() {
    ScreenState& s = GetScreenState();
    if (!s.screenReady) return 0;
    // The screen's surfaces belong to the display that changed, and so do the movies'
    // device objects and the mask screen (made again at the end) and the input devices
    // (started again).
    MovieSlot()->releaseAllMovieObjects();
    ReleaseMaskScreen();
    Device3DStartSlot()->releaseDeviceObjects();
    ReleaseScreenSurfaces();
    ScreenHostSlot()->restartInputDevices();
    if (s.noDirectDraw && s.directDraw == nullptr) {
        // A software screen that gave its display back: the object and the mode come back.
        if (ReacquireDirectDraw() != 0) return -1;
    } else if (s.directDraw == nullptr) {
        return 0;
    }
    if (!s.noDirectDraw) {
        ReleaseAllSurface2DData();
        ReleaseClipper();
        if (s.flipToGdi) {
            ApplyScreenMode();
            ReadScreenColorInfo();
            RecreateAllSurface2DData();
            RecreateClipper();
        } else {
            ReleaseDirectDrawObject();
            if (ReacquireDirectDraw() != 0) return -1;
            RecreateAllSurface2DData();
            RecreateClipper();
        }
    }
    CreateScreenSurfaces();
    Device3DStartSlot()->reacquireDeviceObjects();
    RebuildScreenPalette();
    ReselectDrawTargets();
    ClearDrawTargetSurface();
    PresentScreen();
    if (GetGraphicsState().graphicsUp) FlagGraphsLostAndRestore();
    MovieSlot()->reopenAllMovies();
    RecreateMaskAfterRestore();
    return 0;
}
