// Glyph bitmaps into cache cells, with the edge drawn around the glyph for edge types.
#include "graphics/font/glyph_cell_write.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// The edge stamps of sizes 1..4 ('X' covered), each (2e + 1) square rows top to bottom;
// larger edges take the full square.
constexpr const char* kStamp1[] = {".X.", "XXX", ".X."};
constexpr const char* kStamp2[] = {".XXX.", "XXXXX", "XXXXX", "XXXXX", ".XXX."};
constexpr const char* kStamp3[] = {"...X...", ".XXXXX.", ".XXXXX.", "XXXXXXX",
                                   ".XXXXX.", ".XXXXX.", "...X..."};
constexpr const char* kStamp4[] = {"..XXXXX..", ".XXXXXXX.", "XXXXXXXXX",
                                   "XXXXXXXXX", "XXXXXXXXX", "XXXXXXXXX",
                                   "XXXXXXXXX", ".XXXXXXX.", "..XXXXX.."};
constexpr const char* const* kStamps[] = {kStamp1, kStamp2, kStamp3, kStamp4};

uint8_t GlyphLevel(const GlyphBitmap& g, int32_t x, int32_t y) {
    return g.bits[static_cast<size_t>(y) * g.rowBytes + x];
}

// The cell's byte at (x, y) (8-bit caches), or null outside the cell.
uint8_t* CellByte(const FontRecord& f, int32_t cellTop, int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= f.cell || y >= f.cell) return nullptr;
    return f.softBitmap + static_cast<size_t>(cellTop + y) * f.softPitch + x;
}

void WriteBits(const FontRecord& f, int32_t cellTop, const GlyphBitmap& g) {
    const int32_t rows = std::min(g.height, f.cell);
    const size_t bytes = std::min(static_cast<size_t>(f.softPitch), static_cast<size_t>(g.rowBytes));
    for (int32_t y = 0; y < rows; ++y) {
        std::memcpy(f.softBitmap + static_cast<size_t>(cellTop + y) * f.softPitch,
                    g.bits + static_cast<size_t>(y) * g.rowBytes, bytes);
    }
}

void WriteLevels(const FontRecord& f, int32_t cellTop, const GlyphBitmap& g) {
    for (int32_t y = 0; y < std::min(g.height, f.cell); ++y) {
        for (int32_t x = 0; x < std::min(g.width, f.cell); ++x) {
            const uint8_t v = GlyphLevel(g, x, y);
            if (v != 0) *CellByte(f, cellTop, x, y) = static_cast<uint8_t>(std::min<int>(v, 16) - 1);
        }
    }
}

// Types 1 and 3: the glyph at (e, e), and the edge stamped around each glyph pixel.
void WriteWithEdge(const FontRecord& f, int32_t cellTop, const GlyphBitmap& g, bool levels) {
    const int32_t e = f.edgeSize;
    for (int32_t y = 0; y < g.height; ++y) {
        for (int32_t x = 0; x < g.width; ++x) {
            int v = levels ? std::min<int>(GlyphLevel(g, x, y), 16)
                           : (g.bits[static_cast<size_t>(y) * g.rowBytes + x / 8] >> (7 - x % 8)) & 1;
            if (v == 0) continue;
            if (uint8_t* p = CellByte(f, cellTop, x + e, y + e)) {
                *p = levels ? static_cast<uint8_t>(*p | (v - 1)) : 1;
            }
            const uint8_t high = static_cast<uint8_t>((v - 1) << 4);
            for (int32_t dy = -e; dy <= e; ++dy) {
                for (int32_t dx = -e; dx <= e; ++dx) {
                    if (!EdgeStampCovers(e, dx, dy)) continue;
                    uint8_t* p = CellByte(f, cellTop, x + e + dx, y + e + dy);
                    if (p == nullptr) continue;
                    if (!levels) {
                        if (*p != 1) *p = 2;
                    } else if ((*p & 0xF0) < high) {
                        *p = static_cast<uint8_t>((*p & 0x0F) | high);
                    }
                }
            }
        }
    }
}

}  // namespace

int EdgeStampCovers(int32_t size, int32_t dx, int32_t dy) {
    if (std::abs(dx) > size || std::abs(dy) > size) return 0;
    if (size > 4) return 1;
    return kStamps[size - 1][dy + size][dx + size] == 'X' ? 1 : 0;
}

void WriteGlyphToCell(const FontRecord& font, int32_t cellTop, const GlyphBitmap& glyph) {
    switch (font.type) {
        case kFontTypeNormal:
            WriteBits(font, cellTop, glyph);
            break;
        case kFontTypeAntialias:
            WriteLevels(font, cellTop, glyph);
            break;
        case kFontTypeEdge:
            WriteWithEdge(font, cellTop, glyph, false);
            break;
        default:
            WriteWithEdge(font, cellTop, glyph, true);
            break;
    }
}
