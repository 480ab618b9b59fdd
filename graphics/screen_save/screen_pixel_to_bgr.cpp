// One screen pixel as 8-bit B, G, R.
#include "graphics/screen_save/screen_save_internal.h"

namespace {

// The channel's value moved to the top of a byte: narrower channels leave their low bits 0.
uint8_t Widen(uint32_t pixel, uint32_t mask, uint8_t shift, uint8_t width) {
    if (width == 0) return 0;
    const uint32_t value = (pixel & mask) >> shift;
    return static_cast<uint8_t>(width <= 8 ? value << (8 - width) : value >> (width - 8));
}

}  // namespace

void ScreenPixelToBgr(const ColorFormat& format, uint32_t pixel, uint8_t* bgr) {
    bgr[0] = Widen(pixel, format.maskB, format.shiftB, format.widthB);
    bgr[1] = Widen(pixel, format.maskG, format.shiftG, format.widthG);
    bgr[2] = Widen(pixel, format.maskR, format.shiftR, format.widthR);
}
