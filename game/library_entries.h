// The library entries the game calls, as one table of function pointers.
//
// The framework classes never call the library directly: they call through this table, so a
// test can install a recording stand-in. Each pointer defaults to the library's public entry
// of the same name (api.h) once the library has it; until then the default reports the
// failure that entry would report for a handle it does not know (-1), and the pad read reports
// no input (0). Nothing in the defaults pretends to succeed.
#pragma once

// The local date and time, as the game reads it for its high-score records.
struct GameDateTime {
    int year = 0;
    int month = 0;   // 1..12
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

struct LibraryEntries {
    // ApiReadPadInputBits(input type) -> the pad-and-keyboard bit word.
    int (*readPadInputBits)(int inputType);
    // ApiLoadGraphFromPath(file, flag) -> graph handle or -1.
    int (*loadGraphFromPath)(const char* file, int flag);
    // ApiLoadDivGraphFromPath(file, total, x count, y count, width, height, handles, flag)
    // -> 0 or -1; fills total handles.
    int (*loadDivGraphFromPath)(const char* file, int total, int xCount, int yCount, int width,
                                int height, int* handles, int flag);
    // ApiQueryGraphSize(graph, width out, height out) -> 0 or -1.
    int (*queryGraphSize)(int graph, int* width, int* height);
    // ApiLoadSoundFromFile(file, buffer count, union handle) -> sound handle or -1.
    int (*loadSoundFromFile)(const char* file, int bufferCount, int unionHandle);
    // ApiPlaySoundHandle(handle, play type, top flag) -> 0 or -1.
    int (*playSoundHandle)(int handle, int playType, int topFlag);
    // ApiStopSoundHandle(handle) -> 0 or -1.
    int (*stopSoundHandle)(int handle);
    // ApiSetSoundHandleVolume(volume, handle) -> 0 or -1.
    int (*setSoundHandleVolume)(int volume, int handle);
    // The local date and time (the C runtime's clock).
    void (*getLocalDateTime)(GameDateTime* out);
};

// The table the game calls through.
LibraryEntries& libraryEntries();
// The default table (real entries where they exist).
const LibraryEntries& defaultLibraryEntries();
// Puts the default table back.
void resetLibraryEntries();
