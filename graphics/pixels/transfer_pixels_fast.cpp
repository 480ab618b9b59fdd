// The dedicated loops of TransferPixels for the pairs that loading and presenting use most:
// paletted images through a table of converted entries, 8-8-8 colour into 32-bit 8-8-8 and
// into 5-6-5, and 5-6-5 into 32-bit 8-8-8. Each decides once whether the job is its pair and
// then runs one loop without per-pixel format decisions; the results equal those of the
// channel-by-channel conversion.
#include <cstring>

#include "graphics/pixels/transfer_pixels_internal.h"

namespace transfer_detail {

namespace {

bool Is888(const ColorFormat& f) {
    return f.maskR == 0xFF0000 && f.maskG == 0xFF00 && f.maskB == 0xFF;
}

// A 24- or 32-bit source with 8-8-8 colour (and, at 32 bits, alpha in the top byte or none).
bool Is888Source(const ColorFormat& f) {
    return Is888(f) && ((f.bits == 24 && f.maskA == 0) ||
                        (f.bits == 32 && (f.maskA == 0 || f.maskA == 0xFF000000)));
}

bool Is8888Dest(const ColorFormat& f) {
    return f.bits == 32 && Is888(f) && (f.maskA == 0 || f.maskA == 0xFF000000);
}

bool Is565(const ColorFormat& f) {
    return f.bits == 16 && f.maskR == 0xF800 && f.maskG == 0x07E0 && f.maskB == 0x001F &&
           f.maskA == 0;
}

// The destination value of source value p without dithering (alpha from the source, the key
// test or full; never from an alpha image).
uint32_t ConvertPlain(const TransferJob& j, uint32_t p) {
    const ColorFormat& D = *j.D;
    uint64_t out = D.noUseMask;
    bool keyMatch = true;
    for (int c = 0; c < 3; ++c) {
        const ChannelMap& map = j.channel[c];
        if (map.destWidth == 0) continue;
        const uint64_t v = ConvertChannel(map, p, kDitherNone, 0, nullptr);
        out |= v << map.destShift;
        keyMatch = keyMatch && v == j.keyFields[c];
    }
    if (D.widthA != 0) {
        const uint64_t full = j.alphaMap.destMax;
        uint64_t alpha = full;
        if (j.alphaFromSource) {
            alpha = ConvertChannel(j.alphaMap, p, kDitherNone, 0, nullptr);
        } else if (j.keyToAlpha) {
            alpha = keyMatch ? 0 : full;
        }
        out |= alpha << D.shiftA;
    }
    return static_cast<uint32_t>(out);
}

}  // namespace

bool TransferThroughPaletteTable(const TransferJob& j) {
    if (j.S->bytes != 1 || j.alphaFromImage) return false;
    if (j.dither != kDitherNone) {
        for (const ChannelMap& c : j.channel) {
            if (c.drop != 0) return false;
        }
    }
    uint32_t table[256];
    for (int i = 0; i < 256; ++i) table[i] = ConvertPlain(j, PaletteValue(j.sourcePalette[i]));
    const int db = j.D->bytes;
    const uint8_t key = static_cast<uint8_t>(j.colorKey);
    for (int32_t y = 0; y < j.height; ++y) {
        const uint8_t* s = SourceRow(j, y);
        uint8_t* d = DestRow(j, y);
        for (int32_t i = 0; i < j.width; ++i) {
            const uint8_t index = s[i];
            if (j.keySkip && index == key) continue;
            StorePixel(d + static_cast<int64_t>(DestColumn(j, i)) * db, db, table[index]);
        }
    }
    return true;
}

bool TransferRgb888To8888(const TransferJob& j) {
    if (!Is888Source(*j.S) || !Is8888Dest(*j.D) || j.alphaFromImage) return false;
    const int sb = j.S->bytes;
    const uint32_t fixedBits =
        j.D->noUseMask | (j.D->widthA != 0 && !j.alphaFromSource && !j.keyToAlpha ? 0xFF000000u : 0);
    const uint32_t sourceAlphaBits = j.alphaFromSource ? 0xFF000000u : 0;
    const uint32_t key = j.colorKey & 0xFFFFFF;
    for (int32_t y = 0; y < j.height; ++y) {
        const uint8_t* s = SourceRow(j, y);
        uint8_t* d = DestRow(j, y);
        for (int32_t i = 0; i < j.width; ++i) {
            const uint32_t p = LoadPixel(s + static_cast<int64_t>(i) * sb, sb);
            const uint32_t colour = p & 0xFFFFFF;
            if (j.keySkip && colour == key) continue;
            uint32_t out = colour | fixedBits | (p & sourceAlphaBits);
            if (j.keyToAlpha && colour != key) out |= 0xFF000000u;
            std::memcpy(d + static_cast<int64_t>(DestColumn(j, i)) * 4, &out, 4);
        }
    }
    return true;
}

bool TransferRgb888To565(const TransferJob& j) {
    if (!Is888Source(*j.S) || !Is565(*j.D) || j.dither == kDitherCarry) return false;
    const int sb = j.S->bytes;
    const uint32_t key = j.colorKey & 0xFFFFFF;
    const uint32_t noUse = j.D->noUseMask;
    for (int32_t y = 0; y < j.height; ++y) {
        const uint8_t* s = SourceRow(j, y);
        uint8_t* d = DestRow(j, y);
        // Thresholds of this row's matrix entries for 3 and 2 dropped bits.
        uint32_t t5[4], t6[4];
        for (int x = 0; x < 4; ++x) {
            const uint32_t m = kDitherMatrix[(j.destY + y) & 3][x];
            t5[x] = j.dither == kDitherOrdered ? (m * 7) >> 4 : 7;
            t6[x] = j.dither == kDitherOrdered ? (m * 3) >> 4 : 3;
        }
        for (int32_t i = 0; i < j.width; ++i) {
            const uint32_t p = LoadPixel(s + static_cast<int64_t>(i) * sb, sb);
            if (j.keySkip && (p & 0xFFFFFF) == key) continue;
            const int32_t column = DestColumn(j, i);
            const int x = (j.destX + column) & 3;
            const uint32_t r8 = (p >> 16) & 0xFF, g8 = (p >> 8) & 0xFF, b8 = p & 0xFF;
            uint32_t r = (r8 >> 3) + ((r8 & 7) > t5[x] ? 1 : 0);
            uint32_t g = (g8 >> 2) + ((g8 & 3) > t6[x] ? 1 : 0);
            uint32_t b = (b8 >> 3) + ((b8 & 7) > t5[x] ? 1 : 0);
            if (r > 31) r = 31;
            if (g > 63) g = 63;
            if (b > 31) b = 31;
            StorePixel(d + static_cast<int64_t>(column) * 2, 2, noUse | r << 11 | g << 5 | b);
        }
    }
    return true;
}

bool TransferRgb565To8888(const TransferJob& j) {
    if (!Is565(*j.S) || !Is8888Dest(*j.D) || j.alphaFromImage) return false;
    uint8_t wide5[32], wide6[64];
    for (uint32_t v = 0; v < 32; ++v) wide5[v] = static_cast<uint8_t>((v << 3) + v * 7 / 31);
    for (uint32_t v = 0; v < 64; ++v) wide6[v] = static_cast<uint8_t>((v << 2) + v * 3 / 63);
    const uint32_t fixedBits =
        j.D->noUseMask | (j.D->widthA != 0 && !j.keyToAlpha ? 0xFF000000u : 0);
    const uint32_t key = j.colorKey & 0xFFFFFF;
    const uint32_t keyMask = j.keyMask;
    for (int32_t y = 0; y < j.height; ++y) {
        const uint8_t* s = SourceRow(j, y);
        uint8_t* d = DestRow(j, y);
        for (int32_t i = 0; i < j.width; ++i) {
            const uint32_t p = LoadPixel(s + static_cast<int64_t>(i) * 2, 2);
            if (j.keySkip && (p & keyMask) == (j.colorKey & keyMask)) continue;
            const uint32_t colour = static_cast<uint32_t>(wide5[p >> 11]) << 16 |
                                    static_cast<uint32_t>(wide6[(p >> 5) & 63]) << 8 |
                                    wide5[p & 31];
            uint32_t out = colour | fixedBits;
            if (j.keyToAlpha && colour != key) out |= 0xFF000000u;
            std::memcpy(d + static_cast<int64_t>(DestColumn(j, i)) * 4, &out, 4);
        }
    }
    return true;
}

}  // namespace transfer_detail
