#include "base/disk_directory.h"

#include <cstring>
#include <ctime>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>

#include "platform/core/file.h"
#include "platform/core/text_encoding.h"
#include "base/tracked_memory.h"

namespace fs = std::filesystem;

namespace {

// An open search: the directory being walked and the name pattern entries are matched with.
struct FindRecord {
    fs::directory_iterator position;
    std::string namePattern;  // Shift-JIS
};

size_t CharLength(const unsigned char* text) {
    return plat::IsSjisLeadByte(text[0]) && text[1] != 0 ? 2 : 1;
}

unsigned char FoldCase(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

bool SameChar(const unsigned char* a, size_t aLength, const unsigned char* b, size_t bLength) {
    if (aLength != bLength) return false;
    if (aLength == 1) return FoldCase(a[0]) == FoldCase(b[0]);
    return a[0] == b[0] && a[1] == b[1];
}

// Wildcard match of a Shift-JIS name, one character (one or two bytes) at a time.
bool MatchName(const char* patternText, const char* nameText) {
    auto p = reinterpret_cast<const unsigned char*>(patternText);
    auto n = reinterpret_cast<const unsigned char*>(nameText);
    const unsigned char* starPattern = nullptr;  // just behind the last '*' seen
    const unsigned char* starName = nullptr;     // where that '*' started matching
    while (*n != 0) {
        if (*p == '*') {
            starPattern = ++p;
            starName = n;
            continue;
        }
        size_t nameLength = CharLength(n);
        if (*p == '?') {
            ++p;
            n += nameLength;
            continue;
        }
        size_t patternLength = CharLength(p);
        if (*p != 0 && SameChar(p, patternLength, n, nameLength)) {
            p += patternLength;
            n += nameLength;
            continue;
        }
        if (starPattern == nullptr) return false;
        // Let the last '*' take one more character and try again.
        starName += CharLength(starName);
        n = starName;
        p = starPattern;
    }
    while (*p == '*') ++p;
    return *p == 0;
}

// Splits "directory\name" at its last separator (a trail byte 0x5C is no separator).
void SplitPattern(const char* pattern, std::string* directory, std::string* name) {
    auto text = reinterpret_cast<const unsigned char*>(pattern);
    size_t cut = std::string::npos;
    for (size_t i = 0; text[i] != 0; i += CharLength(text + i)) {
        if (text[i] == '\\' || text[i] == '/') cut = i;
    }
    if (cut == std::string::npos) {
        *directory = ".";
        *name = pattern;
    } else {
        *directory = std::string(pattern, cut == 0 ? 1 : cut);
        *name = pattern + cut + 1;
    }
    if (*name == "*.*") *name = "*";
}

int64_t ToUnixSeconds(fs::file_time_type time) {
    auto system = std::chrono::file_clock::to_sys(time);
    return std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
}

// Moves the search to the first matching entry at or after its position and reports it.
bool ReportNextMatch(FindRecord* find, FileInfo* info) {
    std::error_code error;
    for (; find->position != fs::directory_iterator(); find->position.increment(error)) {
        if (error) return false;
        const fs::directory_entry& entry = *find->position;
        std::string name = plat::Utf8ToSjis(entry.path().filename().string());
        if (name.size() >= sizeof(FileInfo::name) ||
            !MatchName(find->namePattern.c_str(), name.c_str())) {
            continue;
        }
        if (info != nullptr) {
            DiskFindEntry found{};
            found.name = name.c_str();
            found.directory = entry.is_directory(error);
            found.size = found.directory ? 0 : entry.file_size(error);
            if (error) found.size = 0;
            fs::file_time_type written = entry.last_write_time(error);
            // The file system keeps no creation time that can be read portably: the last
            // write stands in for it.
            found.lastWriteTime = error ? 0 : ToUnixSeconds(written);
            found.creationTime = found.lastWriteTime;
            FillFileInfo(found, info);
        }
        find->position.increment(error);
        if (error) find->position = fs::directory_iterator();
        return true;
    }
    return false;
}

void FreeFind(FindRecord* find) {
    find->~FindRecord();
    TrackedFree(find);
}

}  // namespace

int DiskSetCurrentDir(const char* path) { return plat::SetCurrentDir(path) ? 1 : 0; }

int DiskGetCurrentDir(char* buffer) {
    if (!plat::GetCurrentDir(buffer, plat::kMaxPath)) return 0;
    return static_cast<int>(std::strlen(buffer));
}

intptr_t DiskFindFirst(const char* pattern, FileInfo* info) {
    if (pattern == nullptr || pattern[0] == '\0') return -1;
    std::string directory, name;
    SplitPattern(pattern, &directory, &name);

    std::error_code error;
    fs::directory_iterator position(fs::path(plat::MapPath(directory.c_str())), error);
    if (error) return -1;

    void* memory = ZN_ALLOC(sizeof(FindRecord));
    if (memory == nullptr) return -1;
    FindRecord* find = new (memory) FindRecord{std::move(position), std::move(name)};
    if (!ReportNextMatch(find, info)) {
        FreeFind(find);
        return -1;
    }
    return reinterpret_cast<intptr_t>(find);
}

int DiskFindNext(intptr_t findHandle, FileInfo* info) {
    if (findHandle == -1 || findHandle == 0) return -1;
    return ReportNextMatch(reinterpret_cast<FindRecord*>(findHandle), info) ? 0 : -1;
}

int DiskFindClose(intptr_t findHandle) {
    if (findHandle == -1 || findHandle == 0) return -1;
    FreeFind(reinterpret_cast<FindRecord*>(findHandle));
    return 0;
}

void FillFileInfo(const DiskFindEntry& entry, FileInfo* info) {
    std::memset(info, 0, sizeof(*info));
    std::strncpy(info->name, entry.name, sizeof(info->name) - 1);
    info->directory = entry.directory ? 1 : 0;
    info->sizeLow = static_cast<uint32_t>(entry.size);
    info->sizeHigh = static_cast<uint32_t>(entry.size >> 32);
    FileTimeToDateRecord(entry.creationTime, &info->creationTime);
    FileTimeToDateRecord(entry.lastWriteTime, &info->lastWriteTime);
}

void FileTimeToDateRecord(int64_t fileTime, FileDate* date) {
    std::time_t seconds = static_cast<std::time_t>(fileTime);
    std::tm local{};
    if (const std::tm* converted = std::localtime(&seconds)) local = *converted;
    date->year = static_cast<uint32_t>(local.tm_year + 1900);
    date->month = static_cast<uint32_t>(local.tm_mon + 1);
    date->day = static_cast<uint32_t>(local.tm_mday);
    date->hour = static_cast<uint32_t>(local.tm_hour);
    date->minute = static_cast<uint32_t>(local.tm_min);
    date->second = static_cast<uint32_t>(local.tm_sec);
}
