// Pixel transfers into software images: a decoded image (with its separate alpha image) into
// a MEMIMG, and a rectangle of one MEMIMG into another. Both go through TransferPixels.
#pragma once
#include <cstdint>

#include "graphics/codecs/graph_image.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

// Transfers the rectangle (sx, sy, width, height) of image into m at (tx, ty), converting to
// m's format; the alpha image, when given, supplies alpha for an image without its own. Raw
// images (formats 2 and 3) receive the image's raw values. With keyToAlpha, pixels of m's
// colour key get alpha 0 (images with alpha only). For a paletted m the image must be 8-bit:
// its indices are copied, the palette count becomes the highest index written + 1 and the
// palette is rebuilt from the image's. The rectangle is clipped to the image, the alpha image
// and m. 0, or -1 (with a log line) when nothing can be transferred.
int TransferGraphImageToMemImg(const GraphImage* image, const GraphImage* alphaImage, MEMIMG* m,
                               int32_t sx, int32_t sy, int32_t width, int32_t height,
                               int32_t tx, int32_t ty, int keyToAlpha);

// Transfers sourceRect of source (null: all of it) into dest at (x, y), converting formats (raw
// values when either image is raw). A paletted dest takes a paletted source's indices and
// raises its palette count to cover them; its palette is left as it is. The rectangle is
// clipped to both images. 0, or -1 when nothing can be transferred.
int TransferMemImgRect(MEMIMG* dest, const MEMIMG* source, const RECT* sourceRect, int32_t x,
                       int32_t y);
