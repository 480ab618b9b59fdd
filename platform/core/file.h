// Disk files of the platform layer. Paths are Shift-JIS byte strings as the library holds
// them; a backslash is a directory separator (except where the 0x5C byte is the trail byte
// of a double-byte character) and names are converted to UTF-8 for the file system.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace plat {

struct File;

enum class FileAccess { Read, Write, ReadWrite };
enum class FileCreation {
    OpenExisting,  // fails when the file is missing
    CreateNew,     // fails when the file exists
    CreateAlways,  // creates or truncates
    OpenAlways,    // opens, creating it when missing
};
enum class SeekOrigin { Begin, Current, End };

constexpr size_t kMaxPath = 260;

// Null when the file cannot be opened. Only a regular file opens: a named pipe, a device or a
// folder is refused at once, as a missing file is, and never waits for the other end.
File* OpenFile(const char* path, FileAccess access, FileCreation creation);
// The same for a path already in the file system's own form (UTF-8, '/' separators), such as
// one taken from the process environment.
File* OpenNativeFile(const char* nativePath, FileAccess access, FileCreation creation);
void CloseFile(File* file);
// Bytes read (0 at the end), or -1 on failure.
int64_t ReadFile(File* file, void* buffer, size_t size);
// Bytes written, or -1 on failure.
int64_t WriteFile(File* file, const void* data, size_t size);
// The new position, or -1 on failure.
int64_t SeekFile(File* file, int64_t offset, SeekOrigin origin);
// The file's size in bytes, or -1.
int64_t FileSize(File* file);
bool DeleteFile(const char* path);
bool FileExists(const char* path);

// The current directory as a Shift-JIS path into a buffer of size bytes (at most kMaxPath
// are used); false when it does not fit.
bool GetCurrentDir(char* buffer, size_t size);
bool SetCurrentDir(const char* path);

// Creates a new, empty temporary file and returns it open for reading and writing; its
// Shift-JIS path goes to pathOut (size bytes). Null on failure.
File* CreateTempFile(char* pathOut, size_t size);

// The file-system path for a library path: backslashes mapped to '/', Shift-JIS to UTF-8.
std::string MapPath(const char* path);

}  // namespace plat
