#include "softrender/records/display_image_format.h"

#include "softrender/records/memimg.h"

namespace {

int32_t SixteenBitDisplay() { return MEMIMG_FORMAT_565; }

}  // namespace

const DisplayImageFormatDriver kAbsentDisplayImageFormat = {
    .displayImageFormat = SixteenBitDisplay,
};

DriverSlot<DisplayImageFormatDriver>& DisplayImageFormatSlot() {
    static DriverSlot<DisplayImageFormatDriver> slot(kAbsentDisplayImageFormat);
    return slot;
}
