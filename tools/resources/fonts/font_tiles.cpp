#include "tools/resources/fonts/font_tiles.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/font/gdi_font.h"
#include "tools/resources/paint/canvas.h"
#include "tools/resources/paint/tile_sheet.h"

namespace res {

namespace {

constexpr int kTiles = 50;
constexpr int kGrayLevels = 64;  // GGO_GRAY8_BITMAP gives 0 .. 64

// One glyph as rendered: coverage rows and where the box sits against the baseline.
struct Glyph {
    int width = 0, height = 0;
    int top = 0;  // rows from the baseline up to the box's top (negative: below the baseline)
    int left = 0;
    std::vector<float> coverage;
};

// A font of the platform's default Gothic face selected into its own device context,
// released when this goes away.
class SelectedFont {
public:
    explicit SelectedFont(int emHeight) {
        dc_ = plat::CreateCompatibleDC(nullptr);
        // Widened to fill the square tiles as arcade lettering (the face's Latin letters are
        // half as wide as they are high).
        font_ = plat::CreateFontA(-emHeight, emHeight * 7 / 10, 0, 0, plat::FW_BOLD, 0, 0, 0,
                                  plat::SHIFTJIS_CHARSET, plat::OUT_DEFAULT_PRECIS,
                                  plat::CLIP_DEFAULT_PRECIS, plat::ANTIALIASED_QUALITY,
                                  plat::FIXED_PITCH, nullptr);
        if (dc_ == nullptr || font_ == nullptr) {
            Release();
            throw std::runtime_error("the outline font cannot be opened for the font tiles");
        }
        previous_ = plat::SelectObject(dc_, font_);
    }
    ~SelectedFont() { Release(); }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;

    Glyph Render(char ch) const {
        const plat::Mat2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        plat::GlyphMetrics metrics = {};
        const uint32_t code = static_cast<unsigned char>(ch);
        const uint32_t size =
            plat::GetGlyphOutlineA(dc_, code, plat::GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &identity);
        if (size == plat::GDI_ERROR || size == 0) {
            throw std::runtime_error(std::string("the outline font has no glyph for '") + ch + "'");
        }
        std::vector<uint8_t> bits(size);
        if (plat::GetGlyphOutlineA(dc_, code, plat::GGO_GRAY8_BITMAP, &metrics, size, bits.data(),
                                   &identity) == plat::GDI_ERROR) {
            throw std::runtime_error(std::string("the glyph of '") + ch + "' cannot be rendered");
        }
        Glyph g;
        g.width = static_cast<int>(metrics.blackBoxX);
        g.height = static_cast<int>(metrics.blackBoxY);
        g.top = metrics.glyphOrigin.y;
        g.left = metrics.glyphOrigin.x;
        const size_t pitch = (metrics.blackBoxX + 3) / 4 * 4;
        if (pitch * metrics.blackBoxY > bits.size()) {
            throw std::runtime_error("a glyph bitmap is smaller than its black box");
        }
        g.coverage.resize(static_cast<size_t>(g.width) * g.height);
        for (int y = 0; y < g.height; ++y) {
            for (int x = 0; x < g.width; ++x) {
                const int level = std::min<int>(bits[y * pitch + x], kGrayLevels);
                g.coverage[static_cast<size_t>(y) * g.width + x] =
                    static_cast<float>(level) / kGrayLevels;
            }
        }
        return g;
    }

private:
    void Release() {
        if (dc_ != nullptr && font_ != nullptr) plat::SelectObject(dc_, previous_);
        if (font_ != nullptr) plat::DeleteObject(font_);
        if (dc_ != nullptr) plat::DeleteDC(dc_);
        font_ = nullptr;
        dc_ = nullptr;
    }

    plat::DeviceContext* dc_ = nullptr;
    plat::Font* font_ = nullptr;
    plat::Font* previous_ = nullptr;
};

// The glyphs of every used tile rendered at the largest em height whose glyphs all fit the
// tile with a margin for the shadow. Digits and letters share one baseline that centres
// their band in the tile; a mark that would cross the tile's edge (the descending '/') is
// moved back inside.
class FontSheet {
public:
    FontSheet(int tile, int shadow) : tile_(tile), shadow_(shadow) {
        const int room = tile - shadow - 2;  // one free pixel on each side
        for (int em = tile; em > tile / 2; --em) {
            SelectedFont font(em);
            glyphs_.assign(kTiles, Glyph{});
            int highest = INT_MIN, lowest = INT_MAX;
            bool fits = true;
            for (int i = 0; i < kTiles; ++i) {
                if (FontTileCharacter(i) == 0) continue;
                glyphs_[i] = font.Render(FontTileCharacter(i));
                fits = fits && glyphs_[i].width <= room && glyphs_[i].height <= room;
                if (i < 36) {
                    highest = std::max(highest, glyphs_[i].top);
                    lowest = std::min(lowest, glyphs_[i].top - glyphs_[i].height);
                }
            }
            if (fits && highest - lowest <= room) {
                baseline_ = 1 + (room - (highest - lowest)) / 2 + highest;
                return;
            }
        }
        throw std::runtime_error("the outline font's glyphs do not fit the font tiles");
    }

    RgbImage Tile(int index) const {
        Canvas c(tile_, tile_);
        if (FontTileCharacter(index) != 0) {
            const Glyph& g = glyphs_[index];
            const int left = (tile_ - shadow_ - g.width) / 2;
            const int top = std::clamp(baseline_ - g.top, 1, tile_ - shadow_ - 1 - g.height);
            auto coverage = [&](int dx, int dy) {
                return [&g, left, top, dx, dy](int x, int y) {
                    const int gx = x - left - dx, gy = y - top - dy;
                    if (gx < 0 || gy < 0 || gx >= g.width || gy >= g.height) return 0.0f;
                    return g.coverage[static_cast<size_t>(gy) * g.width + gx];
                };
            };
            c.FillCoverage(coverage(shadow_, shadow_), Solid(Rgb8(24, 24, 48)));
            c.FillCoverage(coverage(0, 0), Solid(Rgb8(255, 255, 255)));
        }
        return Flatten(c);
    }

private:
    int tile_, shadow_;
    int baseline_ = 0;
    std::vector<Glyph> glyphs_;
};

RgbImage DrawFont(int tile, int shadow) {
    const FontSheet sheet(tile, shadow);
    return MakeTileSheet({kTiles, 10, 5, tile, tile}, [&](int i) { return sheet.Tile(i); });
}

}  // namespace

char FontTileCharacter(int tile) {
    if (tile >= 0 && tile <= 9) return static_cast<char>('0' + tile);
    if (tile >= 10 && tile <= 35) return static_cast<char>('A' + tile - 10);
    static const char kMarks[] = {'"', ':', '\'', '?', '!', '/'};
    if (tile >= 40 && tile <= 45) return kMarks[tile - 40];
    return 0;
}

RgbImage DrawSmallFont() { return DrawFont(16, 1); }
RgbImage DrawLargeFont() { return DrawFont(32, 2); }

}  // namespace res
