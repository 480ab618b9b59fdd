#include "tools/resources/paint/tile_sheet.h"

#include <stdexcept>

namespace res {

RgbImage MakeTileSheet(const TileLayout& layout, const std::function<RgbImage(int)>& draw) {
    RgbImage sheet(layout.perRow * layout.width, layout.rows * layout.height, kKeyColour);
    for (int i = 0; i < layout.count && i < layout.perRow * layout.rows; ++i) {
        const RgbImage tile = draw(i);
        if (tile.width != layout.width || tile.height != layout.height) {
            throw std::runtime_error("a tile was drawn in the wrong size");
        }
        const int left = (i % layout.perRow) * layout.width;
        const int top = (i / layout.perRow) * layout.height;
        for (int y = 0; y < tile.height; ++y) {
            for (int x = 0; x < tile.width; ++x) sheet.at(left + x, top + y) = tile.at(x, y);
        }
    }
    return sheet;
}

}  // namespace res
