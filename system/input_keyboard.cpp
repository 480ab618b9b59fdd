// The keyboard poll and the key snapshot.
#include <cstring>

#include "platform/core/clock.h"
#include "platform/dinput/keyboard_state.h"
#include "platform/core/thread.h"
#include "system/input.h"
#include "system/input_host.h"
#include "system/input_internal.h"
#include "system/input_state.h"

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
