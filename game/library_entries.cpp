#include "library_entries.h"

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
int changeWindowModeMissing(int) { return -1; }
int setWindowTitleMissing(const char*) { return -1; }
int setDefaultFontTypeMissing(int) { return -1; }
int clearDrawTargetMissing() { return -1; }
int presentScreenMissing() { return -1; }
unsigned makeScreenColorMissing(int, int, int) { return 0; }
int drawTextDefaultFontMissing(int, int, const char*, unsigned, unsigned) { return -1; }
int saveScreenToImageFileMissing(int, int, int, int, const char*, int, int, int, int) {
    return -1;
}

void getLocalDateTimeFromLibrary(GameDateTime* out) {
    ApiDateTime now{};
    if (ApiGetLocalDateTime(&now) != 0) {
        *out = GameDateTime{};
        return;
    }
    out->year = now.year;
    out->month = now.month;
    out->day = now.day;
    out->hour = now.hour;
    out->minute = now.minute;
    out->second = now.second;
    out->millisecond = now.millisecond;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
long long daysFromCivil(long long y, long long m, long long d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// Seconds since 1970-01-01 00:00:00 of the local date and time the library reports, so the
// game's random seed follows the same clock as everything else (ZN_NOW makes it repeatable).
long long getTimeFromLibrary() {
    GameDateTime t;
    getLocalDateTimeFromLibrary(&t);
    return daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 +
           t.second;
}

int getMillisecondCount() { return ApiGetMillisecondCount(0); }

int setColorKeyRGB(int r, int g, int b) {
    return ApiSetColorKeyRGB(static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                             static_cast<unsigned char>(b));
}

const LibraryEntries kDefaults = {
    .readPadInputBits = readPadInputBitsMissing,
    .loadGraphFromPath = loadGraphFromPathMissing,
    .loadDivGraphFromPath = loadDivGraphFromPathMissing,
    .queryGraphSize = ApiQueryGraphSize,
    .loadSoundFromFile = loadSoundFromFileMissing,
    .playSoundHandle = playSoundHandleMissing,
    .stopSoundHandle = stopSoundHandleMissing,
    .setSoundHandleVolume = setSoundHandleVolumeMissing,
    .getLocalDateTime = getLocalDateTimeFromLibrary,
    .getTime = getTimeFromLibrary,
    .getMillisecondCount = getMillisecondCount,
    .showMessageBox = ApiShowMessageBox,
    .changeWindowMode = changeWindowModeMissing,
    .setWindowTitle = setWindowTitleMissing,
    .initLibrary = ApiInitLibrary,
    .termLibrary = ApiTermLibrary,
    .processMessage = ApiProcessMessage,
    .setDefaultFontType = setDefaultFontTypeMissing,
    .setDrawTarget = ApiSetDrawTarget,
    .setColorKeyRGB = setColorKeyRGB,
    .readKeyStates = ApiReadKeyStates,
    .waitForInputPress = ApiWaitForInputPress,
    .clearDrawTarget = clearDrawTargetMissing,
    .presentScreen = presentScreenMissing,
    .makeScreenColor = makeScreenColorMissing,
    .drawTextDefaultFont = drawTextDefaultFontMissing,
    // The screen-save entry comes with the screen save; until then a screenshot fails.
    .saveScreenToImageFile = saveScreenToImageFileMissing,
};

LibraryEntries current = kDefaults;

}  // namespace

LibraryEntries& libraryEntries() { return current; }

const LibraryEntries& defaultLibraryEntries() { return kDefaults; }

void resetLibraryEntries() { current = kDefaults; }
