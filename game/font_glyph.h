// The tiles of the game's two bitmap fonts ("res\fonts.bmp" 16 x 16 and "res\fontl.bmp"
// 32 x 32, 50 tiles each, the same layout): digits, one set of letters for both cases and a
// few marks.
#pragma once

// Tile of the character: '0'-'9' 0-9, 'A'-'Z' and 'a'-'z' 10-35, '"' 40, ':' 41, '\'' 42,
// '?' 43, '!' 44, '/' 45; -1 for any other character (it draws nothing but takes its place).
int fontGlyphIndex(char c);
