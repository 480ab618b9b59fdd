#include "platform/core/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/core/fault_injection.h"
#include "platform/core/text_encoding.h"

namespace plat {

struct File {
    int fd;
};

std::string MapPath(const char* path) {
    std::string sjis;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(path); *p != 0; ++p) {
        if (IsSjisLeadByte(*p) && p[1] != 0) {
            // A double-byte character: its trail byte may be 0x5C and is not a separator.
            sjis.push_back(static_cast<char>(p[0]));
            sjis.push_back(static_cast<char>(p[1]));
            ++p;
        } else if (*p == '\\') {
            sjis.push_back('/');
        } else {
            sjis.push_back(static_cast<char>(*p));
        }
    }
    return SjisToUtf8(sjis);
}

File* OpenFile(const char* path, FileAccess access, FileCreation creation) {
    if (path == nullptr) return nullptr;
    if (ConsumeFault(FaultKind::FileOpen)) return nullptr;
    const std::string native = MapPath(path);
    return OpenNativeFile(native.c_str(), access, creation);
}

File* OpenNativeFile(const char* nativePath, FileAccess access, FileCreation creation) {
    if (nativePath == nullptr) return nullptr;
    int flags = O_CLOEXEC;
    switch (access) {
        case FileAccess::Read: flags |= O_RDONLY; break;
        case FileAccess::Write: flags |= O_WRONLY; break;
        case FileAccess::ReadWrite: flags |= O_RDWR; break;
    }
    switch (creation) {
        case FileCreation::OpenExisting: break;
        case FileCreation::CreateNew: flags |= O_CREAT | O_EXCL; break;
        case FileCreation::CreateAlways: flags |= O_CREAT | O_TRUNC; break;
        case FileCreation::OpenAlways: flags |= O_CREAT; break;
    }
    // Opened without blocking: a named pipe in place of a file would otherwise hold the open
    // until a writer (or reader) comes, which may be never. Only a regular file is kept; a
    // pipe, a device or a folder is refused like a missing file, and the regular file is then
    // read and written in the ordinary blocking way.
    int fd = ::open(nativePath, flags | O_NONBLOCK, 0644);
    if (fd < 0) return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    const int statusFlags = ::fcntl(fd, F_GETFL);
    if (statusFlags < 0 || ::fcntl(fd, F_SETFL, statusFlags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return nullptr;
    }
    File* f = new (std::nothrow) File{fd};
    if (f == nullptr) ::close(fd);
    return f;
}

void CloseFile(File* file) {
    if (file == nullptr) return;
    ::close(file->fd);
    delete file;
}

int64_t ReadFile(File* file, void* buffer, size_t size) {
    if (file == nullptr) return -1;
    if (ConsumeFault(FaultKind::FileRead)) return -1;
    size_t done = 0;
    char* out = static_cast<char*>(buffer);
    while (done < size) {
        ssize_t n = ::read(file->fd, out + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

int64_t WriteFile(File* file, const void* data, size_t size) {
    if (file == nullptr) return -1;
    size_t done = 0;
    const char* in = static_cast<const char*>(data);
    while (done < size) {
        ssize_t n = ::write(file->fd, in + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

int64_t SeekFile(File* file, int64_t offset, SeekOrigin origin) {
    if (file == nullptr) return -1;
    int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(file->fd, static_cast<off_t>(offset), whence);
    return r < 0 ? -1 : static_cast<int64_t>(r);
}

int64_t FileSize(File* file) {
    if (file == nullptr) return -1;
    struct stat st;
    if (fstat(file->fd, &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

bool DeleteFile(const char* path) {
    if (path == nullptr) return false;
    return ::unlink(MapPath(path).c_str()) == 0;
}

bool FileExists(const char* path) {
    if (path == nullptr) return false;
    struct stat st;
    return ::stat(MapPath(path).c_str(), &st) == 0;
}

bool GetCurrentDir(char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return false;
    char native[PATH_MAX];
    if (::getcwd(native, sizeof native) == nullptr) return false;
    std::string sjis = Utf8ToSjis(native);
    size_t limit = size < kMaxPath ? size : kMaxPath;
    if (sjis.size() + 1 > limit) return false;
    std::memcpy(buffer, sjis.c_str(), sjis.size() + 1);
    return true;
}

bool SetCurrentDir(const char* path) {
    if (path == nullptr) return false;
    return ::chdir(MapPath(path).c_str()) == 0;
}

File* CreateTempFile(char* pathOut, size_t size) {
    if (ConsumeFault(FaultKind::FileOpen)) return nullptr;
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir != nullptr && *dir != 0 ? dir : "/tmp") + "/zn-XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return nullptr;
    std::string sjis = Utf8ToSjis(pattern);
    if (pathOut != nullptr) {
        if (sjis.size() + 1 > size) {
            ::close(fd);
            ::unlink(pattern.c_str());
            return nullptr;
        }
        std::memcpy(pathOut, sjis.c_str(), sjis.size() + 1);
    }
    File* f = new (std::nothrow) File{fd};
    if (f == nullptr) {
        ::close(fd);
        ::unlink(pattern.c_str());
    }
    return f;
}

}  // namespace plat
