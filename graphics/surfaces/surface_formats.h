// The pixel formats surfaces are made in: the screen's format (which plain surfaces take), the
// texture formats and the Z-buffer format of the Direct3D device (provided by the Direct3D
// back end when it exists), and the conversion to the surface layer's pixel format record.
#pragma once
#include <cstdint>

#include "softrender/records/color_format.h"
#include "platform/ddraw/ddraw_types.h"

// What the Direct3D back end tells the surface records. Null entries: no back end (textures
// cannot be made; Z buffers take the plain 16-bit Z format).
struct SurfaceDeviceFormats {
    // The texture format number for a surface of this kind, or -1.
    int (*chooseTextureFormat)(int colorDepth, int alpha, int alphaKey, int renderTarget);
    // The pixel format and colour format of a texture format number; 0 or -1.
    int (*getTextureFormat)(int formatNumber, SurfacePixelFormat* pixelFormat,
                            const PaletteColorFormat** colorFormat);
    // The device's 16-bit Z-buffer format; 0 or -1.
    int (*getZBufferFormat)(SurfacePixelFormat* out);
};
SurfaceDeviceFormats& GetSurfaceDeviceFormats();
void ResetSurfaceDeviceFormats();

// The screen's colour format: the standard format of the display depth when the screen is
// drawn in software or no DirectDraw object exists, else the display mode's format. The
// record lives until the next call.
const PaletteColorFormat* GetSurfaceScreenFormat();
// Bits per pixel of the display (the DirectDraw display mode when there is one).
int GetSurfaceDisplayDepth();
// A screen pixel for a 0..255 colour: each channel truncated to its width and placed, plus the
// format's no-use bits (no alpha).
uint32_t MakeSurfaceScreenColor(int r, int g, int b);

// The 16-bit Z-buffer format used when no Direct3D back end gives one.
SurfacePixelFormat DefaultZBufferFormat();
plat::PixelFormat ToPlatPixelFormat(const SurfacePixelFormat& format);
