// Writing one glyph bitmap (as GetGlyphOutlineA gives it) into its cell of a software cache.
#pragma once
#include <cstdint>

#include "graphics/font/font_record.h"

// The glyph bitmap: width × height pixels in rows of rowBytes; 1 bit per pixel (most
// significant bit first) or one gray level 0..16 per byte.
struct GlyphBitmap {
    const uint8_t* bits;
    int32_t width, height;
    int32_t rowBytes;
};

// Writes the glyph into the cell at row cellTop of the font's software cache, after the cell
// was cleared: type 0 copies the bits, type 2 stores levels v - 1, type 1 marks glyph pixels 1
// and their edge 2, type 3 keeps the level in the low nibble and the edge's level in the high
// nibble. The glyph lies edge pixels right of and below the cell's corner (edge types); all
// that falls outside the cell is cut off.
void WriteGlyphToCell(const FontRecord& font, int32_t cellTop, const GlyphBitmap& glyph);

// 1 when the edge stamp of the size covers (dx, dy), each -size..size.
int EdgeStampCovers(int32_t size, int32_t dx, int32_t dy);

// Texture cache: composes the glyph (after the glyph image was cleared) in the font's glyph
// image, in the cache graph's texture format, as coverage levels 0..16 turned into white
// pixels with that alpha: type 0 and 1 glyphs fully covered, antialias types with their gray
// levels; for edge types the glyph lies at (edge, edge) of the image's left half and its edge
// (the stamp around every glyph pixel, levels united) in the right half. Then transfers the
// glyph's rectangle into the cell at (cellX, cellY) of the cache graph, and for edge types the
// edge's rectangle into the edge half at (cellX + cache width, cellY).
void WriteGlyphToTexture(FontRecord& font, int32_t cellX, int32_t cellY, const GlyphBitmap& glyph);
