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
#include "platform/core/clock.h"

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

// Unpacks the packed bytes of an entry (already read and unscrambled) whole into
// state->unpacked. False (after a log line) when they do not unpack to the entry's size.
bool UnpackPacked(ArchiveEntryState* state, const unsigned char* packed, uint32_t packedSize,
                  const char* path) {
    // The block's own sizes must agree with the entry's, and no more may be asked for than
    // the packed bytes can stand for, before the output is allocated.
    bool ok = PackedBlockUnpackedSize(packed, packedSize) == state->size &&
              PackedBlockPackedSize(packed) == packedSize &&
              state->size <= (packedSize - kArchivePackedHeaderSize) * kLzMaxExpansion;
    if (ok) {
        state->unpacked = static_cast<unsigned char*>(ZN_ALLOC(state->size == 0 ? 1 : state->size));
        ok = state->unpacked != nullptr &&
             UnpackLz(packed, packedSize, state->unpacked) == state->size;
    }
    if (!ok) {
        LogFormat("アーカイブ内のファイル %s の展開に失敗しました", path);
        TrackedFree(state->unpacked);
        state->unpacked = nullptr;
    }
    return ok;
}

// Reads and unpacks a packed entry whole at open.
bool UnpackEntry(OpenArchiveState* archive, ArchiveEntryState* state, uint32_t packedSize,
                 const char* path) {
    auto* packed = static_cast<unsigned char*>(ZN_ALLOC(packedSize));
    bool ok = packed != nullptr && ReadArchiveBytes(archive, EntryFileOffset(*archive, state->entry),
                                                    packed, packedSize);
    if (!ok) LogFormat("アーカイブ内のファイル %s の展開に失敗しました", path);
    ok = ok && UnpackPacked(state, packed, packedSize, path);
    TrackedFree(packed);
    return ok;
}

// Starts an asynchronous read of size bytes at the archive file offset into target.
bool StartAsyncRead(ArchiveEntryState* state, ArchivePending kind, uint64_t offset,
                    unsigned char* target, size_t size) {
    if (DiskFileSeek(state->asyncFile, static_cast<int64_t>(offset), kSeekSet) != 0) return false;
    if (size != 0 && DiskFileRead(target, 1, size, state->asyncFile) != size) return false;
    state->pending = kind;
    state->pendingOffset = offset;
    state->pendingTarget = target;
    state->pendingSize = size;
    return true;
}

// Finishes the pending read once the access thread has done it (waiting for it, sleeping 1 ms
// between looks, when wait is set): unscrambles the bytes and, for a packed load, unpacks them
// and frees the packed bytes. True when nothing is pending any more.
bool FinishPending(ArchiveEntryState* state, bool wait) {
    if (state->pending == ArchivePending::None) return true;
    while (DiskFileIdleCheck(state->asyncFile) == 0) {
        if (!wait) return false;
        plat::SleepMs(1);
    }
    const ArchivePending kind = state->pending;
    state->pending = ArchivePending::None;
    OpenArchiveState* archive = GetOpenArchive(state->archiveSlot);
    // Only what the thread really delivered is unscrambled; a short read leaves the rest.
    const size_t got = reinterpret_cast<DiskFileRecord*>(state->asyncFile)->readDone;
    const size_t done = got < state->pendingSize ? got : state->pendingSize;
    XorArchiveBytes(state->pendingTarget, done, state->pendingOffset, archive->key);
    if (kind == ArchivePending::PackedLoad) {
        if (done != state->packedSize) {
            LogFormat("アーカイブ内のファイル %s の展開に失敗しました", state->path);
            state->failed = 1;
        } else if (!UnpackPacked(state, state->packed, state->packedSize, state->path)) {
            state->failed = 1;
        }
        TrackedFree(state->packed);
        state->packed = nullptr;
    }
    return true;
}

// A pending packed load is waited for before anything about the entry is told.
void WaitForLoad(ArchiveEntryState* state) {
    if (state->pending == ArchivePending::PackedLoad) FinishPending(state, true);
}

