// Glyph bitmaps into the texture cache: the glyph composed as white pixels whose alpha is the
// coverage, in the cache graph's 16-bit texture format, and transferred into its cell.
#include <algorithm>
#include <vector>

#include "graphics/drivers/texture_piece_access_driver.h"
#include "graphics/font/glyph_cell_write.h"
#include "graphics/graphs/graph_handle_table.h"

namespace {

int32_t BitAt(const GlyphBitmap& g, int32_t x, int32_t y) {
    return (g.bits[static_cast<size_t>(y) * g.rowBytes + x / 8] >> (7 - x % 8)) & 1;
}

int32_t LevelAt(const GlyphBitmap& g, int32_t x, int32_t y) {
    return std::min<int32_t>(g.bits[static_cast<size_t>(y) * g.rowBytes + x], 16);
}

// A coverage level 0..16 as a pixel of the format: white, with alpha growing with the level.
uint16_t LevelPixel(const ColorFormat& f, int32_t level) {
    const uint32_t white = f.maskR | f.maskG | f.maskB;
    if (level <= 0) return static_cast<uint16_t>(white);
    const int32_t shift = f.shiftA + f.widthA - 4;
    const uint32_t alpha = shift >= 0 ? (static_cast<uint32_t>(level) << shift) - 1
                                      : static_cast<uint32_t>(level) >> -shift;
    return static_cast<uint16_t>((alpha & f.maskA) | white);
}

}  // namespace

void WriteGlyphToTexture(FontRecord& font, int32_t cellX, int32_t cellY, const GlyphBitmap& g) {
    GraphImage& image = font.glyphImage;
    const GraphRecord* cache = GetGraphRecord(font.cacheGraph);
    if (image.pixels == nullptr || cache == nullptr || image.colorFormat.format.bytes != 2) return;
    const bool edge = (font.type & kFontTypeEdge) != 0;
    const bool levels = (font.type & kFontTypeAntialias) != 0;
    const int32_t e = edge ? font.edgeSize : 0;
    const int32_t halfW = font.cell;  // each half of the image is one cell wide
    const int32_t h = image.height;

    // Coverage of the glyph half and the edge half, then turned into pixels.
    std::vector<uint8_t> glyphLevels(static_cast<size_t>(halfW) * h, 0);
    std::vector<uint8_t> edgeLevels(edge ? static_cast<size_t>(halfW) * h : 0, 0);
    auto at = [&](std::vector<uint8_t>& plane, int32_t x, int32_t y) -> uint8_t* {
        if (x < 0 || y < 0 || x >= halfW || y >= h) return nullptr;
        return &plane[static_cast<size_t>(y) * halfW + x];
    };
    for (int32_t y = 0; y < g.height; ++y) {
        for (int32_t x = 0; x < g.width; ++x) {
            const int32_t v = levels ? LevelAt(g, x, y) : BitAt(g, x, y) * 16;
            if (v == 0) continue;
            if (uint8_t* p = at(glyphLevels, x + e, y + e)) *p = static_cast<uint8_t>(v);
            if (!edge) continue;
            for (int32_t dy = -e; dy <= e; ++dy) {
                for (int32_t dx = -e; dx <= e; ++dx) {
                    if (!EdgeStampCovers(e, dx, dy)) continue;
                    uint8_t* p = at(edgeLevels, x + e + dx, y + e + dy);
                    if (p == nullptr) continue;
                    *p = static_cast<uint8_t>((256 - (16 - *p) * (16 - v)) >> 4);
                }
            }
        }
    }

    const int32_t usedW = std::min(g.width + 2 * e, halfW);
    const int32_t usedH = std::min(g.height + 2 * e, font.cell);
    const RECT glyphRect = edge ? RECT{0, 0, usedW, usedH} : RECT{0, 0, font.cell, font.cell};
    const ColorFormat& format = image.colorFormat.format;
    for (int32_t y = 0; y < glyphRect.bottom; ++y) {
        auto* row = reinterpret_cast<uint16_t*>(image.pixels + static_cast<size_t>(y) * image.pitch);
        for (int32_t x = 0; x < glyphRect.right; ++x) {
            row[x] = LevelPixel(format, glyphLevels[static_cast<size_t>(y) * halfW + x]);
            if (edge) row[halfW + x] = LevelPixel(format, edgeLevels[static_cast<size_t>(y) * halfW + x]);
        }
    }
    TexturePieceAccessSlot()->transferImageRect(&image, &glyphRect, cellX, cellY, cache);
    if (edge) {
        const RECT edgeRect{halfW, 0, halfW + usedW, usedH};
        TexturePieceAccessSlot()->transferImageRect(&image, &edgeRect, cellX + font.cacheWidth,
                                                    cellY, cache);
    }
}
