// The find members of the archive-aware file functions: a pattern whose folder lies in an
// archive lists that archive directory's entries, any other goes to the disk search.
#include <cstring>

#include "base/archive/archive_file.h"
#include "base/archive/archive_names.h"
#include "base/archive/archive_path.h"
#include "base/archive/archive_table.h"
#include "base/disk_directory.h"
#include "base/sjis_string.h"
#include "base/tracked_memory.h"

namespace {

// One search: a disk search, or the walk of one archive directory ("." first, ".." below the
// root, then the entries whose upper-cased names match).
struct ArchiveFindRecord {
    uint32_t inArchive;
    intptr_t diskFind;
    int32_t archiveSlot;
    uint32_t dir;
    int64_t next;  // -2 ".", -1 "..", then the index of the next entry to look at
    char upperPattern[kFullPathSize];
};

void FillDotInfo(const char* name, FileInfo* info) {
    std::memset(info, 0, sizeof(*info));
    std::strcpy(info->name, name);
    info->directory = 1;
}

void FillEntryInfo(const OpenArchiveState& archive, const unsigned char* entry, FileInfo* info) {
    std::memset(info, 0, sizeof(*info));
    const ArchiveName name = ReadArchiveName(archive, entry);
    std::strncpy(info->name, name.stored, sizeof(info->name) - 1);
    const bool directory = (ReadLe32(entry + kEntryAttributes) & kArchiveAttrDirectory) != 0;
    info->directory = directory ? 1 : 0;
    info->sizeLow = directory ? 0 : ReadLe32(entry + kEntryDataSize);
    FileTimeToDateRecord(FileTimeToUnixSeconds(ReadLe64(entry + kEntryCreationTime)),
                         &info->creationTime);
    FileTimeToDateRecord(FileTimeToUnixSeconds(ReadLe64(entry + kEntryLastWriteTime)),
                         &info->lastWriteTime);
}

// Reports the search's next result; false when none is left.
bool NextInArchive(ArchiveFindRecord* find, FileInfo* info) {
    const OpenArchiveState& archive = *GetOpenArchive(find->archiveSlot);
    FileInfo scratch;
    if (info == nullptr) info = &scratch;
    if (find->next == -2) {
        find->next = find->dir == kArchiveRootDir ? 0 : -1;
        FillDotInfo(".", info);
        return true;
    }
    if (find->next == -1) {
        find->next = 0;
        FillDotInfo("..", info);
        return true;
    }
    const unsigned char* record = archive.dirTable + find->dir;
    const uint32_t count = ReadLe32(record + kDirEntryCount);
    const unsigned char* first = archive.entryTable + ReadLe32(record + kDirFirstEntry);
    while (find->next < count) {
        const unsigned char* entry = first + find->next * archive.entrySize;
        ++find->next;
        if (MatchArchivePattern(find->upperPattern, ReadArchiveName(archive, entry).upper)) {
            FillEntryInfo(archive, entry, info);
            return true;
        }
    }
    return false;
}

// Splits inner at its last '/': the folder walked to, and the name pattern.
bool StartArchiveFind(int slot, char* inner, ArchiveFindRecord* find) {
    char* cut = std::strrchr(inner, '/');
    const char* pattern = inner;
    if (cut != nullptr) {
        *cut = '\0';
        pattern = cut + 1;
    }
    uint32_t dir = 0;
    const unsigned char* entry = nullptr;
    if (!WalkArchivePath(*GetOpenArchive(slot), cut != nullptr ? inner : "", &dir, &entry) ||
        entry != nullptr) {
        return false;
    }
    std::strcpy(find->upperPattern, pattern);
    UpperCaseArchiveName(reinterpret_cast<unsigned char*>(find->upperPattern),
                         std::strlen(find->upperPattern));
    find->inArchive = 1;
    find->archiveSlot = slot;
    find->dir = dir;
    find->next = -2;
    return true;
}

}  // namespace

intptr_t ArchiveFindFirst(const char* pattern, FileInfo* info) {
    if (pattern == nullptr || pattern[0] == '\0') return -1;
    auto* find = static_cast<ArchiveFindRecord*>(ZN_ALLOC_ZERO(sizeof(ArchiveFindRecord)));
    if (find == nullptr) return -1;
    char inner[kFullPathSize];
    const int slot = ResolveArchivePath(pattern, inner);
    if (slot < 0) {
        find->diskFind = DiskFindFirst(pattern, info);
        if (find->diskFind == -1) {
            TrackedFree(find);
            return -1;
        }
        return reinterpret_cast<intptr_t>(find);
    }
    if (!StartArchiveFind(slot, inner, find) || !NextInArchive(find, info)) {
        ReleaseArchive(slot);
        TrackedFree(find);
        return -1;
    }
    return reinterpret_cast<intptr_t>(find);
}

int ArchiveFindNext(intptr_t findHandle, FileInfo* info) {
    if (findHandle == -1 || findHandle == 0) return -1;
    auto* find = reinterpret_cast<ArchiveFindRecord*>(findHandle);
    if (find->inArchive == 0) return DiskFindNext(find->diskFind, info);
    return NextInArchive(find, info) ? 0 : -1;
}

int ArchiveFindClose(intptr_t findHandle) {
    if (findHandle == -1 || findHandle == 0) return -1;
    auto* find = reinterpret_cast<ArchiveFindRecord*>(findHandle);
    int result = 0;
    if (find->inArchive == 0) {
        result = DiskFindClose(find->diskFind);
    } else {
        ReleaseArchive(find->archiveSlot);
    }
    TrackedFree(find);
    return result;
}
