// What the present draws over the whole screen just before it shows it (the on-screen
// console). The module that owns the overlay supplies the driver while it runs; without it
// there is nothing to draw.
#pragma once
#include "base/driver_slot.h"

struct ScreenOverlayDriver {
    // Draws the overlay over the whole screen when it is shown (draw area, blend and bright
    // set for it and put back afterwards). 0.
    int (*drawIfShown)();
};

extern const ScreenOverlayDriver kAbsentScreenOverlay;
DriverSlot<ScreenOverlayDriver>& ScreenOverlaySlot();
