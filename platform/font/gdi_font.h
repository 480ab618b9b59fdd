// The GDI font calls of the platform layer, on FreeType: logical fonts made by CreateFontA,
// selected into a memory device context (CreateCompatibleDC of platform/gdi/gdi.h), their
// text metrics and their glyphs as GDI bitmaps.
//
// Faces: the default face is the fixed-pitch IPA Gothic (ipag.ttf); the proportional Gothic
// names take IPA P Gothic (ipagp.ttf); every other name, and an empty or null name, takes the
// default face. Both files are looked up in the folder of the Debian package
// fonts-ipafont-gothic.
//
// Character codes (GetGlyphOutlineA): a code up to 0xFF is a single-byte character of the
// Shift-JIS code page (ASCII and half-width katakana); a larger one is a double-byte
// character with its lead byte in the high byte (0x8140 is the full-width space). Codes that
// Shift-JIS does not map, and characters the face has no glyph for, are drawn with the face's
// missing glyph (glyph 0), as GDI draws its default character, so that a string with a stray
// byte never fails. Every charset reads codes as Shift-JIS; the charset is kept and reported
// in TextMetric::charSet.
//
// All calls may be made from any thread: one FreeType library serves the process and a lock
// is held around every call into it. A font must not be deleted while another thread uses
// it.
#pragma once
#include <cstdint>

#include "platform/gdi/gdi.h"

