// The directory members of the file access table's disk set: the current directory and the
// search of a directory by a wildcard pattern.
#pragma once
#include <cstdint>

#include "base/file_access_table.h"

// 1 when the directory was entered, else 0.
int DiskSetCurrentDir(const char* path);
// Writes the current directory (Shift-JIS) into a buffer of 260 bytes; returns its length, 0
// when it cannot be had.
int DiskGetCurrentDir(char* buffer);

// Starts a search with a pattern "directory\name", where the name may hold '*' (any run of
// characters) and '?' (one character); letters match in either case, "*.*" matches every name,
// "." and ".." are not reported. Returns a find handle and fills info (when given) with the
// first entry found, or -1 when the directory cannot be read or nothing matches.
intptr_t DiskFindFirst(const char* pattern, FileInfo* info);
// The next entry: 0, or -1 when there is none.
int DiskFindNext(intptr_t findHandle, FileInfo* info);
// Ends a search: 0, or -1 for no handle.
int DiskFindClose(intptr_t findHandle);

// What the platform's directory search reports about one entry.
struct DiskFindEntry {
    const char* name;  // Shift-JIS
    bool directory;
    uint64_t size;
    int64_t creationTime;  // seconds since 1970-01-01 UTC
    int64_t lastWriteTime;
};
void FillFileInfo(const DiskFindEntry& entry, FileInfo* info);
// Seconds since 1970-01-01 UTC to a local date.
void FileTimeToDateRecord(int64_t fileTime, FileDate* date);
