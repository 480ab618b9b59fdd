// Disk files: the disk member set of the file access table. A file opened with a read cache or
// in asynchronous mode gets an access thread of its own, which owns the file and a 128 KB
// read-ahead buffer; the caller hands it commands through two manual-reset events.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace plat {
struct File;
struct Thread;
struct Event;
}  // namespace plat

constexpr size_t kDiskFileCacheSize = 0x20000;  // read-ahead buffer of a cached file

// Commands to the access thread.
enum DiskFileCommand : uint32_t {
    kDiskCommandOpen = 0,
    kDiskCommandClose = 1,
    kDiskCommandRead = 2,
    kDiskCommandSeek = 3,
    kDiskCommandEnd = 4,
};

// One open disk file (tracked memory). The caller owns position, size and the end flag; the
// command fields are written by the caller only while the done event is set and read by the
// thread after the command event; the thread's handle and the cache belong to the thread.
struct DiskFileRecord {
    plat::File* file;    // the caller-side handle (unthreaded files only)
    uint32_t threaded;   // 1 when a read cache or asynchronous mode was asked for
    uint32_t readCache;  // flag given at open
    uint32_t async;      // flag given at open: reads return before the data is there
    uint32_t end;        // set when a read finds nothing left
    int64_t position;    // current position (may lie beyond the end after a seek)
    int64_t size;        // file size at open
    uint32_t threadId;   // the access thread
    plat::Thread* thread;
    plat::File* threadFile;             // the thread's own handle
    plat::Event* commandEvent;          // manual-reset, starts off
    plat::Event* doneEvent;             // manual-reset, starts set
    uint32_t command;                   // a DiskFileCommand
    std::atomic<uint32_t> threadEnded;  // set by the thread as it leaves
    uint32_t error;                     // set by the thread when its open failed
    char path[260];
    unsigned char* readDestination;  // read command: where to, from where, how many bytes
    int64_t readPosition;
    size_t readSize;
    size_t readDone;       // set by the thread: bytes the read command really delivered
    int64_t seekTarget;    // seek command
    unsigned char* cache;  // kDiskFileCacheSize read-ahead bytes, or null
    // File position of the first cached byte and the bytes held. Written by the thread only;
    // atomic so that diagnostics and tests may look at them while it runs.
    std::atomic<int64_t> cachePosition;
    std::atomic<uint32_t> cachedBytes;
};

// The file access table's disk members (slots 0 to 6). Handles are DiskFileRecord pointers.
uintptr_t DiskFileOpen(const char* path, int useCache, int extra, int async);
int DiskFileClose(uintptr_t handle);
int64_t DiskFileTell(uintptr_t handle);
int DiskFileSeek(uintptr_t handle, int64_t offset, int origin);
size_t DiskFileRead(void* buffer, size_t size, size_t count, uintptr_t handle);
int DiskFileEof(uintptr_t handle);
int DiskFileIdleCheck(uintptr_t handle);

// The body of a file's access thread (argument: its DiskFileRecord).
void FileAccessThread(void* record);

// Milliseconds the access thread of a cached file stays idle before it reads ahead (100).
// Tests shorten it so that the read-ahead runs between most commands.
void SetDiskReadAheadWait(uint32_t ms);
uint32_t GetDiskReadAheadWait();
