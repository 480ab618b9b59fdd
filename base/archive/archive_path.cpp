#include "base/archive/archive_path.h"

#include <cstring>

#include "base/archive/archive_state.h"
#include "base/archive/archive_table.h"
#include "base/disk_directory.h"
#include "platform/core/file.h"

namespace {

unsigned char FoldCase(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

// Prefixes compare without regard to case, as the names inside archives do.
bool SamePrefix(const char* path, const char* prefix, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (FoldCase(static_cast<unsigned char>(path[i])) !=
            FoldCase(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

// Opens the archive file for a prefix: the name as composed, else a file of the folder whose
// name differs only in the case of its letters (the file system tells case apart; archive
// names, like every name of the library, do not).
int OpenArchiveForPrefix(const char* prefix, size_t prefixLength) {
    char candidate[kFullPathSize];
    const char* extension = GetArchiveExtension();
    if (prefixLength + 1 + std::strlen(extension) >= sizeof(candidate)) return -1;
    std::memcpy(candidate, prefix, prefixLength);
    candidate[prefixLength] = '.';
    std::strcpy(candidate + prefixLength + 1, extension);
    if (plat::FileExists(candidate)) return OpenArchive(candidate, 0);

    // No wildcard characters may reach the folder search.
    if (std::strpbrk(candidate, "*?") != nullptr) return -1;
    FileInfo info;
    const intptr_t find = DiskFindFirst(candidate, &info);
    if (find == -1) return -1;
    int slot = -1;
    size_t folderLength = prefixLength;
    while (folderLength > 0 && candidate[folderLength - 1] != '/') --folderLength;
    do {
        if (info.directory != 0) continue;
        char found[kFullPathSize];
        if (folderLength + std::strlen(info.name) >= sizeof(found)) continue;
        std::memcpy(found, candidate, folderLength);
        std::strcpy(found + folderLength, info.name);
        slot = OpenArchive(found, 0);
        if (slot >= 0) break;
    } while (DiskFindNext(find, &info) == 0);
    DiskFindClose(find);
    return slot;
}

void RememberArchive(const char* prefix, size_t length, int slot) {
    ArchiveState& state = GetArchiveState();
    std::memcpy(state.cachePrefix, prefix, length);
    state.cachePrefix[length] = '\0';
    state.cacheLength = length;
    state.cacheSlot = slot;
}

}  // namespace

int ResolveArchivePath(const char* path, char* inner) {
    char full[kFullPathSize];
    if (path == nullptr || ComposeFullPath(path, full, nullptr) != 0) return -1;
    const size_t length = std::strlen(full);

    ArchiveState& state = GetArchiveState();
    const int cached = state.cacheSlot;
    if (cached >= 0 && state.archives[cached] != nullptr && state.cacheLength < length &&
        full[state.cacheLength] == '/' &&
        SamePrefix(full, state.cachePrefix, state.cacheLength)) {
        ++state.archives[cached]->refCount;
        std::strcpy(inner, full + state.cacheLength + 1);
        return cached;
    }

    // Each leading folder in turn, the shortest first; the root itself is none.
    size_t start = 1;
    while (start < length && full[start] == '/') ++start;  // a network path's second '/'
    for (size_t i = start; i < length; ++i) {
        if (full[i] != '/') continue;
        const int slot = OpenArchiveForPrefix(full, i);
        if (slot < 0) continue;
        RememberArchive(full, i, slot);
        std::strcpy(inner, full + i + 1);
        return slot;
    }
    return -1;
}
