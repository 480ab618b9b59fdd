// MEMIMG: the software image that the software renderer draws from and into. One of four fixed
// pixel formats, rows 16-byte aligned, an optional 256-entry palette. The back and front screens
// in software mode, software draw targets, mask screens and the surfaces of software-image graphs
// are all MEMIMGs. A plain record: the pixel kernels read its fields directly.
#pragma once
#include <cstddef>
#include <cstdint>

#include "softrender/records/color_format.h"

// MEMIMG::pixelFormat values.
constexpr int32_t MEMIMG_FORMAT_565 = 0;    // 16-bit 5-6-5 (with alpha: 4 bytes, alpha in byte 2)
constexpr int32_t MEMIMG_FORMAT_32 = 1;     // 32-bit 0x00RRGGBB (with alpha: 0xAARRGGBB)
constexpr int32_t MEMIMG_FORMAT_RAW8 = 2;   // raw 8-bit
constexpr int32_t MEMIMG_FORMAT_RAW16 = 3;  // raw 16-bit

// MEMIMG::magic while the record is initialised.
constexpr uint32_t MEMIMG_MAGIC = 0x12345678;

// Largest pixel buffer (pitch × height) a MEMIMG may have, so that every byte offset in it fits
// a signed 32-bit value.
constexpr size_t MEMIMG_MAX_BYTES = 0x7FFFFFFF;

struct MEMIMG {
    uint32_t magic;                  // MEMIMG_MAGIC while initialised, else 0
    int32_t width, height;           // pixels
    int32_t pitch;                   // bytes from one row to the next
    int32_t pitchShift;              // log2 of the pitch when it is that power of two, else -1
    const ColorFormat* colorFormat;  // cached standard format of pixelFormat, alpha, paletted
    uint32_t colorKey;               // transparent pixel value (palette index when paletted)
    int32_t pixelFormat;             // MEMIMG_FORMAT_*
    int32_t paletted;                // 1: one palette index byte per pixel
    int32_t paletteCount;            // palette entries in use
    int32_t alpha;                   // 1: the pixels carry alpha
    int32_t pixelsBorrowed;          // 1: the pixels belong to someone else and are never freed
    // The palette in use: this record's own array, or a parent's for a view. It points into
    // the record, so a byte copy of a record still uses the original's palette.
    void* palette;
    uint8_t* pixels;                 // pitch × height bytes
    // Palette entries as pixels of the image's format: 256 16-bit 5-6-5 words for format 0,
    // 256 32-bit 0x00RRGGBB values for format 1.
    alignas(16) uint32_t paletteData[256];
};

// Bytes per pixel of an image of the given kind: 4 for format 0 with alpha, 1 for paletted
// images, otherwise 2, 4, 1, 2 for formats 0, 1, 2, 3.
int MemImgBytesPerPixel(int pixelFormat, int paletted, int alpha);

// Makes an uninitialised record a live image. pitch -1 chooses the row size rounded up to 16
// bytes. When the caller has set m->pixels beforehand, that buffer is used (and never freed
// here); otherwise pitch × height bytes are allocated. Returns 0, or -1 (with a log line) when
// the record is already initialised, the size is invalid or too large, or the allocation fails.
int CreateMemImg(MEMIMG* m, int width, int height, int pitch, uint32_t colorKey, int pixelFormat,
                 int paletted, int alpha);
// An image in pixel format 0..3, or -1 for the display's (5-6-5 at a depth of 16, else 32-bit;
// see display_image_format.h), with automatic pitch, no key, no palette, no alpha. The record
// is zeroed first unless it is already initialised, which is refused.
int InitMemImgPlain(MEMIMG* m, int width, int height, int pixelFormat);
// A raw 16-bit image used as a depth buffer.
int InitMemImgZBuffer(MEMIMG* m, int width, int height);
// Makes view show the rectangle of parent that starts at (x, y) with the given size. The view
// shares the parent's pixels and palette, owns nothing and lives only as long as the parent.
void InitMemImgView(MEMIMG* view, const MEMIMG* parent, int x, int y, int width, int height);
int MemImgHasPixels(const MEMIMG* m);
// Frees the pixels unless borrowed and returns the record to the uninitialised state.
void ReleaseMemImg(MEMIMG* m);
