// The back screen's colours (0x00RRGGBB) of a rectangle, row by row, read on whichever road
// the screen runs: its software image, or its locked DirectDraw surface.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"

inline std::vector<uint32_t> ReadBackScreenColours(const RECT& rect) {
    ScreenState& s = GetScreenState();
    std::vector<uint32_t> out;
    const uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    ColorFormat format{};
    plat::SurfaceDesc desc{};
    if (s.softwareScreen) {
        pixels = static_cast<const uint8_t*>(s.backImage.pixels);
        pitch = s.backImage.pitch;
        format = *s.backImage.colorFormat;
    } else {
        if (s.back->Lock(nullptr, &desc, plat::DDLOCK_WAIT | plat::DDLOCK_READONLY) !=
            plat::DD_OK) {
            ADD_FAILURE() << "the back surface cannot be locked";
            return out;
        }
        PaletteColorFormat f{};
        const plat::PixelFormat& p = desc.pixelFormat;
        BuildColorFormat(&f, static_cast<int>(p.bitCount), p.redMask, p.greenMask,
                         p.blueMask, 0);
        format = f.format;
        pixels = static_cast<const uint8_t*>(desc.surface);
        pitch = static_cast<int32_t>(desc.pitch);
    }
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        for (int32_t x = rect.left; x < rect.right; ++x) {
            uint32_t v = 0;
            std::memcpy(&v, pixels + static_cast<ptrdiff_t>(y) * pitch + x * format.bytes,
                        format.bytes);
            int r = 0, g = 0, b = 0, a = 0;
            ColorFormatPixelToRgba(&format, v, &r, &g, &b, &a);
            out.push_back(static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
                          static_cast<uint32_t>(b));
        }
    }
    if (!s.softwareScreen) s.back->Unlock(nullptr);
    return out;
}
