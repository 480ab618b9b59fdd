// A glyph's outline as the font draws it: hinted at the font's size, emboldened for bold
// weights, slanted for italic, then put through the caller's transform.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include "platform/font/font_record.h"

namespace plat {

namespace {

// The slant of the italic: tan(12°) in 16.16, as FreeType's own oblique.
constexpr FT_Fixed kItalicSlant = 0x0366A;

}  // namespace

bool LoadShapedGlyph(Font* font, FT_UInt glyph, const FT_Matrix* transform,
                     FT_Vector* advance) {
    FT_Face face = font->face;
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_BITMAP) != 0) return false;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return false;
    FT_Outline* outline = &slot->outline;
    FT_Vector pen{slot->advance.x, 0};

    if (font->emboldenPixels > 0) {
        // Widen by whole pixels to the right only, so that hinted left edges stay on the
        // pixel grid and the glyph grows as its advance does.
        const FT_Pos strength = FT_Pos(font->emboldenPixels) * 64;
        if (outline->n_points > 0) {
            FT_Outline_EmboldenXY(outline, strength, 0);
            FT_Outline_Translate(outline, strength / 2, 0);
        }
        pen.x += strength;
    }
    if (font->shear) {
        FT_Matrix slant{0x10000, kItalicSlant, 0, 0x10000};
        FT_Outline_Transform(outline, &slant);
    }
    if (transform != nullptr) {
        FT_Outline_Transform(outline, transform);
        FT_Vector_Transform(&pen, transform);
    }
    *advance = pen;
    return true;
}

}  // namespace plat
