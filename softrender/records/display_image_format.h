// The software-image pixel format of the display, for images made "in the display's format"
// (pixel format -1). The screen module, which knows the display, supplies the driver while the
// screen is open; without it the display counts as 16-bit, so such images are 5-6-5.
#pragma once
#include <cstdint>

#include "base/driver_slot.h"

struct DisplayImageFormatDriver {
    // MEMIMG_FORMAT_565 at a display depth of 16, MEMIMG_FORMAT_32 at any other.
    int32_t (*displayImageFormat)();
};

extern const DisplayImageFormatDriver kAbsentDisplayImageFormat;
DriverSlot<DisplayImageFormatDriver>& DisplayImageFormatSlot();
