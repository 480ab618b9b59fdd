// The layout of a ZNA archive: a 24-byte header, a data area and a tables block (names, file
// entries, directory records). Every integer is little-endian, and every byte of the file is
// XORed with the archive key by its file offset (archive_key.h).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

constexpr uint8_t kArchiveMagic0 = 'Z';
constexpr uint8_t kArchiveMagic1 = 'N';
// Versions below this one are read; version 2 adds the packed size to each file entry.
constexpr uint16_t kArchiveVersionLimit = 4;
constexpr uint16_t kArchiveVersionPacked = 2;

constexpr size_t kArchiveHeaderSize = 24;
constexpr size_t kArchiveEntrySizeV1 = 40;  // versions 0 and 1
constexpr size_t kArchiveEntrySizeV2 = 44;  // from version 2
constexpr size_t kArchiveDirRecordSize = 16;
constexpr size_t kArchivePackedHeaderSize = 9;  // unpacked size, packed size, escape byte

constexpr uint32_t kArchiveNoParent = 0xFFFFFFFFu;  // parent of the root directory record
constexpr uint32_t kArchiveStored = 0xFFFFFFFFu;    // packed size of an uncompressed entry
constexpr uint32_t kArchiveAttrDirectory = 0x10;
constexpr uint32_t kArchiveAttrFile = 0x20;

// Offsets of the file entry's fields.
constexpr size_t kEntryNameOffset = 0;
constexpr size_t kEntryAttributes = 4;
constexpr size_t kEntryCreationTime = 8;
constexpr size_t kEntryLastAccessTime = 16;
constexpr size_t kEntryLastWriteTime = 24;
constexpr size_t kEntryDataOffset = 32;
constexpr size_t kEntryDataSize = 36;
constexpr size_t kEntryPackedSize = 40;

// Offsets of the directory record's fields.
constexpr size_t kDirOwnEntry = 0;  // not used by the reader
constexpr size_t kDirParent = 4;
constexpr size_t kDirEntryCount = 8;
constexpr size_t kDirFirstEntry = 12;

// The header after unscrambling.
struct ArchiveHeader {
    uint16_t magic;       // the bytes "ZN"
    uint16_t version;
    uint32_t tablesSize;    // bytes of the tables block
    uint32_t dataOffset;    // file offset the entries' data offsets count from
    uint32_t tablesOffset;  // file offset of the tables block
    uint32_t entryTable;    // file-entry table, from the start of the tables block
    uint32_t dirTable;      // directory table, from the start of the tables block
};

inline uint16_t ReadLe16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t ReadLe32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint64_t ReadLe64(const unsigned char* p) {
    return static_cast<uint64_t>(ReadLe32(p)) | (static_cast<uint64_t>(ReadLe32(p + 4)) << 32);
}
inline void WriteLe16(unsigned char* p, uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void WriteLe32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
inline void WriteLe64(unsigned char* p, uint64_t v) {
    WriteLe32(p, static_cast<uint32_t>(v));
    WriteLe32(p + 4, static_cast<uint32_t>(v >> 32));
}

inline ArchiveHeader ParseArchiveHeader(const unsigned char* bytes) {
    ArchiveHeader h;
    h.magic = ReadLe16(bytes);
    h.version = ReadLe16(bytes + 2);
    h.tablesSize = ReadLe32(bytes + 4);
    h.dataOffset = ReadLe32(bytes + 8);
    h.tablesOffset = ReadLe32(bytes + 12);
    h.entryTable = ReadLe32(bytes + 16);
    h.dirTable = ReadLe32(bytes + 20);
    return h;
}

inline size_t ArchiveEntrySize(uint16_t version) {
    return version < kArchiveVersionPacked ? kArchiveEntrySizeV1 : kArchiveEntrySizeV2;
}

// FILETIME (100 ns steps since 1601-01-01 UTC) and seconds since 1970-01-01 UTC.
constexpr int64_t kFileTimeEpochSeconds = 11644473600LL;
inline int64_t FileTimeToUnixSeconds(uint64_t fileTime) {
    return static_cast<int64_t>(fileTime / 10000000u) - kFileTimeEpochSeconds;
}
inline uint64_t UnixSecondsToFileTime(int64_t seconds) {
    const int64_t since1601 = seconds + kFileTimeEpochSeconds;
    return since1601 < 0 ? 0 : static_cast<uint64_t>(since1601) * 10000000u;
}
