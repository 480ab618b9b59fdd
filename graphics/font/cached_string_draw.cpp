// The walk of a string through a font's glyph cache: measuring the line, painting each glyph
// from its cell into a software image (software cache), or drawing each glyph as a rectangle
// of the cache graph on the draw target (texture cache).
#include <cmath>

#include "graphics/graphs/draw_state_record.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/font/font.h"
#include "graphics/font/glyph_paint.h"
#include "graphics/font/glyph_texture_draw.h"
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

// A screen colour as 0x00RRGGBB.
uint32_t PackedRgb(uint32_t colour) {
    int32_t r = 0, g = 0, b = 0;
    GetScreenColorRGB(colour, &r, &g, &b);
    return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b);
}

// Where a glyph of a texture cache lands: its cell's rectangle on the target, scaled (each
// product rounded) when asked; vertical lines turn the axes (the glyph turned 90° clockwise).
RECT TextureGlyphRect(const FontRecord& f, const GlyphCacheEntry& e, int32_t x, int32_t y,
                      double pen, int scaled, double scaleX, double scaleY, int vertical) {
    if (!scaled) {
        const int32_t p = Round(pen);
        if (vertical) {
            const int32_t right = x + f.lineHeight - e.offsetY;
            const int32_t top = y + e.offsetX + p;
            return RECT{right - e.height, top, right, top + e.width};
        }
        const int32_t left = x + e.offsetX + p;
        const int32_t top = y + e.offsetY;
        return RECT{left, top, left + e.width, top + e.height};
    }
    if (vertical) {
        const int32_t right = x + Round((f.lineHeight - e.offsetY) * scaleX);
        const int32_t top = y + Round(e.offsetX * scaleY + pen);
        return RECT{right - Round(e.height * scaleX), top, right, top + Round(e.width * scaleY)};
    }
    const int32_t left = x + Round(e.offsetX * scaleX + pen);
    const int32_t top = y + Round(e.offsetY * scaleY);
    return RECT{left, top, left + Round(e.width * scaleX), top + Round(e.height * scaleY)};
}

}  // namespace

int DrawCachedString(int mode, int32_t x, int32_t y, int scaled, double scaleX, double scaleY,
                     const char* string, uint32_t colour, MEMIMG* dest, const RECT* clip,
                     int transparent, HandleValue font, uint32_t edgeColour, int32_t length,
                     int vertical, StringSize* size) {
    if (ScreenSlot()->isNoDirectDraw() == 0 && ScreenSlot()->hasDirectDrawObject() == 0) return -1;
    FontRecord* f = GetFontRecord(font);
    if (f == nullptr) return -1;
    // A texture cache draws through graph draws onto the draw target (no destination image);
    // the scales apply to it alone.
    const bool textureDraw = mode == 1 && f->textureCache != 0 && dest == nullptr;
    if (!textureDraw || !scaled) {
        scaled = 0;
        scaleX = scaleY = 1.0;
    }
    const double scale = vertical ? scaleY : scaleX;
    if (size != nullptr) *size = vertical ? StringSize{f->lineHeight, 0} : StringSize{0, f->lineHeight};
    if (string == nullptr || string[0] == '\0') return 0;

    const uint32_t bright = GetDrawState().bright;
    GlyphPaint paint;
    const bool draw = mode == 1 && dest != nullptr && MemImgHasPixels(dest) && clip != nullptr;
    if (draw) {
        BuildGlyphPaint(*f, BrightColour(colour, bright), BrightColour(edgeColour, bright), *dest,
                        transparent, &paint);
    }
    TextureGlyphDraw textures{};
    if (textureDraw) {
        textures.textRgb = PackedRgb(BrightColour(colour, bright));
        textures.edgeRgb = PackedRgb(BrightColour(edgeColour, bright));
        textures.scaled = scaled;
        textures.scaleX = scaleX;
        textures.scaleY = scaleY;
        BeginTextureGlyphs(&textures);
    }

    GlyphItem items[kGlyphItemCapacity];
    double pen = 0.0;
    int32_t pos = 0;
    int result = 0;
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
            if (e == nullptr) {
                result = -1;
                break;
            }
            const uint16_t key = items[i].key;
            const bool visible =
                key != kKeySpace && key != kKeyWideSpace && (e->width != 0 || e->height != 0);
            const int32_t p = Round(pen);
            if (draw && visible) {
                if (vertical) {
                    PaintGlyph(*f, *e, paint, dest, *clip, x + f->lineHeight - e->offsetY - e->height,
                               y + e->offsetX + p, 1);
                } else {
                    PaintGlyph(*f, *e, paint, dest, *clip, x + e->offsetX + p, y + e->offsetY, 0);
                }
            }
            if (textureDraw && visible) {
                const int32_t cellX = f->cell * (e->cellIndex / f->cacheRows);
                const int32_t cellY = f->cell * (e->cellIndex % f->cacheRows);
                DrawTextureGlyph(textures, *f, *e, cellX, cellY,
                                 TextureGlyphRect(*f, *e, x, y, pen, scaled, scaleX, scaleY, vertical),
                                 vertical);
            }
            pen += (e->advance + f->spacing) * scale;
        }
        if (result != 0) break;
        pos += used;
    }
    if (textureDraw) EndTextureGlyphs(textures);
    if (result != 0) return result;
    const int32_t advance = Round(pen);
    if (size != nullptr) *size = vertical ? StringSize{f->lineHeight, advance} : StringSize{advance, f->lineHeight};
    return advance;
}
