// The GDI pieces of the platform layer: device contexts, device-independent bitmaps (DIB
// sections) and the conversion of device-independent pixel data into a device context
// (SetDIBitsToDevice). The image decoders use them to bring 1-bit, 16-bit, 32-bit and
// bit-field bitmaps to 24-bit RGB; a surface's device context (DrawSurface::GetDC) takes the
// same conversion into the surface's own pixel format.
//
// A memory device context (CreateCompatibleDC) draws into the bitmap selected into it; a
// surface's device context draws into the surface. Device contexts and bitmaps are not
// thread-safe objects; each belongs to one caller at a time.
#pragma once
#include <cstddef>
#include <cstdint>

namespace plat {

struct DeviceContext;
struct Bitmap;

// BitmapInfoHeader::compression.
inline constexpr uint32_t BI_RGB = 0;
inline constexpr uint32_t BI_RLE8 = 1;
inline constexpr uint32_t BI_RLE4 = 2;
inline constexpr uint32_t BI_BITFIELDS = 3;
// Colour use of SetDIBitsToDevice and CreateDIBSection: the table holds RGB entries.
inline constexpr uint32_t DIB_RGB_COLORS = 0;

// The 40-byte header of a device-independent bitmap, little-endian as stored in files.
struct BitmapInfoHeader {
    uint32_t size;
    int32_t width;
    int32_t height;        // positive: rows stored bottom-up; negative: top-down
    uint16_t planes;
    uint16_t bitCount;     // 1, 4, 8, 16, 24 or 32
    uint32_t compression;  // BI_RGB or BI_BITFIELDS (16 and 32 bits)
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;
    uint32_t clrImportant;
};
static_assert(sizeof(BitmapInfoHeader) == 40);

struct RgbQuad {
    uint8_t blue, green, red, reserved;
};

// A header with its colour masks (BI_BITFIELDS: red, green, blue) and colour table (1, 4 and
// 8 bits: entry i is the colour of index i; entries past those the file gives should be 0).
struct BitmapInfo {
    BitmapInfoHeader header;
    uint32_t masks[3];
    RgbQuad colors[256];
};

// What a bitmap is: size in pixels (height always positive), bytes per row, bits per pixel,
// row order and its pixels (row 0 is the top row when topDown, else the bottom row).
struct BitmapDesc {
    int32_t width;
    int32_t height;
    int32_t widthBytes;
    uint16_t bitCount;
    bool topDown;
    void* bits;
};

// A memory device context with no bitmap selected (reference is not used). Null on failure.
DeviceContext* CreateCompatibleDC(DeviceContext* reference);
// Deletes a memory device context (a surface's goes back through ReleaseDC). The bitmap
// selected into it is not deleted.
bool DeleteDC(DeviceContext* dc);

// A DIB section: a bitmap of info->header's size with 24 or 32 bits per pixel, BI_RGB, rows of
// (width × bits / 8) rounded up to 4 bytes, zeroed; its pixels are returned in *bits. Null for
// other formats, sizes of 0, or a size whose bytes do not fit 2^31.
Bitmap* CreateDIBSection(DeviceContext* dc, const BitmapInfo* info, uint32_t usage,
                         void** bits);
// Selects bitmap into a memory device context; returns the one selected before (or null).
// Null is also returned for a surface's device context, which takes no bitmap.
Bitmap* SelectObject(DeviceContext* dc, Bitmap* bitmap);
// Deletes a bitmap; false while it is selected into a device context.
bool DeleteObject(Bitmap* bitmap);
bool GetBitmapDesc(Bitmap* bitmap, BitmapDesc* out);

// Converts device-independent pixel data into the device context's bitmap or surface.
//
// The source is described by info (1, 4 or 8 bits through its colour table; 16 and 32 bits
// BI_RGB as 5-5-5 and 8-8-8; BI_BITFIELDS with info->masks; 24 bits as B, G, R). bits holds
// scanLines stored rows starting at stored row startScan (stored rows run bottom-up when the
// header's height is positive), each row (width × bitCount + 31) / 32 × 4 bytes long;
// bitsSize is the number of bytes at bits, and data shorter than the rows need is refused.
//
// The rectangle (xSrc, ySrc, width, height) of the picture, with y counted from the picture's
// top row, lands at (xDest, yDest), clipped to the picture, to the rows supplied and to the
// destination. Channels narrower than 8 bits become v × 255 / max, rounded to nearest; the
// destination receives them in its own format (24 bits B, G, R; 16 and 32 bits by its masks,
// other bits 0).
//
// Returns scanLines, or 0 when nothing could be converted: no destination, colorUse other
// than DIB_RGB_COLORS, a compressed (RLE) source, a bit count or masks it does not take
// (masks must be contiguous, disjoint and inside the pixel), a width of 0 or below, a height
// of 0 or INT32_MIN, sizes that overflow, or too few bytes.
int32_t SetDIBitsToDevice(DeviceContext* dc, int32_t xDest, int32_t yDest, uint32_t width,
                          uint32_t height, int32_t xSrc, int32_t ySrc, uint32_t startScan,
                          uint32_t scanLines, const void* bits, size_t bitsSize,
                          const BitmapInfo* info, uint32_t colorUse);

}  // namespace plat
