// The two bitmap fonts of the game: 50 tiles, 10 per row, in the order the game indexes them
// ('0'-'9', 'A'-'Z', four unused tiles, '"', ':', '\'', '?', '!', '/', four unused tiles),
// white glyphs with a dark shadow on the key colour, rendered from the platform's outline
// font.
#pragma once

#include "tools/resources/paint/keyed_image.h"

namespace res {

RgbImage DrawSmallFont();  // fonts.bmp: tiles of 16 x 16
RgbImage DrawLargeFont();  // fontl.bmp: tiles of 32 x 32

// The character of a font tile, or 0 for a tile the game never draws.
char FontTileCharacter(int tile);

}  // namespace res
