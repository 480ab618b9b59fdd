#include "softrender/records/color_format.h"

#include <bit>
#include <cstring>

namespace {

// Lowest set bit and the run of ones from there; a zero mask has shift 0 and width 0. A full
// mask is one channel of 32 bits.
void MaskShape(uint32_t mask, uint8_t* shift, uint8_t* width) {
    if (mask == 0) {
        *shift = 0;
        *width = 0;
        return;
    }
    const int low = std::countr_zero(mask);
    *shift = static_cast<uint8_t>(low);
    *width = static_cast<uint8_t>(std::countr_one(mask >> low));
}

// Every bit of a pixel of the given size with the channel bits cleared.
uint32_t NoUseMaskFor(int bits, uint32_t maskR, uint32_t maskG, uint32_t maskB, uint32_t maskA) {
    uint32_t all;
    if (bits >= 32) {
        all = 0xFFFFFFFFu;
    } else if (bits <= 0) {
        all = 0;
    } else {
        all = (1u << bits) - 1;
    }
    return all & ~(maskR | maskG | maskB | maskA);
}

// Shifts written out so that a count of 32 or more gives 0 instead of undefined behaviour.
uint32_t ShiftLeft(uint32_t value, int count) { return count >= 32 ? 0 : value << count; }
uint32_t ShiftRight(uint32_t value, int count) { return count >= 32 ? 0 : value >> count; }

// A 0..255 channel truncated to its width and put in place. Channels wider than 8 bits, like
// absent ones, come out 0.
uint32_t PlaceByteChannel(int value, int width, int shift) {
    if (width == 0 || width > 8) return 0;
    if (value < 0) value = 0;
    if (value > 255) value = 255;
    return ShiftLeft(static_cast<uint32_t>(value) >> (8 - width), shift);
}

// A channel's field scaled to 0..255; a channel of width 0 gives 0.
int FieldToByte(uint32_t pixel, uint32_t mask, int shift, int width) {
    if (width == 0) return 0;
    const uint64_t field = ShiftRight(pixel & mask, shift);
    const uint64_t maximum = width >= 32 ? 0xFFFFFFFFull : (1ull << width) - 1;
    return static_cast<int>(field * 255 / maximum);
}

// A field of one width brought to another by shifting (high bits are not replicated).
uint32_t FitField(uint32_t value, int fromWidth, int toWidth) {
    if (toWidth >= fromWidth) return ShiftLeft(value, toWidth - fromWidth);
    return ShiftRight(value, fromWidth - toWidth);
}

void SetByteChannels(ColorFormat* f, uint16_t bits) {
    f->bits = bits;
    f->bytes = static_cast<uint16_t>(bits / 8);
    f->widthR = f->widthG = f->widthB = 8;
    f->shiftR = 16;
    f->shiftG = 8;
    f->shiftB = 0;
    f->maskR = 0xFF0000;
    f->maskG = 0xFF00;
    f->maskB = 0xFF;
}

}  // namespace

int BuildColorFormat(PaletteColorFormat* out, int bits, uint32_t maskR, uint32_t maskG,
                     uint32_t maskB, uint32_t maskA) {
    ColorFormat& f = out->format;
    f.bits = static_cast<uint16_t>(bits);
    f.bytes = static_cast<uint16_t>(bits / 8);
    f.maskR = maskR;
    f.maskG = maskG;
    f.maskB = maskB;
    f.maskA = maskA;
    f.noUseMask = NoUseMaskFor(bits, maskR, maskG, maskB, maskA);
    MaskShape(maskR, &f.shiftR, &f.widthR);
    MaskShape(maskG, &f.shiftG, &f.widthG);
    MaskShape(maskB, &f.shiftB, &f.widthB);
    MaskShape(maskA, &f.shiftA, &f.widthA);
    MaskShape(f.noUseMask, &out->noUseShift, &out->noUseWidth);
    return 0;
}

int ColorFormatFromPixelFormat(const SurfacePixelFormat* pixelFormat, PaletteColorFormat* out) {
    return BuildColorFormat(out, static_cast<int>(pixelFormat->rgbBitCount), pixelFormat->redMask,
                            pixelFormat->greenMask, pixelFormat->blueMask,
                            pixelFormat->alphaMask);
}

