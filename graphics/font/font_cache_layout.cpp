// The arithmetic of a font's cache: cell side, line height and how many cells a cache holds.
#include <algorithm>
#include <cmath>

#include "graphics/font/font.h"

int32_t FontLineHeight(int32_t textHeight, uint32_t type, int32_t edgeSize) {
    int32_t height = textHeight + ((type & kFontTypeEdge) != 0 ? 2 * edgeSize : 0);
    if ((height & 1) != 0) ++height;
    return height;
}

int32_t FontCellSide(int32_t maxCharWidth, int32_t lineHeight, uint32_t type, int32_t edgeSize) {
    int32_t cell = maxCharWidth + 2 + ((type & kFontTypeEdge) != 0 ? 2 * edgeSize : 0);
    cell = (cell + 7) / 8 * 8;
    return std::max(cell, lineHeight);
}

int32_t SoftwareCacheEntries(int32_t cell, int32_t requested) {
    int32_t count = requested;
    if (count == 0) count = std::max(327680 / std::max(cell * cell, 1), kFontMinSoftEntries);
    return std::min(count, kFontMaxEntries);
}

TextureCacheLayout ComputeTextureCacheLayout(int32_t cell, int32_t requested) {
    TextureCacheLayout out{};
    cell = std::max(cell, 1);
    if (requested != 0) {
        const int32_t side =
            cell * (static_cast<int32_t>(std::lround(std::sqrt(static_cast<double>(requested)))) + 1);
        int32_t texture = 8;
        while (texture < side) texture *= 2;
        out.width = out.height = texture;
        out.entryCount = (texture / cell) * (texture / cell);
    } else {
        out.width = out.height = 512;
        out.entryCount = (512 / cell) * (512 / cell);
        while (out.entryCount < kFontMinTextureEntries) {
            if (out.width > out.height) {
                out.height *= 2;
            } else {
                out.width *= 2;
            }
            out.entryCount = (out.height / cell) * (out.width / cell);
        }
    }
    out.entryCount = std::min(out.entryCount, kFontMaxEntries);
    out.rows = out.height / cell;
    return out;
}
