// From a character code of GetGlyphOutlineA to the face's glyph: the code is Shift-JIS (a
// double-byte character with its lead byte in the high byte), converted to Unicode here.
#include <string>

#include "platform/core/text_encoding.h"
#include "platform/font/font_record.h"

namespace plat {

namespace {

constexpr uint32_t kNoCharacter = 0xFFFFFFFFu;

// The one Unicode character that the UTF-8 text holds, or kNoCharacter.
uint32_t SingleCodePoint(const std::string& utf8) {
    if (utf8.empty()) return kNoCharacter;
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    uint32_t cp;
    size_t length;
    if (s[0] < 0x80) {
        cp = s[0], length = 1;
    } else if ((s[0] & 0xE0) == 0xC0) {
        cp = s[0] & 0x1Fu, length = 2;
    } else if ((s[0] & 0xF0) == 0xE0) {
        cp = s[0] & 0x0Fu, length = 3;
    } else if ((s[0] & 0xF8) == 0xF0) {
        cp = s[0] & 0x07u, length = 4;
    } else {
        return kNoCharacter;
    }
    if (utf8.size() != length) return kNoCharacter;
    for (size_t i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80) return kNoCharacter;
        cp = (cp << 6) | (s[i] & 0x3Fu);
    }
    return cp;
}

// The Unicode character of a Shift-JIS code, or kNoCharacter when the code page does not
// map it (the conversion then answers '?' for a byte that is not itself '?').
uint32_t UnicodeForCode(uint32_t code) {
    std::string sjis;
    if (code > 0xFF) sjis.push_back(static_cast<char>(code >> 8));
    sjis.push_back(static_cast<char>(code & 0xFF));
    if (sjis == "?") return '?';
    const uint32_t cp = SingleCodePoint(SjisToUtf8(sjis));
    return cp == '?' ? kNoCharacter : cp;
}

}  // namespace

FT_UInt GlyphIndexForCode(FT_Face face, uint32_t code) {
    const uint32_t cp = UnicodeForCode(code);
    if (cp == kNoCharacter) return 0;
    return FT_Get_Char_Index(face, cp);
}

}  // namespace plat
