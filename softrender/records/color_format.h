// Pixel colour formats: where red, green, blue and alpha lie in a pixel value, how many bits and
// bytes a pixel has, and the conversions between 0..255 channels, pixel values and formats.
// Every pixel that the library converts, fills, compares or transfers is described by one.
#pragma once
#include <cstdint>

struct ColorFormat {
    uint16_t bits;      // bits per pixel
    uint16_t bytes;     // bytes per pixel (bits / 8)
    uint8_t widthR, widthG, widthB, widthA;   // bits of each channel, 0 = channel absent
    uint8_t shiftR, shiftG, shiftB, shiftA;   // lowest bit of each channel
    uint32_t maskR, maskG, maskB, maskA;      // the channel's bits within a pixel value
    uint32_t noUseMask;                       // bits that belong to no channel
};

// One palette entry as stored with a format and in decoded images.
struct PaletteEntry {
    uint8_t b, g, r, reserved;
};

// The colour format together with a 256-entry palette and the shape of the no-use mask. This is
// the head of every decoded image, of the screen's format and of the cached standard formats.
struct PaletteColorFormat {
    ColorFormat format;
    PaletteEntry palette[256];
    uint8_t noUseShift;
    uint8_t noUseWidth;
};

// The pixel format of a surface as the display back end describes it (32 bytes).
struct SurfacePixelFormat {
    uint32_t size;
    uint32_t flags;
    uint32_t fourCC;
    uint32_t rgbBitCount;
    uint32_t redMask, greenMask, blueMask, alphaMask;
};
static_assert(sizeof(SurfacePixelFormat) == 32);

// SurfacePixelFormat::flags: the masks describe an RGB pixel.
constexpr uint32_t SURFACE_PIXEL_FORMAT_RGB = 0x40;

// Building.
int BuildColorFormat(PaletteColorFormat* out, int bits, uint32_t maskR, uint32_t maskG,
                     uint32_t maskB, uint32_t maskA);
int ColorFormatFromPixelFormat(const SurfacePixelFormat* pixelFormat, PaletteColorFormat* out);
int MakeRgbPixelFormat(SurfacePixelFormat* out, int bits, uint32_t maskR, uint32_t maskG,
                       uint32_t maskB, uint32_t maskA);
void RecomputeNoUseMask(ColorFormat* format);

// Presets (8-bit presets describe paletted images; their masks give the layout of a palette
// entry read as 0x00RRGGBB).
void SetColorFormat8(PaletteColorFormat* out);
void SetColorFormatArgb32(PaletteColorFormat* out);
void SetColorFormatRgb24(PaletteColorFormat* out);
void SetColorFormatGrey8(PaletteColorFormat* out);

// Conversions.
uint32_t ColorFormatRgbaToPixel(const ColorFormat* format, int r, int g, int b, int a);
int ColorFormatPixelToRgba(const ColorFormat* format, uint32_t pixel, int* r, int* g, int* b,
                           int* a);
uint32_t ConvertPixel(const ColorFormat* dest, const ColorFormat* source, uint32_t pixel);
int ColorFormatEquals(const ColorFormat* a, const ColorFormat* b);

// The cached formats of the four software-image pixel formats (0: 16-bit 5-6-5, 1: 32-bit,
// 2: raw 8-bit, 3: raw 16-bit), built on first use and kept for the life of the process.
// Null for a pixel format outside 0..3.
const PaletteColorFormat* GetStandardColorFormat(int pixelFormat, int alpha, int paletted);
const SurfacePixelFormat* GetStandardPixelFormat(int pixelFormat, int alpha, int paletted);
