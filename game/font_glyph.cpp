#include "font_glyph.h"

int fontGlyphIndex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return 10 + (c - 'A');
    if (c >= 'a' && c <= 'z') return 10 + (c - 'a');
    switch (c) {
        case '"': return 40;
        case ':': return 41;
        case '\'': return 42;
        case '?': return 43;
        case '!': return 44;
        case '/': return 45;
        default: return -1;
    }
}
