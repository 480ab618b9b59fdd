#include "base/archive/archive_file.h"

#include <cstring>

#include "base/archive/archive_names.h"
#include "base/archive/archive_path.h"
#include "base/archive/archive_table.h"
#include "base/archive/lz_unpack.h"
#include "base/disk_directory.h"
#include "base/disk_file.h"
#include "base/log.h"
#include "base/tracked_memory.h"

namespace {

// The record of a handle, or null when the handle is none of the table's.
ArchiveFileRecord* ToRecord(uintptr_t handle) {
    if ((handle & ~uintptr_t{0xFFFF}) != kArchiveFileHandleTag) return nullptr;
    const uintptr_t slot = handle & 0xFFFF;
    if (slot >= kArchiveFileSlots) return nullptr;
    return GetArchiveState().files[slot];
}

int FreeFileSlot() {
    ArchiveState& state = GetArchiveState();
    for (int i = 0; i < kArchiveFileSlots; ++i) {
        if (state.files[i] == nullptr) return i;
    }
    return -1;
}

uint64_t EntryFileOffset(const OpenArchiveState& archive, const unsigned char* entry) {
    return uint64_t{archive.header.dataOffset} + ReadLe32(entry + kEntryDataOffset);
}

// Unpacks a packed entry whole into state->unpacked. False (after a log line) when the packed
// bytes cannot be read or do not unpack to the entry's size.
bool UnpackEntry(OpenArchiveState* archive, ArchiveEntryState* state, uint32_t packedSize,
                 const char* path) {
    auto* packed = static_cast<unsigned char*>(ZN_ALLOC(packedSize));
    bool ok = packed != nullptr && ReadArchiveBytes(archive, EntryFileOffset(*archive, state->entry),
                                                    packed, packedSize);
    // The block's own sizes must agree with the entry's, and no more may be asked for than
    // the packed bytes can stand for, before the output is allocated.
    ok = ok && PackedBlockUnpackedSize(packed, packedSize) == state->size &&
         PackedBlockPackedSize(packed) == packedSize &&
         state->size <= (packedSize - kArchivePackedHeaderSize) * kLzMaxExpansion;
    if (ok) {
        state->unpacked = static_cast<unsigned char*>(ZN_ALLOC(state->size == 0 ? 1 : state->size));
        ok = state->unpacked != nullptr &&
             UnpackLz(packed, packedSize, state->unpacked) == state->size;
    }
    TrackedFree(packed);
    if (!ok) {
        LogFormat("アーカイブ内のファイル %s の展開に失敗しました", path);
        TrackedFree(state->unpacked);
        state->unpacked = nullptr;
    }
    return ok;
}

// Opens the entry at inner in the archive of slot. False when there is no such file or it
// cannot be unpacked.
bool OpenEntry(int slot, const char* inner, const char* path, ArchiveEntryState* state) {
    OpenArchiveState* archive = GetOpenArchive(slot);
    uint32_t dir = 0;
    const unsigned char* entry = nullptr;
    if (!WalkArchivePath(*archive, inner, &dir, &entry) || entry == nullptr) return false;
    state->archiveSlot = slot;
    state->entry = entry;
    state->size = ReadLe32(entry + kEntryDataSize);
    state->position = 0;
    state->end = 0;
    if (archive->header.version >= kArchiveVersionPacked) {
        const uint32_t packedSize = ReadLe32(entry + kEntryPackedSize);
        if (packedSize != kArchiveStored) return UnpackEntry(archive, state, packedSize, path);
    }
    return true;
}

// Closes what the handle of slot holds and frees it; the disk close's result, else 0.
int FreeRecord(int slot) {
    ArchiveState& state = GetArchiveState();
    ArchiveFileRecord* record = state.files[slot];
    if (record == nullptr) return 0;
    int result = 0;
    if (record->kind == ArchiveFileKind::Disk) {
        result = DiskFileClose(record->diskHandle);
    } else {
        TrackedFree(record->entry.unpacked);
        ReleaseArchive(record->entry.archiveSlot);
    }
    TrackedFree(record);
    state.files[slot] = nullptr;
    return result;
}

}  // namespace

