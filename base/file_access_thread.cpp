// The access thread of a cached or asynchronous disk file. It alone touches the file's own
// handle and its read-ahead buffer; while no command comes it tops the buffer up from the
// position behind the bytes it holds.
#include <algorithm>

#include "platform/core/file.h"
#include "platform/core/thread.h"
#include "base/disk_file.h"
#include "base/mem_routines.h"

namespace {

// Fills the free part of the buffer with the bytes that follow the cached ones.
void ReadAhead(DiskFileRecord* file) {
    uint32_t cached = file->cachedBytes.load();
    if (cached >= kDiskFileCacheSize || file->threadFile == nullptr) return;
    int64_t from = file->cachePosition.load() + cached;
    if (from >= file->size) return;  // nothing is left to read ahead
    if (plat::SeekFile(file->threadFile, from, plat::SeekOrigin::Begin) < 0) return;
    int64_t got =
        plat::ReadFile(file->threadFile, file->cache + cached, kDiskFileCacheSize - cached);
    if (got > 0) file->cachedBytes.store(cached + static_cast<uint32_t>(got));
}

// The read command: the cached bytes when the read starts where the cache does, the rest
// straight from the file.
void Read(DiskFileRecord* file) {
    unsigned char* destination = file->readDestination;
    int64_t position = file->readPosition;
    size_t left = file->readSize;
    size_t done = 0;

    if (file->cache != nullptr && position == file->cachePosition.load()) {
        uint32_t cached = file->cachedBytes.load();
        size_t take = std::min<size_t>(left, cached);
        MemCopy(destination, file->cache, take);
        destination += take;
        position += static_cast<int64_t>(take);
        left -= take;
        done += take;
        MemMove(file->cache, file->cache + take, cached - take);
        file->cachePosition.store(position);
        file->cachedBytes.store(cached - static_cast<uint32_t>(take));
    }

    if (left > 0) {
        int64_t got = -1;
        if (plat::SeekFile(file->threadFile, position, plat::SeekOrigin::Begin) >= 0) {
            got = plat::ReadFile(file->threadFile, destination, left);
        }
        if (got < 0) got = 0;
        done += static_cast<size_t>(got);
        if (file->cache != nullptr) {
            file->cachePosition.store(position + got);
            file->cachedBytes.store(0);
        }
    }
    file->readDone = done;
}

// Leaves the thread: done is signalled last, after which the owner may free the record.
void Leave(DiskFileRecord* file) {
    file->threadEnded.store(1);
    plat::SetEvent(file->doneEvent);
}

}  // namespace

void FileAccessThread(void* argument) {
    DiskFileRecord* file = static_cast<DiskFileRecord*>(argument);
    file->threadId = plat::CurrentThreadId();

    for (;;) {
        if (file->cache == nullptr) {
            plat::WaitEvent(file->commandEvent, plat::kWaitForever);
        } else if (plat::WaitEvent(file->commandEvent, GetDiskReadAheadWait()) ==
                   plat::WaitResult::TimedOut) {
            ReadAhead(file);
            continue;
        }

        plat::ResetEvent(file->commandEvent);
        plat::ResetEvent(file->doneEvent);
        switch (file->command) {
            case kDiskCommandOpen: {
                file->threadFile = plat::OpenFile(file->path, plat::FileAccess::Read,
                                                  plat::FileCreation::OpenExisting);
                if (file->threadFile == nullptr) {
                    file->error = 1;
                    Leave(file);
                    return;
                }
                // The owner reads the size once this command is done.
                int64_t size = plat::FileSize(file->threadFile);
                file->size = size < 0 ? 0 : size;
                break;
            }
            case kDiskCommandClose:
                plat::CloseFile(file->threadFile);
                file->threadFile = nullptr;
                break;
            case kDiskCommandRead:
                Read(file);
                break;
            case kDiskCommandSeek:
                plat::SeekFile(file->threadFile, file->seekTarget, plat::SeekOrigin::Begin);
                if (file->cache != nullptr) {
                    file->cachePosition.store(file->seekTarget);
                    file->cachedBytes.store(0);
                }
                break;
            case kDiskCommandEnd:
                if (file->threadFile != nullptr) plat::CloseFile(file->threadFile);
                file->threadFile = nullptr;
                Leave(file);
                return;
            default:
                break;
        }
        plat::SetEvent(file->doneEvent);
    }
}
