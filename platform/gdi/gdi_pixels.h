// Internal to the platform layer: the pixel conversions the GDI files share (channels from
// masks, a DIB's source layout, reading and writing pixels of a device context's target).
#pragma once
#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/gdi/gdi_internal.h"

namespace plat::gdi {

struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int width = 0;
};

// A contiguous mask inside the pixel; a zero mask is an absent channel.
inline bool MakeChannel(uint32_t mask, uint32_t bits, Channel* out) {
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
inline uint32_t ToByte(uint32_t pixel, const Channel& c) {
    if (c.width == 0) return 0;
    const uint64_t max = c.width >= 32 ? 0xFFFFFFFFull : (1ull << c.width) - 1;
    const uint64_t v = (pixel & c.mask) >> c.shift;
    return static_cast<uint32_t>((v * 255 + max / 2) / max);
}

// A 0..255 value placed in a destination channel: narrowed by truncation, widened by scaling.
inline uint32_t FromByte(uint32_t value, const Channel& c) {
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

inline uint32_t ReadLe(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
}

inline void WriteLe(uint8_t* p, int bytes, uint32_t v) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

struct SourceLayout {
    uint32_t bitCount;
    Channel r, g, b;
    const RgbQuad* colors;
};

// The colour of pixel x of a stored row, as B, G, R bytes.
inline void ReadSourcePixel(const SourceLayout& s, const uint8_t* row, int64_t x, uint8_t* bgr) {
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

inline bool MakeSourceLayout(const BitmapInfo& info, SourceLayout* s) {
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

// The channels of a target (16 and 32 bits by its masks; 24 bits B, G, R; 8 bits none).
struct TargetLayout {
    uint32_t bytes = 0;
    Channel r, g, b;
};

inline bool MakeTargetLayout(const DcTarget& t, TargetLayout* out) {
    out->bytes = t.bitCount / 8;
    if (t.bitCount == 24) return true;
    if (t.bitCount != 16 && t.bitCount != 32) return false;
    return MakeChannel(t.redMask, t.bitCount, &out->r) &&
           MakeChannel(t.greenMask, t.bitCount, &out->g) &&
           MakeChannel(t.blueMask, t.bitCount, &out->b);
}

inline void ReadTargetPixel(const TargetLayout& l, const uint8_t* p, uint8_t* bgr) {
    if (l.bytes == 3) {
        std::memcpy(bgr, p, 3);
        return;
    }
    const uint32_t pixel = ReadLe(p, static_cast<int>(l.bytes));
    bgr[0] = static_cast<uint8_t>(ToByte(pixel, l.b));
    bgr[1] = static_cast<uint8_t>(ToByte(pixel, l.g));
    bgr[2] = static_cast<uint8_t>(ToByte(pixel, l.r));
}

inline void WriteTargetPixel(const TargetLayout& l, uint8_t* p, const uint8_t* bgr) {
    if (l.bytes == 3) {
        std::memcpy(p, bgr, 3);
        return;
    }
    WriteLe(p, static_cast<int>(l.bytes),
            FromByte(bgr[2], l.r) | FromByte(bgr[1], l.g) | FromByte(bgr[0], l.b));
}

}  // namespace plat::gdi
