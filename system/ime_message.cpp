// The IME's window messages.
#include <cstdio>
#include <cstring>

#include "base/fatal_exit.h"
#include "base/log.h"
#include "base/sjis_string.h"
#include "base/tracked_memory.h"
#include "platform/core/clock.h"
#include "platform/ime/imm.h"
#include "platform/window/window_messages.h"
#include "system/clock.h"
#include "system/ime.h"
#include "system/ime_text.h"
#include "system/input_char_queue.h"
#include "system/key_input_state.h"
#include "system/message_pump.h"

using namespace plat;

namespace {

// How long the window keeps pumping after the open status changed, so that the IME's own
// messages about it arrive before the status is read.
constexpr int64_t kOpenStatusPumpUs = 2000;
// Passes of that pumping at most, for a clock that stands still on this thread.
constexpr int kOpenStatusPumpPasses = 100;

void FreeCandidates(CharInputState& state) {
    if (state.candidates != nullptr) TrackedFree(state.candidates);
    state.candidates = nullptr;
    state.candidatesBytes = 0;
}

// The candidate list read anew.
void ReadCandidates(CharInputState& state, WindowHandle window) {
    const InputContext context = ImmGetContext(window);
    const uint32_t size = ImmGetCandidateListA(context, 0, nullptr, 0);
    if (size == 0) {
        LogFormat("漢字変換候補のデータサイズが０でした  DefHWND:%x IMC:%x",
                  static_cast<unsigned>(ImmGetDefaultIMEWnd(window)),
                  static_cast<unsigned>(context));
        ImmReleaseContext(window, context);
        return;
    }
    FreeCandidates(state);
    state.candidates = static_cast<CandidateList*>(ZN_ALLOC(size));
    if (state.candidates == nullptr) {
        char text[128];
        std::snprintf(text, sizeof(text),
                      "漢字変換候補を保存するメモリの確保に失敗しました( 確保しようとしたサイズ %u バイト )",
                      size);
        ImmReleaseContext(window, context);
        FatalExit(text);
        return;
    }
    state.candidatesBytes = size;
    if (ImmGetCandidateListA(context, 0, state.candidates, size) == 0) {
        FreeCandidates(state);
        LogFormat("漢字変換候補の取得に失敗しました  BufSize:%u", size);
    }
    ImmReleaseContext(window, context);
}

// The open status after a change: the window pumps a little first.
LResult OnOpenStatus(CharInputState& state, WindowHandle window, WParam wParam, LParam lParam) {
    if (state.inOpenStatusStep) return 0;
    state.inOpenStatusStep = 1;
    const LResult result = DefWindowProc(window, WM_IME_NOTIFY, wParam, lParam);
    const int64_t start = GetMicrosecondCount(0);
    for (int pass = 0; pass < kOpenStatusPumpPasses; ++pass) {
        if (GetMicrosecondCount(0) - start >= kOpenStatusPumpUs) break;
        if (ProcessMessage() != 0) break;
    }
    const InputContext context = ImmGetContext(window);
    state.imeOpen = ImmGetOpenStatus(context) ? 1 : 0;
    ImmReleaseContext(window, context);
    state.inOpenStatusStep = 0;
    return result;
}

LResult OnNotify(CharInputState& state, WindowHandle window, WParam wParam, LParam lParam) {
    switch (wParam) {
        case IMN_CHANGECANDIDATE:
        case IMN_OPENCANDIDATE:
        case IMN_SETCANDIDATEPOS:
            ReadCandidates(state, window);
            return 0;
        case IMN_CLOSECANDIDATE:
            FreeCandidates(state);
            return 0;
        case IMN_SETOPENSTATUS:
            return OnOpenStatus(state, window, wParam, lParam);
        default:
            return DefWindowProc(window, WM_IME_NOTIFY, wParam, lParam);
    }
}

void OnComposition(CharInputState& state, WindowHandle window, LParam lParam) {
    const auto parts = static_cast<uint32_t>(lParam);
    const InputContext context = ImmGetContext(window);
    if (parts & GCS_COMPSTR) {
        ReadImeString(context, GCS_COMPSTR, state.composition, kImeStringBytes);
    }
    if (parts & GCS_RESULTSTR) {
        int32_t bytes = 0;
        char* result = ReadImeStringAlloc(context, GCS_RESULTSTR, &bytes);
        if (result != nullptr) {
            QueueCharString(result, bytes);
            TrackedFree(result);
        }
        ReadImeString(context, GCS_COMPSTR, state.composition, kImeStringBytes);
    }
    if (parts & GCS_CURSORPOS) {
        const int32_t bytes = ImmGetCompositionStringA(context, GCS_CURSORPOS, nullptr, 0);
        state.compositionCursor = bytes > 0 ? CountSjisChars(state.composition, bytes) : 0;
    }
    if (parts & GCS_COMPCLAUSE) {
        const int32_t bytes =
            ImmGetCompositionStringA(context, GCS_COMPCLAUSE, state.clauses, kImeStringBytes);
        state.clauseCount = bytes > 0 ? bytes / 4 : 0;
    }
    ImmReleaseContext(window, context);
}

}  // namespace

LResult HandleImeMessage(WParam wParam, uint32_t message, LParam lParam, WindowHandle window) {
    CharInputState& state = GetCharInputState();
    state.imeMessageSeen = 1;
    state.lastKeyTime = MillisecondClock();
    state.cursorVisible = 1;
    switch (message) {
        case WM_IME_SETCONTEXT:
            // The IME draws none of its own windows.
            return DefWindowProc(window, message, wParam, 0);
        case WM_IME_NOTIFY:
            return OnNotify(state, window, wParam, lParam);
        case WM_IME_STARTCOMPOSITION:
            state.composing = 1;
            state.compositionCursor = 0;
            return 0;
        case WM_IME_ENDCOMPOSITION:
            state.composition[0] = '\0';
            state.composing = 0;
            return 0;
        case WM_IME_COMPOSITION:
            OnComposition(state, window, lParam);
            return 0;
        default:
            return DefWindowProc(window, message, wParam, lParam);
    }
}
