// DirectDraw pixel formats as the tests write them: any flags with a bit count and channel
// masks, or an RGB format that has alpha pixels exactly when it has an alpha mask.
#pragma once
#include <cstdint>

#include "platform/ddraw/ddraw_types.h"

inline plat::PixelFormat PixelFormatOf(uint32_t flags, uint32_t bits, uint32_t r, uint32_t g,
                                       uint32_t b, uint32_t a) {
    plat::PixelFormat f = {};
    f.size = sizeof f;
    f.flags = flags;
    f.bitCount = bits;
    f.redMask = r;
    f.greenMask = g;
    f.blueMask = b;
    f.alphaMask = a;
    return f;
}

inline plat::PixelFormat RgbPixelFormat(uint32_t bits, uint32_t r, uint32_t g, uint32_t b,
                                        uint32_t a = 0) {
    return PixelFormatOf(plat::DDPF_RGB | (a != 0 ? plat::DDPF_ALPHAPIXELS : 0u), bits, r, g, b,
                         a);
}
