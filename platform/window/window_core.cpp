// The shared state of the window core: handles, thread queues, freeing windows, thread exit.
#include "platform/window/window_core.h"

#include <algorithm>

#include "platform/window/dropped_files.h"
#include "platform/window/instance_lock.h"
#include "platform/core/thread.h"
#include "platform/core/virtual_time.h"

namespace plat::wincore {

namespace {

// Handles: bits 0-15 the table index + 1, bits 16 and up the slot's generation.
constexpr uintptr_t kIndexMask = 0xFFFF;

void OnThreadExit(uint32_t threadId);

// Cleans up the thread's queue and windows when a thread that used the core ends.
struct ThreadExitHook {
    uint32_t threadId = 0;
    ~ThreadExitHook() {
        if (threadId != 0) OnThreadExit(threadId);
    }
};
thread_local ThreadExitHook t_exitHook;

void OnThreadExit(uint32_t threadId) {
    std::vector<std::string> released;
    {
        CoreState& core = Core();
        std::lock_guard<std::mutex> hold(core.mutex);
        // A thread that ends takes its windows with it (without messages: no procedure may
        // run on a thread that is going away).
        for (size_t i = 0; i < core.windows.size(); ++i) {
            WindowRecord& w = core.windows[i];
            if (w.inUse && w.ownerThread == threadId) released.push_back(FreeWindowLocked(i));
        }
        core.timers.erase(std::remove_if(core.timers.begin(), core.timers.end(),
                                         [threadId](const TimerRecord& t) {
                                             return t.ownerThread == threadId;
                                         }),
                          core.timers.end());
        auto it = core.queues.find(threadId);
        if (it != core.queues.end()) {
            ThreadQueue& queue = *it->second;
            AbandonSentLocked(queue, 0);
            for (const Message& m : queue.posted) DiscardMessagePayload(m);
            core.queues.erase(it);
        }
    }
    for (const std::string& name : released) ReleaseInstanceLockForWindow(name.c_str());
}

}  // namespace

CoreState& Core() {
    static CoreState* state = new CoreState;
    return *state;
}

WindowHandle HandleOf(size_t index) {
    const WindowRecord& w = Core().windows[index];
    return (static_cast<uintptr_t>(w.generation) << 16) | static_cast<uintptr_t>(index + 1);
}

size_t IndexOf(WindowHandle window) { return static_cast<size_t>(window & kIndexMask) - 1; }

WindowRecord* FindWindowLocked(WindowHandle window) {
    if (window == 0 || window == kThreadMessagesOnly) return nullptr;
    const uintptr_t slot = window & kIndexMask;
    if (slot == 0) return nullptr;
    CoreState& core = Core();
    const size_t index = static_cast<size_t>(slot) - 1;
    if (index >= core.windows.size()) return nullptr;
    WindowRecord& w = core.windows[index];
    if (!w.inUse || static_cast<uintptr_t>(w.generation) != (window >> 16)) return nullptr;
    return &w;
}

ThreadQueue& SelfQueueLocked() {
    CoreState& core = Core();
    const uint32_t self = CurrentThreadId();
    auto it = core.queues.find(self);
    if (it != core.queues.end()) return *it->second;
    auto queue = std::make_unique<ThreadQueue>();
    queue->threadId = self;
    ThreadQueue& ref = *queue;
    core.queues.emplace(self, std::move(queue));
    t_exitHook.threadId = self;
    return ref;
}

ThreadQueue* FindQueueLocked(uint32_t threadId) {
    CoreState& core = Core();
    auto it = core.queues.find(threadId);
    return it == core.queues.end() ? nullptr : it->second.get();
}

void WakeLocked(ThreadQueue& queue) {
    ++queue.wakeSerial;
    queue.wake.notify_all();
    NoteVirtualSignal();
}

bool PostLocked(ThreadQueue& queue, const Message& message) {
    if (queue.posted.size() >= kMaxPostedMessages) return false;
    queue.posted.push_back(message);
    WakeLocked(queue);
    return true;
}

void DiscardMessagePayload(const Message& message) {
    if (message.message == WM_DROPFILES) DragFinish(message.wParam);
}

void AbandonSentLocked(ThreadQueue& queue, WindowHandle window) {
    for (auto it = queue.incoming.begin(); it != queue.incoming.end();) {
        SentMessage* sent = *it;
        if (window != 0 && sent->window != window) {
            ++it;
            continue;
        }
        sent->result = 0;
        sent->done = true;
        if (ThreadQueue* sender = FindQueueLocked(sent->senderThread)) WakeLocked(*sender);
        it = queue.incoming.erase(it);
    }
}

std::string FreeWindowLocked(size_t index) {
    CoreState& core = Core();
    WindowRecord& w = core.windows[index];
    const WindowHandle handle = HandleOf(index);
    core.timers.erase(std::remove_if(core.timers.begin(), core.timers.end(),
                                     [handle](const TimerRecord& t) { return t.window == handle; }),
                      core.timers.end());
    if (ThreadQueue* queue = FindQueueLocked(w.ownerThread)) {
        for (auto it = queue->posted.begin(); it != queue->posted.end();) {
            if (it->window == handle) {
                DiscardMessagePayload(*it);
                it = queue->posted.erase(it);
            } else {
                ++it;
            }
        }
        AbandonSentLocked(*queue, handle);
    }
    if (w.native != nullptr) core.nativeToDestroy.push_back(w.native);
    if (w.classIndex >= 0 && static_cast<size_t>(w.classIndex) < core.classes.size()) {
        --core.classes[w.classIndex].windows;
    }
    std::string className = std::move(w.className);
    const uint32_t generation = w.generation + 1;
    w = WindowRecord{};
    w.generation = generation == 0 ? 1 : generation;
    return className;
}

std::vector<void*> ResetCoreLocked() {
    CoreState& core = Core();
    std::vector<void*> natives = std::move(core.nativeToDestroy);
    core.nativeToDestroy.clear();
    for (WindowRecord& w : core.windows) {
        if (w.inUse && w.native != nullptr) natives.push_back(w.native);
    }
    for (auto& entry : core.queues) {
        AbandonSentLocked(*entry.second, 0);
        for (const Message& m : entry.second->posted) DiscardMessagePayload(m);
    }
    core.queues.clear();
    // Slots stay, with a new generation, so handles from before the reset stay invalid.
    for (WindowRecord& w : core.windows) {
        const uint32_t generation = w.generation + 1;
        w = WindowRecord{};
        w.generation = generation == 0 ? 1 : generation;
    }
    core.classes.clear();
    core.timers.clear();
    core.nextThreadTimerId = 1;
    core.cursorCount = 0;
    core.cursorChanged = false;
    core.cursorPos = Point{0, 0};
    std::fill(std::begin(core.keys), std::end(core.keys), uint8_t{0});
    return natives;
}

}  // namespace plat::wincore
