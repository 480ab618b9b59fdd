#include "platform/core/text_encoding.h"

#include <iconv.h>

#include <cerrno>

namespace plat {

namespace {

bool IsAscii(std::string_view text) {
    for (unsigned char c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}

// Converts with iconv; an unconvertible byte becomes '?' and the conversion goes on.
std::string Convert(const char* to, const char* from, std::string_view text) {
    if (IsAscii(text)) return std::string(text);
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
    std::string out;
    out.reserve(text.size() * 2);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // Invalid or truncated sequence: replace one byte and resynchronise.
            out.push_back('?');
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) { return Convert("UTF-8", "CP932", sjis); }
std::string Utf8ToSjis(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8); }

}  // namespace plat
