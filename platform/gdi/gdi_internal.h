// Internal to the platform layer: the records behind device contexts and bitmaps, shared by
// the GDI files and the surface layer (a surface's device context draws into the surface).
#pragma once
#include <cstdint>

#include "platform/gdi/gdi.h"

namespace plat {

// Where a device context draws: the top row's first pixel, the signed distance from one row
// to the one below it, the size, the bits per pixel and the channel masks (16 and 32 bits).
// The device context's coordinate (x, y) is pixel (x + originX, y + originY) of the target,
// and only pixels inside clip (target coordinates) may be touched. GetDCTarget fills origin
// and clip; a surface's device context leaves them zero (origin 0, clip the whole target).
struct DcTarget {
    uint8_t* top;
    int64_t rowStep;
    int32_t width;
    int32_t height;
    uint32_t bitCount;
    uint32_t redMask, greenMask, blueMask;
    int32_t originX, originY;
    Rect clip;
};

// The first byte of the device context's pixel (x, y), or null when it lies outside the clip.
inline uint8_t* DcPixel(const DcTarget& t, int64_t x, int64_t y) {
    const int64_t tx = x + t.originX, ty = y + t.originY;
    if (tx < t.clip.left || tx >= t.clip.right || ty < t.clip.top || ty >= t.clip.bottom) {
        return nullptr;
    }
    return t.top + ty * t.rowStep + tx * static_cast<int64_t>(t.bitCount / 8);
}

struct Bitmap {
    int32_t width;
    int32_t height;      // positive
    bool topDown;
    uint16_t bitCount;
    int32_t widthBytes;
    uint8_t* bits;
    int32_t selections;  // device contexts it is selected into
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;  // 16 and 32 bits; 0: the default
};

struct DeviceContext {
    bool isSurface;      // a surface's device context: draws into surfaceTarget
    Bitmap* selected;    // memory device contexts: the bitmap drawn into, or null
    DcTarget surfaceTarget;
    bool isWindow = false;     // a window's (or, window 0, the display's) device context
    WindowHandle window = 0;
};

// The target of a window's device context (window 0: the whole display): the display's
// framebuffer with the client area's origin and clip. False for a stale window.
bool GetWindowDCTarget(WindowHandle window, DcTarget* out);
// After a draw into dc: a window's device context marks the display changed.
void NoteDcDrawn(const DeviceContext* dc);

// A device context over a surface's pixels, for DrawSurface::GetDC; freed by
// DestroySurfaceDC.
DeviceContext* CreateSurfaceDC(const DcTarget& target);
void DestroySurfaceDC(DeviceContext* dc);
// The destination of a device context; false when it has none (no bitmap selected).
bool GetDCTarget(const DeviceContext* dc, DcTarget* out);

}  // namespace plat
