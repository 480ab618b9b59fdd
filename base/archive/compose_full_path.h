// Absolute paths from the library's paths. A path's parts are separated by '\' or '/' (a 0x5C
// trail byte of a double-byte character is no separator); the result uses '/', this platform's
// separator, and has no "." or ".." parts. There are no drive letters on this platform.
#pragma once
#include <cstddef>

constexpr size_t kFullPathSize = 260;

// Makes path absolute against base (an absolute path), or against the current directory when
// base is null: a path starting with a separator starts at the root ("//" at the start, a
// network path, stays), "." parts are dropped and ".." removes the part before it. Writes
// kFullPathSize bytes at most to out. Returns 0, or -1 when a part is empty (two separators in
// a row), the current directory cannot be had or the result does not fit.
int ComposeFullPath(const char* path, char* out, const char* base);
