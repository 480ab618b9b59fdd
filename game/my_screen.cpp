#include "my_screen.h"

#include "dh_graph.h"
#include "font_glyph.h"
#include "number_text.h"

DhGraph* smallFont = nullptr;
DhGraph* largeFont = nullptr;

void MyScreen::drawChar(double x, double y, int glyph, bool large, bool transparent) {
    const DhGraph* font = large ? largeFont : smallFont;
    if (font == nullptr || glyph < 0 || glyph >= font->getCount()) return;
    drawGraph(x, y, font->getHandle(glyph), transparent);
}

void MyScreen::drawText(double x, double y, const char* text, int length, bool large) {
    if (text == nullptr) return;
    const int advance = large ? kLargeAdvance : kSmallAdvance;
    for (int i = 0; i < length && text[i] != '\0'; ++i) {
        drawChar(x + i * advance, y, fontGlyphIndex(text[i]), large, true);
    }
}

void MyScreen::drawNumber(double x, double y, int value, int digits, bool large) {
    if (digits > kMaxNumberPlaces) digits = kMaxNumberPlaces;
    char places[kMaxNumberPlaces + 1];
    const int count = formatPlaces(places, value, digits);
    drawText(x, y, places, count, large);
}
