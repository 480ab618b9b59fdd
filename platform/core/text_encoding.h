// Conversion between the library's Shift-JIS (CP932) text and UTF-8 at the platform edge.
#pragma once
#include <string>
#include <string_view>

namespace plat {

// Bytes that cannot be converted are replaced by '?'.
std::string SjisToUtf8(std::string_view sjis);
std::string Utf8ToSjis(std::string_view utf8);
// Lead bytes of a double-byte Shift-JIS character: 0x81-0x9F and 0xE0-0xFC.
inline bool IsSjisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace plat
