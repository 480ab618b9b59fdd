#include "zn_app.h"

#include <cstdio>
#include <cstring>

#include "api.h"
#include "zn_frame.h"
#include "zn_screen.h"

ZnApp theApp;

namespace {

// How far the clock value a is past b (negative: before), by the signed difference of the
// two 32-bit values, so that the clock's wrap changes nothing.
int32_t msPast(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

int32_t msAfter(int32_t t, int32_t ms) {
    return static_cast<int32_t>(static_cast<uint32_t>(t) + static_cast<uint32_t>(ms));
}

int32_t readClock() { return ApiGetMillisecondCount(0); }

}  // namespace

bool startLibrary() { return ApiInitLibrary() == 0; }

void setWindowed(bool windowed) { ApiChangeWindowMode(windowed ? 1 : 0); }

bool pumpMessages() { return ApiProcessMessage() == 0; }

bool ZnApp::init(ZnFrame* frame) {
    frame_ = frame;
    // A fresh start: no key or button counts as held from before.
    joypad_ = ZnJoypad();
    std::memset(keyStates_, 0, sizeof(keyStates_));
    const char* title = frame != nullptr ? frame->getTitle() : "ZnApp";

    const int answer = ApiShowMessageBox("フルスクリーンで起動しますか?", title,
                                         ApiButtonsYesNoCancel);
    if (answer == ApiAnswerCancel) return false;
    setWindowed(answer != ApiAnswerYes);
    ApiSetWindowTitle(title);

    if (!startLibrary()) return false;
    ApiSetDefaultFontType(1);
    ApiSetDrawTarget(-2);  // the back screen
    resizeScreens(10);

    if (frame == nullptr || frame->init()) return true;

    // The frame could not start: say so, wait for any key and end.
    ApiDrawTextDefaultFont(0, 0, "初期化に失敗しました", ApiMakeScreenColor(255, 255, 255), 0);
    ApiDrawTextDefaultFont(380, 460, "何かキーを押すと終了します",
                           ApiMakeScreenColor(255, 255, 255), 0);
    ApiPresentScreen();
    ApiWaitForInputPress();
    ApiTermLibrary();
    return false;
}

void ZnApp::beginSteps() { nextStepTime_ = readClock(); }

void ZnApp::run() {
    beginSteps();
    while (pumpMessages() && frame_ != nullptr && frame_->isRunning()) step();
    end();
}

void ZnApp::step() {
    stepStartTime_ = readClock();
    joypad_.update();

    // The other buffer keeps the previous step's snapshot. The new one is cleared first so
    // that a failed read counts as no key down rather than bringing back an older snapshot.
    keyStateIndex_ = !keyStateIndex_;
    char* fresh = keyStates_[keyStateIndex_ ? 0 : 1];
    std::memset(fresh, 0, sizeof(keyStates_[0]));
    ApiReadKeyStates(fresh);

    frame_->update();
    if (isKeyTrigger(kKeyP)) saveScreenShot();

    if (isDrawFrame()) {
        ApiClearDrawTarget();
        for (uint32_t i = 0; i < screens_.size(); ++i) {
            if (ZnScreen* screen = screens_.at(i)) screen->draw();
        }
        ApiPresentScreen();
    }
    waitNextFrame();
}

void ZnApp::end() { ApiTermLibrary(); }

bool ZnApp::isKeyTrigger(int key) const {
    if (key < 0 || key >= 256) return false;
    return newestKeys()[key] != 0 && previousKeys()[key] == 0;
}

void ZnApp::resizeScreens(uint32_t n) {
    screens_.resize(n);
    clearScreens();
}

void ZnApp::clearScreens() {
    for (uint32_t i = 0; i < screens_.size(); ++i) screens_.at(i) = nullptr;
}

void ZnApp::addScreen(ZnScreen* screen) {
    for (uint32_t i = 0; i < screens_.size(); ++i) {
        if (screens_.at(i) == nullptr) {
            screens_.at(i) = screen;
            return;
        }
    }
}

void ZnApp::setColorKey(int r, int g, int b) {
    ApiSetColorKeyRGB(static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                      static_cast<unsigned char>(b));
}

void ZnApp::saveScreenShot() {
    ApiDateTime t{};
    ApiGetLocalDateTime(&t);
    char name[50];
    std::snprintf(name, sizeof(name), "D%04d%02d%02dT%02d%02d%02d-%03d.bmp", t.year, t.month,
                  t.day, t.hour, t.minute, t.second, t.millisecond);
    ApiSaveScreenToImageFile(0, 0, 640, 480, name, 0, 80, 1, -1);
}

void ZnApp::waitNextFrame() {
    const int32_t due = msAfter(nextStepTime_, kStepMs);
    while (msPast(readClock(), due) < 0) {
    }
    const int32_t late = msPast(readClock(), due);
    if (late > kCatchUpLimitMs) {
        // Too far behind to catch up step by step (the window was inactive, the machine
        // stalled): count the steps from now and forgive the lateness.
        nextStepTime_ = readClock();
        lateDebt_ = 0;
        return;
    }
    if (late > 0) lateDebt_ += msPast(readClock(), due);
    nextStepTime_ = due;
}

bool ZnApp::isDrawFrame() {
    if (lateDebt_ < kStepMs) return true;
    lateDebt_ = 0;
    return msPast(readClock(), msAfter(stepStartTime_, kStepMs)) > 0;
}
