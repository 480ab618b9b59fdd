#include "base/archive/archive_folders.h"

#include <cstring>
#include <string>
#include <vector>

#include "base/archive/archive_state.h"
#include "base/disk_directory.h"
#include "base/sjis_string.h"

namespace {

// At most this many folders are kept; the one listed longest ago makes room.
constexpr size_t kKeptFolders = 64;

struct FolderListing {
    std::string folder;               // as composed, with its trailing '/'
    std::vector<std::string> names;   // files whose names end with "." and the extension
};

std::vector<FolderListing> g_folders;
size_t g_listings = 0;

unsigned char FoldCase(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

// Names compare with letters in either case; a double-byte character compares as it is.
bool SameName(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const unsigned char c = static_cast<unsigned char>(*a);
        if (FoldCase(c) != FoldCase(static_cast<unsigned char>(*b))) return false;
        if (c == '\0') return true;
        if (IsMultiByteLead(c, 1) && a[1] != '\0') {
            ++a;
            ++b;
            if (*a != *b) return false;
        }
    }
}

// Whether name ends with "." and the archive extension, letters in either case.
bool HasArchiveExtension(const char* name) {
    const char* extension = GetArchiveExtension();
    const size_t length = std::strlen(name);
    const size_t extensionLength = std::strlen(extension);
    if (length < extensionLength + 2) return false;
    const char* dot = name + length - extensionLength - 1;
    return *dot == '.' && SameName(dot + 1, extension);
}

FolderListing& ListFolder(const std::string& folder) {
    for (FolderListing& kept : g_folders) {
        if (kept.folder == folder) return kept;
    }
    if (g_folders.size() >= kKeptFolders) g_folders.erase(g_folders.begin());
    g_folders.push_back(FolderListing{folder, {}});
    FolderListing& listing = g_folders.back();
    ++g_listings;

    // No wildcard of the folder's own name may reach the search.
    if (folder.find_first_of("*?") != std::string::npos) return listing;
    FileInfo info;
    const intptr_t find = DiskFindFirst((folder + "*").c_str(), &info);
    if (find == -1) return listing;
    do {
        if (info.directory == 0 && HasArchiveExtension(info.name)) {
            listing.names.emplace_back(info.name);
        }
    } while (DiskFindNext(find, &info) == 0);
    DiskFindClose(find);
    return listing;
}

}  // namespace

bool FindArchiveFolderMatch(const char* candidate, bool (*found)(const char* path, void* context),
                            void* context) {
    const char* slash = std::strrchr(candidate, '/');
    if (slash == nullptr) return false;
    const std::string folder(candidate, static_cast<size_t>(slash - candidate) + 1);
    const char* name = slash + 1;
    // The listing may be replaced while found() opens archives; walk a copy of the names.
    const std::vector<std::string> names = ListFolder(folder).names;
    for (const std::string& other : names) {
        if (!SameName(other.c_str(), name)) continue;
        if (found((folder + other).c_str(), context)) return true;
    }
    return false;
}

void ForgetArchiveFolders() {
    g_folders.clear();
    g_folders.shrink_to_fit();
    g_listings = 0;
}

size_t ArchiveFolderListings() { return g_listings; }
