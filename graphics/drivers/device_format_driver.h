// The pixel formats of the Direct3D device (graphics/d3d/) that the surface records make
// textures and Z buffers in, and that fonts lay their glyph caches out in. The device's module
// installs its instance while Direct3D is up; without it there are no texture formats (no
// texture can be made) and Z buffers take the plain 16-bit Z format.
#pragma once

#include "base/driver_slot.h"

struct PaletteColorFormat;
struct SurfacePixelFormat;

struct DeviceFormatDriver {
    // The texture format number for a surface of this kind, or -1.
    int (*chooseTextureFormat)(int colorDepth, int alpha, int alphaKey, int renderTarget);
    // The pixel format and colour format of a texture format number; 0 or -1.
    int (*getTextureFormat)(int formatNumber, SurfacePixelFormat* pixelFormat,
                            const PaletteColorFormat** colorFormat);
    // The device's 16-bit Z-buffer format; 0, or -1 (*out untouched).
    int (*getZBufferFormat)(SurfacePixelFormat* out);
};

extern const DeviceFormatDriver kAbsentDeviceFormats;
DriverSlot<DeviceFormatDriver>& DeviceFormatSlot();
