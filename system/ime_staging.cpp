// The IME's close and re-open after the window came back, run in stages from the key-input
// step: (1) the composition is saved and cancelled, (2) the IME closed, (3) opened, (4) opened
// with the saved composition put back.
#include <cstring>

#include "platform/ime/imm.h"
#include "system/ime.h"
#include "system/ime_text.h"
#include "system/key_input_state.h"
#include "system/window_data.h"

namespace {

constexpr uint32_t kLastStage = 4;

}  // namespace

void RequestImeReopen() {
    CharInputState& state = GetCharInputState();
    if (state.imeEnabled && state.imeOpen) state.imeStage = 1;
}

void RunImeStaging() {
    CharInputState& state = GetCharInputState();
    if (state.imeStage == 0) return;
    const plat::WindowHandle window = GetWindowData().window.handle;
    const plat::InputContext context = plat::ImmGetContext(window);
    for (uint32_t stage = state.imeStage; stage <= kLastStage; ++stage) {
        switch (stage) {
            case 1:
                ReadImeString(context, plat::GCS_COMPSTR, state.savedComposition,
                              kImeStringBytes);
                plat::ImmNotifyIME(context, plat::NI_COMPOSITIONSTR, plat::CPS_CANCEL, 0);
                break;
            case 2:
                plat::ImmSetOpenStatus(context, false);
                break;
            case 3:
                plat::ImmSetOpenStatus(context, true);
                break;
            default: {
                plat::ImmSetOpenStatus(context, true);
                // An empty composition is not put back: it would start a composition of
                // nothing.
                const auto bytes = static_cast<uint32_t>(std::strlen(state.savedComposition));
                if (bytes != 0) {
                    plat::ImmSetCompositionStringA(context, plat::SCS_SETSTR,
                                                   state.savedComposition, bytes, nullptr, 0);
                }
                break;
            }
        }
    }
    plat::ImmReleaseContext(window, context);
    state.imeStage = 0;
}
