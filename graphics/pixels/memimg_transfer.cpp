#include "graphics/pixels/memimg_transfer.h"

#include <algorithm>
#include <cstring>

#include "graphics/pixels/transfer_pixels.h"
#include "base/log.h"

namespace {

// Clips a transfer of the source rectangle (sx, sy, w, h) to (tx, ty) against a source of
// sw × sh pixels and a destination of dw × dh, moving both corners together. False when
// nothing is left. 64-bit throughout, so no input wraps.
bool ClipTransfer(int64_t* sx, int64_t* sy, int64_t* w, int64_t* h, int64_t* tx, int64_t* ty,
                  int64_t sw, int64_t sh, int64_t dw, int64_t dh) {
    auto clipAxis = [](int64_t* s, int64_t* len, int64_t* t, int64_t sourceSize, int64_t destSize) {
        if (*s < 0) {
            *len += *s;
            *t -= *s;
            *s = 0;
        }
        if (*t < 0) {
            *len += *t;
            *s -= *t;
            *t = 0;
        }
        *len = std::min({*len, sourceSize - *s, destSize - *t});
        return *len > 0;
    };
    return clipAxis(sx, w, tx, sw, dw) && clipAxis(sy, h, ty, sh, dh);
}

// The palette-bearing standard format of m, with m's palette as entries (read as 32-bit
// values through the format's masks) when m is paletted.
void MemImgFormat(const MEMIMG* m, PaletteColorFormat* out) {
    *out = *GetStandardColorFormat(m->pixelFormat, m->alpha, m->paletted);
    if (!m->paletted || m->palette == nullptr) return;
    for (int i = 0; i < 256; ++i) {
        uint32_t value;
        if (m->pixelFormat == MEMIMG_FORMAT_565) {
            value = static_cast<const uint16_t*>(m->palette)[i];
        } else {
            value = static_cast<const uint32_t*>(m->palette)[i];
        }
        out->palette[i] = PaletteEntry{static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                       static_cast<uint8_t>(value >> 16),
                                       static_cast<uint8_t>(value >> 24)};
    }
}

bool IsRaw(const MEMIMG* m) { return m->pixelFormat >= MEMIMG_FORMAT_RAW8; }

}  // namespace

int TransferGraphImageToMemImg(const GraphImage* image, const GraphImage* alphaImage, MEMIMG* m,
                               int32_t sx, int32_t sy, int32_t width, int32_t height,
                               int32_t tx, int32_t ty, int keyToAlpha) {
    if (image == nullptr || image->pixels == nullptr || m == nullptr || m->magic != MEMIMG_MAGIC ||
        m->pixels == nullptr) {
        return LogWrite("イメージの転送元または転送先がありません\n");
    }
    if (alphaImage != nullptr && alphaImage->pixels == nullptr) alphaImage = nullptr;

    int64_t x = sx, y = sy, w = width, h = height, dx = tx, dy = ty;
    int64_t sourceW = image->width, sourceH = image->height;
    if (alphaImage != nullptr) {
        sourceW = std::min<int64_t>(sourceW, alphaImage->width);
        sourceH = std::min<int64_t>(sourceH, alphaImage->height);
    }
    if (!ClipTransfer(&x, &y, &w, &h, &dx, &dy, sourceW, sourceH, m->width, m->height)) {
        return LogFormat("転送する矩形がイメージの外にあります (%d, %d, %d, %d)", sx, sy, width,
                         height);
    }
    const RECT rect = {static_cast<int32_t>(x), static_cast<int32_t>(y),
                       static_cast<int32_t>(x + w), static_cast<int32_t>(y + h)};
    const PaletteColorFormat* destFormat =
        GetStandardColorFormat(m->pixelFormat, m->alpha, m->paletted);

    if (IsRaw(m)) {
        return TransferPixels(m->pixels, m->pitch, destFormat, image->pixels, image->pitch,
                              &image->colorFormat, nullptr, 0, nullptr, static_cast<int32_t>(dx),
                              static_cast<int32_t>(dy), &rect, 0, 0, 0, kDitherNone, 1, 1, 0) < 0
                   ? LogWrite("イメージの転送に失敗しました\n")
                   : 0;
    }

    // The key-to-alpha test takes a 0x00RRGGBB colour; m keeps its key as one of its pixels.
    int r = 0, g = 0, b = 0;
    ColorFormatPixelToRgba(&destFormat->format, m->colorKey, &r, &g, &b, nullptr);
    const uint32_t keyColour = static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
                               static_cast<uint32_t>(b);
    const int result = TransferPixels(
        m->pixels, m->pitch, destFormat, image->pixels, image->pitch, &image->colorFormat,
        alphaImage != nullptr ? alphaImage->pixels : nullptr,
        alphaImage != nullptr ? alphaImage->pitch : 0,
        alphaImage != nullptr ? &alphaImage->colorFormat : nullptr, static_cast<int32_t>(dx),
        static_cast<int32_t>(dy), &rect, 0, keyToAlpha, keyColour, kDitherNone, 0, 0, 0);
    if (result < 0) return LogWrite("イメージの転送に失敗しました\n");

    if (m->paletted) {
        m->paletteCount = std::max(m->paletteCount, result + 1);
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry& e = image->colorFormat.palette[i];
            if (m->pixelFormat == MEMIMG_FORMAT_565) {
                static_cast<uint16_t*>(m->palette)[i] =
                    static_cast<uint16_t>((e.r >> 3) << 11 | (e.g >> 2) << 5 | e.b >> 3);
            } else {
                static_cast<uint32_t*>(m->palette)[i] =
                    static_cast<uint32_t>(e.r) << 16 | static_cast<uint32_t>(e.g) << 8 | e.b;
            }
        }
    }
    return 0;
}

int TransferMemImgRect(MEMIMG* dest, const MEMIMG* source, const RECT* sourceRect, int32_t x,
                       int32_t y) {
    if (dest == nullptr || source == nullptr || dest->pixels == nullptr ||
        source->pixels == nullptr) {
        return -1;
    }
    int64_t sx = 0, sy = 0, w = source->width, h = source->height, dx = x, dy = y;
    if (sourceRect != nullptr) {
        sx = sourceRect->left;
        sy = sourceRect->top;
        w = static_cast<int64_t>(sourceRect->right) - sourceRect->left;
        h = static_cast<int64_t>(sourceRect->bottom) - sourceRect->top;
    }
    if (!ClipTransfer(&sx, &sy, &w, &h, &dx, &dy, source->width, source->height, dest->width,
                      dest->height)) {
        return -1;
    }
    const RECT rect = {static_cast<int32_t>(sx), static_cast<int32_t>(sy),
                       static_cast<int32_t>(sx + w), static_cast<int32_t>(sy + h)};
    PaletteColorFormat sourceFormat;
    MemImgFormat(source, &sourceFormat);
    const PaletteColorFormat* destFormat =
        GetStandardColorFormat(dest->pixelFormat, dest->alpha, dest->paletted);
    const int raw = IsRaw(dest) || IsRaw(source) ? 1 : 0;
    const int result = TransferPixels(dest->pixels, dest->pitch, destFormat, source->pixels,
                                      source->pitch, &sourceFormat, nullptr, 0, nullptr,
                                      static_cast<int32_t>(dx), static_cast<int32_t>(dy), &rect, 0,
                                      0, 0, kDitherNone, raw, raw, 0);
    if (result < 0) return -1;
    if (dest->paletted && source->paletted) {
        dest->paletteCount = std::max(dest->paletteCount, result + 1);
    }
    return 0;
}
