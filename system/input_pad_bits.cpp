// The pad word: a pad's directions and buttons, merged with keys of the keyboard.
#include "system/input.h"
#include "system/input_internal.h"
#include "system/input_state.h"

namespace {

struct KeyBit {
    uint8_t dik;
    int bit;
};

// Device key codes: Down, numpad 2, Left, numpad 4, Right, numpad 6, Up, numpad 8, Z, X, C,
// A, S, D, Q, W, Escape, Space.
constexpr KeyBit kKeyBits[] = {
    {0xD0, 0x1},   {0x50, 0x1},   {0xCB, 0x2},   {0x4B, 0x2},   {0xCD, 0x4},   {0x4D, 0x4},
    {0xC8, 0x8},   {0x48, 0x8},   {0x2C, 0x10},  {0x2D, 0x20},  {0x2E, 0x40},  {0x1E, 0x80},
    {0x1F, 0x100}, {0x20, 0x200}, {0x10, 0x400}, {0x11, 0x800}, {0x01, 0x1000}, {0x39, 0x2000},
};

int PadBits(const plat::DiJoyState& state) {
    int bits = 0;
    if (state.lX < 0) bits |= kPadLeft;
    if (state.lX > 0) bits |= kPadRight;
    if (state.lY < 0) bits |= kPadUp;
    if (state.lY > 0) bits |= kPadDown;
    for (int k = 0; k < 24; ++k) {
        if ((state.rgbButtons[k] & 0x80) != 0) bits |= 1 << (kPadFirstButtonBit + k);
    }
    return bits;
}

}  // namespace

int ReadPadInputBits(int inputType) {
    int started = 0;
    // A start here reads nothing; its result is no pad word.
    if (StartInputForRead(&started)) return 0;
    InputState& s = GetInputState();
    const bool withKeyboard = (inputType & kInputTypeKeyboard) != 0;
    const int number = inputType & ~kInputTypeKeyboard;
    if (!withKeyboard && s.padCount != 0 && number > s.padCount) return 0;
    int bits = 0;
    if (number >= 1 && number <= s.padCount) {
        PollPad(number - 1);
        bits = PadBits(s.pads[number - 1].state);
    }
    if (!withKeyboard) return bits;
    PollKeyboard();
    for (const KeyBit& key : kKeyBits) {
        if ((s.keyStates[key.dik] & 0x80) != 0) bits |= key.bit;
    }
    return bits;
}
