#include "graphics/codecs/graph_image.h"

#include <cstddef>
#include <cstring>

#include "base/log.h"
#include "base/tracked_memory.h"

namespace {

// Largest pixel buffer of an image, so that every byte offset fits a signed 32-bit value.
constexpr uint64_t kMaxImageBytes = 0x7FFFFFFF;

int AllocateImagePixels(int width, int height, GraphImage* image) {
    const int64_t rowBytes = static_cast<int64_t>(image->colorFormat.format.bytes) * width;
    const int64_t pitch = (rowBytes + 3) / 4 * 4;
    if (width < 0 || height < 0 ||
        static_cast<uint64_t>(pitch) * static_cast<uint64_t>(height) > kMaxImageBytes) {
        image->pixels = nullptr;
        return LogFormat("イメージのサイズが不正です 幅:%d 高さ:%d", width, height);
    }
    image->width = width;
    image->height = height;
    image->pitch = static_cast<int32_t>(pitch);
    const size_t size = static_cast<size_t>(pitch) * static_cast<size_t>(height);
    image->pixels = static_cast<uint8_t*>(ZN_ALLOC(size != 0 ? size : 1));
    if (image->pixels == nullptr) {
        return LogFormat("イメージ用のメモリの確保に失敗しました サイズ:%zu", size);
    }
    return 0;
}

bool InsideImage(const GraphImage* image, int x, int y) {
    return image->pixels != nullptr && x >= 0 && y >= 0 && x < image->width &&
           y < image->height;
}

uint8_t* PixelAddress(const GraphImage* image, int x, int y) {
    return image->pixels + static_cast<ptrdiff_t>(y) * image->pitch +
           static_cast<ptrdiff_t>(x) * image->colorFormat.format.bytes;
}

// Pixels of 2, 3 and 4 bytes, least significant byte first (3 bytes: the low 16 bits, then the
// third byte).
void StorePixel(uint8_t* at, int bytes, uint32_t value) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t LoadPixel(const uint8_t* at, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(at[i]) << (8 * i);
    return value;
}

bool IsDirectPixelSize(int bytes) { return bytes >= 2 && bytes <= 4; }

// A channel's field moved so that its top bit is bit 7 of a byte.
uint32_t FieldToTopOfByte(uint32_t pixel, uint32_t mask, int shift, int width) {
    if (width == 0 || shift >= 32) return 0;
    const uint32_t field = (pixel & mask) >> shift;
    if (width <= 8) return (field << (8 - width)) & 0xFF;
    return (field >> (width - 8)) & 0xFF;
}

}  // namespace

int InitGraphImageArgb32(int width, int height, GraphImage* image) {
    SetColorFormatArgb32(&image->colorFormat);
    return AllocateImagePixels(width, height, image);
}

int InitGraphImageRgb24(int width, int height, GraphImage* image) {
    SetColorFormatRgb24(&image->colorFormat);
    return AllocateImagePixels(width, height, image);
}

void FreeGraphImage(GraphImage* image) {
    if (image->pixels != nullptr) TrackedFree(image->pixels);
    std::memset(image, 0, sizeof(*image));
}

int FillGraphImage(GraphImage* image, int r, int g, int b, int a) {
    const int bytes = image->colorFormat.format.bytes;
    if (image->pixels == nullptr || !IsDirectPixelSize(bytes)) return 0;
    const uint32_t value = ColorFormatRgbaToPixel(&image->colorFormat.format, r, g, b, a);
    for (int y = 0; y < image->height; ++y) {
        uint8_t* at = PixelAddress(image, 0, y);
        for (int x = 0; x < image->width; ++x, at += bytes) StorePixel(at, bytes, value);
    }
    return 0;
}

int SetGraphImagePixel(GraphImage* image, int x, int y, int r, int g, int b, int a) {
    if (!InsideImage(image, x, y)) return -1;
    const int bytes = image->colorFormat.format.bytes;
    if (!IsDirectPixelSize(bytes)) return 0;
    StorePixel(PixelAddress(image, x, y), bytes,
               ColorFormatRgbaToPixel(&image->colorFormat.format, r, g, b, a));
    return 0;
}

int GetGraphImagePixel(const GraphImage* image, int x, int y, int* r, int* g, int* b, int* a) {
    const ColorFormat& format = image->colorFormat.format;
    uint32_t value;
    if (!InsideImage(image, x, y) || (format.bytes != 1 && !IsDirectPixelSize(format.bytes))) {
        if (r) *r = 0;
        if (g) *g = 0;
        if (b) *b = 0;
        if (a) *a = 0;
        return -1;
    }
    const uint8_t* at = PixelAddress(image, x, y);
    if (format.bytes == 1) {
        const PaletteEntry& entry = image->colorFormat.palette[*at];
        value = (format.shiftB < 32 ? static_cast<uint32_t>(entry.b) << format.shiftB : 0) |
                (format.shiftG < 32 ? static_cast<uint32_t>(entry.g) << format.shiftG : 0) |
                (format.shiftR < 32 ? static_cast<uint32_t>(entry.r) << format.shiftR : 0);
    } else {
        value = LoadPixel(at, format.bytes);
    }
    return ColorFormatPixelToRgba(&format, value, r, g, b, a);
}

uint32_t GetGraphImagePixelArgb(const GraphImage* image, int x, int y) {
    const ColorFormat& f = image->colorFormat.format;
    if (!InsideImage(image, x, y)) return 0;
    const uint8_t* at = PixelAddress(image, x, y);
    if (f.bytes == 1) {
        const PaletteEntry& entry = image->colorFormat.palette[*at];
        return static_cast<uint32_t>(entry.r) << 16 | static_cast<uint32_t>(entry.g) << 8 |
               entry.b;
    }
    if (!IsDirectPixelSize(f.bytes)) return 0;
    const uint32_t pixel = LoadPixel(at, f.bytes);
    uint32_t argb = FieldToTopOfByte(pixel, f.maskB, f.shiftB, f.widthB) |
                    FieldToTopOfByte(pixel, f.maskG, f.shiftG, f.widthG) << 8 |
                    FieldToTopOfByte(pixel, f.maskR, f.shiftR, f.widthR) << 16;
    if (f.widthA != 0) argb |= FieldToTopOfByte(pixel, f.maskA, f.shiftA, f.widthA) << 24;
    return argb;
}

int MirrorGraphImage(GraphImage* image) {
    if (image->width <= 0 || image->height <= 0 || image->pixels == nullptr) return -1;
    const int bytes = image->colorFormat.format.bytes;
    if (bytes < 1 || bytes > 4) return 0;
    for (int y = 0; y < image->height; ++y) {
        uint8_t* left = PixelAddress(image, 0, y);
        uint8_t* right = PixelAddress(image, image->width - 1, y);
        for (; left < right; left += bytes, right -= bytes) {
            uint8_t held[4];
            std::memcpy(held, left, bytes);
            std::memcpy(left, right, bytes);
            std::memcpy(right, held, bytes);
        }
    }
    return 0;
}
