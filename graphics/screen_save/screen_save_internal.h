// Pieces the screen save's files share: the pixels of the saved rectangle as they are read
// from the draw target, and the two writers that take them.
#pragma once
#include <cstdint>

#include "softrender/records/color_format.h"
#include "softrender/records/rect.h"

namespace plat {
class DrawSurface;
}

// The rectangle's pixels: rows of width pixels, pitch bytes apart, the first at pixels, in
// format. While locked is not null that surface is locked and the pixels lie in it.
struct ScreenPixelSource {
    const uint8_t* pixels;
    int32_t pitch;
    int32_t width, height;
    const PaletteColorFormat* format;
    plat::DrawSurface* locked;
};

// Finds the pixels of rect (target coordinates, already clipped to the draw area) of the
// current draw target: the target's software image on a software screen (the front read back
// from the window first), else its surface locked read-only, through the work surface when it
// lies in video memory. 0; -1 with a log line when there are no pixels to read or the copy or
// the lock fails (then nothing is left locked).
int OpenScreenPixelSource(const RECT& rect, ScreenPixelSource* out);
// Unlocks what OpenScreenPixelSource locked.
void CloseScreenPixelSource(ScreenPixelSource* source);

// The pixel's colour as 8-bit B, G, R: each channel taken with the format's mask and shift and
// widened to 8 bits by shifting it to the top.
void ScreenPixelToBgr(const ColorFormat& format, uint32_t pixel, uint8_t* bgr);

// Writes the pixels as a 24-bit BMP file (rows bottom-up, each padded to 4 bytes), replacing
// an existing file. 0; -1 with a log line on a depth other than 16 or 32 bits, a failed
// allocation, a file that cannot be made or a write that fails (a half-written file is
// removed).
int WriteScreenBmpFile(const char* fileName, const ScreenPixelSource& source);

// Copies the pixels into a decoded image in their own format (rows without gaps) and hands it
// to the JPEG or PNG writer. 0; -1 with a log line on failure.
int WriteScreenEncodedFile(const char* fileName, const ScreenPixelSource& source, int type,
                           int jpegQuality, int jpegFlag, int pngLevel);
