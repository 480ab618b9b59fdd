// What the draw target reads of the screen: its mode flags, its surfaces and software images,
// its pixel format and the measured copy method. One place, so that the rest of the draw
// target does not depend on how the screen keeps them.
#pragma once
#include <cstdint>

#include "softrender/records/color_format.h"
#include "softrender/records/memimg.h"
#include "platform/window/window.h"

namespace plat {
class DrawSurface;
}

struct TargetScreen {
    int32_t softwareScreen;      // the screens are software images, drawn in software
    int32_t directDrawUp;        // the screen runs on DirectDraw surfaces
    int32_t windowed;
    int32_t useTempPrimary;      // the front is drawn through the temporary primary
    int32_t width, height;       // screen size (640 x 480 when unset)
    int32_t pixelFormatClass;    // 0: 5-6-5, 1: 5-5-5, 2: 8-8-8 32-bit, 3: any other
    int32_t preferGdiCopy;       // surface copies measured faster by GDI
    const PaletteColorFormat* screenFormat;  // the display's format (null without one)
    plat::DrawSurface* front;    // the temporary primary when used, else the primary
    plat::DrawSurface* primary;
    plat::DrawSurface* back;
    plat::DrawSurface* work;
    plat::DrawSurface* work2;
    plat::DrawSurface* zSurface;
    MEMIMG* frontImage;          // software screen images (null when not made)
    MEMIMG* backImage;
    MEMIMG* zImage;
    int32_t* frontNeedsReadBack; // set by the present; null when the screen keeps none
    plat::WindowHandle window;   // the window the screen shows in (0: none)
};

// The screen as it is now.
TargetScreen ReadTargetScreen();

// 1 when software drawing is possible at all: the library runs in software-only mode or has
// a DirectDraw object.
int TargetScreenUp();

// The standard format of the screen's depth: 5-6-5 for 16 bits, else 32-bit 8-8-8.
const PaletteColorFormat* ScreenStandardFormat();
// The MEMIMG pixel format of that standard format.
int32_t ScreenStandardMemImgFormat();

// The library's background colour (black unless set).
void GetBackgroundColor(int32_t* r, int32_t* g, int32_t* b);
