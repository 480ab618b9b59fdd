// Per-thread message queues: posting, sending (also across threads), quit, peeking and
// waiting for messages.
#include <algorithm>
#include <chrono>

#include "platform/core/clock.h"
#include "platform/core/thread.h"
#include "platform/core/virtual_time.h"
#include "platform/window/window.h"
#include "platform/window/window_backend.h"
#include "platform/window/window_core.h"

namespace plat {

using namespace wincore;

namespace {

// How often a thread waiting in GetMessage looks at the desktop's events when it is the
// backend thread of a backend that must be polled.
constexpr int64_t kBackendPollMs = 5;

bool InRange(uint32_t message, uint32_t first, uint32_t last) {
    return (first == 0 && last == 0) || (message >= first && message <= last);
}

bool MatchesWindow(WindowHandle filter, WindowHandle window) {
    if (filter == 0) return true;
    if (filter == kThreadMessagesOnly) return window == 0;
    return window == filter;
}

// Lets the backend turn desktop events into messages, when this thread may call it.
void PumpBackend() {
    if (!MayCallBackend()) return;
    SyncNativeWindows();
    Backend().PumpEvents();
}

// Looks for the next message of the calling thread, in order: posted messages, WM_QUIT,
// WM_PAINT, WM_TIMER. Records the queue's wake serial seen while looking.
bool TakeMessageLocked(Message* out, WindowHandle filter, uint32_t first, uint32_t last,
                       bool remove, uint64_t* serialSeen) {
    CoreState& core = Core();
    ThreadQueue& queue = SelfQueueLocked();
    if (serialSeen != nullptr) *serialSeen = queue.wakeSerial;
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (MatchesWindow(filter, it->window) && InRange(it->message, first, last)) {
            *out = *it;
            if (remove) queue.posted.erase(it);
            return true;
        }
    }
    if (queue.quitPosted && (filter == 0 || filter == kThreadMessagesOnly) &&
        InRange(WM_QUIT, first, last)) {
        *out = Message{0, WM_QUIT, static_cast<WParam>(static_cast<intptr_t>(queue.quitCode)), 0, 0};
        if (remove) queue.quitPosted = false;
        return true;
    }
    if (filter != kThreadMessagesOnly && InRange(WM_PAINT, first, last)) {
        for (size_t i = 0; i < core.windows.size(); ++i) {
            const WindowRecord& w = core.windows[i];
            if (!w.inUse || w.ownerThread != queue.threadId || !w.needsPaint || !w.visible) continue;
            const WindowHandle handle = HandleOf(i);
            if (!MatchesWindow(filter, handle)) continue;
            *out = Message{handle, WM_PAINT, 0, 0, 0};
            return true;
        }
    }
    if (InRange(WM_TIMER, first, last)) return TakeDueTimerLocked(out, filter, remove);
    return false;
}

bool PeekWithSerial(Message* out, WindowHandle filter, uint32_t first, uint32_t last,
                    uint32_t flags, uint64_t* serialSeen) {
    PumpBackend();
    RunIncomingSentMessages();
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    return TakeMessageLocked(out, filter, first, last, (flags & PM_REMOVE) != 0, serialSeen);
}

// Waits until something may have arrived for the calling thread since serialSeen, a timer
// may be due, or the backend wants polling.
void WaitForMessages(uint64_t serialSeen, WindowHandle filter, bool timersWanted) {
    const bool poll = Backend().ThreadBound() && OnBackendThread();
    CoreState& core = Core();
    std::unique_lock<std::mutex> hold(core.mutex);
    ThreadQueue& queue = SelfQueueLocked();
    if (queue.wakeSerial != serialSeen) return;
    const int64_t timerMs = timersWanted ? MillisecondsToNextTimerLocked(filter) : -1;
    if (VirtualClockInUse() && (timerMs >= 0 || !poll)) {
        // Virtual time passes only when waited on: wait to the timer's due time at most.
        hold.unlock();
        const uint64_t deadline = timerMs >= 0 ? VirtualNow() + static_cast<uint64_t>(timerMs) * 1000
                                               : kNoVirtualDeadline;
        WaitVirtual(deadline, [&core, &queue, serialSeen] {
            std::lock_guard<std::mutex> again(core.mutex);
            return queue.wakeSerial != serialSeen;
        });
        return;
    }
    int64_t waitMs = -1;
    if (timerMs >= 0) waitMs = timerMs;
    if (poll) waitMs = waitMs < 0 ? kBackendPollMs : std::min(waitMs, kBackendPollMs);
    auto arrived = [&queue, serialSeen] { return queue.wakeSerial != serialSeen; };
    if (waitMs < 0) {
        queue.wake.wait(hold, arrived);
    } else {
        queue.wake.wait_for(hold, std::chrono::milliseconds(waitMs), arrived);
    }
}

}  // namespace

