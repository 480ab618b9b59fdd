// The archive members of the file access table: each file handle is a slot of the archive
// reader's file table (slot | 0xF0000000) that holds either a disk file (a path that no
// archive holds) or an entry of an archive. Reads of archive entries are done at once; the
// asynchronous flag is accepted and reads complete before they return.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/file_access_table.h"

uintptr_t ArchiveFileOpen(const char* path, int useCache, int extra, int async);
int ArchiveFileClose(uintptr_t handle);
int64_t ArchiveFileTell(uintptr_t handle);
// New position = offset, position + offset or size + offset; a negative one becomes 0, one
// beyond the end stays (reads there find the end). Clears the end flag.
int ArchiveFileSeek(uintptr_t handle, int64_t offset, int origin);
// Whole elements only, none beyond the entry's end; 0 and the end flag set when none is left.
size_t ArchiveFileRead(void* buffer, size_t size, size_t count, uintptr_t handle);
int ArchiveFileEof(uintptr_t handle);
int ArchiveFileIdleCheck(uintptr_t handle);
int ArchiveSetCurrentDir(const char* path);
int ArchiveGetCurrentDir(char* buffer);
intptr_t ArchiveFindFirst(const char* pattern, FileInfo* info);
int ArchiveFindNext(intptr_t findHandle, FileInfo* info);
int ArchiveFindClose(intptr_t findHandle);

// Frees every file handle of the table (closing its disk file or entry); part of the
// archives' shut-down.
void CloseAllArchiveFiles();
