#include "tests/game/app_stand_in.h"

#include <cstring>

AppStandIn* AppStandIn::current = nullptr;

struct AppStandInEntries {
    static AppStandIn& s() { return *AppStandIn::current; }
    static void note(const std::string& line) { s().log_.push_back(line); }

    static int showMessageBox(const char* text, const char* caption, int buttons) {
        note(std::string("question ") + text + "|" + caption + "|" + std::to_string(buttons));
        return s().answer_;
    }
    static int changeWindowMode(int windowed) {
        note("windowMode " + std::to_string(windowed));
        return 0;
    }
    static int setWindowTitle(const char* title) {
        note(std::string("title ") + title);
        return 0;
    }
    static int initLibrary() {
        note("initLibrary");
        return s().initResult_;
    }
    static int termLibrary() {
        note("term");
        return 0;
    }
    static int processMessage() {
        note("pump");
        ++s().pumps_;
        return s().quitAtPump_ != 0 && s().pumps_ >= s().quitAtPump_ ? -1 : 0;
    }
    static int setDefaultFontType(int type) {
        note("fontType " + std::to_string(type));
        return 0;
    }
    static int setDrawTarget(int target) {
        note("drawTarget " + std::to_string(target));
        return 0;
    }
    static int readKeyStates(char* buffer) {
        const int read = ++s().keyReads_;
        if (s().failingReads_.count(read) != 0) return -1;
        std::memset(buffer, 0, 256);
        auto it = s().keysByRead_.find(read);
        if (it != s().keysByRead_.end()) {
            for (int key : it->second) buffer[key] = 1;
        }
        return 0;
    }
    static int readPadInputBits(int) { return 0; }
    static int waitForInputPress() {
        note("waitInput");
        return 0x2C;
    }
    static int clearDrawTarget() {
        note("clear");
        return 0;
    }
    static int presentScreen() {
        note("present");
        return 0;
    }
    static unsigned makeScreenColor(int r, int g, int b) {
        return static_cast<unsigned>((r << 16) | (g << 8) | b);
    }
    static int drawTextDefaultFont(int x, int y, const char* text, unsigned color, unsigned edge) {
        note("text " + std::to_string(x) + " " + std::to_string(y) + " " + text + " " +
             std::to_string(color) + " " + std::to_string(edge));
        return 0;
    }
    static int saveScreenToImageFile(int x1, int y1, int x2, int y2, const char* file, int type,
                                     int quality, int flag, int level) {
        note("save " + std::to_string(x1) + " " + std::to_string(y1) + " " + std::to_string(x2) +
             " " + std::to_string(y2) + " " + file + " " + std::to_string(type) + " " +
             std::to_string(quality) + " " + std::to_string(flag) + " " + std::to_string(level));
        return 0;
    }
    static void getLocalDateTime(GameDateTime* out) { *out = s().now_; }
};

AppStandIn::AppStandIn() {
    current = this;
    now_ = GameDateTime{2024, 3, 5, 7, 8, 9, 42};
    LibraryEntries& e = libraryEntries();
    e.showMessageBox = AppStandInEntries::showMessageBox;
    e.changeWindowMode = AppStandInEntries::changeWindowMode;
    e.setWindowTitle = AppStandInEntries::setWindowTitle;
    e.initLibrary = AppStandInEntries::initLibrary;
    e.termLibrary = AppStandInEntries::termLibrary;
    e.processMessage = AppStandInEntries::processMessage;
    e.setDefaultFontType = AppStandInEntries::setDefaultFontType;
    e.setDrawTarget = AppStandInEntries::setDrawTarget;
    e.readKeyStates = AppStandInEntries::readKeyStates;
    e.readPadInputBits = AppStandInEntries::readPadInputBits;
    e.waitForInputPress = AppStandInEntries::waitForInputPress;
    e.clearDrawTarget = AppStandInEntries::clearDrawTarget;
    e.presentScreen = AppStandInEntries::presentScreen;
    e.makeScreenColor = AppStandInEntries::makeScreenColor;
    e.drawTextDefaultFont = AppStandInEntries::drawTextDefaultFont;
    e.saveScreenToImageFile = AppStandInEntries::saveScreenToImageFile;
    e.getLocalDateTime = AppStandInEntries::getLocalDateTime;
}

AppStandIn::~AppStandIn() {
    resetLibraryEntries();
    current = nullptr;
}

std::vector<std::string> AppStandIn::logWithout(const std::vector<std::string>& prefixes) const {
    std::vector<std::string> out;
    for (const std::string& line : log_) {
        bool drop = false;
        for (const std::string& p : prefixes) drop = drop || line.rfind(p, 0) == 0;
        if (!drop) out.push_back(line);
    }
    return out;
}
