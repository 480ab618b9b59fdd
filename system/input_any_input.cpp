// Whether any key, pad or mouse button is held.
#include "system/input.h"
#include "system/input_host.h"
#include "system/input_internal.h"
#include "system/input_state.h"

namespace {

// Lock keys that stay "down" while locked do not count as input.
constexpr int kDikKanji = 0x94;
constexpr int kDikCapital = 0x3A;
constexpr int kDikKana = 0x70;
constexpr int kDikF10 = 0x44;

}  // namespace

int CheckAnyInput(int mask) {
    int started = 0;
    // A start here reads nothing; its result is no input.
    if (StartInputForRead(&started)) return 0;
    InputState& s = GetInputState();
    if ((mask & kCheckKeyboardAndPads) != 0) {
        PollKeyboard();
        for (int code = 0; code < 256; ++code) {
            if (code == kDikKanji || code == kDikCapital || code == kDikKana) continue;
            if ((s.keyStates[code] & 0x80) != 0) return code;
        }
        if (InputF10KeyHeld()) return kDikF10;
        for (int n = 1; n <= s.padCount; ++n) {
            if (ReadPadInputBits(n) != 0) return -1;
        }
    }
    if ((mask & kCheckMouse) != 0 && GetMouseButtons() != 0) return -1;
    return 0;
}
