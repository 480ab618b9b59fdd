#include "base/disk_file.h"

#include <cstring>
#include <new>

#include "platform/core/file.h"
#include "platform/core/thread.h"
#include "base/log.h"
#include "base/tracked_memory.h"

namespace {

std::atomic<uint32_t> g_readAheadWait{100};

DiskFileRecord* ToRecord(uintptr_t handle) { return reinterpret_cast<DiskFileRecord*>(handle); }

// Frees the record and whatever of the threaded set-up it still holds. The thread, when there
// is one, has already ended.
void FreeRecord(DiskFileRecord* file) {
    TrackedFree(file->cache);
    if (file->commandEvent != nullptr) plat::CloseEvent(file->commandEvent);
    if (file->doneEvent != nullptr) plat::CloseEvent(file->doneEvent);
    file->~DiskFileRecord();
    TrackedFree(file);
}

// Hands a command to the access thread: waits until the previous one is done, lets fill()
// write the command's fields, then wakes the thread.
template <typename Fill>
void PostCommand(DiskFileRecord* file, uint32_t command, Fill fill) {
    plat::WaitEvent(file->doneEvent, plat::kWaitForever);
    file->command = command;
    fill();
    plat::ResetEvent(file->doneEvent);
    plat::SetEvent(file->commandEvent);
}

void WaitForDone(DiskFileRecord* file) { plat::WaitEvent(file->doneEvent, plat::kWaitForever); }

// Sets up the access thread of a cached or asynchronous file and has it open the file (the
// thread also reads the size). False, with the record freed, on failure.
bool OpenThreaded(DiskFileRecord* file, const char* path) {
    size_t length = std::strlen(path);
    if (length >= sizeof(file->path)) {
        FreeRecord(file);
        LogWrite("ファイルのオープンに失敗しました\n");
        return false;
    }

    if (file->readCache != 0) {
        file->cache = static_cast<unsigned char*>(ZN_ALLOC(kDiskFileCacheSize));
        if (file->cache == nullptr) {
            LogWrite("ファイル読み込みキャッシュ用メモリの確保に失敗しました\n");
            FreeRecord(file);
            return false;
        }
    }

    file->commandEvent = plat::CreateEvent(true, false);
    file->doneEvent = plat::CreateEvent(true, true);
    if (file->commandEvent != nullptr && file->doneEvent != nullptr) {
        file->thread = plat::StartThread(FileAccessThread, file);
    }
    if (file->thread == nullptr) {
        LogWrite("ファイルアクセス専用スレッドの作成に失敗しました\n");
        FreeRecord(file);
        return false;
    }

    PostCommand(file, kDiskCommandOpen, [&] { std::memcpy(file->path, path, length + 1); });
    WaitForDone(file);
    if (file->error != 0) {
        plat::JoinThread(file->thread);  // the thread has left after reporting the error
        FreeRecord(file);
        LogWrite("ファイルのオープンに失敗しました\n");
        return false;
    }
    return true;
}

}  // namespace

void SetDiskReadAheadWait(uint32_t ms) { g_readAheadWait.store(ms); }
uint32_t GetDiskReadAheadWait() { return g_readAheadWait.load(); }

uintptr_t DiskFileOpen(const char* path, int useCache, int /*extra*/, int async) {
    if (path == nullptr) return 0;
    void* memory = ZN_ALLOC(sizeof(DiskFileRecord));
    if (memory == nullptr) return 0;
    DiskFileRecord* file = new (memory) DiskFileRecord{};
    file->readCache = useCache != 0 ? 1 : 0;
    file->async = async != 0 ? 1 : 0;
    file->threaded = (file->readCache != 0 || file->async != 0) ? 1 : 0;

    if (file->threaded == 0) {
        file->file = plat::OpenFile(path, plat::FileAccess::Read, plat::FileCreation::OpenExisting);
        if (file->file == nullptr) {
            FreeRecord(file);
            return 0;
        }
        int64_t size = plat::FileSize(file->file);
        file->size = size < 0 ? 0 : size;
    } else if (!OpenThreaded(file, path)) {
        return 0;
    }

    file->position = 0;
    file->end = 0;
    return reinterpret_cast<uintptr_t>(file);
}

int DiskFileClose(uintptr_t handle) {
    DiskFileRecord* file = ToRecord(handle);
    if (file == nullptr) return -1;
    if (file->threaded == 0) {
        plat::CloseFile(file->file);
        FreeRecord(file);
        return 0;
    }
    PostCommand(file, kDiskCommandEnd, [] {});
    WaitForDone(file);
    plat::JoinThread(file->thread);
    FreeRecord(file);
    return 0;
}

int64_t DiskFileTell(uintptr_t handle) {
    DiskFileRecord* file = ToRecord(handle);
    return file == nullptr ? -1 : file->position;
}

int DiskFileSeek(uintptr_t handle, int64_t offset, int origin) {
    DiskFileRecord* file = ToRecord(handle);
    if (file == nullptr) return -1;
    int64_t base;
    switch (origin) {
        case 0:
            base = 0;
            break;
        case 1:
            base = file->position;
            break;
        case 2:
            base = file->size;
            break;
        default:
            return -1;
    }
    int64_t target;
    // A target below 0 is refused; one beyond the end is kept and reads there find the end.
    if (__builtin_add_overflow(base, offset, &target) || target < 0) return -1;

    if (file->threaded == 0) {
        if (plat::SeekFile(file->file, target, plat::SeekOrigin::Begin) < 0) return -1;
    } else {
        PostCommand(file, kDiskCommandSeek, [&] { file->seekTarget = target; });
    }
    file->position = target;
    file->end = 0;
    return 0;
}

size_t DiskFileRead(void* buffer, size_t size, size_t count, uintptr_t handle) {
    DiskFileRecord* file = ToRecord(handle);
    if (file == nullptr || size == 0) return 0;
    if (file->position >= file->size) {
        file->end = 1;
        return 0;
    }

    // Only whole elements are read, and none beyond the end.
    uint64_t remaining = static_cast<uint64_t>(file->size - file->position);
    if (count > remaining / size) {
        count = static_cast<size_t>(remaining / size);
        if (count == 0) {
            file->end = 1;
            return 0;
        }
    }
    size_t bytes = size * count;

    if (file->threaded == 0) {
        int64_t got = plat::ReadFile(file->file, buffer, bytes);
        if (got < 0) got = 0;
        file->position += got;
        return static_cast<size_t>(got) / size;
    }

    PostCommand(file, kDiskCommandRead, [&] {
        file->readDestination = static_cast<unsigned char*>(buffer);
        file->readPosition = file->position;
        file->readSize = bytes;
        file->readDone = 0;
    });
    if (file->async != 0) {
        // The data arrives later; the idle test tells when.
        file->position += static_cast<int64_t>(bytes);
        return count;
    }
    WaitForDone(file);
    file->position += static_cast<int64_t>(file->readDone);
    return file->readDone / size;
}

int DiskFileEof(uintptr_t handle) {
    DiskFileRecord* file = ToRecord(handle);
    if (file == nullptr) return -1;
    return file->end != 0 ? -1 : 0;
}

int DiskFileIdleCheck(uintptr_t handle) {
    DiskFileRecord* file = ToRecord(handle);
    if (file == nullptr || file->threaded == 0) return 1;
    return plat::WaitEvent(file->doneEvent, 0) == plat::WaitResult::Signalled ? 1 : 0;
}
