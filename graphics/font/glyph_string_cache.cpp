// A string's characters into the glyph cache: one item per character, and one render of the
// characters not cached yet.
#include "graphics/font/font.h"

int CacheStringGlyphs(HandleValue font, const char* string, int32_t length, GlyphItem* items,
                      int32_t* charCount, int32_t* bytesUsed) {
    FontRecord* f = GetFontRecord(font);
    if (f == nullptr || string == nullptr) return -1;
    FontSystemState& state = GetFontSystemState();
    if (items == nullptr) items = state.items;
    GlyphItem* list = state.renderList;

    int32_t total = 0;
    while (string[total] != '\0' && (length < 0 || total < length)) ++total;

    // The render list holds each new character once, and never more than the cache holds, so
    // that no character of this pass evicts another before it is drawn.
    const int32_t listLimit = f->entryCount < kGlyphItemCapacity ? f->entryCount : kGlyphItemCapacity;
    int32_t listed = 0, count = 0, pos = 0;
    while (pos < total && count < kGlyphItemCapacity) {
        int32_t bytes = 1;
        const uint16_t key = GlyphKeyAt(string + pos, total - pos, f->charSet, &bytes);
        if (!f->codeMap[key].cached) {
            bool onList = false;
            for (int32_t i = 0; i < listed && !onList; ++i) onList = list[i].key == key;
            if (!onList) {
                if (listed == listLimit) break;
                list[listed++] = GlyphItem{key, 0};
            }
        }
        items[count++] = GlyphItem{key, 0};
        pos += bytes;
    }
    if (listed > 0) RenderGlyphsToCache(font, listed, list);
    if (charCount != nullptr) *charCount = count;
    if (bytesUsed != nullptr) *bytesUsed = pos;
    return 0;
}
