#include "graphics/surfaces/surface_formats.h"

#include <cstring>

#include "graphics/drivers/direct_draw_object.h"
#include "graphics/drivers/device_format_driver.h"
#include "graphics/drivers/screen_driver.h"
#include "platform/ddraw/ddraw.h"

namespace {

// The display mode's pixel format, when a DirectDraw object gives one.
bool DisplayPixelFormat(plat::PixelFormat* out) {
    plat::DirectDraw* dd = GetDirectDrawObject();
    if (dd == nullptr || ScreenSlot()->isScreenSoftwareDrawn()) return false;
    plat::SurfaceDesc mode;
    if (dd->GetDisplayMode(&mode) != plat::DD_OK) return false;
    *out = mode.pixelFormat;
    return true;
}

}  // namespace

const PaletteColorFormat* GetSurfaceScreenFormat() {
    static PaletteColorFormat screen;
    plat::PixelFormat display;
    if (!DisplayPixelFormat(&display)) {
        return GetStandardColorFormat(GetDisplayDepth() == 16 ? 0 : 1, 0, 0);
    }
    BuildColorFormat(&screen, static_cast<int>(display.bitCount), display.redMask,
                     display.greenMask, display.blueMask, display.alphaMask);
    return &screen;
}

int GetSurfaceDisplayDepth() {
    plat::PixelFormat display;
    if (!DisplayPixelFormat(&display)) return GetDisplayDepth();
    return static_cast<int>(display.bitCount);
}

uint32_t MakeSurfaceScreenColor(int r, int g, int b) {
    const ColorFormat& f = GetSurfaceScreenFormat()->format;
    auto place = [](int c, int width, int shift) -> uint32_t {
        if (width == 0 || width > 8) return 0;
        return (static_cast<uint32_t>(c & 255) >> (8 - width)) << shift;
    };
    return place(r, f.widthR, f.shiftR) | place(g, f.widthG, f.shiftG) |
           place(b, f.widthB, f.shiftB) | f.noUseMask;
}

SurfacePixelFormat DefaultZBufferFormat() {
    SurfacePixelFormat z = {};
    z.size = sizeof z;
    z.flags = plat::DDPF_ZBUFFER;
    z.rgbBitCount = 16;
    z.greenMask = 0xFFFF;
    return z;
}

plat::PixelFormat ToPlatPixelFormat(const SurfacePixelFormat& format) {
    plat::PixelFormat out;
    out.size = sizeof out;
    out.flags = format.flags;
    out.fourCC = format.fourCC;
    out.bitCount = format.rgbBitCount;
    out.redMask = format.redMask;
    out.greenMask = format.greenMask;
    out.blueMask = format.blueMask;
    out.alphaMask = format.alphaMask;
    return out;
}

const PaletteColorFormat* DeviceTextureColorFormat(int formatNumber) {
    const PaletteColorFormat* format = nullptr;
    SurfacePixelFormat pixelFormat;
    if (DeviceFormatSlot()->getTextureFormat(formatNumber, &pixelFormat, &format) != 0) {
        return nullptr;
    }
    return format;
}
