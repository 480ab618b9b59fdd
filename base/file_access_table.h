// The file access table: the twelve functions through which all of the library's file access
// goes, so that the same loaders read loose files, files inside archives, or whatever a caller
// installs. File handles are pointer-sized, 0 for none; find handles are -1 for none.
#pragma once
#include <cstddef>
#include <cstdint>

// A date in local time, as the find functions report it.
struct FileDate {
    uint32_t year;
    uint32_t month;  // 1..12
    uint32_t day;    // 1..31
    uint32_t hour;
    uint32_t minute;
    uint32_t second;
};

// One entry found by the find functions.
struct FileInfo {
    char name[260];      // Shift-JIS name without its directory
    uint32_t directory;  // 1 for a directory
    uint32_t sizeLow;    // size in bytes, low and high 32 bits
    uint32_t sizeHigh;
    FileDate creationTime;
    FileDate lastWriteTime;
};

// Origins of the seek functions.
constexpr int kSeekSet = 0;
constexpr int kSeekCurrent = 1;
constexpr int kSeekEnd = 2;

// The twelve functions, in this order.
struct FileAccessTable {
    // (name, read-cache flag, a third word the disk set ignores, asynchronous flag)
    // → handle, 0 on failure
    uintptr_t (*open)(const char* path, int useCache, int extra, int async);
    int (*close)(uintptr_t handle);                                             // 0 / -1
    int64_t (*tell)(uintptr_t handle);                                          // position
    int (*seek)(uintptr_t handle, int64_t offset, int origin);                  // 0 / -1
    size_t (*read)(void* buffer, size_t size, size_t count, uintptr_t handle);  // elements read
    int (*eof)(uintptr_t handle);                                // -1 at the end, else 0
    int (*idleCheck)(uintptr_t handle);                          // 1 when nothing is pending
    int (*setDir)(const char* path);                             // 1 / 0
    int (*getDir)(char* buffer);                                 // length / 0; 260 bytes
    intptr_t (*findFirst)(const char* pattern, FileInfo* info);  // find handle / -1
    int (*findNext)(intptr_t findHandle, FileInfo* info);        // 0 / -1
    int (*findClose)(intptr_t findHandle);                       // 0 / -1
};

// Installs a caller's twelve functions (copied), or with NULL the default set again (the disk
// set when the no-archive switch is 1). Returns 0.
int SetFileAccessTable(const FileAccessTable* table);
// The table in use.
const FileAccessTable& GetFileAccessTable();

// The default set: archives first, then the disk.
const FileAccessTable& GetDefaultFileAccessTable();
// The plain disk set.
const FileAccessTable& GetDiskFileAccessTable();

// The no-archive switch: 1 makes SetFileAccessTable(NULL) install the plain disk set. Nothing in
// the library sets it; it is read only when the table is set.
void SetFileAccessNoArchive(int flag);

// Thunks through slots 0 to 8 of the table in use; slots 9 to 11 are called through the table.
uintptr_t FileAccessOpen(const char* path, int useCache, int extra, int async);
int FileAccessClose(uintptr_t handle);
int64_t FileAccessTell(uintptr_t handle);
int FileAccessSeek(uintptr_t handle, int64_t offset, int origin);
size_t FileAccessRead(void* buffer, size_t size, size_t count, uintptr_t handle);
int FileAccessEof(uintptr_t handle);
int FileAccessIdleCheck(uintptr_t handle);
int FileAccessSetDir(const char* path);
int FileAccessGetDir(char* buffer);