uintptr_t ArchiveFileOpen(const char* path, int useCache, int extra, int async) {
    const int slot = FreeFileSlot();
    if (slot < 0) {
        LogWrite("同時に開けるファイルの数が限界を超えました\n");
        return 0;
    }
    auto* record = static_cast<ArchiveFileRecord*>(ZN_ALLOC_ZERO(sizeof(ArchiveFileRecord)));
    if (record == nullptr) {
        LogWrite("ファイルの情報を格納するメモリの確保に失敗しました\n");
        return 0;
    }

    char inner[kFullPathSize];
    const int archiveSlot = ResolveArchivePath(path, inner);
    if (archiveSlot < 0) {
        record->kind = ArchiveFileKind::Disk;
        record->diskHandle = DiskFileOpen(path, useCache, extra, async);
        if (record->diskHandle == 0) {
            TrackedFree(record);
            return 0;
        }
    } else {
        record->kind = ArchiveFileKind::Archive;
        if (!OpenEntry(archiveSlot, inner, path, &record->entry)) {
            ReleaseArchive(archiveSlot);
            TrackedFree(record);
            return 0;
        }
    }
    GetArchiveState().files[slot] = record;
    return kArchiveFileHandleTag | static_cast<uintptr_t>(slot);
}

int ArchiveFileClose(uintptr_t handle) {
    ArchiveFileRecord* record = ToRecord(handle);
    if (record == nullptr) return -1;
    return FreeRecord(static_cast<int>(handle & 0xFFFF));
}

int64_t ArchiveFileTell(uintptr_t handle) {
    ArchiveFileRecord* record = ToRecord(handle);
    if (record == nullptr) return -1;
    if (record->kind == ArchiveFileKind::Disk) return DiskFileTell(record->diskHandle);
    return record->entry.position;
}

int ArchiveFileSeek(uintptr_t handle, int64_t offset, int origin) {
    ArchiveFileRecord* record = ToRecord(handle);
    if (record == nullptr) return -1;
    if (record->kind == ArchiveFileKind::Disk) {
        return DiskFileSeek(record->diskHandle, offset, origin);
    }
    ArchiveEntryState& entry = record->entry;
    int64_t base;
    switch (origin) {
        case kSeekSet: base = 0; break;
        case kSeekCurrent: base = entry.position; break;
        case kSeekEnd: base = entry.size; break;
        default: return -1;
    }
    int64_t target;
    if (__builtin_add_overflow(base, offset, &target)) target = offset < 0 ? 0 : INT64_MAX;
    entry.position = target < 0 ? 0 : target;
    entry.end = 0;
    return 0;
}

size_t ArchiveFileRead(void* buffer, size_t size, size_t count, uintptr_t handle) {
    ArchiveFileRecord* record = ToRecord(handle);
    if (record == nullptr) return 0;
    if (record->kind == ArchiveFileKind::Disk) {
        return DiskFileRead(buffer, size, count, record->diskHandle);
    }
    ArchiveEntryState& entry = record->entry;
    if (size == 0 || entry.end != 0) return 0;
    if (entry.position >= static_cast<int64_t>(entry.size)) {
        entry.end = 1;
        return 0;
    }
    const uint64_t remaining = entry.size - static_cast<uint64_t>(entry.position);
    if (count > remaining / size) {
        count = static_cast<size_t>(remaining / size);
        if (count == 0) {
            entry.end = 1;
            return 0;
        }
    }
    const size_t bytes = size * count;
    if (entry.unpacked != nullptr) {
        std::memcpy(buffer, entry.unpacked + entry.position, bytes);
    } else {
        OpenArchiveState* archive = GetOpenArchive(entry.archiveSlot);
        const uint64_t at = EntryFileOffset(*archive, entry.entry) + entry.position;
        if (!ReadArchiveBytes(archive, at, buffer, bytes)) return 0;
    }
    entry.position += static_cast<int64_t>(bytes);
    entry.end = 0;
    return count;
}

int ArchiveFileEof(uintptr_t handle) {
    ArchiveFileRecord* record = ToRecord(handle);
    if (record == nullptr) return -1;
    if (record->kind == ArchiveFileKind::Disk) return DiskFileEof(record->diskHandle);
    return record->entry.end != 0 ? -1 : 0;
}

int ArchiveFileIdleCheck(uintptr_t handle) {
    ArchiveFileRecord* record = ToRecord(handle);
    if (record == nullptr) return 1;
    if (record->kind == ArchiveFileKind::Disk) return DiskFileIdleCheck(record->diskHandle);
    return 1;  // entry reads complete before they return
}

int ArchiveSetCurrentDir(const char* path) { return DiskSetCurrentDir(path); }
int ArchiveGetCurrentDir(char* buffer) { return DiskGetCurrentDir(buffer); }

void CloseAllArchiveFiles() {
    for (int i = 0; i < kArchiveFileSlots; ++i) FreeRecord(i);
}
