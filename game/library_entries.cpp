#include "library_entries.h"

#include <ctime>

#include "api.h"

namespace {

// Entries the library does not offer yet: they fail as the library fails for an unknown
// handle, so a missing entry is never mistaken for a working one.
int readPadInputBitsMissing(int) { return 0; }
int loadGraphFromPathMissing(const char*, int) { return -1; }
int loadDivGraphFromPathMissing(const char*, int, int, int, int, int, int*, int) { return -1; }
int loadSoundFromFileMissing(const char*, int, int) { return -1; }
int playSoundHandleMissing(int, int, int) { return -1; }
int stopSoundHandleMissing(int) { return -1; }
int setSoundHandleVolumeMissing(int, int) { return -1; }

void getLocalDateTimeFromRuntime(GameDateTime* out) {
    std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (local == nullptr) {
        *out = GameDateTime{};
        return;
    }
    out->year = local->tm_year + 1900;
    out->month = local->tm_mon + 1;
    out->day = local->tm_mday;
    out->hour = local->tm_hour;
    out->minute = local->tm_min;
    out->second = local->tm_sec;
}

const LibraryEntries kDefaults = {
    readPadInputBitsMissing,
    loadGraphFromPathMissing,
    loadDivGraphFromPathMissing,
    ApiQueryGraphSize,
    loadSoundFromFileMissing,
    playSoundHandleMissing,
    stopSoundHandleMissing,
    setSoundHandleVolumeMissing,
    getLocalDateTimeFromRuntime,
};

LibraryEntries current = kDefaults;

}  // namespace

LibraryEntries& libraryEntries() { return current; }

const LibraryEntries& defaultLibraryEntries() { return kDefaults; }

void resetLibraryEntries() { current = kDefaults; }
