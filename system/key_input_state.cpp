#include "system/key_input_state.h"

#include "base/log.h"
#include "base/tracked_memory.h"
#include "system/window_data.h"

namespace {

// Text white, then the cursor, the composition text, its converted clause, its cursor, the
// composition's underline, the candidate text, the selected candidate, the candidate frame
// and the candidate background.
constexpr uint32_t kDefaultColors[kKeyInputColorCount] = {
    0xFFFFFF, 0xFFFFFF, 0xFFFF00, 0x000000, 0xFFFF00,
    0xFFFF00, 0xFFFFFF, 0xFFFF00, 0xFFFFFF, 0x000000,
};

}  // namespace

CharInputState& GetCharInputState() {
    static CharInputState state{};
    return state;
}

int InitCharInput() {
    LogWrite("文字コードバッファの初期化を行います... ");
    CharInputState& state = GetCharInputState();
    if (state.candidates != nullptr) TrackedFree(state.candidates);
    for (KeyInputRecord& record : state.keyInputs) {
        if (record.text != nullptr) TrackedFree(record.text);
    }
    state = CharInputState{};
    for (int i = 0; i < kKeyInputColorCount; ++i) state.colors[i] = kDefaultColors[i];
    state.blinkInterval = kCursorBlinkMs;
    state.activeKeyInput = kNoHandle;
    state.secondKeyInput = kNoHandle;
    // The IME starts disabled, as the cleared flag says, until a string input wants it.
    plat::WINNLSEnableIME(GetWindowData().window.handle, false);
    LogWrite("完了しました\n");
    return 0;
}
