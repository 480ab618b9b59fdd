#include "base/file_access_table.h"

#include "base/archive/archive_file.h"
#include "base/disk_directory.h"
#include "base/disk_file.h"

namespace {

constexpr FileAccessTable kDiskFileFunctions = {
    .open = DiskFileOpen,
    .close = DiskFileClose,
    .tell = DiskFileTell,
    .seek = DiskFileSeek,
    .read = DiskFileRead,
    .eof = DiskFileEof,
    .idleCheck = DiskFileIdleCheck,
    .setDir = DiskSetCurrentDir,
    .getDir = DiskGetCurrentDir,
    .findFirst = DiskFindFirst,
    .findNext = DiskFindNext,
    .findClose = DiskFindClose,
};

// The default set looks into archives first and falls back to the disk.
constexpr FileAccessTable kArchiveAwareFileFunctions = {
    .open = ArchiveFileOpen,
    .close = ArchiveFileClose,
    .tell = ArchiveFileTell,
    .seek = ArchiveFileSeek,
    .read = ArchiveFileRead,
    .eof = ArchiveFileEof,
    .idleCheck = ArchiveFileIdleCheck,
    .setDir = ArchiveSetCurrentDir,
    .getDir = ArchiveGetCurrentDir,
    .findFirst = ArchiveFindFirst,
    .findNext = ArchiveFindNext,
    .findClose = ArchiveFindClose,
};

// The table in use; its static contents are the default set.
FileAccessTable g_table = kArchiveAwareFileFunctions;
int g_noArchive = 0;

}  // namespace

int SetFileAccessTable(const FileAccessTable* table) {
    if (table == nullptr) {
        g_table = g_noArchive == 1 ? kDiskFileFunctions : kArchiveAwareFileFunctions;
    } else {
        g_table = *table;
    }
    return 0;
}

const FileAccessTable& GetFileAccessTable() { return g_table; }
const FileAccessTable& GetDefaultFileAccessTable() { return kArchiveAwareFileFunctions; }
const FileAccessTable& GetDiskFileAccessTable() { return kDiskFileFunctions; }

void SetFileAccessNoArchive(int flag) { g_noArchive = flag; }

uintptr_t FileAccessOpen(const char* path, int useCache, int extra, int async) {
    return g_table.open(path, useCache, extra, async);
}
int FileAccessClose(uintptr_t handle) { return g_table.close(handle); }
int64_t FileAccessTell(uintptr_t handle) { return g_table.tell(handle); }
int FileAccessSeek(uintptr_t handle, int64_t offset, int origin) {
    return g_table.seek(handle, offset, origin);
}
size_t FileAccessRead(void* buffer, size_t size, size_t count, uintptr_t handle) {
    return g_table.read(buffer, size, count, handle);
}
int FileAccessEof(uintptr_t handle) { return g_table.eof(handle); }
int FileAccessIdleCheck(uintptr_t handle) { return g_table.idleCheck(handle); }
int FileAccessSetDir(const char* path) { return g_table.setDir(path); }
int FileAccessGetDir(char* buffer) { return g_table.getDir(buffer); }
