// printf-style formatting into a caller's buffer through the C runtime. Bounded: the buffer's
// size in bytes is passed along, and the text is cut to fit and always terminated. A cut
// never leaves half of a double-byte Shift-JIS character at the end.
#pragma once
#include <cstdarg>
#include <cstddef>

// Formats into buffer (size bytes, terminator included). Returns 0, also when the text was
// cut to fit; -1 (buffer untouched) for a null buffer or size 0, and -1 with "" written for a
// null format or when the C runtime reports an encoding error.
int FormatString(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// The same with a prepared argument list.
int FormatStringV(char* buffer, size_t size, const char* format, va_list arguments)
    __attribute__((format(printf, 3, 0)));
