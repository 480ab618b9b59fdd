#include "base/archive/archive_path.h"

#include <cstring>

#include "base/archive/archive_folders.h"
#include "base/archive/archive_state.h"
#include "base/archive/archive_table.h"
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

bool OpenFoundArchive(const char* path, void* slot) {
    *static_cast<int*>(slot) = OpenArchive(path, GetArchiveMemoryMode());
    return *static_cast<int*>(slot) >= 0;
}

// Opens the archive file for a prefix: the name as composed, else a file of the folder whose
// name differs only in the case of its letters (the file system tells case apart; archive
// names, like every name of the library, do not). The folder's archive names are listed once
// and remembered (archive_folders.h).
int OpenArchiveForPrefix(const char* prefix, size_t prefixLength) {
    char candidate[kFullPathSize];
    const char* extension = GetArchiveExtension();
    if (prefixLength + 1 + std::strlen(extension) >= sizeof(candidate)) return -1;
    std::memcpy(candidate, prefix, prefixLength);
    candidate[prefixLength] = '.';
    std::strcpy(candidate + prefixLength + 1, extension);
    if (plat::FileExists(candidate)) return OpenArchive(candidate, GetArchiveMemoryMode());

    int slot = -1;
    FindArchiveFolderMatch(candidate, OpenFoundArchive, &slot);
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
