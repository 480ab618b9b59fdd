// The GDI pieces of the platform layer: device contexts, device-independent bitmaps (DIB
// sections) and the conversion of device-independent pixel data into a device context
// (SetDIBitsToDevice). The image decoders use them to bring 1-bit, 16-bit, 32-bit and
// bit-field bitmaps to 24-bit RGB; a surface's device context (DrawSurface::GetDC) takes the
// same conversion into the surface's own pixel format.
//
// A memory device context (CreateCompatibleDC) draws into the bitmap selected into it; a
// surface's device context draws into the surface; a window's device context (GetDC) draws
// into the display's picture at the window's client area, clipped to it, and what it draws is
// shown (platform/display/display.h). GetDC(0) is the whole display. Device contexts and bitmaps are not
// thread-safe objects; each belongs to one caller at a time.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/window/window.h"

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
// Raster operation of BitBlt and StretchDIBits: the source is copied.
inline constexpr uint32_t SRCCOPY = 0x00CC0020;

// GetDeviceCaps indices.
inline constexpr int32_t HORZRES = 8;     // width in pixels
inline constexpr int32_t VERTRES = 10;    // height in pixels
inline constexpr int32_t BITSPIXEL = 12;  // bits per pixel
inline constexpr int32_t PLANES = 14;     // colour planes (1)
inline constexpr int32_t VREFRESH = 116;  // the display's refresh rate in Hz

// GetSystemMetrics indices.
inline constexpr int32_t SM_CXSCREEN = 0;
inline constexpr int32_t SM_CYSCREEN = 1;

// ChangeDisplaySettings: DevMode::fields bits, flags and results.
inline constexpr uint32_t DM_BITSPERPEL = 0x40000;
inline constexpr uint32_t DM_PELSWIDTH = 0x80000;
inline constexpr uint32_t DM_PELSHEIGHT = 0x100000;
inline constexpr uint32_t DM_DISPLAYFREQUENCY = 0x400000;
inline constexpr uint32_t CDS_UPDATEREGISTRY = 0x1;
inline constexpr uint32_t CDS_TEST = 0x2;
inline constexpr uint32_t CDS_FULLSCREEN = 0x4;
inline constexpr int32_t DISP_CHANGE_SUCCESSFUL = 0;
inline constexpr int32_t DISP_CHANGE_FAILED = -1;
inline constexpr int32_t DISP_CHANGE_BADMODE = -2;
inline constexpr int32_t DISP_CHANGE_BADFLAGS = -4;
inline constexpr int32_t DISP_CHANGE_BADPARAM = -5;

// A display mode for ChangeDisplaySettings (156 bytes; size holds 156). Fields not named in
// fields keep the current mode's value.
struct DevMode {
    uint16_t size;
    uint16_t driverExtra;
    uint32_t fields;          // DM_* bits
    uint32_t bitsPerPel;
    uint32_t pelsWidth;
    uint32_t pelsHeight;
    uint32_t displayFrequency;
    uint8_t reserved[132];
};
static_assert(sizeof(DevMode) == 156);

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

// ---- window and display device contexts ----------------------------------------------------
// The device context of a window's client area (window 0: the whole display). Its origin is
// the client area's top-left; drawing is clipped to the client area and the display. The
// format is the display's (16 bits 5-6-5 or 32 bits X8R8G8B8). Null for a stale handle.
// Every DC handed out must go back through ReleaseDC.
DeviceContext* GetDC(WindowHandle window);
// 1 when dc was handed out by GetDC for window (and is now freed), else 0.
int32_t ReleaseDC(WindowHandle window, DeviceContext* dc);

// A top-down bitmap of width × height in the device context's format (a memory DC with no
// bitmap: 32 bits), zeroed. Null for a size of 0 or below, or one whose bytes pass 2^31.
// Deleted with DeleteObject.
Bitmap* CreateCompatibleBitmap(DeviceContext* dc, int32_t width, int32_t height);

// Copies (xSrc, ySrc, width, height) of source to (xDest, yDest) of dest (SRCCOPY only),
// converting between the two formats; both rectangles are clipped to their device contexts
// (what is clipped from one is left out of the other). Overlapping copies within one target
// are done as if through a copy. False for a missing DC or bitmap, a negative size, or
// another rop.
bool BitBlt(DeviceContext* dest, int32_t xDest, int32_t yDest, int32_t width, int32_t height,
            DeviceContext* source, int32_t xSrc, int32_t ySrc, uint32_t rop);

// As SetDIBitsToDevice, scaled: the source rectangle (xSrc, ySrc, srcWidth, srcHeight) of the
// picture is stretched by nearest neighbour onto (xDest, yDest, destWidth, destHeight), clipped
// to the destination (SRCCOPY only). bits holds the whole picture (all |height| rows).
//
// Source y: for a bottom-up picture (positive height) ySrc counts from the picture's bottom
// row, as the rows are stored; for a top-down picture (negative height) it is counted the same
// way, from the bottom of the picture, so the rectangle whose top is picture row t has
// ySrc = |height| - t - srcHeight. A negative destWidth or destHeight mirrors the picture.
//
// Returns the number of source rows used (srcHeight), or 0 on the refusals of
// SetDIBitsToDevice or a size of 0.
int32_t StretchDIBits(DeviceContext* dc, int32_t xDest, int32_t yDest, int32_t destWidth,
                      int32_t destHeight, int32_t xSrc, int32_t ySrc, int32_t srcWidth,
                      int32_t srcHeight, const void* bits, size_t bitsSize,
                      const BitmapInfo* info, uint32_t colorUse, uint32_t rop);

// Reads scanLines stored rows of bitmap, from stored row startScan, into bits (bitsSize bytes)
// in the format info describes: 16 or 32 bits with BI_RGB or BI_BITFIELDS (info->masks), or
// 24 bits; the header's height sign picks the row order (negative: top-down) and its width
// may be wider than the bitmap's (the rows are then that long, and the columns past the
// bitmap are left as they are). With bits null, fills info's header with the bitmap's own
// size and format and returns its height. Returns the rows copied (fewer when the bitmap ends
// first), 0 on failure: null arguments, a format not taken, startScan past the bitmap, or too
// few bytes. The bitmap may be selected into any device context.
int32_t GetDIBits(DeviceContext* dc, Bitmap* bitmap, uint32_t startScan, uint32_t scanLines,
                  void* bits, size_t bitsSize, BitmapInfo* info, uint32_t colorUse);

// HORZRES, VERTRES, BITSPIXEL, PLANES and VREFRESH of the device (a window's or the display's
// DC: the display mode; a memory DC: its bitmap, else the display). 0 for other indices.
int32_t GetDeviceCaps(DeviceContext* dc, int32_t index);
// Drawing is never batched: true.
bool GdiFlush();
// SM_CXSCREEN and SM_CYSCREEN: the display mode's width and height; 0 for other indices.
int32_t GetSystemMetrics(int32_t index);

// Sets a display mode (mode null: back to the desktop's mode, flags ignored). CDS_FULLSCREEN
// sets it for this process (the mode goes back at the end); CDS_TEST only checks it.
// DISP_CHANGE_BADMODE for a mode the display does not offer (24 bits, an unknown size or a
// refresh rate it does not run at), DISP_CHANGE_BADPARAM for a size field other than 156,
// DISP_CHANGE_FAILED when another owner holds the display exclusively.
int32_t ChangeDisplaySettings(const DevMode* mode, uint32_t flags);

}  // namespace plat
