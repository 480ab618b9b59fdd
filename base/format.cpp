#include "base/format.h"

#include <cstdio>

#include "base/sjis_string.h"

namespace {

// After a cut, a lead byte left last in the buffer would pair with the terminator; drop it so
// the text stays whole characters.
void DropDanglingLeadByte(char* buffer) {
    char* p = buffer;
    while (*p != '\0') {
        if (IsMultiByteLead(static_cast<uint8_t>(*p), 1)) {
            if (p[1] == '\0') {
                *p = '\0';
                return;
            }
            p += 2;
        } else {
            ++p;
        }
    }
}

}  // namespace

int FormatStringV(char* buffer, size_t size, const char* format, va_list arguments) {
    if (buffer == nullptr || size == 0) return -1;
    if (format == nullptr) {
        buffer[0] = '\0';
        return -1;
    }
    const int length = std::vsnprintf(buffer, size, format, arguments);
    if (length < 0) {
        buffer[0] = '\0';
        return -1;
    }
    if (static_cast<size_t>(length) >= size) DropDanglingLeadByte(buffer);
    return 0;
}

int FormatString(char* buffer, size_t size, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int result = FormatStringV(buffer, size, format, arguments);
    va_end(arguments);
    return result;
}
