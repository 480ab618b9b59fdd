// The walk of a string through a font's glyph cache: measuring the line, or painting each
// glyph from its cell into a software image.
#include <cmath>

#include "graphics/draw_state_record.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/font/font.h"
#include "graphics/font/glyph_paint.h"
#include "graphics/font/string_draw.h"
#include "graphics/screen/screen.h"

namespace {

constexpr uint16_t kKeySpace = 0x20;
constexpr uint16_t kKeyWideSpace = 0x4081;

// A screen colour with the draw bright applied to each channel.
uint32_t BrightColour(uint32_t colour, uint32_t bright) {
    if ((bright & 0xFFFFFF) == kBrightWhite) return colour;
    int32_t r = 0, g = 0, b = 0;
    GetScreenColorRGB(colour, &r, &g, &b);
    r = r * static_cast<int32_t>((bright >> 16) & 0xFF) / 255;
    g = g * static_cast<int32_t>((bright >> 8) & 0xFF) / 255;
    b = b * static_cast<int32_t>(bright & 0xFF) / 255;
    return MakeScreenColor(r, g, b);
}

int32_t Round(double v) { return static_cast<int32_t>(std::lround(v)); }

}  // namespace

int DrawCachedString(int mode, int32_t x, int32_t y, int /*scaled*/, double /*scaleX*/,
                     double /*scaleY*/, const char* string, uint32_t colour, MEMIMG* dest,
                     const RECT* clip, int transparent, HandleValue font, uint32_t edgeColour,
                     int32_t length, int vertical, StringSize* size) {
    if (ScreenSlot()->isNoDirectDraw() == 0 && ScreenSlot()->hasDirectDrawObject() == 0) return -1;
    FontRecord* f = GetFontRecord(font);
    if (f == nullptr) return -1;
    // A software cache draws unscaled; the scales belong to the texture cache.
    const double scale = 1.0;
    if (size != nullptr) *size = vertical ? StringSize{f->lineHeight, 0} : StringSize{0, f->lineHeight};
    if (string == nullptr || string[0] == '\0') return 0;

    GlyphPaint paint;
    const bool draw = mode == 1 && dest != nullptr && MemImgHasPixels(dest) && clip != nullptr;
    if (draw) {
        const uint32_t bright = GetDrawState().bright;
        BuildGlyphPaint(*f, BrightColour(colour, bright), BrightColour(edgeColour, bright), *dest,
                        transparent, &paint);
    }

    GlyphItem items[kGlyphItemCapacity];
    double pen = 0.0;
    int32_t pos = 0;
    while (string[pos] != '\0' && (length < 0 || pos < length)) {
        int32_t count = 0, used = 0;
        if (CacheStringGlyphs(font, string + pos, length < 0 ? -1 : length - pos, items, &count,
                              &used) != 0 ||
            used == 0) {
            break;
        }
        for (int32_t i = 0; i < count; ++i) {
            // Looked up at its turn: an earlier character of the pass may have taken its entry.
            const GlyphCacheEntry* e = GetGlyphEntry(font, items[i].key);
            if (e == nullptr) return -1;
            const uint16_t key = items[i].key;
            if (draw && key != kKeySpace && key != kKeyWideSpace && (e->width != 0 || e->height != 0)) {
                const int32_t p = Round(pen);
                if (vertical) {
                    PaintGlyph(*f, *e, paint, dest, *clip, x + f->lineHeight - e->offsetY - e->height,
                               y + e->offsetX + p, 1);
                } else {
                    PaintGlyph(*f, *e, paint, dest, *clip, x + e->offsetX + p, y + e->offsetY, 0);
                }
            }
            pen += (e->advance + f->spacing) * scale;
        }
        pos += used;
    }
    const int32_t advance = Round(pen);
    if (size != nullptr) *size = vertical ? StringSize{f->lineHeight, advance} : StringSize{advance, f->lineHeight};
    return advance;
}
