// Helpers of the font tests: a font selected into a memory device context for one test, and
// glyphs fetched the way the library fetches them (size query, then the bitmap).
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/font/gdi_font.h"

namespace fonttest {

inline constexpr plat::Mat2 kIdentity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// The default fixed-pitch Gothic at a size, selected into a fresh memory device context.
struct ScopedFont {
    explicit ScopedFont(int32_t height, int32_t weight = plat::FW_NORMAL, uint32_t italic = 0,
                        const char* face = "", int32_t width = 0) {
        font = plat::CreateFontA(height, width, 0, 0, weight, italic, 0, 0,
                                 plat::SHIFTJIS_CHARSET, 0, 0, plat::NONANTIALIASED_QUALITY,
                                 plat::FIXED_PITCH, face);
        dc = plat::CreateCompatibleDC(nullptr);
        if (font != nullptr && dc != nullptr) previous = plat::SelectObject(dc, font);
    }
    ~ScopedFont() {
        if (dc != nullptr) {
            plat::SelectObject(dc, previous);
            plat::DeleteDC(dc);
        }
        if (font != nullptr) plat::DeleteObject(font);
    }
    ScopedFont(const ScopedFont&) = delete;
    ScopedFont& operator=(const ScopedFont&) = delete;

    plat::TextMetric Metrics() const {
        plat::TextMetric tm{};
        EXPECT_TRUE(plat::GetTextMetricsA(dc, &tm));
        return tm;
    }

    plat::Font* font = nullptr;
    plat::DeviceContext* dc = nullptr;
    plat::Font* previous = nullptr;
};

struct Glyph {
    uint32_t size = 0;
    plat::GlyphMetrics metrics{};
    std::vector<uint8_t> bits;
    uint32_t RowBytes() const { return metrics.blackBoxY == 0 ? 0 : size / metrics.blackBoxY; }
};

// A glyph as the library fetches it; fails the test when either call fails or the size query
// and the fetch disagree.
inline Glyph Fetch(plat::DeviceContext* dc, uint32_t code, uint32_t format,
                   const plat::Mat2& transform = kIdentity) {
    Glyph g;
    g.size = plat::GetGlyphOutlineA(dc, code, format, &g.metrics, 0, nullptr, &transform);
    EXPECT_NE(g.size, plat::GDI_ERROR) << "code " << std::hex << code;
    if (g.size == plat::GDI_ERROR) return Glyph{};
    if (g.size == 0) return g;
    // Filled with a pattern so that bytes the call fails to write show.
    g.bits.assign(g.size, 0xA5);
    plat::GlyphMetrics again{};
    EXPECT_EQ(plat::GetGlyphOutlineA(dc, code, format, &again, g.size, g.bits.data(), &transform),
              g.size);
    EXPECT_EQ(again.blackBoxX, g.metrics.blackBoxX);
    EXPECT_EQ(again.blackBoxY, g.metrics.blackBoxY);
    return g;
}

// The glyph's pixel value at (x, y): the bit (GGO_BITMAP) or the gray level.
inline uint32_t Pixel(const Glyph& g, uint32_t format, uint32_t x, uint32_t y) {
    const uint8_t* row = g.bits.data() + size_t(y) * g.RowBytes();
    if (format == plat::GGO_BITMAP) return (row[x / 8] >> (7 - x % 8)) & 1;
    return row[x];
}

// The glyph as text rows: '.' for 0; '#' for a set bit; levels 1..16 as 1..9, A..G; levels
// above 16 (GGO_GRAY8) as the character '0' + level.
inline std::vector<std::string> Art(const Glyph& g, uint32_t format) {
    std::vector<std::string> rows;
    for (uint32_t y = 0; y < g.metrics.blackBoxY && !g.bits.empty(); ++y) {
        std::string row;
        for (uint32_t x = 0; x < g.metrics.blackBoxX; ++x) {
            const uint32_t v = Pixel(g, format, x, y);
            if (v == 0) row += '.';
            else if (format == plat::GGO_BITMAP) row += '#';
            else if (v <= 9) row += char('0' + v);
            else if (v <= 16) row += char('A' + v - 10);
            else row += char('0' + v);
        }
        rows.push_back(row);
    }
    return rows;
}

inline std::string Joined(const std::vector<std::string>& rows) {
    std::string text;
    for (const auto& r : rows) text += r + "\n";
    return text;
}

}  // namespace fonttest