namespace plat {

// A logical font (GDI's HFONT).
struct Font;

// The value GetGlyphOutlineA returns on failure.
inline constexpr uint32_t GDI_ERROR = 0xFFFFFFFFu;

// GetGlyphOutlineA formats.
inline constexpr uint32_t GGO_METRICS = 0;       // the metrics only; no buffer is touched
inline constexpr uint32_t GGO_BITMAP = 1;        // 1 bit per pixel, most significant bit first
inline constexpr uint32_t GGO_GRAY2_BITMAP = 4;  // one byte per pixel, levels 0..4
inline constexpr uint32_t GGO_GRAY4_BITMAP = 5;  // one byte per pixel, levels 0..16
inline constexpr uint32_t GGO_GRAY8_BITMAP = 6;  // one byte per pixel, levels 0..64
// Flag added to a format: the code is a glyph index of the face, not a character.
inline constexpr uint32_t GGO_GLYPH_INDEX = 0x80;

// Weights (CreateFontA's weight; 600 and above are drawn emboldened).
inline constexpr int32_t FW_DONTCARE = 0;  // taken as FW_NORMAL
inline constexpr int32_t FW_THIN = 100;
inline constexpr int32_t FW_LIGHT = 300;
inline constexpr int32_t FW_NORMAL = 400;
inline constexpr int32_t FW_MEDIUM = 500;
inline constexpr int32_t FW_SEMIBOLD = 600;
inline constexpr int32_t FW_BOLD = 700;
inline constexpr int32_t FW_HEAVY = 900;

// Charsets.
inline constexpr uint32_t ANSI_CHARSET = 0;
inline constexpr uint32_t DEFAULT_CHARSET = 1;
inline constexpr uint32_t SHIFTJIS_CHARSET = 128;
inline constexpr uint32_t HANGEUL_CHARSET = 129;

// Output precision, clip precision and quality (kept, no effect: glyphs are rendered from the
// outlines, sharp in GGO_BITMAP and antialiased in the gray formats whatever the quality).
inline constexpr uint32_t OUT_DEFAULT_PRECIS = 0;
inline constexpr uint32_t CLIP_DEFAULT_PRECIS = 0;
inline constexpr uint32_t DEFAULT_QUALITY = 0;
inline constexpr uint32_t DRAFT_QUALITY = 1;
inline constexpr uint32_t PROOF_QUALITY = 2;
inline constexpr uint32_t NONANTIALIASED_QUALITY = 3;
inline constexpr uint32_t ANTIALIASED_QUALITY = 4;

// Pitch (low two bits of pitchAndFamily; a request only, the face decides the pitch).
inline constexpr uint32_t DEFAULT_PITCH = 0;
inline constexpr uint32_t FIXED_PITCH = 1;
inline constexpr uint32_t VARIABLE_PITCH = 2;

// TextMetric::pitchAndFamily bits as GDI reports them: TMPF_FIXED_PITCH is set for a
// proportional face (GDI's inverted meaning), TMPF_VECTOR and TMPF_TRUETYPE always.
inline constexpr uint8_t TMPF_FIXED_PITCH = 0x01;
inline constexpr uint8_t TMPF_VECTOR = 0x02;
inline constexpr uint8_t TMPF_TRUETYPE = 0x04;

// A 16.16 fixed-point number as GDI stores it: value + fract / 65536.
struct Fixed {
    uint16_t fract;
    int16_t value;
};

// A 2 × 2 transform applied to a glyph (x' = eM11 x + eM21 y, y' = eM12 x + eM22 y, with y
// pointing up); the identity is {{0, 1}, {0, 0}, {0, 0}, {0, 1}}.
struct Mat2 {
    Fixed eM11;
    Fixed eM12;
    Fixed eM21;
    Fixed eM22;
};

// Where a glyph's bitmap lies (GDI's GLYPHMETRICS). The black box is the bitmap's size; the
// origin is the black box's top-left relative to the pen on the baseline: x to the right,
// y the distance from the baseline up to the box's top (negative when the box lies below the
// baseline). cellIncX/cellIncY move the pen to the next character.
struct GlyphMetrics {
    uint32_t blackBoxX;
    uint32_t blackBoxY;
    Point glyphOrigin;
    int16_t cellIncX;
    int16_t cellIncY;
};

// The metrics of the font selected into a device context, in pixels (GDI's TEXTMETRICA).
// height = ascent + descent (the cell); internalLeading = height - the em size;
// externalLeading = the face's extra line gap; aveCharWidth the average width of the
// Latin letters (the face's table), maxCharWidth the widest advance. Emboldened fonts add the
// emboldening to both widths (overhang stays 0, as for TrueType faces).
struct TextMetric {
    int32_t height;
    int32_t ascent;
    int32_t descent;
    int32_t internalLeading;
    int32_t externalLeading;
    int32_t aveCharWidth;
    int32_t maxCharWidth;
    int32_t weight;
    int32_t overhang;
    int32_t digitizedAspectX;
    int32_t digitizedAspectY;
    uint8_t firstChar;
    uint8_t lastChar;
    uint8_t defaultChar;
    uint8_t breakChar;
    uint8_t italic;
    uint8_t underlined;
    uint8_t struckOut;
    uint8_t pitchAndFamily;  // TMPF_* bits
    uint8_t charSet;
};

// Width and height of a string (GetTextExtentPoint32A).
struct TextSize {
    int32_t cx;
    int32_t cy;
};

// Creates a logical font (GDI's CreateFontA; the arguments in GDI's order).
// height: > 0 the cell height (ascent + descent) in pixels, < 0 the character (em) height,
// 0 the default of 16 pixels. width: 0 for the face's own proportions, else the average
// character width wanted (the glyphs are scaled horizontally). escapement and orientation
// are kept and have no effect. weight: 0..1000 (0 = FW_NORMAL); 600 and more embolden.
// italic: non-zero shears the glyphs to the right. underline and strikeOut are kept and
// reported by GetTextMetricsA. faceName: Shift-JIS, may be null (see the top of this file).
// Null, with a line to the debugger output, when the face's file cannot be opened or read, a
// size of more than 4096 pixels, a negative width, or a weight outside 0..1000.
Font* CreateFontA(int32_t height, int32_t width, int32_t escapement, int32_t orientation,
                  int32_t weight, uint32_t italic, uint32_t underline, uint32_t strikeOut,
                  uint32_t charSet, uint32_t outPrecision, uint32_t clipPrecision,
                  uint32_t quality, uint32_t pitchAndFamily, const char* faceName);

// Deletes a font. False for null, or while it is selected into a device context (select the
// previous font back first).
bool DeleteObject(Font* font);

// Selects font into a memory device context and returns the font selected before (null when
// none was). Selecting a null font (static_cast<Font*>(nullptr), as a bare nullptr would
// also match the bitmap overload) deselects. Select the previous font back before DeleteDC:
// the device context does not know about fonts, and its address may be reused by the next
// one, which would then start with the old selection.
Font* SelectObject(DeviceContext* dc, Font* font);

// Fills out with the metrics of the font selected into dc. False for null arguments or a
// device context with no font selected.
bool GetTextMetricsA(DeviceContext* dc, TextMetric* out);

// Renders one character of the font selected into dc (GDI's GetGlyphOutlineA).
// code: see the top of this file (with GGO_GLYPH_INDEX, a glyph index). format: GGO_METRICS,
// GGO_BITMAP or GGO_GRAY2/4/8_BITMAP, optionally with GGO_GLYPH_INDEX. metrics receives the
// glyph's metrics; transform (required, as in GDI) is applied to the glyph after the font's
// emboldening and italic shear.
//
// Bitmaps are black box y rows from the top, each padded to a multiple of 4 bytes: GGO_BITMAP
// rows of (blackBoxX + 31) / 32 × 4 bytes, a set bit per covered pixel; the gray formats one
// byte per pixel, (blackBoxX + 3) / 4 × 4 bytes a row, with levels 0..4, 0..16 or 0..64.
//
// Returns the bitmap's size in bytes. With buffer null or bufferSize 0 only the size and the
// metrics are given. A glyph with nothing to draw (a space) has size 0, a black box of 1 × 1
// at origin (0, 0) and its advance. GGO_METRICS returns 0.
// GDI_ERROR for a null dc, metrics or transform, a device context with no font, an unknown
// format, a code above 0xFFFF, a bufferSize smaller than the size, or a FreeType failure.
uint32_t GetGlyphOutlineA(DeviceContext* dc, uint32_t code, uint32_t format,
                          GlyphMetrics* metrics, uint32_t bufferSize, void* buffer,
                          const Mat2* transform);

// The width (summed advances) and height (TextMetric::height) of count bytes of Shift-JIS
// text in the font selected into dc. False for null arguments, a negative count or no font.
bool GetTextExtentPoint32A(DeviceContext* dc, const char* text, int32_t count, TextSize* out);

}  // namespace plat
