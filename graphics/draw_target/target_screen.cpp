#include "graphics/draw_target/target_screen.h"

#include "graphics/drivers/screen_driver.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/screen/screen_host.h"
#include "graphics/screen/screen_state.h"
#include "graphics/surfaces/surface_formats.h"

namespace {

// The class of a display format: which of the three common layouts it is, else 3.
int32_t FormatClass(const ColorFormat& f) {
    if (f.bits == 16 && f.maskR == 0xF800 && f.maskG == 0x7E0 && f.maskB == 0x1F) return 0;
    if (f.bits == 16 && f.maskR == 0x7C00 && f.maskG == 0x3E0 && f.maskB == 0x1F) return 1;
    if (f.bits == 32 && f.maskR == 0xFF0000 && f.maskG == 0xFF00 && f.maskB == 0xFF) return 2;
    return 3;
}

}  // namespace

TargetScreen ReadTargetScreen() {
    const ScreenDriver& driver = *ScreenSlot();
    ScreenState& state = GetScreenState();
    TargetScreen s{};
    s.softwareScreen = driver.isScreenSoftwareDrawn() ? 1 : 0;
    s.directDrawUp = !driver.isNoDirectDraw() && driver.hasDirectDrawObject() ? 1 : 0;
    s.windowed = ScreenIsWindowed() ? 1 : 0;
    s.useTempPrimary = driver.isTempPrimaryInUse() ? 1 : 0;
    GetScreenSize(&s.width, &s.height);
    // The display mode's format is the one the screen surfaces and graph surfaces are made
    // in; the class follows from it.
    // Once the screen has read its colour information the format is the screen's own; before
    // that (or without the screen module) it is asked of the display mode.
    s.screenFormat = state.screenFormat.format.bits != 0 ? &state.screenFormat
                                                         : GetSurfaceScreenFormat();
    s.pixelFormatClass = s.softwareScreen ? 0 : FormatClass(s.screenFormat->format);
    s.preferGdiCopy = state.preferGdiCopy;
    s.primary = state.primary;
    s.front = state.useTempPrimary && state.tempPrimary != nullptr ? state.tempPrimary
                                                                   : state.primary;
    s.back = state.back;
    s.work = state.work;
    s.work2 = state.work2;
    s.zSurface = state.zSurface;
    s.frontImage = driver.screenImage(kDrawTargetFront);
    s.backImage = driver.screenImage(kDrawTargetBack);
    s.zImage = state.screenImagesExist && MemImgHasPixels(&state.zImage) ? &state.zImage : nullptr;
    s.frontNeedsReadBack = &state.frontNeedsReadBack;
    s.window = ScreenWindow();
    return s;
}

int TargetScreenUp() {
    const ScreenDriver& driver = *ScreenSlot();
    return driver.isNoDirectDraw() || driver.hasDirectDrawObject() ? 1 : 0;
}

const PaletteColorFormat* ScreenStandardFormat() {
    return GetStandardColorFormat(ScreenStandardMemImgFormat(), 0, 0);
}

int32_t ScreenStandardMemImgFormat() {
    return GetSurfaceDisplayDepth() == 16 ? MEMIMG_FORMAT_565 : MEMIMG_FORMAT_32;
}

void GetBackgroundColor(int32_t* r, int32_t* g, int32_t* b) { GetScreenBackgroundColor(r, g, b); }
