#include "base/archive/archive_table.h"

#include <cstring>
#include <new>

#include "base/archive/archive_check.h"
#include "base/archive/archive_file.h"
#include "base/archive/archive_folders.h"
#include "base/log.h"
#include "base/tracked_memory.h"
#include "platform/core/file.h"

namespace {

void FreeArchiveRecord(ArchiveRecord* record) {
    OpenArchiveState& archive = record->archive;
    if (archive.file != nullptr) plat::CloseFile(archive.file);
    TrackedFree(archive.image);
    TrackedFree(archive.tables);
    TrackedFree(record);
}

bool ReadAt(plat::File* file, uint64_t offset, void* buffer, size_t size) {
    if (plat::SeekFile(file, static_cast<int64_t>(offset), plat::SeekOrigin::Begin) < 0) {
        return false;
    }
    size_t done = 0;
    while (done < size) {
        const int64_t got = plat::ReadFile(file, static_cast<char*>(buffer) + done, size - done);
        if (got <= 0) return false;
        done += static_cast<size_t>(got);
    }
    return true;
}

// Decodes the header with the key of the key text, else with the fallback key; false when
// neither gives the magic.
bool DecodeHeader(const unsigned char* raw, OpenArchiveState* archive) {
    const ArchiveKey keys[2] = {BuildArchiveKey(GetArchiveState().keyText),
                                FallbackArchiveKey()};
    for (const ArchiveKey& key : keys) {
        unsigned char bytes[kArchiveHeaderSize];
        std::memcpy(bytes, raw, sizeof(bytes));
        XorArchiveBytes(bytes, sizeof(bytes), 0, key);
        if (bytes[0] == kArchiveMagic0 && bytes[1] == kArchiveMagic1) {
            archive->header = ParseArchiveHeader(bytes);
            archive->key = key;
            return true;
        }
    }
    return false;
}

// Fills a zeroed archive record from the file at path. A log line names what failed.
bool LoadArchive(const char* path, int memoryMode, OpenArchiveState* archive) {
    plat::File* file = plat::OpenFile(path, plat::FileAccess::Read, plat::FileCreation::OpenExisting);
    if (file == nullptr) return false;
    archive->file = file;
    const int64_t size = plat::FileSize(file);
    archive->fileSize = size < 0 ? 0 : static_cast<uint64_t>(size);

    unsigned char raw[kArchiveHeaderSize];
    if (archive->fileSize < kArchiveHeaderSize || !ReadAt(file, 0, raw, sizeof(raw)) ||
        !DecodeHeader(raw, archive)) {
        LogFormat("%s はアーカイブファイルではありません", path);
        return false;
    }
    archive->filePosition = UINT64_MAX;  // the header read moved the file: seek before reading
    const char* fault = CheckArchiveHeader(archive->header, archive->fileSize);
    if (fault != nullptr) {
        LogFormat("アーカイブファイル %s が壊れています (%s)", path, fault);
        return false;
    }
    archive->entrySize = ArchiveEntrySize(archive->header.version);
    archive->memoryMode = memoryMode != 0 ? 1 : 0;

    if (archive->memoryMode != 0) {
        archive->image = static_cast<unsigned char*>(ZN_ALLOC(archive->fileSize));
        if (archive->image == nullptr || !ReadAt(file, 0, archive->image, archive->fileSize)) {
            LogFormat("アーカイブファイル %s を読み込めませんでした", path);
            return false;
        }
        XorArchiveBytes(archive->image, archive->fileSize, 0, archive->key);
        plat::CloseFile(file);
        archive->file = nullptr;
    }

    const size_t tablesSize = archive->header.tablesSize;
    archive->tables = static_cast<unsigned char*>(ZN_ALLOC(tablesSize == 0 ? 1 : tablesSize));
    if (archive->tables == nullptr ||
        !ReadArchiveBytes(archive, archive->header.tablesOffset, archive->tables, tablesSize)) {
        LogFormat("アーカイブファイル %s の管理情報を読み込めませんでした", path);
        return false;
    }
    archive->nameTable = archive->tables;
    archive->entryTable = archive->tables + archive->header.entryTable;
    archive->dirTable = archive->tables + archive->header.dirTable;
    fault = CheckArchiveTables(*archive);
    if (fault != nullptr) {
        LogFormat("アーカイブファイル %s が壊れています (%s)", path, fault);
        return false;
    }
    return true;
}

int FindFreeSlot(ArchiveState& state) {
    for (int i = 0; i < kArchiveSlots; ++i) {
        if (state.archives[i] == nullptr) return i;
    }
    return -1;
}

}  // namespace

