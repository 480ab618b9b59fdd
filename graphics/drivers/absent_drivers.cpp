// The absent instances of the drivers graphics calls, and the slots that hold the ones in use.
#include "graphics/drivers/direct_draw_object.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/device_format_driver.h"
#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/drivers/graph_surface_driver.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/drivers/screen_overlay_driver.h"
#include "graphics/drivers/texture_piece_access_driver.h"
#include "graphics/drivers/window_facts_driver.h"
#include "softrender/records/memimg.h"

namespace {

// --- No window --------------------------------------------------------------------------------
void NoWait() {}
void ForgetDrawAreaRequest(int32_t, int32_t, int32_t, int32_t) {}
int FullScreen() { return 0; }
int NoScreenRectOnDesktop(RECT*) { return -1; }
int NoDesktopSize(int32_t*, int32_t*) { return -1; }
int NoQuitRequested() { return 0; }

// --- No screen module ---------------------------------------------------------------------------
void DefaultScreenDimensions(int32_t* width, int32_t* height) {
    *width = kDefaultScreenWidth;
    *height = kDefaultScreenHeight;
}
int32_t DefaultScreenDepth() { return 16; }
// Software-only unless a DirectDraw object was handed to graphics.
int SoftwareOnly() { return HasStoredDirectDrawObject() ? 0 : 1; }
int NoTempPrimary() { return 0; }
int NoSoftwareRequestTaken(int) { return -1; }
int NoScreenSurfacesToRestore() { return 0; }
int NothingToBind(HandleValue, HandleValue) { return 0; }
MEMIMG* NoScreenImage(HandleValue) { return nullptr; }

// --- No module for graph surfaces -----------------------------------------------------------------
int CannotCreate(GraphRecord*) { return -1; }
int CannotDerive(GraphRecord*, int32_t, int32_t, int32_t, int32_t, GraphRecord*) { return -1; }
int NothingToRelease(GraphRecord*) { return 0; }
int CannotFill(GraphRecord*, int32_t, int32_t, int32_t, int32_t) { return -1; }
int NothingToRestore(GraphRecord*) { return 0; }

// --- No Direct3D device -------------------------------------------------------------------------
int NoDeviceToStart() { return -1; }
int NoDeviceToEnd() { return -1; }
int NoDeviceToRelease() { return -1; }
int NoDeviceToReacquire() { return 0; }
int Direct3DNotStarted() { return 0; }
void NoColorState() {}
void NoBlendGraph(HandleValue, int32_t, int32_t) {}
int NoViewport(const RECT*) { return 0; }
void NoSampleFilter(int32_t) {}
int DeviceNotReady() { return 0; }
void NoScene() {}
int NoRenderTarget(HandleValue) { return 0; }
void NoTransforms(float, float, float, float, float, float) {}
int NoMaskRenderTarget(int32_t) { return 0; }
int NoTextureTargetToClear() { return 0; }  // without the device no target is a texture
int NoScreenReadback(int32_t, int32_t, int32_t, int32_t, const GraphRecord*, int32_t) {
    return -1;  // no texture to copy into
}

// --- No texture graphs ---------------------------------------------------------------------------
int NoTextureFormat(int, int, int, int) { return -1; }
int NoTextureFormatRecord(int, SurfacePixelFormat*, const PaletteColorFormat**) { return -1; }
int NoDeviceZBufferFormat(SurfacePixelFormat*) { return -1; }  // the default Z format stays
int NoTexturePiecesToFill(const ImageTransferSource&, int32_t, int32_t, const GraphRecord*) {
    return -1;
}
int NoTexturePiecesToWrite(const GraphImage*, const RECT*, int32_t, int32_t, const GraphRecord*) {
    return -1;
}
int NoTexturePiece(HandleValue, HandleValue*, int32_t*, int32_t*) { return -1; }

// --- No fonts, masks, movies or loader ------------------------------------------------------------
void NoFontsToStart(int32_t, int32_t, int32_t) {}
void NoFonts() {}
MEMIMG* NoMaskImage() { return nullptr; }
plat::DrawSurface* NoMaskSurface() { return nullptr; }
void NoMaskBracket(const RECT*) {}
void NoMovieLink(GraphRecord*) {}
void NoMovieSurfaces(HandleValue) {}
int NoMovies() { return 0; }
HandleValue NoMovieToOpen(const char*, int32_t*, int32_t*, int32_t, int32_t*) { return -1; }
void NoMovieToDiscard(HandleValue) {}
int NothingToReload() { return 0; }

// --- No screen overlay ---------------------------------------------------------------------------
int NoOverlay() { return 0; }

}  // namespace

