// The library entries the game calls, as the game's unit tests link them: each one answers
// through the live recording stand-in that plays its part (AppStandIn for the application's
// entries, LibraryStandIn for resources, the joypad and the date), and fails as a library that
// is not there when none is alive.
#include <cstdio>
#include <cstring>
#include <string>

#include "api.h"
#include "tests/game/stand_in/app_stand_in.h"
#include "tests/game/stand_in/library_stand_in.h"

struct AppStandInEntries {
    static AppStandIn* s() { return AppStandIn::current; }
    static void note(const std::string& line) { s()->log_.push_back(line); }
    static int nextPump() {
        ++s()->pumps_;
        return s()->quitAtPump_ != 0 && s()->pumps_ >= s()->quitAtPump_ ? -1 : 0;
    }
    static int readKeys(char* buffer) {
        const int read = ++s()->keyReads_;
        if (s()->failingReads_.count(read) != 0) return -1;
        std::memset(buffer, 0, 256);
        auto it = s()->keysByRead_.find(read);
        if (it != s()->keysByRead_.end()) {
            for (int key : it->second) buffer[key] = 1;
        }
        return 0;
    }
    static int answer() { return s()->answer_; }
    static int initResult() { return s()->initResult_; }
    static const ApiDateTime& now() { return s()->now_; }
};

struct LibraryStandInEntries {
    static LibraryStandIn* s() { return LibraryStandIn::current; }
    static void record(StandInCall call) { s()->calls_.push_back(std::move(call)); }
    static bool fails(const char* file) { return s()->failing_.count(file) != 0; }
    static int padBits() {
        const int read = ++s()->padReads_;
        auto it = s()->padBitsByRead_.find(read);
        return static_cast<int>(it != s()->padBitsByRead_.end() ? it->second : s()->padBits_);
    }
    static int newGraph(const char* file) {
        const int handle = s()->nextGraph_++;
        auto it = s()->sizes_.find(file);
        s()->handleSizes_[handle] = it != s()->sizes_.end() ? it->second : std::make_pair(0, 0);
        return handle;
    }
    static int newDivGraph() { return s()->nextGraph_++; }
    static int newSound() { return s()->nextSound_++; }
    static int graphSize(int graph, int* w, int* h) {
        auto it = s()->handleSizes_.find(graph);
        if (it == s()->handleSizes_.end()) return -1;
        if (w != nullptr) *w = it->second.first;
        if (h != nullptr) *h = it->second.second;
        return 0;
    }
    static const ApiDateTime& now() { return s()->now_; }
};

namespace {

using App = AppStandInEntries;
using Lib = LibraryStandInEntries;

bool appLive() { return AppStandIn::current != nullptr; }
bool libLive() { return LibraryStandIn::current != nullptr; }

// The virtual millisecond clock, in microseconds.
uint64_t clockMicroseconds = 0;
uint64_t clockReadStep = 0;

}  // namespace

void AppStandIn::resetClock() {
    clockMicroseconds = 0;
    clockReadStep = 0;
}

void AppStandIn::setClockReadStep(uint64_t microseconds) { clockReadStep = microseconds; }

void AppStandIn::advanceClock(uint64_t microseconds) { clockMicroseconds += microseconds; }

int ApiGetMillisecondCount(int /*unused*/) {
    clockMicroseconds += clockReadStep;
    return static_cast<int>(static_cast<uint32_t>(clockMicroseconds / 1000));
}

// --- the application's entries -------------------------------------------------------------------

int ApiShowMessageBox(const char* text, const char* caption, int buttons) {
    if (!appLive()) return ApiAnswerCancel;
    App::note(std::string("question ") + text + "|" + caption + "|" + std::to_string(buttons));
    return App::answer();
}

int ApiChangeWindowMode(int windowed) {
    if (!appLive()) return -1;
    App::note("windowMode " + std::to_string(windowed));
    return 0;
}

int ApiSetWindowTitle(const char* text) {
    if (!appLive()) return -1;
    App::note(std::string("title ") + text);
    return 0;
}

int ApiInitLibrary() {
    if (!appLive()) return -1;
    App::note("initLibrary");
    return App::initResult();
}

int ApiTermLibrary() {
    if (!appLive()) return 0;
    App::note("term");
    return 0;
}

int ApiProcessMessage() {
    if (!appLive()) return -1;
    App::note("pump");
    return App::nextPump();
}

int ApiSetDefaultFontType(int fontType) {
    if (!appLive()) return -1;
    App::note("fontType " + std::to_string(fontType));
    return 0;
}

int ApiSetDrawTarget(int target) {
    if (!appLive()) return -1;
    App::note("drawTarget " + std::to_string(target));
    return 0;
}

int ApiSetColorKeyRGB(unsigned char r, unsigned char g, unsigned char b) {
    if (!appLive()) return -1;
    App::note("colorKey " + std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b));
    return 0;
}

