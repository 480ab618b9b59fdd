// Internal to the platform layer: the records behind device contexts and bitmaps, shared by
// the GDI files and the surface layer (a surface's device context draws into the surface).
#pragma once
#include <cstdint>

#include "platform/window/gdi.h"

namespace plat {

// Where a device context draws: the top row's first pixel, the signed distance from one row
// to the one below it, the size, the bits per pixel and the channel masks (16 and 32 bits).
struct DcTarget {
    uint8_t* top;
    int64_t rowStep;
    int32_t width;
    int32_t height;
    uint32_t bitCount;
    uint32_t redMask, greenMask, blueMask;
};

struct Bitmap {
    int32_t width;
    int32_t height;      // positive
    bool topDown;
    uint16_t bitCount;
    int32_t widthBytes;
    uint8_t* bits;
    int32_t selections;  // device contexts it is selected into
};

struct DeviceContext {
    bool isSurface;      // a surface's device context: draws into surfaceTarget
    Bitmap* selected;    // memory device contexts: the bitmap drawn into, or null
    DcTarget surfaceTarget;
};

// A device context over a surface's pixels, for DrawSurface::GetDC; freed by
// DestroySurfaceDC.
DeviceContext* CreateSurfaceDC(const DcTarget& target);
void DestroySurfaceDC(DeviceContext* dc);
// The destination of a device context; false when it has none (no bitmap selected).
bool GetDCTarget(const DeviceContext* dc, DcTarget* out);

}  // namespace plat
