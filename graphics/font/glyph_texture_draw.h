// Drawing glyphs of a texture cache: each glyph is a rectangle of the font's cache graph drawn
// through the graph drawing family onto the current draw target, tinted with the bright (the
// edge from the edge graph in the edge colour first, then the glyph in the text colour).
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "graphics/font/font_record.h"
#include "softrender/records/rect.h"

// What a string's glyphs are drawn with, and the draw state they put back.
struct TextureGlyphDraw {
    uint32_t textRgb, edgeRgb;  // 0x00RRGGBB, the draw bright already applied
    int scaled;
    double scaleX, scaleY;
    uint32_t savedBright;
    HandleValue savedBlendGraph;
    int32_t savedBorderParam, savedBorderRange;
};

// Switches the blend graph off for the string and remembers the bright.
void BeginTextureGlyphs(TextureGlyphDraw* draw);
// Draws the entry's glyph with its cell at (cellX, cellY) of the cache into dest (the glyph's
// rectangle on the target, already scaled; vertical: the glyph turned 90° clockwise in it).
void DrawTextureGlyph(const TextureGlyphDraw& draw, const FontRecord& font,
                      const GlyphCacheEntry& entry, int32_t cellX, int32_t cellY,
                      const RECT& dest, int vertical);
// Puts the blend graph and the bright back.
void EndTextureGlyphs(const TextureGlyphDraw& draw);
