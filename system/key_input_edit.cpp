// The editing rules of a string input. Character boundaries are always found by scanning the
// text from its start: a trail byte can look like a lead byte, so a scan that starts in the
// middle of the text could split a character.
#include <cstring>

#include "base/sjis_string.h"
#include "system/key_input.h"

namespace {

// Control characters of the queue.
constexpr uint8_t kBackspace = 8;
constexpr uint8_t kTab = 9;
constexpr uint8_t kEnter = 13;
constexpr uint8_t kDelete = 16;
constexpr uint8_t kEscape = 27;
constexpr uint8_t kRight = 28;
constexpr uint8_t kLeft = 29;
constexpr uint8_t kUp = 30;
constexpr uint8_t kDown = 31;

void RemoveBytes(KeyInputRecord& record, int32_t at, int32_t count) {
    std::memmove(record.text + at, record.text + at + count,
                 static_cast<size_t>(record.length - at - count + 1));
    record.length -= count;
}

// Whether the character may go into the text at the cursor.
bool PassesFilters(const KeyInputRecord& record, const uint8_t* bytes, int size) {
    if (size == 1 && bytes[0] == '\0') return false;  // the text is NUL-terminated
    if (record.singleByteOnly && size == 2) return false;
    if (!record.digitsOnly) return true;
    if (size != 1) return false;
    const bool leadingMinus = record.length > 0 && record.text[0] == '-';
    // "-" only as the first character: at the start of a text that has none yet; and nothing
    // goes in front of it.
    if (bytes[0] == '-') return record.cursor == 0 && !leadingMinus;
    return bytes[0] >= '0' && bytes[0] <= '9' && !(record.cursor == 0 && leadingMinus);
}

void InsertChar(KeyInputRecord& record, const uint8_t* bytes, int size, int charSet) {
    // A character larger than the whole buffer never fits.
    if (size > record.maxLength) return;
    while (record.length + size > record.maxLength) {
        record.length = KeyInputPrevChar(record.text, record.length, charSet);
        record.text[record.length] = '\0';
        if (record.cursor > record.length) record.cursor = record.length;
    }
    char* at = record.text + record.cursor;
    std::memmove(at + size, at, static_cast<size_t>(record.length - record.cursor + 1));
    std::memcpy(at, bytes, static_cast<size_t>(size));
    record.cursor += size;
    record.length += size;
}

}  // namespace

int32_t KeyInputCharSize(const char* text, int32_t length, int32_t pos, int charSet) {
    return IsMultiByteLead(static_cast<uint8_t>(text[pos]), charSet) && pos + 1 < length ? 2 : 1;
}

int32_t KeyInputPrevChar(const char* text, int32_t pos, int charSet) {
    int32_t previous = 0;
    for (int32_t at = 0; at < pos;) {
        previous = at;
        at += KeyInputCharSize(text, pos, at, charSet);
    }
    return previous;
}

void ApplyKeyInputChar(KeyInputRecord& record, const uint8_t* bytes, int size, int charSet) {
    if (size == 1 && bytes[0] >= kBackspace && bytes[0] <= kDown) {
        switch (bytes[0]) {
            case kBackspace:
                if (record.cursor > 0) {
                    const int32_t start = KeyInputPrevChar(record.text, record.cursor, charSet);
                    RemoveBytes(record, start, record.cursor - start);
                    record.cursor = start;
                }
                return;
            case kTab:
            case kUp:
            case kDown:
                return;
            case kEnter:
                record.ended = 1;
                return;
            case kDelete:
                if (record.cursor < record.length) {
                    RemoveBytes(record, record.cursor,
                                KeyInputCharSize(record.text, record.length, record.cursor,
                                                 charSet));
                }
                return;
            case kEscape:
                if (record.escapeAllowed) {
                    record.cancelled = 1;
                    record.ended = 1;
                }
                return;
            case kRight:
                if (record.cursor < record.length) {
                    record.cursor += KeyInputCharSize(record.text, record.length, record.cursor,
                                                      charSet);
                }
                return;
            case kLeft:
                if (record.cursor > 0) {
                    record.cursor = KeyInputPrevChar(record.text, record.cursor, charSet);
                }
                return;
            default:
                break;  // the other control characters go in like text
        }
    }
    if (!PassesFilters(record, bytes, size)) return;
    InsertChar(record, bytes, size, charSet);
}
