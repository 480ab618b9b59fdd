// The message pump's key-input step: the IME's staging, then the queued characters into the
// active string input.
#include "base/sjis_string.h"
#include "platform/core/clock.h"
#include "system/ime.h"
#include "system/input_char_queue.h"
#include "system/key_input.h"

int ProcessKeyInput() {
    RunImeStaging();
    CharInputState& state = GetCharInputState();
    if (state.activeKeyInput == kNoHandle) return 0;
    KeyInputRecord* record = FindKeyInputRecord(state.activeKeyInput);
    if (record == nullptr) return -1;
    const int charSet = GetCharSet();
    uint8_t bytes[2] = {};
    while (!record->ended) {
        const int size = ReadCharQueue(bytes, 1);
        if (size == 0) break;
        state.lastKeyTime = plat::MillisecondClock();
        state.cursorVisible = 1;
        ApplyKeyInputChar(*record, bytes, size, charSet);
    }
    return 0;
}

void StepKeyInput() { ProcessKeyInput(); }
