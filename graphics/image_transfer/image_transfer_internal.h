// The pieces of the image transfer that its routines share: the source made ready as images,
// the two roads into a piece's pixels (a locked surface, a software image) and the colour key
// of paletted software images.
#pragma once
#include <cstdint>

#include "softrender/records/color_format.h"
#include "graphics/image_transfer/image_transfer.h"
#include "graphics/surfaces/surface_data.h"

// The source of a transfer as images: the caller's images as they are, or GDI bitmaps copied
// into 32-bit images owned here.
struct ResolvedTransferSource {
    GraphImage colour;
    GraphImage alpha;
    bool hasAlpha;
    bool ownsImages;  // the images are copies of bitmaps, freed by ReleaseTransferSource
};

// The source rectangle of a transfer and its place in the destination after clipping.
struct ClippedTransfer {
    RECT source;
    int32_t x, y;
};

// Clips sourceRect (null: the whole source) to the source (and its alpha image) and its
// destination at (x, y) to a destination of destWidth × destHeight; false when nothing is
// left. Worked in 64 bits so that no input wraps.
bool ClipTransferRect(const ResolvedTransferSource& source, const RECT* sourceRect, int32_t x,
                      int32_t y, int32_t destWidth, int32_t destHeight, ClippedTransfer* out);

// 0, or -1 (with a log line) when the source names no image or a bitmap cannot be read.
int ResolveTransferSource(const ImageTransferSource& source, ResolvedTransferSource* out);
void ReleaseTransferSource(ResolvedTransferSource* resolved);

// A GDI bitmap read into a new top-down 32-bit image (X8R8G8B8, no alpha channel), whatever
// its own bit count and row order. 0, or -1 with a log line.
int ReadBitmapAsGraphImage(plat::Bitmap* bitmap, GraphImage* out);

// sourceRect (already clipped) of the source into the surface of the record at (x, y) of the
// record's pixels, locked write-only for the rectangle. 0, or -1 with a log line.
int TransferIntoLockedSurface(const ResolvedTransferSource& source, const RECT& sourceRect,
                              int32_t x, int32_t y, HandleValue data, int keyToAlpha);
// sourceRect (already clipped) of the source into the record's software image at (x, y). A
// paletted image takes the source's indices and its colour key becomes the index that shows
// the record's transparent colour (FindPaletteColorKey). 0, or -1 with a log line.
int TransferIntoMemImg(const ResolvedTransferSource& source, const RECT& sourceRect, int32_t x,
                       int32_t y, SurfaceDataRecord* data, int keyToAlpha);

// The index of the first palette entry whose colour equals colorKey (0x00RRGGBB), compared in
// 5-6-5 precision for 16-bit images and in 8-8-8 otherwise; kPalettedNoColorKey when none
// does, so that an image without the colour shows every index.
uint32_t FindPaletteColorKey(const PaletteEntry* palette, uint32_t colorKey, int colorDepth);

// 1 when a screen is up to hold surfaces (software-only mode or a DirectDraw object).
int IsTransferScreenUp();
