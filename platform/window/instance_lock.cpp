// Advisory lock files standing for running windows of a class name.
#include "platform/window/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#include "platform/window/instance_lock_path.h"
#include "platform/window/window.h"

namespace plat {

namespace {

struct LockEntry {
    int fd = -1;     // open with the lock held, or -1
    int windows = 0;  // live windows of the class in this process
};

struct LockTable {
    std::mutex mutex;
    std::map<std::string, LockEntry> entries;
    std::string directoryOverride;
    std::map<std::string, int> secondDescriptions;  // TakeSecondInstanceLock
};

LockTable& Locks() {
    static LockTable* table = new LockTable;
    return *table;
}

std::string DirectoryLocked(const LockTable& table) {
    if (!table.directoryOverride.empty()) return table.directoryOverride;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0') return runtime;
    return "/tmp";
}

enum class TryResult { Taken, HeldElsewhere, Unavailable };

// Opens a new open file description of the lock file and tries to lock it.
TryResult TryLock(const std::string& path, int* fdOut) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return TryResult::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        *fdOut = fd;
        return TryResult::Taken;
    }
    const int error = errno;
    ::close(fd);
    return error == EWOULDBLOCK ? TryResult::HeldElsewhere : TryResult::Unavailable;
}

}  // namespace

std::string InstanceLockPath(const char* className) {
    LockTable& table = Locks();
    std::string directory;
    {
        std::lock_guard<std::mutex> hold(table.mutex);
        directory = DirectoryLocked(table);
    }
    return directory + "/" + InstanceLockFileName(className);
}

std::string InstanceLockFileName(const char* className) {
    static const char kHex[] = "0123456789abcdef";
    const std::string name = className != nullptr ? className : "";
    // Long names keep their first 100 bytes in hex and a hash of the whole, so the file name
    // stays within the file system's limit.
    const size_t shown = name.size() <= 100 ? name.size() : 100;
    std::string out = "zn-window-";
    for (size_t i = 0; i < shown; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        out.push_back(kHex[c >> 4]);
        out.push_back(kHex[c & 15]);
    }
    if (name.size() > shown) {
        uint64_t hash = 1469598103934665603ull;
        for (unsigned char c : name) hash = (hash ^ c) * 1099511628211ull;
        out.push_back('-');
        for (int shift = 60; shift >= 0; shift -= 4) out.push_back(kHex[(hash >> shift) & 15]);
    }
    out += ".lock";
    return out;
}

bool FindRunningWindow(const char* className) {
    if (className == nullptr) return false;
    if (HasWindowOfClass(className)) return true;
    const std::string path = InstanceLockPath(className);
    LockTable& table = Locks();
    std::lock_guard<std::mutex> hold(table.mutex);
    LockEntry& entry = table.entries[className];
    if (entry.fd >= 0) return false;  // this process holds it: no other can
    int fd = -1;
    switch (TryLock(path, &fd)) {
        case TryResult::Taken:
            entry.fd = fd;
            return false;
        case TryResult::HeldElsewhere:
            return true;
        case TryResult::Unavailable:
            return false;  // no lock file can be made: nothing tells of another instance
    }
    return false;
}

void AcquireInstanceLockForWindow(const char* className) {
    if (className == nullptr) return;
    const std::string path = InstanceLockPath(className);
    LockTable& table = Locks();
    std::lock_guard<std::mutex> hold(table.mutex);
    LockEntry& entry = table.entries[className];
    ++entry.windows;
    if (entry.fd < 0) {
        int fd = -1;
        if (TryLock(path, &fd) == TryResult::Taken) entry.fd = fd;
    }
}

void ReleaseInstanceLockForWindow(const char* className) {
    if (className == nullptr) return;
    LockTable& table = Locks();
    std::lock_guard<std::mutex> hold(table.mutex);
    auto it = table.entries.find(className);
    if (it == table.entries.end()) return;
    LockEntry& entry = it->second;
    if (entry.windows > 0) --entry.windows;
    if (entry.windows == 0) {
        if (entry.fd >= 0) ::close(entry.fd);
        table.entries.erase(it);
    }
}

void ResetInstanceLocks() {
    LockTable& table = Locks();
    std::lock_guard<std::mutex> hold(table.mutex);
    for (auto& entry : table.entries) {
        if (entry.second.fd >= 0) ::close(entry.second.fd);
    }
    table.entries.clear();
    for (auto& second : table.secondDescriptions) ::close(second.second);
    table.secondDescriptions.clear();
    table.directoryOverride.clear();
}

// ---- test controls ----

void SetInstanceLockDirectory(const char* directory) {
    LockTable& table = Locks();
    std::lock_guard<std::mutex> hold(table.mutex);
    table.directoryOverride = directory != nullptr ? directory : "";
}

bool TakeSecondInstanceLock(const char* className) {
    if (className == nullptr) return false;
    const std::string path = InstanceLockPath(className);
    LockTable& table = Locks();
    std::lock_guard<std::mutex> hold(table.mutex);
    if (table.secondDescriptions.count(className) != 0) return false;
    int fd = -1;
    if (TryLock(path, &fd) != TryResult::Taken) return false;
    table.secondDescriptions[className] = fd;
    return true;
}

void ReleaseSecondInstanceLock(const char* className) {
    if (className == nullptr) return;
    LockTable& table = Locks();
    std::lock_guard<std::mutex> hold(table.mutex);
    auto it = table.secondDescriptions.find(className);
    if (it == table.secondDescriptions.end()) return;
    ::close(it->second);
    table.secondDescriptions.erase(it);
}

}  // namespace plat
