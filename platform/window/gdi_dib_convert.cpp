// SetDIBitsToDevice: device-independent pixel data (paletted, 16-, 24- and 32-bit, bit fields)
// converted into the bitmap or surface of a device context. Every size is checked before a
// byte is read: the source's row length and row count must fit the bytes the caller has.
#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/window/gdi_internal.h"

namespace plat {

namespace {

struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int width = 0;
};

// A contiguous mask inside the pixel; a zero mask is an absent channel.
bool MakeChannel(uint32_t mask, uint32_t bits, Channel* out) {
    out->mask = mask;
    out->shift = 0;
    out->width = 0;
    if (mask == 0) return true;
    if (bits < 32 && (mask >> bits) != 0) return false;
    out->shift = std::countr_zero(mask);
    const uint32_t run = mask >> out->shift;
    if ((run & (run + 1)) != 0) return false;
    out->width = std::popcount(run);
    return true;
}

// A channel's field as 0..255, rounded to nearest.
uint32_t ToByte(uint32_t pixel, const Channel& c) {
    if (c.width == 0) return 0;
    const uint64_t max = c.width >= 32 ? 0xFFFFFFFFull : (1ull << c.width) - 1;
    const uint64_t v = (pixel & c.mask) >> c.shift;
    return static_cast<uint32_t>((v * 255 + max / 2) / max);
}

// A 0..255 value placed in a destination channel: narrowed by truncation, widened by scaling.
uint32_t FromByte(uint32_t value, const Channel& c) {
    if (c.width == 0) return 0;
    uint64_t field;
    if (c.width <= 8) {
        field = value >> (8 - c.width);
    } else {
        const uint64_t max = c.width >= 32 ? 0xFFFFFFFFull : (1ull << c.width) - 1;
        field = value * max / 255;
    }
    return static_cast<uint32_t>(field << c.shift);
}

uint32_t ReadLe(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
}

void WriteLe(uint8_t* p, int bytes, uint32_t v) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

struct SourceLayout {
    uint32_t bitCount;
    Channel r, g, b;
    const RgbQuad* colors;
};

// The colour of pixel x of a stored row, as B, G, R bytes.
void ReadSourcePixel(const SourceLayout& s, const uint8_t* row, int64_t x, uint8_t* bgr) {
    switch (s.bitCount) {
        case 1:
        case 4:
        case 8: {
            const int64_t bit = x * s.bitCount;
            const uint8_t byte = row[bit / 8];
            const int shift = static_cast<int>(8 - s.bitCount - bit % 8);
            const uint32_t index = (byte >> shift) & ((1u << s.bitCount) - 1);
            const RgbQuad& q = s.colors[index];
            bgr[0] = q.blue;
            bgr[1] = q.green;
            bgr[2] = q.red;
            return;
        }
        case 24: {
            const uint8_t* p = row + x * 3;
            bgr[0] = p[0];
            bgr[1] = p[1];
            bgr[2] = p[2];
            return;
        }
        default: {
            const int bytes = static_cast<int>(s.bitCount / 8);
            const uint32_t pixel = ReadLe(row + x * bytes, bytes);
            bgr[0] = static_cast<uint8_t>(ToByte(pixel, s.b));
            bgr[1] = static_cast<uint8_t>(ToByte(pixel, s.g));
            bgr[2] = static_cast<uint8_t>(ToByte(pixel, s.r));
            return;
        }
    }
}

bool MakeSourceLayout(const BitmapInfo& info, SourceLayout* s) {
    const BitmapInfoHeader& h = info.header;
    s->bitCount = h.bitCount;
    s->colors = info.colors;
    switch (h.bitCount) {
        case 1:
        case 4:
        case 8:
        case 24: return h.compression == BI_RGB;
        case 16:
        case 32: break;
        default: return false;
    }
    uint32_t r, g, b;
    if (h.compression == BI_RGB) {
        r = h.bitCount == 16 ? 0x7C00 : 0xFF0000;
        g = h.bitCount == 16 ? 0x03E0 : 0xFF00;
        b = h.bitCount == 16 ? 0x001F : 0xFF;
    } else if (h.compression == BI_BITFIELDS) {
        r = info.masks[0];
        g = info.masks[1];
        b = info.masks[2];
        if ((r & g) != 0 || (r & b) != 0 || (g & b) != 0) return false;
    } else {
        return false;
    }
    return MakeChannel(r, h.bitCount, &s->r) && MakeChannel(g, h.bitCount, &s->g) &&
           MakeChannel(b, h.bitCount, &s->b);
}

}  // namespace

