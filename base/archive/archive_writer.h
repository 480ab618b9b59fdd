// Writes archives in the reader's format: files and folders given by their paths become the
// name table, the file entries (40 bytes up to version 1, 44 from version 2) and the directory
// records, file data goes to the data area (LZ-packed from version 2 when that is smaller),
// and the whole file is scrambled with the archive key.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One file or folder to store. Paths are Shift-JIS, parts separated by '/' or '\'; folders on
// the way to a file need not be listed.
struct ArchiveSource {
    std::string path;
    bool directory = false;
    std::string data;  // a file's bytes
    uint64_t creationTime = 0;  // FILETIME: 100 ns steps since 1601-01-01 UTC
    uint64_t lastAccessTime = 0;
    uint64_t lastWriteTime = 0;
};

struct ArchiveWriteOptions {
    uint16_t version = 2;  // 0 to 3; packing needs 2 or above
    bool pack = true;      // pack files where that makes them smaller
    const char* keyText = nullptr;  // the key text the reader is set to (null: none)
    bool fallbackKey = false;       // scramble with the fallback key instead
};

// The archive's bytes; empty with *error set when the sources cannot be stored (a version of
// 4 or above, an empty or over-long name, a name given twice in a folder in any case, a file
// where a folder is needed, a file of 4 GB or more, or an archive beyond 4 GB).
std::vector<unsigned char> WriteArchive(const std::vector<ArchiveSource>& sources,
                                        const ArchiveWriteOptions& options, std::string* error);
