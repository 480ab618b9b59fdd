// Window and thread timers, counted on plat::MillisecondClock: a due timer gives WM_TIMER when
// its thread's queue has nothing else.
#include <algorithm>

#include "platform/core/clock.h"
#include "platform/core/thread.h"
#include "platform/window/window.h"
#include "platform/window/window_core.h"

namespace plat {

using namespace wincore;

namespace {

constexpr uint32_t kMinimumIntervalMs = 10;

bool TimerMatches(const TimerRecord& t, WindowHandle filter) {
    if (filter == 0) return true;
    if (filter == kThreadMessagesOnly) return t.window == 0;
    return t.window == filter;
}

bool HasTimersLocked(uint32_t thread, WindowHandle filter) {
    for (const TimerRecord& t : Core().timers) {
        if (t.ownerThread == thread && TimerMatches(t, filter)) return true;
    }
    return false;
}

}  // namespace

uintptr_t SetTimer(WindowHandle window, uintptr_t id, uint32_t intervalMs, TimerProc proc) {
    const uint32_t interval = std::max(intervalMs, kMinimumIntervalMs);
    const uint32_t now = MillisecondClock();
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    uint32_t owner = CurrentThreadId();
    if (window != 0) {
        const WindowRecord* w = FindWindowLocked(window);
        if (w == nullptr || id == 0) return 0;
        owner = w->ownerThread;
        for (TimerRecord& t : core.timers) {
            if (t.window == window && t.id == id) {
                t.intervalMs = interval;
                t.lastFire = now;
                t.proc = proc;
                if (ThreadQueue* queue = FindQueueLocked(owner)) WakeLocked(*queue);
                return id;
            }
        }
    } else {
        id = core.nextThreadTimerId++;
        if (core.nextThreadTimerId == 0) core.nextThreadTimerId = 1;
        SelfQueueLocked();
    }
    core.timers.push_back(TimerRecord{window, id, owner, interval, now, proc});
    if (ThreadQueue* queue = FindQueueLocked(owner)) WakeLocked(*queue);
    return id;
}

bool KillTimer(WindowHandle window, uintptr_t id) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    const uint32_t self = CurrentThreadId();
    for (auto it = core.timers.begin(); it != core.timers.end(); ++it) {
        if (it->window == window && it->id == id && (window != 0 || it->ownerThread == self)) {
            core.timers.erase(it);
            return true;
        }
    }
    return false;
}

bool wincore::TakeDueTimerLocked(Message* out, WindowHandle filter, bool remove) {
    const uint32_t self = CurrentThreadId();
    // The clock is read only by threads that have timers.
    if (!HasTimersLocked(self, filter)) return false;
    const uint32_t now = MillisecondClock();
    for (TimerRecord& t : Core().timers) {
        if (t.ownerThread != self || !TimerMatches(t, filter)) continue;
        if (now - t.lastFire < t.intervalMs) continue;
        *out = Message{t.window, WM_TIMER, t.id, reinterpret_cast<LParam>(t.proc), now};
        if (remove) t.lastFire = now;
        return true;
    }
    return false;
}

int64_t wincore::MillisecondsToNextTimerLocked(WindowHandle filter) {
    const uint32_t self = CurrentThreadId();
    if (!HasTimersLocked(self, filter)) return -1;
    const uint32_t now = MillisecondClock();
    int64_t best = -1;
    for (const TimerRecord& t : Core().timers) {
        if (t.ownerThread != self || !TimerMatches(t, filter)) continue;
        const uint32_t elapsed = now - t.lastFire;
        const int64_t left = elapsed >= t.intervalMs ? 0 : static_cast<int64_t>(t.intervalMs - elapsed);
        if (best < 0 || left < best) best = left;
    }
    return best;
}

bool wincore::TimerRoutineIsLive(WindowHandle window, uintptr_t id, TimerProc proc) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    const uint32_t self = CurrentThreadId();
    for (const TimerRecord& t : core.timers) {
        if (t.window == window && t.id == id && t.proc == proc && t.ownerThread == self) return true;
    }
    return false;
}

}  // namespace plat