const WindowFactsDriver kAbsentWindowFacts = {
    .waitWhileInactive = NoWait,
    .rememberDrawAreaRequest = ForgetDrawAreaRequest,
    .isWindowed = FullScreen,
    .getScreenRectOnDesktop = NoScreenRectOnDesktop,
    .getDesktopSize = NoDesktopSize,
    .isQuitRequested = NoQuitRequested,
};

const ScreenDriver kAbsentScreen = {
    .getScreenDimensions = DefaultScreenDimensions,
    .getScreenDepth = DefaultScreenDepth,
    .hasDirectDrawObject = HasStoredDirectDrawObject,
    .isNoDirectDraw = SoftwareOnly,
    .isScreenSoftwareDrawn = SoftwareOnly,
    .isTempPrimaryInUse = NoTempPrimary,
    .setSoftwareRenderRequest = NoSoftwareRequestTaken,
    .restoreScreenSurfaces = NoScreenSurfacesToRestore,
    .selectDrawTargetSurface = NothingToBind,
    .screenImage = NoScreenImage,
};

const GraphSurfaceDriver kAbsentGraphSurfaces = {
    .create = CannotCreate,
    .derive = CannotDerive,
    .release = NothingToRelease,
    .fill = CannotFill,
    .restore = NothingToRestore,
};

const Device3DStartDriver kAbsentDevice3DStart = {
    .startDevice = NoDeviceToStart,
    .endDevice = NoDeviceToEnd,
    .releaseDeviceObjects = NoDeviceToRelease,
    .reacquireDeviceObjects = NoDeviceToReacquire,
};

const Device3DDriver kAbsentDevice3D = {
    .startDirect3D = Direct3DNotStarted,
    .refreshDeviceColorState = NoColorState,
    .setDeviceBlendGraph = NoBlendGraph,
    .setDeviceViewport = NoViewport,
    .setDeviceSampleFilter = NoSampleFilter,
    .isCurrentDeviceReady = DeviceNotReady,
    .endCurrentDeviceScene = NoScene,
    .selectDeviceRenderTarget = NoRenderTarget,
    .resetTargetTransforms = NoTransforms,
    .setMaskRenderTarget3D = NoMaskRenderTarget,
    .captureScreenToGraph3D = NoScreenReadback,
    .clearTextureTarget = NoTextureTargetToClear,
};

const DeviceFormatDriver kAbsentDeviceFormats = {
    .chooseTextureFormat = NoTextureFormat,
    .getTextureFormat = NoTextureFormatRecord,
    .getZBufferFormat = NoDeviceZBufferFormat,
};

const TexturePieceAccessDriver kAbsentTexturePieceAccess = {
    .transferSourceOffset = NoTexturePiecesToFill,
    .transferImageRect = NoTexturePiecesToWrite,
    .findPieceTexture = NoTexturePiece,
};

