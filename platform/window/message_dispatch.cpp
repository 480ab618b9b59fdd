// Translating key messages into characters, and dispatching messages to window procedures
// and timer routines.
#include "platform/core/thread.h"
#include "platform/window/window.h"
#include "platform/window/window_core.h"

namespace plat {

using namespace wincore;

namespace {

bool Held(const CoreState& core, uint32_t key) { return (core.keys[key] & 0x80) != 0; }

// The character of a key press that the text input does not deliver: control keys, and
// Ctrl+letter as its control code.
uint32_t CharacterOfKey(const CoreState& core, uint32_t key) {
    switch (key) {
        case VK_BACK: return 0x08;
        case VK_TAB: return 0x09;
        case VK_RETURN: return 0x0D;
        case VK_ESCAPE: return 0x1B;
        default: break;
    }
    if (key >= 'A' && key <= 'Z' && Held(core, VK_CONTROL) && !Held(core, VK_MENU)) {
        return key - 'A' + 1;
    }
    return 0;
}

// The character of an Alt+key press (WM_SYSCHAR).
uint32_t SystemCharacterOfKey(uint32_t key) {
    if (key == VK_RETURN) return 0x0D;
    if (key == VK_ESCAPE) return 0x1B;
    if (key == VK_BACK) return 0x08;
    if (key == VK_TAB) return 0x09;
    if (key >= 'A' && key <= 'Z') return key - 'A' + 'a';
    if (key >= '0' && key <= '9') return key;
    return 0;
}

}  // namespace

bool TranslateMessage(const Message* message) {
    if (message == nullptr) return false;
    const uint32_t m = message->message;
    if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN && m != WM_KEYUP && m != WM_SYSKEYUP) return false;
    if (m == WM_KEYUP || m == WM_SYSKEYUP) return true;
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    const uint32_t key = static_cast<uint32_t>(message->wParam & 0xFF);
    const uint32_t c = m == WM_KEYDOWN ? CharacterOfKey(core, key) : SystemCharacterOfKey(key);
    if (c != 0) {
        // The character comes out before anything queued after the key.
        ThreadQueue& queue = SelfQueueLocked();
        queue.posted.push_front(Message{message->window, m == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR,
                                        c, message->lParam, 0});
        WakeLocked(queue);
    }
    return true;
}

LResult DispatchMessage(const Message* message) {
    if (message == nullptr) return 0;
    if (message->message == WM_TIMER && message->lParam != 0) {
        const TimerProc proc = reinterpret_cast<TimerProc>(message->lParam);
        // Only the routine of a timer that still exists is called: a forged or stale
        // WM_TIMER does nothing.
        if (TimerRoutineIsLive(message->window, message->wParam, proc)) {
            proc(message->window, WM_TIMER, message->wParam, message->time);
        }
        return 0;
    }
    if (message->window == 0) return 0;
    WindowProc proc = nullptr;
    {
        CoreState& core = Core();
        std::lock_guard<std::mutex> hold(core.mutex);
        const WindowRecord* w = FindWindowLocked(message->window);
        if (w == nullptr || w->ownerThread != CurrentThreadId()) return 0;
        proc = w->proc;
    }
    return proc(message->window, message->message, message->wParam, message->lParam);
}

}  // namespace plat
