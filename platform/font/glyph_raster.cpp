// Glyph outlines rendered into GDI's glyph bitmap formats.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstring>

#include "platform/font/font_engine.h"
#include "platform/font/font_record.h"

namespace plat {

namespace {

// The highest gray level of a gray format (0 for GGO_BITMAP).
uint32_t GrayLevels(uint32_t format) {
    switch (format) {
        case GGO_GRAY2_BITMAP: return 4;
        case GGO_GRAY4_BITMAP: return 16;
        case GGO_GRAY8_BITMAP: return 64;
        default: return 0;
    }
}

}  // namespace

uint64_t GlyphRowBytes(uint32_t format, uint32_t width) {
    const uint64_t bytes = format == GGO_BITMAP ? (uint64_t(width) + 7) / 8 : width;
    return (bytes + 3) / 4 * 4;
}

bool RenderGlyphBitmap(FT_Outline* outline, uint32_t format, int32_t left, int32_t bottom,
                       uint32_t width, uint32_t height, uint8_t* buffer) {
    const uint64_t pitch = GlyphRowBytes(format, width);
    std::memset(buffer, 0, pitch * height);
    FT_Library library = FontEngineLibrary();
    if (library == nullptr) return false;

    FT_Outline_Translate(outline, -FT_Pos(left) * 64, -FT_Pos(bottom) * 64);
    FT_Bitmap target{};
    target.rows = height;
    target.width = width;
    target.pitch = static_cast<int>(pitch);  // positive: the top row comes first
    target.buffer = buffer;
    const uint32_t levels = GrayLevels(format);
    target.pixel_mode = levels == 0 ? FT_PIXEL_MODE_MONO : FT_PIXEL_MODE_GRAY;
    target.num_grays = levels == 0 ? 2 : 256;
    if (FT_Outline_Get_Bitmap(library, outline, &target) != 0) return false;

    if (levels != 0) {
        // Coverage 0..255 to GDI's levels, rounded to nearest.
        for (uint32_t y = 0; y < height; ++y) {
            uint8_t* row = buffer + y * pitch;
            for (uint32_t x = 0; x < width; ++x) {
                row[x] = static_cast<uint8_t>((row[x] * levels + 127) / 255);
            }
        }
    }
    return true;
}

}  // namespace plat