const FontDriver kAbsentFonts = {
    .startFonts = NoFontsToStart,
    .recreateAllFonts = NoFonts,
    .deleteAllFonts = NoFonts,
};
const MaskDriver kAbsentMasks = {
    .maskImage = NoMaskImage,
    .maskSurface = NoMaskSurface,
};
const MaskBracketDriver kAbsentMaskBracket = {
    .beginMaskBracket = NoMaskBracket,
    .endMaskBracket = NoMaskBracket,
};
const MovieDriver kAbsentMovies = {
    .openMovieToGraph = NoMovieToOpen,
    .discardMovie = NoMovieToDiscard,
    .closeGraphMovieLink = NoMovieLink,
    .restoreMovieSurfaces = NoMovieSurfaces,
    .releaseAllMovieObjects = NoMovies,
    .reopenAllMovies = NoMovies,
};
const GraphLoaderDriver kAbsentGraphLoader = {.reloadAllGraphs = NothingToReload};
const ScreenOverlayDriver kAbsentScreenOverlay = {.drawIfShown = NoOverlay};

DriverSlot<WindowFactsDriver>& WindowFactsSlot() {
    static DriverSlot<WindowFactsDriver> slot(kAbsentWindowFacts);
    return slot;
}
DriverSlot<ScreenDriver>& ScreenSlot() {
    static DriverSlot<ScreenDriver> slot(kAbsentScreen);
    return slot;
}
DriverSlot<GraphSurfaceDriver>& Surface2DSlot() {
    static DriverSlot<GraphSurfaceDriver> slot(kAbsentGraphSurfaces);
    return slot;
}
DriverSlot<GraphSurfaceDriver>& TextureSlot() {
    static DriverSlot<GraphSurfaceDriver> slot(kAbsentGraphSurfaces);
    return slot;
}
DriverSlot<Device3DStartDriver>& Device3DStartSlot() {
    static DriverSlot<Device3DStartDriver> slot(kAbsentDevice3DStart);
    return slot;
}
DriverSlot<DeviceFormatDriver>& DeviceFormatSlot() {
    static DriverSlot<DeviceFormatDriver> slot(kAbsentDeviceFormats);
    return slot;
}
DriverSlot<TexturePieceAccessDriver>& TexturePieceAccessSlot() {
    static DriverSlot<TexturePieceAccessDriver> slot(kAbsentTexturePieceAccess);
    return slot;
}
DriverSlot<Device3DDriver>& Device3DSlot() {
    static DriverSlot<Device3DDriver> slot(kAbsentDevice3D);
    return slot;
}
DriverSlot<FontDriver>& FontSlot() {
    static DriverSlot<FontDriver> slot(kAbsentFonts);
    return slot;
}
DriverSlot<MaskDriver>& MaskSlot() {
    static DriverSlot<MaskDriver> slot(kAbsentMasks);
    return slot;
}
DriverSlot<MaskBracketDriver>& MaskBracketSlot() {
    static DriverSlot<MaskBracketDriver> slot(kAbsentMaskBracket);
    return slot;
}
DriverSlot<MovieDriver>& MovieSlot() {
    static DriverSlot<MovieDriver> slot(kAbsentMovies);
    return slot;
}
DriverSlot<GraphLoaderDriver>& GraphLoaderSlot() {
    static DriverSlot<GraphLoaderDriver> slot(kAbsentGraphLoader);
    return slot;
}
DriverSlot<ScreenOverlayDriver>& ScreenOverlaySlot() {
    static DriverSlot<ScreenOverlayDriver> slot(kAbsentScreenOverlay);
    return slot;
}

void GetScreenSize(int32_t* width, int32_t* height) {
    int32_t w = 0, h = 0;
    ScreenSlot()->getScreenDimensions(&w, &h);
    if (width != nullptr) *width = w != 0 ? w : kDefaultScreenWidth;
    if (height != nullptr) *height = h != 0 ? h : kDefaultScreenHeight;
}

int32_t GetDisplayDepth() {
    const int32_t depth = ScreenSlot()->getScreenDepth();
    return depth != 0 ? depth : 16;
}

int32_t GetDisplayMemImgFormat() {
    return GetDisplayDepth() == 16 ? MEMIMG_FORMAT_565 : MEMIMG_FORMAT_32;
}