int MakeRgbPixelFormat(SurfacePixelFormat* out, int bits, uint32_t maskR, uint32_t maskG,
                       uint32_t maskB, uint32_t maskA) {
    std::memset(out, 0, sizeof(*out));
    out->size = sizeof(SurfacePixelFormat);
    out->flags = SURFACE_PIXEL_FORMAT_RGB;
    out->rgbBitCount = static_cast<uint32_t>(bits);
    out->redMask = maskR;
    out->greenMask = maskG;
    out->blueMask = maskB;
    out->alphaMask = maskA;
    return 0;
}

void RecomputeNoUseMask(ColorFormat* format) {
    const int widths = format->widthR + format->widthG + format->widthB + format->widthA;
    if (widths == format->bits) {
        format->noUseMask = 0;
        return;
    }
    format->noUseMask =
        NoUseMaskFor(format->bits, format->maskR, format->maskG, format->maskB, format->maskA);
}

void SetColorFormat8(PaletteColorFormat* out) {
    std::memset(out, 0, sizeof(*out));
    SetByteChannels(&out->format, 8);
    out->format.noUseMask = 0xFF000000;
    out->noUseShift = 24;
    out->noUseWidth = 8;
}

void SetColorFormatArgb32(PaletteColorFormat* out) {
    std::memset(out, 0, sizeof(*out));
    SetByteChannels(&out->format, 32);
    out->format.widthA = 8;
    out->format.shiftA = 24;
    out->format.maskA = 0xFF000000;
}

void SetColorFormatRgb24(PaletteColorFormat* out) {
    std::memset(out, 0, sizeof(*out));
    SetByteChannels(&out->format, 24);
}

void SetColorFormatGrey8(PaletteColorFormat* out) {
    SetColorFormat8(out);
    for (int i = 0; i < 256; ++i) {
        const uint8_t level = static_cast<uint8_t>(i);
        out->palette[i] = PaletteEntry{level, level, level, 0};
    }
}

uint32_t ColorFormatRgbaToPixel(const ColorFormat* format, int r, int g, int b, int a) {
    // The channel fields never overlap each other or the no-use bits, so adding them places
    // each one independently.
    uint32_t pixel = PlaceByteChannel(b, format->widthB, format->shiftB) +
                     PlaceByteChannel(g, format->widthG, format->shiftG) +
                     PlaceByteChannel(r, format->widthR, format->shiftR) + format->noUseMask;
    if (format->widthA != 0) pixel += PlaceByteChannel(a, format->widthA, format->shiftA);
    return pixel;
}

int ColorFormatPixelToRgba(const ColorFormat* format, uint32_t pixel, int* r, int* g, int* b,
                           int* a) {
    if (r) *r = FieldToByte(pixel, format->maskR, format->shiftR, format->widthR);
    if (g) *g = FieldToByte(pixel, format->maskG, format->shiftG, format->widthG);
    if (b) *b = FieldToByte(pixel, format->maskB, format->shiftB, format->widthB);
    if (a) *a = FieldToByte(pixel, format->maskA, format->shiftA, format->widthA);
    return 0;
}

uint32_t ConvertPixel(const ColorFormat* dest, const ColorFormat* source, uint32_t pixel) {
    const uint32_t red = FitField(ShiftRight(pixel & source->maskR, source->shiftR),
                                  source->widthR, dest->widthR);
    const uint32_t green = FitField(ShiftRight(pixel & source->maskG, source->shiftG),
                                    source->widthG, dest->widthG);
    const uint32_t blue = FitField(ShiftRight(pixel & source->maskB, source->shiftB),
                                   source->widthB, dest->widthB);
    uint32_t alpha;
    if (source->widthA != 0) {
        alpha = FitField(ShiftRight(pixel & source->maskA, source->shiftA), source->widthA,
                         dest->widthA);
    } else {
        alpha = ShiftRight(dest->maskA, dest->shiftA);
    }
    return ShiftLeft(alpha, dest->shiftA) | ShiftLeft(blue, dest->shiftB) |
           ShiftLeft(green, dest->shiftG) | ShiftLeft(red, dest->shiftR) | dest->noUseMask;
}

