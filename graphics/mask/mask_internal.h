// Pieces the two hooks share: the rectangle a hook works on, the place of the draw target on
// its surface, and the copy of the pixels the mask lets through.
#pragma once
#include <cstdint>

#include "softrender/records/color_format.h"
#include "softrender/records/rect.h"

// rect clipped to the draw area and to the mask (and, with a size given, to (0, 0, width,
// height) of the target). False when nothing is left.
bool ClipMaskRect(const RECT* rect, int32_t targetWidth, int32_t targetHeight, RECT* out);

// Where the draw target's pixel (0, 0) lies on its surface: a derived graph's place in its
// parent, and for the front of a windowed screen drawn on the primary itself, the window's
// place on the desktop.
void GetMaskTargetOrigin(int32_t* x, int32_t* y);

// Copies the pixels of r (mask coordinates) that the mask lets through from source to dest.
// source and dest point at the pixel that stands for r's top-left; each is read and written in
// its own format (pixels of equal layout are copied as they are, others converted).
void CopyPixelsThroughMask(uint8_t* dest, int32_t destPitch, const ColorFormat& destFormat,
                           const uint8_t* source, int32_t sourcePitch,
                           const ColorFormat& sourceFormat, const RECT& r);

