#include "base/tracked_memory.h"
#include "platform/ime/imm.h"
#include "system/ime.h"
#include "system/key_input_state.h"
#include "system/window_data.h"

int SetImeEnable(int flag) {
    CharInputState& state = GetCharInputState();
    const uint32_t enable = flag != 0 ? 1 : 0;
    if (enable == state.imeEnabled) return 0;
    plat::WINNLSEnableIME(GetWindowData().window.handle, enable != 0);
    state.imeEnabled = enable;
    if (!enable) {
        if (state.candidates != nullptr) TrackedFree(state.candidates);
        state.candidates = nullptr;
        state.candidatesBytes = 0;
        state.composition[0] = '\0';
        state.composing = 0;
    }
    return 0;
}
