// The parsed layout of a BMP file, shared by the BMP decoder's parts: the header fields the
// decoder uses (already checked), the colour table and masks, and where the pixels lie.
#pragma once
#include <cstddef>
#include <cstdint>

#include "softrender/records/color_format.h"
#include "graphics/codecs/graph_image.h"

// Compression codes of the info header.
constexpr uint32_t kBmpRgb = 0;
constexpr uint32_t kBmpRle8 = 1;
constexpr uint32_t kBmpRle4 = 2;
constexpr uint32_t kBmpBitFields = 3;

struct BmpLayout {
    int32_t width;              // at least 1
    int32_t rows;               // at least 1 (the height without its sign)
    int32_t storedHeight;       // the header's height: negative for top-down rows
    bool topDown;               // rows stored top first
    uint16_t bitCount;          // 1, 4, 8, 16, 24 or 32
    uint32_t compression;       // kBmpRgb, kBmpRle8, kBmpRle4 or kBmpBitFields
    uint32_t masks[3];          // red, green, blue (bit fields only)
    PaletteEntry palette[256];  // entries past paletteCount are 0
    int32_t paletteCount;
    const uint8_t* pixels;  // the pixel data, to the end of the file
    size_t pixelBytes;
    uint64_t stride;  // bytes per stored row of uncompressed data
};

// Decodes RLE8 or RLE4 data into a zeroed 8-bit image of one index per byte (rows of the
// width rounded up to 4 bytes), top row first. 0, or -1 with a log line.
int DecodeBmpRle(const BmpLayout& layout, GraphImage* out);
// Converts 1-, 16- and 32-bit and bit-field pixels to a 24-bit RGB image through the GDI
// conversion. 0, or -1 with a log line.
int ConvertBmpThroughDib(const BmpLayout& layout, GraphImage* out);
