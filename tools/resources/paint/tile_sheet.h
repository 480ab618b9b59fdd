// Tiled images: tiles drawn one by one and laid out row by row, as the game cuts them.
#pragma once

#include <functional>

#include "tools/resources/paint/keyed_image.h"

namespace res {

struct TileLayout {
    int count, perRow, rows, width, height;
};

// An image of layout.perRow x layout.rows tiles; tile i (row by row) is drawn by draw(i),
// which returns an image of the tile's size. Places beyond the count stay the key colour.
RgbImage MakeTileSheet(const TileLayout& layout, const std::function<RgbImage(int)>& draw);

}  // namespace res