int ColorFormatEquals(const ColorFormat* a, const ColorFormat* b) {
    return a->bits == b->bits && a->maskR == b->maskR && a->maskG == b->maskG &&
                   a->maskB == b->maskB && a->maskA == b->maskA
               ? 1
               : 0;
}

namespace {

struct StandardMasks {
    int bits;
    uint32_t r, g, b, a;
};

// Bits and masks of the direct formats 0 and 1 by alpha and paletted.
StandardMasks DirectFormatMasks(int pixelFormat, int alpha, int paletted) {
    StandardMasks m;
    if (pixelFormat == 0) {
        m = {16, 0xF800, 0x07E0, 0x001F, alpha ? 0xFF0000u : 0u};
        if (alpha) m.bits = 32;
    } else {
        m = {32, 0xFF0000, 0xFF00, 0xFF, alpha ? 0xFF000000u : 0u};
    }
    if (paletted) m.bits = 8;
    return m;
}

// Raw formats 2 and 3 take no alpha or palette: one record serves every key.
void NormalizeStandardKey(int pixelFormat, int* alpha, int* paletted) {
    *alpha = *alpha != 0 ? 1 : 0;
    *paletted = *paletted != 0 ? 1 : 0;
    if (pixelFormat >= 2) *alpha = *paletted = 0;
}

}  // namespace

const PaletteColorFormat* GetStandardColorFormat(int pixelFormat, int alpha, int paletted) {
    static PaletteColorFormat cache[4][2][2];
    static bool built[4][2][2];
    if (pixelFormat < 0 || pixelFormat > 3) return nullptr;
    NormalizeStandardKey(pixelFormat, &alpha, &paletted);
    PaletteColorFormat& entry = cache[pixelFormat][alpha][paletted];
    if (!built[pixelFormat][alpha][paletted]) {
        if (pixelFormat <= 1) {
            const StandardMasks m = DirectFormatMasks(pixelFormat, alpha, paletted);
            BuildColorFormat(&entry, m.bits, m.r, m.g, m.b, m.a);
        } else {
            const uint16_t bits = pixelFormat == 2 ? 8 : 16;
            const uint32_t mask = pixelFormat == 2 ? 0xFFu : 0xFFFFu;
            const uint8_t width = static_cast<uint8_t>(bits);
            std::memset(&entry, 0, sizeof(entry));
            ColorFormat& f = entry.format;
            f.bits = bits;
            f.bytes = static_cast<uint16_t>(bits / 8);
            f.widthR = f.widthG = f.widthB = f.widthA = width;
            f.maskR = f.maskG = f.maskB = f.maskA = mask;
        }
        built[pixelFormat][alpha][paletted] = true;
    }
    return &entry;
}

const SurfacePixelFormat* GetStandardPixelFormat(int pixelFormat, int alpha, int paletted) {
    static SurfacePixelFormat cache[4][2][2];
    static bool built[4][2][2];
    if (pixelFormat < 0 || pixelFormat > 3) return nullptr;
    NormalizeStandardKey(pixelFormat, &alpha, &paletted);
    SurfacePixelFormat& entry = cache[pixelFormat][alpha][paletted];
    if (!built[pixelFormat][alpha][paletted]) {
        if (pixelFormat <= 1) {
            const StandardMasks m = DirectFormatMasks(pixelFormat, alpha, paletted);
            MakeRgbPixelFormat(&entry, m.bits, m.r, m.g, m.b, m.a);
        } else {
            const uint32_t mask = pixelFormat == 2 ? 0xFFu : 0xFFFFu;
            std::memset(&entry, 0, sizeof(entry));
            entry.rgbBitCount = pixelFormat == 2 ? 8 : 16;
            entry.redMask = entry.greenMask = entry.blueMask = entry.alphaMask = mask;
        }
        built[pixelFormat][alpha][paletted] = true;
    }
    return &entry;
}
