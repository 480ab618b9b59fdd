#include "system/format.h"

#include <cstdio>

int FormatStringV(char* buffer, size_t size, const char* format, va_list arguments) {
    if (buffer == nullptr || size == 0) return -1;
    if (format == nullptr) {
        buffer[0] = '\0';
        return -1;
    }
    if (std::vsnprintf(buffer, size, format, arguments) < 0) {
        buffer[0] = '\0';
        return -1;
    }
    return 0;
}

int FormatString(char* buffer, size_t size, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int result = FormatStringV(buffer, size, format, arguments);
    va_end(arguments);
    return result;
}