int ApiReadKeyStates(char* buffer) {
    if (!appLive() || buffer == nullptr) return -1;
    return App::readKeys(buffer);
}

int ApiWaitForInputPress() {
    if (!appLive()) return 0;
    App::note("waitInput");
    return 0x2C;
}

int ApiClearDrawTarget() {
    if (!appLive()) return -1;
    App::note("clear");
    return 0;
}

int ApiPresentScreen() {
    if (!appLive()) return -1;
    App::note("present");
    return 0;
}

unsigned int ApiMakeScreenColor(int r, int g, int b) {
    if (!appLive()) return 0;
    return static_cast<unsigned>((r << 16) | (g << 8) | b);
}

int ApiDrawTextDefaultFont(int x, int y, const char* text, unsigned int color,
                           unsigned int edgeColor) {
    if (!appLive()) return -1;
    App::note("text " + std::to_string(x) + " " + std::to_string(y) + " " + text + " " +
              std::to_string(color) + " " + std::to_string(edgeColor));
    return 0;
}

int ApiSaveScreenToImageFile(int x1, int y1, int x2, int y2, const char* file, int type,
                             int quality, int flag, int level) {
    if (!appLive()) return -1;
    App::note("save " + std::to_string(x1) + " " + std::to_string(y1) + " " + std::to_string(x2) +
              " " + std::to_string(y2) + " " + file + " " + std::to_string(type) + " " +
              std::to_string(quality) + " " + std::to_string(flag) + " " + std::to_string(level));
    return 0;
}

// --- drawing ----------------------------------------------------------------------------------

int ApiSetBlendMode(int mode, int param) {
    if (!appLive()) return -1;
    App::note("blend " + std::to_string(mode) + " " + std::to_string(param));
    return 0;
}

int ApiSetBrightnessRGB(int r, int g, int b) {
    if (!appLive()) return -1;
    App::note("bright " + std::to_string(r) + " " + std::to_string(g) + " " + std::to_string(b));
    return 0;
}

int ApiDrawGraphAt(int x, int y, int graph, int transFlag) {
    if (!appLive()) return -1;
    App::note("graph " + std::to_string(x) + " " + std::to_string(y) + " " +
              std::to_string(graph) + " " + std::to_string(transFlag));
    return 0;
}

int ApiDrawGraphRotatedInt(int x, int y, double scale, double angle, int graph, int transFlag,
                           int turnFlag) {
    if (!appLive()) return -1;
    char numbers[64];
    std::snprintf(numbers, sizeof(numbers), "%.4f %.4f", scale, angle);
    App::note("rotated " + std::to_string(x) + " " + std::to_string(y) + " " + numbers + " " +
              std::to_string(graph) + " " + std::to_string(transFlag) + " " +
              std::to_string(turnFlag));
    return 0;
}

// --- resources, the joypad and the date ----------------------------------------------------------

int ApiReadPadInputBits(int inputType) {
    if (!libLive()) return 0;  // no pad, no key
    Lib::record({"pad", inputType, 0, 0, ""});
    return Lib::padBits();
}

int ApiLoadGraphFromPath(const char* path, int flag) {
    if (!libLive()) return -1;
    Lib::record({"loadGraph", flag, 0, 0, path});
    return Lib::fails(path) ? -1 : Lib::newGraph(path);
}

int ApiLoadDivGraphFromPath(const char* path, int total, int /*xCount*/, int /*yCount*/,
                            int /*width*/, int /*height*/, int* handles, int flag) {
    if (!libLive()) return -1;
    Lib::record({"loadDivGraph", total, flag, 0, path});
    if (Lib::fails(path)) return -1;
    for (int i = 0; i < total; ++i) handles[i] = Lib::newDivGraph();
    return 0;
}

int ApiQueryGraphSize(int graph, int* width, int* height) {
    if (!libLive()) return -1;
    return Lib::graphSize(graph, width, height);
}

int ApiLoadSoundFromFile(const char* file, int bufferCount, int unionHandle) {
    if (!libLive()) return -1;
    Lib::record({"loadSound", bufferCount, unionHandle, 0, file});
    return Lib::fails(file) ? -1 : Lib::newSound();
}

int ApiPlaySoundHandle(int handle, int playType, int topPositionFlag) {
    if (!libLive()) return -1;
    Lib::record({"play", handle, playType, topPositionFlag, ""});
    return 0;
}

int ApiStopSoundHandle(int handle) {
    if (!libLive()) return -1;
    Lib::record({"stop", handle, 0, 0, ""});
    return 0;
}

int ApiSetSoundHandleVolume(int volume, int handle) {
    if (!libLive()) return -1;
    Lib::record({"volume", volume, handle, 0, ""});
    return 0;
}

int ApiGetLocalDateTime(ApiDateTime* out) {
    if (out == nullptr) return -1;
    if (libLive()) {
        *out = Lib::now();
    } else if (appLive()) {
        *out = App::now();
    } else {
        return -1;
    }
    return 0;
}