// Opens the entry at inner in the archive of slot. False when there is no such file or it
// cannot be unpacked (or, asynchronous, its load cannot be started).
bool OpenEntry(int slot, const char* inner, const char* path, int async,
               ArchiveEntryState* state) {
    OpenArchiveState* archive = GetOpenArchive(slot);
    uint32_t dir = 0;
    const unsigned char* entry = nullptr;
    if (!WalkArchivePath(*archive, inner, &dir, &entry) || entry == nullptr) return false;
    state->archiveSlot = slot;
    state->entry = entry;
    state->size = ReadLe32(entry + kEntryDataSize);
    state->position = 0;
    state->end = 0;
    // An archive in memory has nothing to wait for.
    if (async != 0 && archive->memoryMode == 0) {
        state->async = 1;
        const size_t length = strnlen(path, sizeof(state->path) - 1);
        std::memcpy(state->path, path, length);
        state->path[length] = '\0';
        state->asyncFile = DiskFileOpen(GetArchiveState().archives[slot]->path, 0, 0, 1);
        if (state->asyncFile == 0) return false;
    }
    if (archive->header.version >= kArchiveVersionPacked) {
        const uint32_t packedSize = ReadLe32(entry + kEntryPackedSize);
        if (packedSize != kArchiveStored) {
            if (state->async == 0) return UnpackEntry(archive, state, packedSize, path);
            state->packed = static_cast<unsigned char*>(ZN_ALLOC(packedSize));
            state->packedSize = packedSize;
            return state->packed != nullptr &&
                   StartAsyncRead(state, ArchivePending::PackedLoad,
                                  EntryFileOffset(*archive, entry), state->packed, packedSize);
        }
    }
    return true;
}

// Frees what an entry holds (after its pending read is done).
void FreeEntry(ArchiveEntryState* state) {
    if (state->asyncFile != 0) {
        FinishPending(state, true);
        DiskFileClose(state->asyncFile);
        state->asyncFile = 0;
    }
    TrackedFree(state->packed);
    state->packed = nullptr;
    TrackedFree(state->unpacked);
    state->unpacked = nullptr;
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
        FreeEntry(&record->entry);
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
        if (!OpenEntry(archiveSlot, inner, path, async, &record->entry)) {
            FreeEntry(&record->entry);
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
    WaitForLoad(&record->entry);
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
    // The previous read is finished first: its bytes are unscrambled before the access thread
    // takes the next command.
    FinishPending(&entry, true);
    if (entry.failed != 0) entry.end = 1;  // a load that could not be unpacked holds nothing
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
    } else if (entry.async != 0) {
        OpenArchiveState* archive = GetOpenArchive(entry.archiveSlot);
        const uint64_t at = EntryFileOffset(*archive, entry.entry) + entry.position;
        if (!StartAsyncRead(&entry, ArchivePending::PlainRead, at,
                            static_cast<unsigned char*>(buffer), bytes)) {
            entry.end = 1;  // nothing more can be had: a reader's loop ends on the end flag
            return 0;
        }
    } else {
        OpenArchiveState* archive = GetOpenArchive(entry.archiveSlot);
        const uint64_t at = EntryFileOffset(*archive, entry.entry) + entry.position;
        if (!ReadArchiveBytes(archive, at, buffer, bytes)) {
            entry.end = 1;  // nothing more can be had: a reader's loop ends on the end flag
            return 0;
        }
    }
    entry.position += static_cast<int64_t>(bytes);
    entry.end = 0;
    return count;
}

int ArchiveFileEof(uintptr_t handle) {
    ArchiveFileRecord* record = ToRecord(handle);
    if (record == nullptr) return -1;
    if (record->kind == ArchiveFileKind::Disk) return DiskFileEof(record->diskHandle);
    WaitForLoad(&record->entry);
    return record->entry.end != 0 ? -1 : 0;
}

int ArchiveFileIdleCheck(uintptr_t handle) {
    ArchiveFileRecord* record = ToRecord(handle);
    if (record == nullptr) return 1;
    if (record->kind == ArchiveFileKind::Disk) return DiskFileIdleCheck(record->diskHandle);
    return FinishPending(&record->entry, false) ? 1 : 0;
}

int ArchiveSetCurrentDir(const char* path) { return DiskSetCurrentDir(path); }
int ArchiveGetCurrentDir(char* buffer) { return DiskGetCurrentDir(buffer); }

void CloseAllArchiveFiles() {
    for (int i = 0; i < kArchiveFileSlots; ++i) FreeRecord(i);
}
