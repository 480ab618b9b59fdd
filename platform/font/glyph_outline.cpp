// GetGlyphOutlineA: one character of the selected font as GDI's glyph metrics and bitmap.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstdint>
#include <limits>
#include <mutex>

#include "platform/font/font_engine.h"
#include "platform/font/font_record.h"

namespace plat {

namespace {

// The largest glyph bitmap handed out; larger requests (a huge transform) fail.
constexpr uint64_t kMaxBitmapBytes = 64u << 20;
constexpr uint64_t kMaxGlyphSide = 4096;

bool IsKnownFormat(uint32_t format) {
    return format == GGO_METRICS || format == GGO_BITMAP || format == GGO_GRAY2_BITMAP ||
           format == GGO_GRAY4_BITMAP || format == GGO_GRAY8_BITMAP;
}

FT_Fixed ToFixed(Fixed f) { return FT_Fixed(f.value) * 65536 + f.fract; }

// The transform as FreeType's matrix; false for the identity, which needs no work.
bool ToMatrix(const Mat2& m, FT_Matrix* out) {
    *out = FT_Matrix{ToFixed(m.eM11), ToFixed(m.eM21), ToFixed(m.eM12), ToFixed(m.eM22)};
    return !(out->xx == 0x10000 && out->xy == 0 && out->yx == 0 && out->yy == 0x10000);
}

// A 26.6 distance rounded to whole pixels, or false when it does not fit 16 bits.
bool RoundToInt16(FT_Pos v, int16_t* out) {
    const FT_Pos pixels = (v + 32) >> 6;
    if (pixels < std::numeric_limits<int16_t>::min() ||
        pixels > std::numeric_limits<int16_t>::max()) {
        return false;
    }
    *out = static_cast<int16_t>(pixels);
    return true;
}

}  // namespace

uint32_t GetGlyphOutlineA(DeviceContext* dc, uint32_t code, uint32_t format,
                          GlyphMetrics* metrics, uint32_t bufferSize, void* buffer,
                          const Mat2* transform) {
    if (dc == nullptr || metrics == nullptr || transform == nullptr) return GDI_ERROR;
    const bool byIndex = (format & GGO_GLYPH_INDEX) != 0;
    format &= ~GGO_GLYPH_INDEX;
    if (!IsKnownFormat(format)) return GDI_ERROR;

    std::lock_guard<std::mutex> hold(FontEngineLock());
    Font* font = SelectedFont(dc);
    if (font == nullptr) return GDI_ERROR;
    FT_UInt glyph;
    if (byIndex) {
        if (code >= static_cast<uint32_t>(font->face->num_glyphs)) return GDI_ERROR;
        glyph = code;
    } else {
        if (code > 0xFFFF) return GDI_ERROR;
        glyph = GlyphIndexForCode(font->face, code);
    }
    FT_Matrix matrix;
    const bool transformed = ToMatrix(*transform, &matrix);
    FT_Vector advance;
    if (!LoadShapedGlyph(font, glyph, transformed ? &matrix : nullptr, &advance)) {
        return GDI_ERROR;
    }
    GlyphMetrics m{};
    if (!RoundToInt16(advance.x, &m.cellIncX) || !RoundToInt16(advance.y, &m.cellIncY)) {
        return GDI_ERROR;
    }

    FT_Outline* outline = &font->face->glyph->outline;
    FT_BBox box{};
    if (outline->n_points > 0) FT_Outline_Get_CBox(outline, &box);
    // The pixels the outline touches.
    const FT_Pos left = box.xMin >> 6, bottom = box.yMin >> 6;
    const FT_Pos right = (box.xMax + 63) >> 6, top = (box.yMax + 63) >> 6;
    if (outline->n_points == 0 || right <= left || top <= bottom) {
        // Nothing to draw: GDI's answer for a space, a 1 × 1 box at the pen.
        m.blackBoxX = 1;
        m.blackBoxY = 1;
        m.glyphOrigin = Point{0, 0};
        *metrics = m;
        return 0;
    }
    const uint64_t width = uint64_t(right - left), height = uint64_t(top - bottom);
    // A transform can stretch a glyph without bound; the rasteriser's time grows with the
    // box, so glyphs beyond a side of kMaxGlyphSide pixels are refused like oversized ones.
    if (width > kMaxGlyphSide || height > kMaxGlyphSide) return GDI_ERROR;
    const uint64_t size = GlyphRowBytes(format == GGO_METRICS ? GGO_BITMAP : format,
                                        static_cast<uint32_t>(width)) * height;
    if (size > kMaxBitmapBytes) return GDI_ERROR;
    m.blackBoxX = static_cast<uint32_t>(width);
    m.blackBoxY = static_cast<uint32_t>(height);
    m.glyphOrigin = Point{static_cast<int32_t>(left), static_cast<int32_t>(top)};
    *metrics = m;

    if (format == GGO_METRICS) return 0;
    if (buffer == nullptr || bufferSize == 0) return static_cast<uint32_t>(size);
    if (bufferSize < size) return GDI_ERROR;
    if (!RenderGlyphBitmap(outline, format, static_cast<int32_t>(left),
                           static_cast<int32_t>(bottom), static_cast<uint32_t>(width),
                           static_cast<uint32_t>(height), static_cast<uint8_t*>(buffer))) {
        return GDI_ERROR;
    }
    return static_cast<uint32_t>(size);
}

}  // namespace plat
