// Font handles: the table of 40 slots, the lookups and the small accessors of a font record.
#include <cstring>

#include "graphics/font/font.h"

FontSystemState& GetFontSystemState() {
    static FontSystemState state = [] {
        FontSystemState s{};
        s.defaults.handle = kNoHandle;
        return s;
    }();
    return state;
}

FontRecord* GetFontRecord(HandleValue font) {
    const int32_t slot = CheckHandleSlot(font, kHandleKindFont, kMaxFontHandles);
    if (slot < 0) return nullptr;
    FontRecord* record = GetFontSystemState().slots[slot];
    if (record == nullptr || !HandleSerialMatches(font, record->serial)) return nullptr;
    return record;
}

int IsValidFontHandle(HandleValue font) { return GetFontRecord(font) != nullptr ? 1 : 0; }

int GetFontSize(HandleValue font) {
    const FontRecord* record = GetFontRecord(font);
    return record != nullptr ? record->size : -1;
}

int GetFontState(char* faceName, int32_t* size, int32_t* thickness, HandleValue font) {
    const FontRecord* record = GetFontRecord(font);
    if (record == nullptr) return -1;
    if (faceName != nullptr) std::memcpy(faceName, record->faceName, kFontFaceNameSize);
    if (size != nullptr) *size = record->size;
    if (thickness != nullptr) *thickness = record->thickness;
    return 0;
}

int SetFontSpacing(int32_t spacing, HandleValue font) {
    FontRecord* record = GetFontRecord(font);
    if (record == nullptr) return -1;
    record->spacing = spacing;
    return 0;
}

int SetFontDeleteFlagPtr(HandleValue font, int32_t* flag) {
    FontRecord* record = GetFontRecord(font);
    if (record == nullptr) return -1;
    record->deletedFlag = flag;
    if (flag != nullptr) *flag = 0;
    return 0;
}

HandleValue GetDefaultFontHandle() { return GetFontSystemState().defaults.handle; }

int IsMultiByteLead(const char* byte, int32_t charSet) {
    const uint8_t b = static_cast<uint8_t>(*byte);
    if (charSet == 2) return b >= 0x80 ? 1 : 0;
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC) ? 1 : 0;
}

uint16_t GlyphKeyAt(const char* string, int32_t length, int32_t charSet, int32_t* bytes) {
    const uint8_t lead = static_cast<uint8_t>(string[0]);
    // A lead byte as the string's last byte has no second byte to take: it stands alone.
    if (length >= 2 && IsMultiByteLead(string, charSet)) {
        *bytes = 2;
        return static_cast<uint16_t>(static_cast<uint32_t>(static_cast<uint8_t>(string[1])) << 8 |
                                     lead);
    }
    *bytes = 1;
    return lead;
}
