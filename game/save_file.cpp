#include "save_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "hi_score.h"

namespace {

constexpr int kFileSize = 64;
constexpr int kChoiceOffset = 60;
constexpr int kChoiceCount = 5;

int32_t decodeLittleEndian(const unsigned char* p) {
    uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                 static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    return static_cast<int32_t>(v);
}

void encodeLittleEndian(unsigned char* p, int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

// Opens path with the flags without blocking, and keeps it only when it is a regular file: a
// named pipe in place of the save file would otherwise hold the open until some other program
// opens its other end. The descriptor is blocking again when it is returned; -1 on failure.
int openRegularFile(const char* path, int flags) {
    const int fd = ::open(path, flags | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    struct stat st;
    const int status = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || status < 0 ||
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads up to size bytes; the bytes read (fewer at the end of the file), or -1.
long readUpTo(int fd, unsigned char* out, long size) {
    long done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, out + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += n;
    }
    return done;
}

bool writeAll(int fd, const unsigned char* data, long size) {
    long done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

// The folder that holds path ("." for a bare name).
std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Flushes the folder's entries, so that a rename in it outlasts a power loss. A file system
// that cannot flush a folder (EINVAL) keeps its entries by its own means.
bool flushFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool flushed = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return flushed;
}

}  // namespace

bool readSaveFile(const char* path, HiScoreArray& table, int& choice) {
    const int fd = openRegularFile(path, O_RDONLY);
    if (fd < 0) return false;
    unsigned char bytes[kFileSize] = {};
    const long got = readUpTo(fd, bytes, kFileSize);
    ::close(fd);
    if (got < 0) return false;

    // The value at offset, when the file holds all four of its bytes; else 0.
    auto valueAt = [&](int offset) -> int32_t {
        return offset + 4 <= got ? decodeLittleEndian(bytes + offset) : 0;
    };
    for (uint32_t i = 0; i < table.size(); ++i) {
        int base = static_cast<int>(i) * 12;
        table.at(i).unpack(valueAt(base), valueAt(base + 4), valueAt(base + 8));
    }
    if (kChoiceOffset + 4 <= got) choice = decodeLittleEndian(bytes + kChoiceOffset);
    if (choice < 0 || choice >= kChoiceCount) choice = 0;
    return true;
}

bool writeSaveFile(const char* path, const HiScoreArray& table, int choice) {
    unsigned char bytes[kFileSize] = {};
    for (uint32_t i = 0; i < table.size() && i < 5; ++i) {
        const HiScore& r = table.at(i);
        encodeLittleEndian(bytes + i * 12, r.getScore());
        encodeLittleEndian(bytes + i * 12 + 4, r.packDate());
        encodeLittleEndian(bytes + i * 12 + 8, r.packTime());
    }
    encodeLittleEndian(bytes + kChoiceOffset, choice);

    const std::string target = path;
    const std::string temporary = target + ".tmp";
    // The temporary name is the program's own: whatever is left there (a stale file, a pipe, a
    // link) is removed, and the file is made new without following a link, so no other file is
    // ever written through that name.
    if (::unlink(temporary.c_str()) != 0 && errno != ENOENT) return false;
    const int fd = openRegularFile(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW);
    if (fd < 0) return false;
    // The bytes reach the disk before the rename makes them the save: otherwise a power loss
    // soon after could leave the renamed file empty.
    const bool written = writeAll(fd, bytes, kFileSize) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return flushFolder(folderOf(target));
}
