// Cell values to pixels, and the per-glyph copy from the cache into a software image.
#include "graphics/font/glyph_paint.h"

#include <cstring>

#include "graphics/graphs/draw_state_record.h"

namespace {

uint32_t ColourBits(const ColorFormat& f) { return f.maskR | f.maskG | f.maskB; }

uint32_t WithAlpha(const ColorFormat& f, uint32_t colour, uint32_t alpha) {
    return (colour & ColourBits(f)) | ((alpha << f.shiftA) & f.maskA);
}

// E + (T - E) × t / 256 in every colour channel.
uint32_t MixChannels(const ColorFormat& f, uint32_t text, uint32_t edge, int32_t t) {
    uint32_t out = 0;
    const uint32_t masks[3] = {f.maskR, f.maskG, f.maskB};
    const uint8_t shifts[3] = {f.shiftR, f.shiftG, f.shiftB};
    for (int i = 0; i < 3; ++i) {
        const int32_t tc = static_cast<int32_t>((text & masks[i]) >> shifts[i]);
        const int32_t ec = static_cast<int32_t>((edge & masks[i]) >> shifts[i]);
        const int32_t c = ec + ((tc - ec) * t >> 8);
        out |= (static_cast<uint32_t>(c) << shifts[i]) & masks[i];
    }
    return out;
}

void Set(GlyphPaint* p, const ColorFormat& f, bool hasAlpha, int value, uint32_t colour,
         uint32_t alpha) {
    if (!hasAlpha && alpha < 128) return;
    p->write[value] = 1;
    p->pixel[value] = hasAlpha ? WithAlpha(f, colour, alpha) : (colour & ColourBits(f));
}

template <bool kBits>
uint8_t CellValue(const uint8_t* row, int32_t c) {
    if constexpr (kBits) {
        return static_cast<uint8_t>((row[c >> 3] >> (7 - (c & 7))) & 1);
    } else {
        return row[c];
    }
}

template <bool kBits, int kBytes>
void PaintLoop(const FontRecord& font, const uint8_t* cell, const GlyphPaint& paint, MEMIMG* dest,
               const RECT& box, int32_t left, int32_t top, int32_t right, int vertical) {
    const size_t pitch = font.softPitch;
    for (int32_t dy = box.top; dy < box.bottom; ++dy) {
        uint8_t* out = dest->pixels + static_cast<ptrdiff_t>(dy) * dest->pitch +
                       static_cast<ptrdiff_t>(box.left) * kBytes;
        for (int32_t dx = box.left; dx < box.right; ++dx, out += kBytes) {
            // Horizontal: cell (dx - left, dy - top); vertical: the cell's row r lands on
            // column right - 1 - r and its column c on row top + c.
            const int32_t c = vertical ? dy - top : dx - left;
            const int32_t r = vertical ? right - 1 - dx : dy - top;
            const uint8_t v = CellValue<kBits>(cell + static_cast<size_t>(r) * pitch, c);
            if (!paint.write[v]) {
                if (paint.transparent) continue;
                std::memset(out, 0, kBytes);
                continue;
            }
            if constexpr (kBytes == 2) {
                const uint16_t px = static_cast<uint16_t>(paint.pixel[v]);
                std::memcpy(out, &px, 2);
            } else {
                std::memcpy(out, &paint.pixel[v], 4);
            }
        }
    }
}

}  // namespace

void BuildGlyphPaint(const FontRecord& font, uint32_t text, uint32_t edge, const MEMIMG& dest,
                     int transparent, GlyphPaint* p) {
    std::memset(p, 0, sizeof *p);
    p->transparent = transparent;
    p->bitCells = font.softBits == 1 ? 1 : 0;
    if (dest.colorFormat == nullptr || dest.paletted ||
        (dest.colorFormat->bytes != 2 && dest.colorFormat->bytes != 4)) {
        return;
    }
    p->bytes = dest.colorFormat->bytes;
    const ColorFormat& f = *dest.colorFormat;
    const bool alpha = dest.alpha != 0 && f.maskA != 0;
    switch (font.type) {
        case kFontTypeNormal:
            Set(p, f, alpha, 1, text, 255);
            break;
        case kFontTypeEdge:
            Set(p, f, alpha, 1, text, 255);
            Set(p, f, alpha, 2, edge, 255);
            break;
        case kFontTypeAntialias:
            for (int l = 1; l <= 15; ++l) Set(p, f, alpha, l, text, static_cast<uint32_t>(l * 16));
            break;
        default:
            for (int v = 1; v < 256; ++v) {
                const int g = v & 15, e = v >> 4;
                if (g == 0) {
                    Set(p, f, alpha, v, edge, static_cast<uint32_t>(e * 16));
                } else if (g == 15) {
                    Set(p, f, alpha, v, text, 255);
                } else {
                    const int a = e * (15 - g) + 16 * g;
                    const int t = (g * 4096) / a;
                    Set(p, f, alpha, v, MixChannels(f, text, edge, t), static_cast<uint32_t>(a));
                }
            }
            break;
    }
}

void PaintGlyph(const FontRecord& font, const GlyphCacheEntry& entry, const GlyphPaint& paint,
                MEMIMG* dest, const RECT& clip, int32_t left, int32_t top, int vertical) {
    if (paint.bytes == 0 || entry.cellIndex < 0 || font.softBitmap == nullptr) return;
    const int32_t w = vertical ? entry.height : entry.width;
    const int32_t h = vertical ? entry.width : entry.height;
    RECT box{left, top, left + w, top + h};
    ClipRectInPlace(&box, &clip);
    const RECT image{0, 0, dest->width, dest->height};
    ClipRectInPlace(&box, &image);
    if (box.left >= box.right || box.top >= box.bottom) return;
    const uint8_t* cell = font.softBitmap + static_cast<size_t>(font.cell) *
                                                (entry.cellIndex % font.cacheRows) * font.softPitch;
    const int32_t right = left + w;
    if (paint.bitCells) {
        if (paint.bytes == 2) {
            PaintLoop<true, 2>(font, cell, paint, dest, box, left, top, right, vertical);
        } else {
            PaintLoop<true, 4>(font, cell, paint, dest, box, left, top, right, vertical);
        }
    } else if (paint.bytes == 2) {
        PaintLoop<false, 2>(font, cell, paint, dest, box, left, top, right, vertical);
    } else {
        PaintLoop<false, 4>(font, cell, paint, dest, box, left, top, right, vertical);
    }
}
