#include "base/archive/archive_names.h"

#include <cstring>

#include "base/sjis_string.h"

namespace {

constexpr size_t kMaxNameLength = 255;

// The search key of one name: as a name record holds it.
struct NameKey {
    uint16_t units;
    uint16_t check;
    unsigned char upper[kMaxNameLength + 5];  // zero-padded to 4 * units bytes
};

bool MakeNameKey(const char* name, size_t length, NameKey* key) {
    if (length == 0 || length > kMaxNameLength) return false;
    std::memset(key->upper, 0, sizeof(key->upper));
    std::memcpy(key->upper, name, length);
    UpperCaseArchiveName(key->upper, length);
    key->units = static_cast<uint16_t>((length + 4) / 4);
    uint16_t sum = 0;
    for (size_t i = 0; i < length; ++i) sum = static_cast<uint16_t>(sum + key->upper[i]);
    key->check = sum;
    return true;
}

const unsigned char* DirRecord(const OpenArchiveState& archive, uint32_t dir) {
    return archive.dirTable + dir;
}

bool IsDirectoryEntry(const unsigned char* entry) {
    return (ReadLe32(entry + kEntryAttributes) & kArchiveAttrDirectory) != 0;
}

}  // namespace

void UpperCaseArchiveName(unsigned char* name, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (IsMultiByteLead(name[i], 1)) {
            ++i;  // the trail byte stays as it is
        } else if (name[i] >= 'a' && name[i] <= 'z') {
            name[i] = static_cast<unsigned char>(name[i] - 'a' + 'A');
        }
    }
}

ArchiveName ReadArchiveName(const OpenArchiveState& archive, const unsigned char* entry) {
    const unsigned char* record = archive.nameTable + ReadLe32(entry + kEntryNameOffset);
    ArchiveName name;
    name.units = ReadLe16(record);
    name.check = ReadLe16(record + 2);
    name.upper = reinterpret_cast<const char*>(record + 4);
    name.stored = name.upper + 4 * name.units;
    return name;
}

const unsigned char* FindArchiveEntry(const OpenArchiveState& archive, uint32_t dir, const char* name,
                                      size_t length) {
    NameKey key;
    if (!MakeNameKey(name, length, &key)) return nullptr;
    const unsigned char* record = DirRecord(archive, dir);
    const uint32_t count = ReadLe32(record + kDirEntryCount);
    const unsigned char* entry = archive.entryTable + ReadLe32(record + kDirFirstEntry);
    for (uint32_t i = 0; i < count; ++i, entry += archive.entrySize) {
        const ArchiveName found = ReadArchiveName(archive, entry);
        // Length and check first, then the upper-cased bytes in whole 4-byte units.
        if (found.units != key.units || found.check != key.check) continue;
        if (std::memcmp(found.upper, key.upper, 4u * key.units) == 0) return entry;
    }
    return nullptr;
}

bool WalkArchivePath(const OpenArchiveState& archive, const char* path, uint32_t* dir,
                     const unsigned char** entry) {
    uint32_t current = kArchiveRootDir;
    const unsigned char* file = nullptr;
    const char* p = path;
    while (*p != '\0') {
        if (file != nullptr) return false;  // a file in the middle of the path
        const char* end = std::strchr(p, '/');
        const size_t length = end == nullptr ? std::strlen(p) : static_cast<size_t>(end - p);
        if (length == 1 && p[0] == '.') {
            // stays
        } else if (length == 2 && p[0] == '.' && p[1] == '.') {
            const uint32_t parent = ReadLe32(DirRecord(archive, current) + kDirParent);
            if (parent == kArchiveNoParent) return false;
            current = parent;
        } else if (length != 0) {
            const unsigned char* found = FindArchiveEntry(archive, current, p, length);
            if (found == nullptr) return false;
            if (IsDirectoryEntry(found)) {
                current = ReadLe32(found + kEntryDataOffset);
            } else {
                file = found;
            }
        }
        if (end == nullptr) break;
        p = end + 1;
    }
    *dir = current;
    *entry = file;
    return true;
}

bool MatchArchivePattern(const char* upperPattern, const char* upperName) {
    const auto* p = reinterpret_cast<const unsigned char*>(upperPattern);
    const auto* n = reinterpret_cast<const unsigned char*>(upperName);
    while (*p != 0) {
        if (*p == '*') {
            while (*p == '*') ++p;
            if (*p == 0) return true;  // a trailing '*' takes the rest
            // Skip to the first occurrence of the next pattern character, without going back.
            const bool pair = IsMultiByteLead(*p, 1) && p[1] != 0;
            while (*n != 0 && !(n[0] == p[0] && (!pair || n[1] == p[1]))) {
                n += (IsMultiByteLead(*n, 1) && n[1] != 0) ? 2 : 1;
            }
            if (*n == 0) return false;
            continue;
        }
        if (*n == 0) return false;
        if (*p == '?') {
            ++p;
            ++n;
            continue;
        }
        if (IsMultiByteLead(*p, 1) && p[1] != 0) {
            if (n[0] != p[0] || n[1] != p[1]) return false;
            p += 2;
            n += 2;
            continue;
        }
        if (*p != *n) return false;
        ++p;
        ++n;
    }
    return *n == 0;
}
