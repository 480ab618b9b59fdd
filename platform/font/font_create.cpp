// CreateFontA and DeleteObject: a FreeType face sized as GDI sizes a logical font, and the
// text metrics GDI reports for it.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <mutex>
#include <new>
#include <string>

#include "platform/core/debug_output.h"
#include "platform/core/text_encoding.h"
#include "platform/font/font_engine.h"
#include "platform/font/font_face_files.h"
#include "platform/font/font_record.h"

namespace plat {

namespace {

constexpr int32_t kDefaultCellHeight = 16;
constexpr int32_t kMaxPixels = 4096;
constexpr uint8_t kFamilyMask = 0xF0;

void Report(const std::string& text) { DebugOutput(("font: " + text + "\n").c_str()); }

// The face's vertical extents in font units: the Windows ascent and descent of the OS/2
// table (what GDI measures a cell by), else the face's own ascender and descender.
struct FaceExtents {
    double ascent;
    double descent;
    double lineGap;  // the extra gap the horizontal header asks beyond the Windows cell
    double averageWidth;
    double maxAdvance;
};

FaceExtents MeasureFace(FT_Face face) {
    FaceExtents e{};
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
        e.ascent = os2->usWinAscent;
        e.descent = os2->usWinDescent;
    } else {
        e.ascent = face->ascender;
        e.descent = -face->descender;
    }
    if (e.ascent + e.descent <= 0) {
        e.ascent = face->units_per_EM;
        e.descent = 0;
    }
    if (hhea != nullptr) {
        const double hheaCell = double(hhea->Ascender) - double(hhea->Descender);
        e.lineGap = std::max(0.0, hhea->Line_Gap - ((e.ascent + e.descent) - hheaCell));
    }
    e.maxAdvance = hhea != nullptr && hhea->advance_Width_Max > 0 ? hhea->advance_Width_Max
                                                                 : face->max_advance_width;
    e.averageWidth = os2 != nullptr && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth
                                                              : e.maxAdvance / 2.0;
    if (e.averageWidth <= 0) e.averageWidth = face->units_per_EM / 2.0;
    return e;
}

int32_t Round(double v) { return static_cast<int32_t>(std::lround(v)); }

}  // namespace

Font* CreateFontA(int32_t height, int32_t width, int32_t escapement, int32_t orientation,
                  int32_t weight, uint32_t italic, uint32_t underline, uint32_t strikeOut,
                  uint32_t charSet, uint32_t outPrecision, uint32_t clipPrecision,
                  uint32_t quality, uint32_t pitchAndFamily, const char* faceName) {
    // Rotation of whole strings is not drawn from glyph outlines; precision and quality do
    // not change how FreeType renders.
    (void)escapement, (void)orientation, (void)outPrecision, (void)clipPrecision, (void)quality;
    if (height < -kMaxPixels || height > kMaxPixels) {
        Report("height " + std::to_string(height) + " is outside -4096..4096");
        return nullptr;
    }
    if (width < 0 || width > kMaxPixels) {
        Report("width " + std::to_string(width) + " is outside 0..4096");
        return nullptr;
    }
    if (weight < 0 || weight > 1000) {
        Report("weight " + std::to_string(weight) + " is outside 0..1000");
        return nullptr;
    }
    if (weight == FW_DONTCARE) weight = FW_NORMAL;
    if (height == 0) height = kDefaultCellHeight;

    std::lock_guard<std::mutex> hold(FontEngineLock());
    FT_Library library = FontEngineLibrary();
    if (library == nullptr) return nullptr;
    const std::string path = FontFileForFace(faceName);
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        Report("cannot open the font file " + path + " for the face \"" +
               SjisToUtf8(faceName != nullptr ? faceName : "") + "\"");
        return nullptr;
    }
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0 ||
        FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) {
        Report("the font file " + path + " has no scalable Unicode outlines");
        FT_Done_Face(face);
        return nullptr;
    }

    const FaceExtents e = MeasureFace(face);
    const double upem = face->units_per_EM;
    // GDI: a positive height is the cell (Windows ascent + descent), a negative one the em.
    double ppem;
    int32_t ascent, descent;
    if (height > 0) {
        ppem = height * upem / (e.ascent + e.descent);
        ascent = Round(e.ascent * height / (e.ascent + e.descent));
        descent = height - ascent;
    } else {
        ppem = -height;
        ascent = Round(e.ascent * ppem / upem);
        descent = Round(e.descent * ppem / upem);
    }
    const double naturalAverage = e.averageWidth * ppem / upem;
    const double ppemX = width > 0 ? ppem * width / naturalAverage : ppem;
    const long size26 = std::max(64L, std::lround(ppem * 64));
    const long sizeX26 = std::max(64L, std::lround(ppemX * 64));
    if (FT_Set_Char_Size(face, sizeX26, size26, 72, 72) != 0) {
        Report("the font file " + path + " cannot be set to " + std::to_string(height) +
               " pixels");
        FT_Done_Face(face);
        return nullptr;
    }

    auto* font = new (std::nothrow) Font;
    if (font == nullptr) {
        Report("no memory for a font record");
        FT_Done_Face(face);
        return nullptr;
    }
    font->face = face;
    font->emboldenPixels = weight >= FW_SEMIBOLD ? std::max(1, Round(ppem / 24)) : 0;
    font->shear = italic != 0;
    TextMetric& m = font->metrics;
    m.ascent = ascent;
    m.descent = descent;
    m.height = ascent + descent;
    m.internalLeading = std::max(0, m.height - Round(ppem));
    m.externalLeading = Round(e.lineGap * ppem / upem);
    m.aveCharWidth = Round(e.averageWidth * ppemX / upem) + font->emboldenPixels;
    m.maxCharWidth = Round(e.maxAdvance * ppemX / upem) + font->emboldenPixels;
    m.weight = weight;
    m.overhang = 0;
    m.digitizedAspectX = 96;
    m.digitizedAspectY = 96;
    m.firstChar = 0x20;
    m.lastChar = 0xFF;
    m.defaultChar = 0x1F;
    m.breakChar = 0x20;
    m.italic = italic != 0 ? 1 : 0;
    m.underlined = underline != 0 ? 1 : 0;
    m.struckOut = strikeOut != 0 ? 1 : 0;
    const bool proportional = !FT_IS_FIXED_WIDTH(face) && IsProportionalFaceName(faceName);
    m.pitchAndFamily = static_cast<uint8_t>((pitchAndFamily & kFamilyMask) | TMPF_VECTOR |
                                            TMPF_TRUETYPE |
                                            (proportional ? TMPF_FIXED_PITCH : 0));
    m.charSet = static_cast<uint8_t>(charSet);
    return font;
}

bool DeleteObject(Font* font) {
    if (font == nullptr) return false;
    std::lock_guard<std::mutex> hold(FontEngineLock());
    if (font->selections > 0) return false;
    FT_Done_Face(font->face);
    delete font;
    return true;
}

}  // namespace plat
