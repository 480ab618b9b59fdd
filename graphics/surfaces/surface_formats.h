// The pixel formats surfaces are made in: the screen's format (which plain surfaces take), the
// default Z-buffer format, and the conversion to the surface layer's pixel format record. The
// Direct3D device's texture and Z-buffer formats come through its DeviceFormatDriver.
#pragma once
#include <cstdint>

#include "softrender/records/color_format.h"
#include "platform/ddraw/ddraw_types.h"

// The screen's colour format: the standard format of the display depth when the screen is
// drawn in software or no DirectDraw object exists, else the display mode's format. The
// record lives until the next call.
const PaletteColorFormat* GetSurfaceScreenFormat();
// Bits per pixel of the display (the DirectDraw display mode when there is one).
int GetSurfaceDisplayDepth();
// A screen pixel for a 0..255 colour: each channel truncated to its width and placed, plus the
// format's no-use bits (no alpha).
uint32_t MakeSurfaceScreenColor(int r, int g, int b);

// The colour format of one of the 3D device's texture formats (by its number); null when the
// device is not up or has no such format.
const PaletteColorFormat* DeviceTextureColorFormat(int formatNumber);

// The 16-bit Z-buffer format used when no Direct3D back end gives one.
SurfacePixelFormat DefaultZBufferFormat();
plat::PixelFormat ToPlatPixelFormat(const SurfacePixelFormat& format);
