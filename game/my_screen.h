// The game's screens: the framework screen plus text in the two bitmap fonts. The fonts are
// shared by every screen and set once at initialisation.
#pragma once
#include "zn_screen.h"

class DhGraph;

// The small font (graph 8, 16 x 16 tiles) and the large font (graph 9, 32 x 32 tiles); null
// until set, and then nothing is drawn in that font.
extern DhGraph* smallFont;
extern DhGraph* largeFont;

class MyScreen : public ZnScreen {
public:
    static constexpr int kSmallAdvance = 16;
    static constexpr int kLargeAdvance = 32;
    static constexpr int kMaxNumberPlaces = 12;

    static void setSmallFont(DhGraph* font) { smallFont = font; }
    static void setLargeFont(DhGraph* font) { largeFont = font; }

    // The font tile glyph (see fontGlyphIndex) with its top-left corner at (x, y); a glyph
    // that the font does not have draws nothing.
    void drawChar(double x, double y, int glyph, bool large, bool transparent);
    // Characters 0 .. length - 1 of text, one advance (16 small, 32 large) apart, transparent.
    // Characters without a glyph leave a gap; the text ends at its terminator even when length
    // asks for more.
    void drawText(double x, double y, const char* text, int length, bool large);
    // The value's lowest decimal digits right-aligned in digits places (at most 12), leading
    // places 0; 0 and negative values show zeros.
    void drawNumber(double x, double y, int value, int digits, bool large);
};
