// Internal to the platform's fonts: the record behind a Font and the calls the font files
// share. Everything here is used with FontEngineLock held.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>

#include "platform/font/gdi_font.h"

namespace plat {

struct Font {
    FT_Face face = nullptr;     // sized to this font (FT_Set_Char_Size at creation)
    int32_t emboldenPixels = 0; // added to the right of every glyph and to its advance
    bool shear = false;         // italic: outlines are slanted to the right
    TextMetric metrics{};       // what GetTextMetricsA reports
    int32_t selections = 0;     // device contexts it is selected into
};

// The font selected into dc, or null.
Font* SelectedFont(DeviceContext* dc);

// The face's glyph for a character code (see gdi_font.h): glyph 0, the missing glyph, when
// Shift-JIS does not map the code or the face has no glyph for the character.
FT_UInt GlyphIndexForCode(FT_Face face, uint32_t code);

// Loads a glyph into font->face->glyph as a hinted outline in 26.6 pixels (y up), emboldened
// and sheared as the font says, then transformed by transform (null: none), and gives its
// advance after all of that. False when FreeType refuses the glyph or it has no outline.
bool LoadShapedGlyph(Font* font, FT_UInt glyph, const FT_Matrix* transform,
                     FT_Vector* advance);

}  // namespace plat

namespace plat {

// Bytes per row of a glyph bitmap width pixels wide in a GGO_* bitmap format: 1 bit per pixel
// for GGO_BITMAP, one byte for the gray formats, padded to a multiple of 4.
uint64_t GlyphRowBytes(uint32_t format, uint32_t width);

// Renders outline (26.6 pixels, y up) into buffer: height rows of GlyphRowBytes, top row
// first, covering the pixels from (left, bottom) to (left + width, bottom + height). The
// buffer is cleared first. Gray formats get levels 0..4, 0..16 or 0..64. False when FreeType
// refuses the outline.
bool RenderGlyphBitmap(FT_Outline* outline, uint32_t format, int32_t left, int32_t bottom,
                       uint32_t width, uint32_t height, uint8_t* buffer);

}  // namespace plat
