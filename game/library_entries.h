// The library entries the game calls, as one table of function pointers.
//
// The framework classes never call the library directly: they call through this table, so a
// test can install a recording stand-in. Each pointer defaults to the library's public entry
// of the same name (api.h) once the library has it; until then the default reports the
// failure that entry would report for a handle it does not know (-1), the pad read reports
// no input (0), the wait for a key reports that the program is to end (0) and a screen colour
// is 0. Nothing in the defaults pretends to succeed.
#pragma once

// The local date and time, as the game reads it for its high-score records.
struct GameDateTime {
    int year = 0;
    int month = 0;   // 1..12
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
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
    // The local date and time (ApiGetLocalDateTime: ZN_NOW fixes where it starts).
    void (*getLocalDateTime)(GameDateTime* out);

    // --- the application and its main loop ---
    // The current time in seconds, from the same local date and time (the random seed).
    long long (*getTime)();
    // ApiGetMillisecondCount(0) -> the library's millisecond clock.
    int (*getMillisecondCount)();
    // ApiShowMessageBox(text, caption, buttons) -> the answer (ApiAnswerYes...).
    int (*showMessageBox)(const char* text, const char* caption, int buttons);
    // ApiChangeWindowMode(windowed flag) -> 0 or -1.
    int (*changeWindowMode)(int windowed);
    // ApiSetWindowTitle(text) -> 0 or -1.
    int (*setWindowTitle)(const char* title);
    // ApiInitLibrary() -> 0 or -1.
    int (*initLibrary)();
    // ApiTermLibrary() -> 0.
    int (*termLibrary)();
    // ApiProcessMessage() -> 0, or -1 once the program is to end.
    int (*processMessage)();
    // ApiSetDefaultFontType(type) -> 0 or -1.
    int (*setDefaultFontType)(int type);
    // ApiSetDrawTarget(target) -> 0 or -1.
    int (*setDrawTarget)(int target);
    // ApiSetColorKeyRGB(r, g, b) -> 0 or -1.
    int (*setColorKeyRGB)(int r, int g, int b);
    // ApiReadKeyStates(256-byte buffer) -> 0 or -1; buffer[key code] nonzero while down.
    int (*readKeyStates)(char* buffer);
    // ApiWaitForInputPress() -> the input code, or 0 once the program is to end.
    int (*waitForInputPress)();
    // ApiClearDrawTarget() -> 0 or -1.
    int (*clearDrawTarget)();
    // ApiPresentScreen() -> 0 or -1.
    int (*presentScreen)();
    // ApiMakeScreenColor(r, g, b) -> the colour value of the screen's pixel format.
    unsigned (*makeScreenColor)(int r, int g, int b);
    // ApiDrawTextDefaultFont(x, y, text, colour, edge colour) -> 0 or -1.
    int (*drawTextDefaultFont)(int x, int y, const char* text, unsigned color, unsigned edgeColor);
    // ApiSaveScreenToImageFile(x1, y1, x2, y2, file, type, quality, flag, level) -> 0 or -1.
    int (*saveScreenToImageFile)(int x1, int y1, int x2, int y2, const char* file, int type,
                                 int quality, int flag, int level);
};

// The table the game calls through.
LibraryEntries& libraryEntries();
// The default table (real entries where they exist).
const LibraryEntries& defaultLibraryEntries();
// Puts the default table back.
void resetLibraryEntries();