bool wincore::RunIncomingSentMessages() {
    CoreState& core = Core();
    bool any = false;
    for (;;) {
        SentMessage* sent = nullptr;
        WindowProc proc = nullptr;
        {
            std::lock_guard<std::mutex> hold(core.mutex);
            ThreadQueue& queue = SelfQueueLocked();
            if (queue.incoming.empty()) return any;
            sent = queue.incoming.front();
            queue.incoming.pop_front();
            if (const WindowRecord* w = FindWindowLocked(sent->window)) proc = w->proc;
        }
        const LResult result =
            proc != nullptr ? proc(sent->window, sent->message, sent->wParam, sent->lParam) : 0;
        {
            std::lock_guard<std::mutex> hold(core.mutex);
            sent->result = result;
            sent->done = true;
            if (ThreadQueue* sender = FindQueueLocked(sent->senderThread)) WakeLocked(*sender);
        }
        any = true;
    }
}

bool PostMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    if (window == 0) return PostLocked(SelfQueueLocked(), Message{0, message, wParam, lParam, 0});
    const WindowRecord* w = FindWindowLocked(window);
    if (w == nullptr) return false;
    ThreadQueue* queue = FindQueueLocked(w->ownerThread);
    if (queue == nullptr) return false;
    return PostLocked(*queue, Message{window, message, wParam, lParam, 0});
}

bool PostThreadMessage(uint32_t threadId, uint32_t message, WParam wParam, LParam lParam) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    ThreadQueue* queue =
        threadId == CurrentThreadId() ? &SelfQueueLocked() : FindQueueLocked(threadId);
    if (queue == nullptr) return false;
    return PostLocked(*queue, Message{0, message, wParam, lParam, 0});
}

void PostQuitMessage(int exitCode) {
    CoreState& core = Core();
    std::lock_guard<std::mutex> hold(core.mutex);
    ThreadQueue& queue = SelfQueueLocked();
    queue.quitPosted = true;
    queue.quitCode = exitCode;
    WakeLocked(queue);
}

LResult SendMessage(WindowHandle window, uint32_t message, WParam wParam, LParam lParam) {
    CoreState& core = Core();
    WindowProc proc = nullptr;
    {
        std::unique_lock<std::mutex> hold(core.mutex);
        const WindowRecord* w = FindWindowLocked(window);
        if (w == nullptr) return 0;
        const uint32_t self = CurrentThreadId();
        if (w->ownerThread != self) {
            ThreadQueue* owner = FindQueueLocked(w->ownerThread);
            if (owner == nullptr) return 0;
            SentMessage sent{window, message, wParam, lParam, self};
            owner->incoming.push_back(&sent);
            WakeLocked(*owner);
            ThreadQueue& mine = SelfQueueLocked();
            while (!sent.done) {
                // Messages sent to this thread meanwhile run while it waits, so two threads
                // sending to each other do not stall.
                if (!mine.incoming.empty()) {
                    hold.unlock();
                    RunIncomingSentMessages();
                    hold.lock();
                    continue;
                }
                if (VirtualClockInUse()) {
                    hold.unlock();
                    WaitVirtual(kNoVirtualDeadline, [&core, &mine, &sent] {
                        std::lock_guard<std::mutex> again(core.mutex);
                        return sent.done || !mine.incoming.empty();
                    });
                    hold.lock();
                    continue;
                }
                mine.wake.wait(hold);
            }
            return sent.result;
        }
        proc = w->proc;
    }
    return proc(window, message, wParam, lParam);
}

bool PeekMessage(Message* out, WindowHandle filter, uint32_t first, uint32_t last,
                 uint32_t flags) {
    if (out == nullptr) return false;
    return PeekWithSerial(out, filter, first, last, flags, nullptr);
}

int GetMessage(Message* out, WindowHandle filter, uint32_t first, uint32_t last) {
    if (out == nullptr) return -1;
    for (;;) {
        uint64_t serial = 0;
        if (PeekWithSerial(out, filter, first, last, PM_REMOVE, &serial)) {
            return out->message == WM_QUIT ? 0 : 1;
        }
        WaitForMessages(serial, filter, InRange(WM_TIMER, first, last));
    }
}

}  // namespace plat
