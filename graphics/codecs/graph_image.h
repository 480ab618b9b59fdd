// GraphImage: a decoded image in memory, in any pixel layout a colour format can describe, with
// a 256-entry palette for 8-bit layouts. The image decoders produce these; the pixels are owned
// (tracked memory) and freed by FreeGraphImage.
#pragma once
#include <cstdint>

#include "softrender/records/color_format.h"

struct GraphImage {
    PaletteColorFormat colorFormat;  // layout of the pixels, palette, no-use shape
    int32_t width, height;           // pixels
    int32_t pitch;                   // bytes per row
    uint8_t* pixels;                 // pitch × height bytes
};

// Sets the 32-bit ARGB or 24-bit RGB preset and allocates the pixels with rows rounded up to a
// multiple of 4 bytes. 0, or -1 with a log line when the size is invalid or allocation fails.
int InitGraphImageArgb32(int width, int height, GraphImage* image);
int InitGraphImageRgb24(int width, int height, GraphImage* image);
// Frees the pixels and zeroes the whole record.
void FreeGraphImage(GraphImage* image);

// Pixel routines. Colours are 0..255 channels converted through the image's format; images of
// 2, 3 and 4 bytes per pixel are written, other sizes are left alone. Coordinates outside the
// image give -1 and touch nothing.
int FillGraphImage(GraphImage* image, int r, int g, int b, int a);
int SetGraphImagePixel(GraphImage* image, int x, int y, int r, int g, int b, int a);
// Reads one pixel as 0..255 channels (1 byte per pixel: through the palette). Outputs may be
// null; they are 0 when the pixel cannot be read.
int GetGraphImagePixel(const GraphImage* image, int x, int y, int* r, int* g, int* b, int* a);
// The pixel as 0xAARRGGBB with each channel moved to the top of its byte (the low bits of
// narrower channels stay 0; alpha only when the format has alpha). 0 without pixels.
uint32_t GetGraphImagePixelArgb(const GraphImage* image, int x, int y);
// Swaps the pixels of every row left to right in place (1 to 4 bytes per pixel). -1 when the
// image is empty.
int MirrorGraphImage(GraphImage* image);
