// The application: starts the library, owns the joypad, the keyboard snapshots and the list
// of screens to draw, and runs the fixed-step main loop that drives the frame.
//
// The loop runs one game step every 10 ms, paced by busy-waiting on the library's
// millisecond clock. Game logic never skips a step: after a short stall the loop runs the
// missed steps back to back, dropping drawing to catch up; after a stall of more than 100 ms
// it starts counting again from that moment instead.
#pragma once
#include <cstdint>

#include "simple_array.h"
#include "zn_joypad.h"

class ZnFrame;
class ZnScreen;

// Thin wrappers over the library's entries.
bool startLibrary();             // true when the library started
void setWindowed(bool windowed); // window mode for the library's start; the result is not used
bool pumpMessages();             // true while the program is to go on

class ZnApp {
public:
    static constexpr int kStepMs = 10;            // one game step (100 steps per second)
    static constexpr int kCatchUpLimitMs = 100;   // later than this, the loop resynchronises
    static constexpr int kKeyP = 0x19;            // key codes of the keyboard snapshot
    static constexpr int kKeyEscape = 1;

    // Asks the start-up question, starts the library and initialises the frame (null: no
    // frame yet; the loop then ends at once). False when the program is to end without the
    // loop (the question cancelled, the library not started, or the frame's initialisation
    // failed, shown on the error screen).
    bool init(ZnFrame* frame);
    // The main loop; returns after end().
    void run();
    // Ends the library.
    void end();

    ZnJoypad& getJoypad(int /*unused*/) { return joypad_; }
    // The key is down in this step's snapshot and was up in the previous step's.
    bool isKeyTrigger(int key) const;
    bool isEscapeTrigger() const { return isKeyTrigger(kKeyEscape); }

    // n empty slots (earlier contents are dropped).
    void resizeScreens(uint32_t n);
    // Every slot empty; the size stays.
    void clearScreens();
    // Stores the screen in the first empty slot; a full list drops it. Draw order is slot order.
    void addScreen(ZnScreen* screen);
    // The draw list: its slot count and slot i (null when empty).
    uint32_t getScreenCount() const { return screens_.size(); }
    ZnScreen* getScreen(uint32_t i) const { return i < screens_.size() ? screens_.at(i) : nullptr; }

    // Transparent colour of images loaded from now on.
    void setColorKey(int r, int g, int b);
    // Saves the whole screen to "DyyyymmddThhmmss-mmm.bmp" from the local time (the result is
    // ignored).
    void saveScreenShot();

    // The main loop's parts, also for driving the loop step by step: the first step is due
    // one step after now; one step of the loop (joypad, keys, the frame's update, the
    // screenshot key, the drawing, the wait).
    void beginSteps();
    void step();

    // Waits for the end of the current step, keeping account of lateness.
    void waitNextFrame();
    // False when this step's drawing is skipped to catch up.
    bool isDrawFrame();

protected:
    // The newest keyboard snapshot and the one of the step before.
    const char* newestKeys() const { return keyStates_[keyStateIndex_ ? 0 : 1]; }
    const char* previousKeys() const { return keyStates_[keyStateIndex_ ? 1 : 0]; }

    int32_t nextStepTime_ = 0;   // clock value at which the current step is due to end
    int32_t stepStartTime_ = 0;  // clock value when the current step began
    int32_t lateDebt_ = 0;       // accumulated lateness, ms
    ZnFrame* frame_ = nullptr;   // not owned
    ZnJoypad joypad_;
    SimpleArray<ZnScreen*> screens_;  // null = empty slot; not owned
    char keyStates_[2][256] = {};
    bool keyStateIndex_ = false;  // true: the first buffer is the newest
};

// The one application.
extern ZnApp theApp;
