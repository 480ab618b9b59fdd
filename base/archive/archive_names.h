// Names inside an archive: the search key of a name (upper-cased, its byte sum and padded
// length, as in a name record), the lookup of a name in a directory, the walk of a path
// through the directory records, and the wildcard match of the archive's searches.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/archive/archive_state.h"

// Upper-cases a-z of a Shift-JIS name in place, leaving double-byte characters as they are.
void UpperCaseArchiveName(unsigned char* name, size_t length);

// A name record's fields.
struct ArchiveName {
    uint16_t units;          // padded length in 4-byte units
    uint16_t check;          // 16-bit sum of the upper-cased bytes
    const char* upper;       // upper-cased name, zero-padded to 4 * units bytes
    const char* stored;      // the name as stored
};
ArchiveName ReadArchiveName(const OpenArchiveState& archive, const unsigned char* entry);

// Offsets from the start of the tables block: a directory record is named by its offset in the
// directory table (the root is 0).
constexpr uint32_t kArchiveRootDir = 0;

// The entry named name (length bytes, any case) in the directory dir, or null.
const unsigned char* FindArchiveEntry(const OpenArchiveState& archive, uint32_t dir, const char* name,
                                      size_t length);

// Walks path ('/'-separated parts, "." and ".." allowed) from the root. When it names a file:
// *entry is its entry and *dir the directory it lies in; when it names a directory (or is
// empty): *entry is null and *dir is that directory. False when a part is missing, a middle
// part is a file or ".." goes above the root.
bool WalkArchivePath(const OpenArchiveState& archive, const char* path, uint32_t* dir,
                     const unsigned char** entry);

// The archive's wildcard match of an upper-cased name: '?' matches any one byte, '*' (runs
// count as one) skips to the first occurrence of the pattern's next character without going
// back, a trailing '*' matches the rest, double-byte characters compare as pairs.
bool MatchArchivePattern(const char* upperPattern, const char* upperName);
