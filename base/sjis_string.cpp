#include "base/sjis_string.h"

namespace {

int& CharSetRecord() {
    static int charSet = 1;
    return charSet;
}


// Shift-JIS lead test for the routines that always work on Shift-JIS text.
bool IsSjisLead(char c) {
    return IsMultiByteLead(static_cast<uint8_t>(c), 1);
}

}  // namespace

int GetCharSet() { return CharSetRecord(); }

void SetCharSet(int charSet) { CharSetRecord() = charSet; }

void StrCopy(char* dst, const char* src) {
    while ((*dst++ = *src++) != '\0') {
    }
}

void StrAppend(char* dst, const char* src) {
    while (*dst != '\0') ++dst;
    StrCopy(dst, src);
}

const char* StrFindCharSjis(const char* text, int c) {
    const char wanted = static_cast<char>(c);
    for (;;) {
        if (*text == wanted) return text;
        if (*text == '\0') return nullptr;
        if (IsSjisLead(*text)) {
            if (text[1] == '\0') return wanted == '\0' ? text + 1 : nullptr;
            text += 2;
        } else {
            ++text;
        }
    }
}

int StrCompare(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (*a != *b) return 1;
        if (*a == '\0') return 0;
    }
}

void StrToUpperSjis(char* text) {
    while (*text != '\0') {
        if (IsSjisLead(*text)) {
            if (text[1] == '\0') return;
            text += 2;
            continue;
        }
        if (*text >= 'a' && *text <= 'z') *text = static_cast<char>(*text - 'a' + 'A');
        ++text;
    }
}

int CountSjisChars(const char* text, int byteLimit) {
    const int charSet = GetCharSet();
    int count = 0;
    int pos = 0;
    while (pos < byteLimit && text[pos] != '\0') {
        const bool lead = IsMultiByteLead(static_cast<uint8_t>(text[pos]), charSet);
        if (lead && pos + 1 < byteLimit && text[pos + 1] != '\0') {
            pos += 2;
        } else {
            ++pos;
        }
        ++count;
    }
    return count;
}

int32_t ParseDecimal(const char* text) {
    while (*text != '-' && !(*text >= '0' && *text <= '9')) {
        if (*text == '\0') return -1;
        ++text;
    }
    bool negative = false;
    if (*text == '-') {
        negative = true;
        ++text;
    }
    // Unsigned arithmetic: an overlong number wraps instead of overflowing.
    uint32_t value = 0;
    for (int digits = 0; digits < 32 && *text >= '0' && *text <= '9'; ++digits, ++text) {
        value = value * 10u + static_cast<uint32_t>(*text - '0');
    }
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}

int32_t ParseNumberAfterSpace(const char* text) {
    while (*text != ' ' && *text != '\t') {
        if (*text == '\0') return -1;
        ++text;
    }
    return ParseDecimal(text);
}

char* IntToText(int32_t value, char* buffer, int radix) {
    if (buffer == nullptr) return nullptr;
    if (radix < 2 || radix > 36) {
        buffer[0] = '\0';
        return nullptr;
    }
    char* out = buffer;
    // The magnitude in unsigned arithmetic, so the most negative value needs no special case.
    uint32_t magnitude = static_cast<uint32_t>(value);
    if (value < 0) {
        *out++ = '-';
        magnitude = 0u - magnitude;
    }
    char digits[32];
    int count = 0;
    do {
        const uint32_t digit = magnitude % static_cast<uint32_t>(radix);
        digits[count++] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + (digit - 10));
        magnitude /= static_cast<uint32_t>(radix);
    } while (magnitude != 0);
    while (count > 0) *out++ = digits[--count];
    *out = '\0';
    return buffer;
}
