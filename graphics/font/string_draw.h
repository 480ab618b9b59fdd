// String drawing with a font: the graphics layer's entry (DrawTextWithFont), the 2D text path
// (DrawString2D: straight into the destination, or composed on the font drawing screen and
// blitted in the blend mode), the walk of a string through the glyph cache (DrawCachedString)
// and the default font's draw.
//
// Text lies on one line, horizontal or vertical (running downwards, each glyph turned 90°
// clockwise); there is no line feed or wrapping. Colours are screen colour values.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"

struct StringSize {
    int32_t width, height;
};

// mode 0 measures, 1 draws into dest (clipped to clip; transparent 1 leaves empty cell pixels
// alone, 0 writes 0 there). The scales apply to a texture cache only. length -1: the whole
// string. *size (may be null): the line's width and height. The total pen advance, or -1.
int DrawCachedString(int mode, int32_t x, int32_t y, int scaled, double scaleX, double scaleY,
                     const char* string, uint32_t colour, MEMIMG* dest, const RECT* clip,
                     int transparent, HandleValue font, uint32_t edgeColour, int32_t length,
                     int vertical, StringSize* size);

// The 2D text path; flags is the vertical switch. 0 (also when nothing is left after
// clipping); -1 for a bad font, no screen or a destination that cannot be drawn.
int DrawString2D(int32_t x, int32_t y, const char* string, uint32_t colour, HandleValue font,
                 uint32_t edgeColour, int flags);

// Draws the string at (x, y). 0 when nothing is drawn, the back end's result, -1 for a bad
// font handle (logged).
int DrawTextWithFont(int32_t x, int32_t y, const char* string, uint32_t colour, HandleValue font,
                     uint32_t edgeColour, int vertical);

// The default font's draw: the default font re-made when its settings changed, then a
// horizontal DrawTextWithFont.
int DrawTextDefaultFont(int32_t x, int32_t y, const char* string, uint32_t colour,
                        uint32_t edgeColour);
