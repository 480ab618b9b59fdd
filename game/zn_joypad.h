// The joypad: the pad-and-keyboard bits of this step and of the step before, with tests that
// tell a press from a hold and a release.
#pragma once
#include <cstdint>

// Input bits as the library delivers them.
enum PadBit : uint32_t {
    PAD_DOWN = 1,
    PAD_LEFT = 2,
    PAD_RIGHT = 4,
    PAD_UP = 8,
    PAD_SHOT = 16,     // confirm in menus, boost in play
    PAD_BOMB = 32,     // back in menus, bomb in play
    PAD_CAPTURE = 2048,
};

class DhJoypadState {
public:
    // 1 pressed in this step, 3 held, 2 released in this step, 0 up.
    int test(uint32_t mask) const {
        return ((current_ & mask) != 0 ? 1 : 0) + ((previous_ & mask) != 0 ? 2 : 0);
    }
    int getDown() const { return test(PAD_DOWN); }
    int getUp() const { return test(PAD_UP); }
    int getShot() const { return test(PAD_SHOT); }
    int getBomb() const { return test(PAD_BOMB); }
    int getCapture() const { return test(PAD_CAPTURE); }
    // The four direction bits of this step.
    uint32_t getDirection() const { return current_ & 15; }

protected:
    uint32_t current_ = 0;
    uint32_t previous_ = 0;
};

class ZnJoypad : public DhJoypadState {
public:
    // Reads the next step's bits (pad 1 combined with the keyboard); once per main-loop step.
    void update();

private:
    int selector_ = 0x1001;
};
