// The keyboard: its reads and its key table.
#include <cstring>

#include "platform/core/clock.h"
#include "platform/core/thread.h"
#include "platform/dinput/keyboard_state.h"
#include "system/input.h"
#include "system/input_host.h"
#include "system/input_internal.h"
#include "system/input_state.h"

// The keyboard poll and the key snapshot.
namespace {

void CopyRows(const uint8_t virtualKeys[256], const VirtualKeyRow* rows, int count,
              uint8_t snapshot[256]) {
    for (int i = 0; i < count; ++i) snapshot[rows[i].dik] = virtualKeys[rows[i].virtualKey];
}

// Through the keyboard device: read again when the clock moved or the device signalled a
// change; a read that fails twice (with an acquire between) keeps the last snapshot.
void PollKeyboardDevice(InputState& s) {
    const uint32_t now = plat::MillisecondClock();
    const bool signalled = s.keyboardEvent != nullptr &&
                           plat::WaitEvent(s.keyboardEvent, 0) == plat::WaitResult::Signalled;
    if (now == s.keyboardPollTime && !signalled) return;
    if (InputProcessMessage() != 0) return;
    // Cleared before the read, so that a change during it sets the event again.
    if (signalled) plat::ResetEvent(s.keyboardEvent);
    uint8_t state[256];
    plat::DiResult result = s.keyboard->GetDeviceState(sizeof(state), state);
    if (plat::DiFailed(result)) {
        s.keyboard->Acquire();
        result = s.keyboard->GetDeviceState(sizeof(state), state);
    }
    if (!plat::DiFailed(result)) std::memcpy(s.keyStates, state, sizeof(state));
    s.keyboardPollTime = now;
}

// Through the whole keyboard state, at most once per millisecond.
void PollKeyboardState(InputState& s) {
    const uint32_t now = plat::MillisecondClock();
    if (now == s.keyboardPollTime) return;
    s.keyboardPollTime = now;
    if (InputProcessMessage() != 0) return;
    uint8_t keys[256];
    if (!plat::GetKeyboardState(keys)) return;
    std::memset(s.keyStates, 0, sizeof(s.keyStates));
    CopyRows(keys, kKeyTableGroup1, kKeyTableGroup1Size, s.keyStates);
    CopyRows(keys, kKeyTableGroup2, kKeyTableGroup2Size, s.keyStates);
}

}  // namespace

void PollKeyboard() {
    InputState& s = GetInputState();
    if (s.directInput != nullptr && s.keyboardWithoutDirectInput == 0 && s.keyboard != nullptr) {
        PollKeyboardDevice(s);
        // The whole keyboard state is laid over the device's (only the thread of the window
        // sees it).
        uint8_t keys[256];
        if (s.overlayOff == 0 && InputOnMainThread() && plat::GetKeyboardState(keys)) {
            CopyRows(keys, kKeyTableGroup1, kKeyTableGroup1Size, s.keyStates);
        }
        return;
    }
    PollKeyboardState(s);
}

int ReadKeyStates(char* buffer) {
    if (buffer == nullptr) return -1;
    int started = 0;
    if (StartInputForRead(&started)) {
        std::memset(buffer, 0, 256);
        return started;
    }
    PollKeyboard();
    const InputState& s = GetInputState();
    for (int i = 0; i < 256; ++i) buffer[i] = (s.keyStates[i] & 0x80) != 0 ? 1 : 0;
    return 0;
}

// The key table of the keyboard poll: virtual key to device key code.
// Group 1: letters, digits, arrows, punctuation, the main control keys and the numeric pad.
const VirtualKeyRow kKeyTableGroup1[] = {
    {'A', 30}, {'B', 48}, {'C', 46}, {'D', 32}, {'E', 18}, {'F', 33}, {'G', 34}, {'H', 35},
    {'I', 23}, {'J', 36}, {'K', 37}, {'L', 38}, {'M', 50}, {'N', 49}, {'O', 24}, {'P', 25},
    {'Q', 16}, {'R', 19}, {'S', 31}, {'T', 20}, {'U', 22}, {'V', 47}, {'W', 17}, {'X', 45},
    {'Y', 21}, {'Z', 44},
    {'0', 11}, {'1', 2}, {'2', 3}, {'3', 4}, {'4', 5}, {'5', 6}, {'6', 7}, {'7', 8}, {'8', 9},
    {'9', 10},
    {37, 203}, {38, 200}, {39, 205}, {40, 208},
    {187, 39}, {186, 146}, {219, 26}, {221, 27}, {192, 145}, {226, 43}, {188, 51}, {189, 12},
    {220, 125}, {190, 52}, {191, 53},
    {46, 211}, {27, 1}, {32, 57}, {8, 14}, {9, 15}, {13, 28},
    {96, 82}, {97, 79}, {98, 80}, {99, 81}, {100, 75}, {101, 76}, {102, 77}, {103, 71},
    {104, 72}, {105, 73},
    {106, 55}, {107, 78}, {109, 74}, {110, 83}, {111, 181},
};
const int kKeyTableGroup1Size = static_cast<int>(sizeof(kKeyTableGroup1) / sizeof(kKeyTableGroup1[0]));

// Group 2: keypad Enter, the left and right modifiers, the editing block, the lock keys,
// Pause and the function keys.
const VirtualKeyRow kKeyTableGroup2[] = {
    {13, 156}, {160, 42}, {161, 54}, {162, 29}, {163, 157}, {33, 201}, {34, 209}, {35, 207},
    {36, 199}, {45, 210}, {164, 56}, {165, 184}, {145, 70}, {20, 58}, {19, 197},
    {112, 59}, {113, 60}, {114, 61}, {115, 62}, {116, 63}, {117, 64}, {118, 65}, {119, 66},
    {120, 67}, {121, 68}, {122, 87}, {123, 88},
};
const int kKeyTableGroup2Size = static_cast<int>(sizeof(kKeyTableGroup2) / sizeof(kKeyTableGroup2[0]));
