// Byte-string routines of the library. Text is Shift-JIS: the scanning routines step over
// the trail byte of a double-byte character, so a trail byte never matches a single-byte
// search. Every scan stops at the terminating NUL, even right after a lead byte.
#pragma once
#include <cstdint>

// True when byte starts a double-byte character of the given character set:
// 1 (Shift-JIS): 0x81-0x9F and 0xE0-0xFC; 2 (Korean, code page 949): every byte from 0x80 up.
// Any other set is treated as 1.
inline bool IsMultiByteLead(uint8_t byte, int charSet) {
    if (charSet == 2) return byte >= 0x80;
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The character set of the system's text, found at window start-up: 1 Shift-JIS (also before
// it is known), 2 Korean. 0 (cleared by the start-up reset) reads as 1.
int GetCharSet();
void SetCharSet(int charSet);

// Copies src, terminator included, to dst.
void StrCopy(char* dst, const char* src);
// Appends src at dst's terminator.
void StrAppend(char* dst, const char* src);
// First single-byte character c in text (c = 0 finds the terminator); double-byte characters
// are skipped whole and never match. Null when absent.
const char* StrFindCharSjis(const char* text, int c);
inline char* StrFindCharSjis(char* text, int c) {
    return const_cast<char*>(StrFindCharSjis(static_cast<const char*>(text), c));
}
// 0 when the two texts are equal, 1 otherwise.
int StrCompare(const char* a, const char* b);
// a-z to A-Z in place; double-byte characters are left as they are.
void StrToUpperSjis(char* text);
// Characters in the first byteLimit bytes of text, up to its terminator; a double-byte
// character (by the character set recorded at start-up) counts once. A lead byte in the last
// byte within the limit counts as one character; nothing beyond the limit is read.
int CountSjisChars(const char* text, int byteLimit);

// Skips to the first digit or "-" (-1 when the text ends first), then reads an optional "-"
// and up to 32 digits. The value wraps in 32 bits; "-" without digits gives 0.
int32_t ParseDecimal(const char* text);
// ParseDecimal from the first blank (space or tab) of text; -1 without one.
int32_t ParseNumberAfterSpace(const char* text);
// Writes value in radix (2..36; digits above 9 are lower-case letters, negative values get
// "-") to buffer, which needs 34 bytes for any value. Returns buffer; a radix outside 2..36
// writes "" and returns null.
char* IntToText(int32_t value, char* buffer, int radix);