void ClearArchiveTables() {
    // Anything a previous run left open is closed rather than forgotten.
    CloseAllArchives();
    ArchiveState& state = GetArchiveState();
    state.cachePrefix[0] = '\0';
    state.cacheLength = 0;
    state.cacheSlot = -1;
}

int OpenArchive(const char* path, int memoryMode) {
    ArchiveState& state = GetArchiveState();
    if (path == nullptr || std::strlen(path) >= kArchivePathSize) return -1;
    for (int i = 0; i < kArchiveSlots; ++i) {
        ArchiveRecord* record = state.archives[i];
        if (record != nullptr && std::strcmp(record->path, path) == 0) {
            ++record->refCount;
            return i;
        }
    }

    int slot = FindFreeSlot(state);
    if (slot < 0) {
        // Archives nobody uses make room.
        for (int i = 0; i < kArchiveSlots; ++i) {
            if (state.archives[i] != nullptr && state.archives[i]->refCount == 0) CloseArchive(i);
        }
        slot = FindFreeSlot(state);
        if (slot < 0) return -1;
    }

    auto* record = static_cast<ArchiveRecord*>(ZN_ALLOC_ZERO(sizeof(ArchiveRecord)));
    if (record == nullptr) return -1;
    if (!LoadArchive(path, memoryMode, &record->archive)) {
        FreeArchiveRecord(record);
        return -1;
    }
    std::strcpy(record->path, path);
    record->refCount = 1;
    state.archives[slot] = record;
    return slot;
}

void ReleaseArchive(int slot) {
    if (slot < 0 || slot >= kArchiveSlots) return;
    ArchiveRecord* record = GetArchiveState().archives[slot];
    if (record != nullptr && record->refCount > 0) --record->refCount;
}

int CloseArchive(int slot) {
    ArchiveState& state = GetArchiveState();
    if (slot < 0 || slot >= kArchiveSlots || state.archives[slot] == nullptr) return -1;
    FreeArchiveRecord(state.archives[slot]);
    state.archives[slot] = nullptr;
    if (state.cacheSlot == slot) {
        state.cacheSlot = -1;
        state.cacheLength = 0;
        state.cachePrefix[0] = '\0';
    }
    return 0;
}

OpenArchiveState* GetOpenArchive(int slot) {
    if (slot < 0 || slot >= kArchiveSlots) return nullptr;
    ArchiveRecord* record = GetArchiveState().archives[slot];
    return record == nullptr ? nullptr : &record->archive;
}

bool ReadArchiveBytes(OpenArchiveState* archive, uint64_t fileOffset, void* buffer, size_t size) {
    if (size == 0) return true;
    if (fileOffset > archive->fileSize || size > archive->fileSize - fileOffset) return false;
    if (archive->memoryMode != 0) {
        std::memcpy(buffer, archive->image + fileOffset, size);
        return true;
    }
    if (archive->filePosition != fileOffset &&
        plat::SeekFile(archive->file, static_cast<int64_t>(fileOffset), plat::SeekOrigin::Begin) < 0) {
        archive->filePosition = UINT64_MAX;
        return false;
    }
    size_t done = 0;
    while (done < size) {
        const int64_t got =
            plat::ReadFile(archive->file, static_cast<char*>(buffer) + done, size - done);
        if (got <= 0) {
            archive->filePosition = UINT64_MAX;
            return false;
        }
        done += static_cast<size_t>(got);
    }
    archive->filePosition = fileOffset + size;
    XorArchiveBytes(buffer, size, fileOffset, archive->key);
    return true;
}

void CloseAllArchives() {
    CloseAllArchiveFiles();
    for (int i = 0; i < kArchiveSlots; ++i) CloseArchive(i);
    // Folders may change between runs of the library.
    ForgetArchiveFolders();
}
