// What graphics reads of the screen: its size and depth, whether a DirectDraw object exists,
// whether the screen runs without DirectDraw surfaces (software-only mode) and is drawn in
// software, the screen surfaces' restore, the binding of a new draw target, and the software
// images that stand for the front and back screens.
//
// The screen module supplies the driver while it runs. Without it there is no display to
// open: the library runs in software-only mode (the road start-up takes when DirectDraw
// cannot set up the screen) at 640 x 480 x 16, with no screen images of its own, unless a
// DirectDraw object was handed to graphics (SetDirectDrawObject): then the screen counts as
// one in DirectDraw surfaces made with that object.
#pragma once
#include <cstdint>

#include "base/driver_slot.h"
#include "base/handle_value.h"

struct MEMIMG;

struct ScreenDriver {
    // The screen size; a zero edge reads as the default (640 x 480).
    void (*getScreenDimensions)(int32_t* width, int32_t* height);
    // The display depth in bits; 0 reads as 16.
    int32_t (*getScreenDepth)();
    // 1 when a DirectDraw object exists.
    int (*hasDirectDrawObject)();
    // 1 when the screen runs without DirectDraw surfaces (software-only mode).
    int (*isNoDirectDraw)();
    // 1 when the screen itself is drawn in software (software-screen flag, depth not 8).
    int (*isScreenSoftwareDrawn)();
    // 1 while the front screen is drawn through the temporary primary.
    int (*isTempPrimaryInUse)();
    // Asks for software rendering before the screen starts; 0, or -1 when nothing takes it.
    int (*setSoftwareRenderRequest)(int value);
    // Restores the screen surfaces after they were lost; 0 or -1.
    int (*restoreScreenSurfaces)();
    // Binds the new draw target to its surface or software image; 0 or -1.
    int (*selectDrawTargetSurface)(HandleValue target, HandleValue previous);
    // The software image of the front (kDrawTargetFront) or back (kDrawTargetBack) screen
    // on a software screen, or null when there is none.
    MEMIMG* (*screenImage)(HandleValue target);
};

extern const ScreenDriver kAbsentScreen;
DriverSlot<ScreenDriver>& ScreenSlot();

// The screen size the library takes while none is set.
constexpr int32_t kDefaultScreenWidth = 640;
constexpr int32_t kDefaultScreenHeight = 480;

// The screen size with the defaults for zero edges (640 x 480); either output may be null.
void GetScreenSize(int32_t* width, int32_t* height);
// The display depth, 16 when the screen reports 0.
int32_t GetDisplayDepth();
// The software-image pixel format of the display: 5-6-5 at a depth of 16, 32-bit at any other.
int32_t GetDisplayMemImgFormat();
