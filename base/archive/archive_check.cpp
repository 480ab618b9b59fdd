#include "base/archive/archive_check.h"

#include <cstring>

#include "base/tracked_memory.h"

namespace {

// A name record at offset in the tables block: both names terminated within 4L bytes and
// neither empty.
const char* CheckNameRecord(const OpenArchiveState& archive, uint32_t offset) {
    const uint64_t size = archive.header.tablesSize;
    if (uint64_t{offset} + 4 > size) return "a name lies beyond the tables";
    const unsigned char* record = archive.nameTable + offset;
    const uint64_t units = ReadLe16(record);
    if (units == 0) return "a name has no length";
    if (uint64_t{offset} + 4 + 8 * units > size) return "a name lies beyond the tables";
    const size_t padded = static_cast<size_t>(4 * units);
    const unsigned char* upper = record + 4;
    const unsigned char* stored = upper + padded;
    if (std::memchr(upper, 0, padded) == nullptr || std::memchr(stored, 0, padded) == nullptr) {
        return "a name has no terminator";
    }
    if (upper[0] == 0 || stored[0] == 0) return "a name is empty";
    return nullptr;
}

const char* CheckFileData(const OpenArchiveState& archive, const unsigned char* entry) {
    const uint64_t start = uint64_t{archive.header.dataOffset} + ReadLe32(entry + kEntryDataOffset);
    uint64_t length = ReadLe32(entry + kEntryDataSize);
    if (archive.header.version >= kArchiveVersionPacked) {
        const uint32_t packed = ReadLe32(entry + kEntryPackedSize);
        if (packed != kArchiveStored) {
            if (packed < kArchivePackedHeaderSize) return "a packed size is too small";
            length = packed;
        }
    }
    if (start + length > archive.fileSize) return "file data lies beyond the archive";
    return nullptr;
}

}  // namespace

const char* CheckArchiveHeader(const ArchiveHeader& header, uint64_t fileSize) {
    if (header.version >= kArchiveVersionLimit) return "the version is not supported";
    if (uint64_t{header.tablesOffset} + header.tablesSize > fileSize) {
        return "the tables lie beyond the archive";
    }
    if (header.dataOffset > fileSize) return "the data area lies beyond the archive";
    if (header.entryTable > header.tablesSize) return "the entry table lies beyond the tables";
    if (uint64_t{header.dirTable} + kArchiveDirRecordSize > header.tablesSize) {
        return "the directory table lies beyond the tables";
    }
    return nullptr;
}

const char* CheckArchiveTables(const OpenArchiveState& archive) {
    const uint64_t dirArea = archive.header.tablesSize - archive.header.dirTable;
    const uint64_t entryArea = archive.header.tablesSize - archive.header.entryTable;
    const uint64_t entryLimit = entryArea / archive.entrySize;

    // Directory records seen, and the ones still to walk with the parent each must name.
    auto* seen = static_cast<unsigned char*>(ZN_ALLOC_ZERO(static_cast<size_t>(dirArea)));
    auto* pending = static_cast<uint32_t*>(
        ZN_ALLOC(static_cast<size_t>(entryLimit + 1) * 2 * sizeof(uint32_t)));
    if (seen == nullptr || pending == nullptr) {
        TrackedFree(seen);
        TrackedFree(pending);
        return "no memory to check the tables";
    }

    const char* fault = nullptr;
    uint64_t entriesSeen = 0;
    size_t pendingCount = 0;
    pending[pendingCount++] = 0;  // the root, at offset 0
    pending[pendingCount++] = kArchiveNoParent;
    seen[0] = 1;
    while (fault == nullptr && pendingCount != 0) {
        const uint32_t parent = pending[--pendingCount];
        const uint32_t dir = pending[--pendingCount];
        const unsigned char* record = archive.dirTable + dir;
        if (ReadLe32(record + kDirParent) != parent) {
            fault = "a directory names another parent";
            break;
        }
        const uint64_t count = ReadLe32(record + kDirEntryCount);
        const uint64_t first = ReadLe32(record + kDirFirstEntry);
        entriesSeen += count;
        if (entriesSeen > entryLimit || first + count * archive.entrySize > entryArea) {
            fault = "directory entries lie beyond the entry table";
            break;
        }
        for (uint64_t i = 0; i < count && fault == nullptr; ++i) {
            const unsigned char* entry = archive.entryTable + first + i * archive.entrySize;
            fault = CheckNameRecord(archive, ReadLe32(entry + kEntryNameOffset));
            if (fault != nullptr) break;
            if ((ReadLe32(entry + kEntryAttributes) & kArchiveAttrDirectory) == 0) {
                fault = CheckFileData(archive, entry);
                continue;
            }
            const uint32_t child = ReadLe32(entry + kEntryDataOffset);
            if (uint64_t{child} + kArchiveDirRecordSize > dirArea) {
                fault = "a directory record lies beyond the directory table";
            } else if (seen[child] != 0) {
                fault = "the directories form a loop";
            } else {
                seen[child] = 1;
                pending[pendingCount++] = child;
                pending[pendingCount++] = dir;
            }
        }
    }
    TrackedFree(seen);
    TrackedFree(pending);
    return fault;
}