int32_t SetDIBitsToDevice(DeviceContext* dc, int32_t xDest, int32_t yDest, uint32_t width,
                          uint32_t height, int32_t xSrc, int32_t ySrc, uint32_t startScan,
                          uint32_t scanLines, const void* bits, size_t bitsSize,
                          const BitmapInfo* info, uint32_t colorUse) {
    DcTarget target;
    if (!GetDCTarget(dc, &target) || info == nullptr || bits == nullptr ||
        colorUse != DIB_RGB_COLORS) {
        return 0;
    }
    const BitmapInfoHeader& h = info->header;
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return 0;
    SourceLayout source;
    if (!MakeSourceLayout(*info, &source)) return 0;

    Channel outR, outG, outB;
    if (target.bitCount == 16 || target.bitCount == 32) {
        if (!MakeChannel(target.redMask, target.bitCount, &outR) ||
            !MakeChannel(target.greenMask, target.bitCount, &outG) ||
            !MakeChannel(target.blueMask, target.bitCount, &outB)) {
            return 0;
        }
    } else if (target.bitCount != 24) {
        return 0;
    }

    const int64_t pictureWidth = h.width;
    const int64_t pictureHeight = h.height < 0 ? -static_cast<int64_t>(h.height) : h.height;
    const bool bottomUp = h.height > 0;
    const uint64_t stride = (static_cast<uint64_t>(h.width) * h.bitCount + 31) / 32 * 4;
    if (static_cast<uint64_t>(startScan) + scanLines > static_cast<uint64_t>(pictureHeight)) {
        return 0;
    }
    // Division instead of a product, which could wrap for absurd sizes.
    if (scanLines != 0 && stride > bitsSize / scanLines) return 0;

    // The picture rectangle to draw, clipped to the picture.
    const int64_t x0 = xSrc < 0 ? 0 : xSrc;
    const int64_t x1 = std::min<int64_t>(static_cast<int64_t>(xSrc) + width, pictureWidth);
    const int64_t y0 = ySrc < 0 ? 0 : ySrc;
    const int64_t y1 = std::min<int64_t>(static_cast<int64_t>(ySrc) + height, pictureHeight);
    const int outBytes = static_cast<int>(target.bitCount / 8);

    const auto* data = static_cast<const uint8_t*>(bits);
    for (uint32_t i = 0; i < scanLines; ++i) {
        const int64_t stored = static_cast<int64_t>(startScan) + i;
        const int64_t y = bottomUp ? pictureHeight - 1 - stored : stored;
        if (y < y0 || y >= y1) continue;
        const int64_t dy = static_cast<int64_t>(yDest) + (y - ySrc);
        if (dy < 0 || dy >= target.height) continue;
        const uint8_t* row = data + stride * i;
        uint8_t* outRow = target.top + dy * target.rowStep;
        for (int64_t x = x0; x < x1; ++x) {
            const int64_t dx = static_cast<int64_t>(xDest) + (x - xSrc);
            if (dx < 0 || dx >= target.width) continue;
            uint8_t bgr[3];
            ReadSourcePixel(source, row, x, bgr);
            uint8_t* out = outRow + dx * outBytes;
            if (outBytes == 3) {
                std::memcpy(out, bgr, 3);
            } else {
                WriteLe(out, outBytes, FromByte(bgr[2], outR) | FromByte(bgr[1], outG) |
                                           FromByte(bgr[0], outB));
            }
        }
    }
    return static_cast<int32_t>(scanLines);
}

}  // namespace plat
