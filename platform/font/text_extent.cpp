// GetTextExtentPoint32A: the summed advances of a Shift-JIS string in the selected font.
#include <mutex>

#include "platform/core/text_encoding.h"
#include "platform/font/font_engine.h"
#include "platform/font/font_record.h"

namespace plat {

bool GetTextExtentPoint32A(DeviceContext* dc, const char* text, int32_t count, TextSize* out) {
    if (dc == nullptr || out == nullptr || count < 0 || (text == nullptr && count > 0)) {
        return false;
    }
    std::lock_guard<std::mutex> hold(FontEngineLock());
    Font* font = SelectedFont(dc);
    if (font == nullptr) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    FT_Pos width = 0;
    for (int32_t i = 0; i < count; ++i) {
        uint32_t code = bytes[i];
        // A lead byte with its second byte makes one character; a lead byte at the end
        // stands alone (and gets the missing glyph).
        if (IsSjisLeadByte(bytes[i]) && i + 1 < count) code = (code << 8) | bytes[++i];
        FT_Vector advance;
        if (!LoadShapedGlyph(font, GlyphIndexForCode(font->face, code), nullptr, &advance)) {
            return false;
        }
        width += (advance.x + 32) >> 6;
    }
    out->cx = static_cast<int32_t>(width);
    out->cy = font->metrics.height;
    return true;
}

}  // namespace plat
