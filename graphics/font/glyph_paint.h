// Painting cached glyphs into a software image: what each cell value writes (decided once per
// string), and the copy of one cell's glyph to its place, turned for vertical text.
#pragma once
#include <cstdint>

#include "graphics/font/font_record.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

// Per cell value (a bit for type 0, a byte otherwise): whether a pixel is written and which.
struct GlyphPaint {
    uint32_t pixel[256];
    uint8_t write[256];
    int32_t bytes;        // destination bytes per pixel: 2 or 4 (0: nothing can be painted)
    int32_t transparent;  // 1: empty cell pixels leave the destination alone; 0: write 0
    int32_t bitCells;     // 1: the cache holds 1 bit per pixel
};

// The paint of a font type with text colour T and edge colour E (pixel values of dest's
// format): type 0 and 1 write T (and E for edge pixels); antialias types write T, E or their
// mix with the cell's coverage as alpha (into a destination without alpha only where the
// coverage is at least half).
void BuildGlyphPaint(const FontRecord& font, uint32_t text, uint32_t edge, const MEMIMG& dest,
                     int transparent, GlyphPaint* paint);

// Paints the entry's glyph with its cell's top-left at (left, top) of dest, clipped to clip.
// Vertical: the cell turned 90° clockwise, its rows running right to left from right - 1.
void PaintGlyph(const FontRecord& font, const GlyphCacheEntry& entry, const GlyphPaint& paint,
                MEMIMG* dest, const RECT& clip, int32_t left, int32_t top, int vertical);
