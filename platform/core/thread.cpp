#include "platform/core/thread.h"

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

#include "platform/core/clock.h"
#include "platform/core/fault_injection.h"
#include "platform/core/virtual_time.h"

namespace plat {

// ---- threads ----------------------------------------------------------------------------

struct Thread {
    pthread_t handle;
    ThreadFunction fn;
    void* argument;
    VirtualThreadRecord* record;  // the thread as the virtual clock sees it
    std::atomic<bool> ended;
};

namespace {

void* RunThread(void* raw) {
    Thread* t = static_cast<Thread*>(raw);
    BindVirtualThread(t->record);
    t->fn(t->argument);
    EndVirtualThread(t->record);
    t->ended.store(true);
    NoteVirtualSignal();
    return nullptr;
}

std::atomic<uint32_t> g_nextThreadId{1};

}  // namespace

Thread* StartThread(ThreadFunction fn, void* argument) {
    if (ConsumeFault(FaultKind::ThreadStart)) return nullptr;
    Thread* t = new (std::nothrow) Thread{};
    if (t == nullptr) return nullptr;
    t->fn = fn;
    t->argument = argument;
    t->record = RegisterVirtualThread();
    if (pthread_create(&t->handle, nullptr, RunThread, t) != 0) {
        EndVirtualThread(t->record);
        delete t;
        return nullptr;
    }
    SettleVirtualThreads();
    return t;
}

void JoinThread(Thread* thread) {
    if (thread == nullptr) return;
    // Under the virtual clock the joining thread waits as the clock's rule says, so the
    // thread it waits for can still sleep and time out.
    WaitVirtual(kNoVirtualDeadline, [thread] { return thread->ended.load(); });
    pthread_join(thread->handle, nullptr);
    delete thread;
}

uint32_t CurrentThreadId() {
    thread_local uint32_t id = 0;
    while (id == 0 || id == 0xFFFFFFFFu) id = g_nextThreadId.fetch_add(1);
    return id;
}

// ---- events -----------------------------------------------------------------------------

struct Event {
    std::mutex mutex;
    std::condition_variable changed;
    bool set;
    bool manualReset;
};

Event* CreateEvent(bool manualReset, bool initiallySet) {
    if (ConsumeFault(FaultKind::EventCreate)) return nullptr;
    Event* e = new (std::nothrow) Event;
    if (e == nullptr) return nullptr;
    e->set = initiallySet;
    e->manualReset = manualReset;
    return e;
}

void CloseEvent(Event* event) { delete event; }

void SetEvent(Event* event) {
    {
        std::lock_guard<std::mutex> hold(event->mutex);
        event->set = true;
    }
    if (event->manualReset) {
        event->changed.notify_all();
    } else {
        event->changed.notify_one();
    }
    NoteVirtualSignal();
}

void ResetEvent(Event* event) {
    std::lock_guard<std::mutex> hold(event->mutex);
    event->set = false;
}

WaitResult WaitEvent(Event* event, uint32_t ms) {
    if (ms != 0 && VirtualClockInUse()) {
        const uint64_t deadline =
            ms == kWaitForever ? kNoVirtualDeadline : VirtualNow() + static_cast<uint64_t>(ms) * 1000;
        const bool signalled = WaitVirtual(deadline, [event] {
            std::lock_guard<std::mutex> hold(event->mutex);
            if (!event->set) return false;
            if (!event->manualReset) event->set = false;
            return true;
        });
        if (signalled) return WaitResult::Signalled;
        // A wait without limit only ends signalled: if the virtual clock was switched off
        // meanwhile, it goes on waiting in real time.
        if (ms != kWaitForever) return WaitResult::TimedOut;
    }
    std::unique_lock<std::mutex> hold(event->mutex);
    auto isSet = [event] { return event->set; };
    bool signalled;
    if (ms == kWaitForever) {
        event->changed.wait(hold, isSet);
        signalled = true;
    } else {
        signalled = event->changed.wait_for(hold, std::chrono::milliseconds(ms), isSet);
    }
    if (!signalled) return WaitResult::TimedOut;
    if (!event->manualReset) event->set = false;
    return WaitResult::Signalled;
}

// ---- critical section ---------------------------------------------------------------------

struct CriticalSection {
    std::recursive_mutex mutex;
};

CriticalSection* CreateCriticalSection() { return new (std::nothrow) CriticalSection; }
void DeleteCriticalSection(CriticalSection* section) { delete section; }
void EnterCriticalSection(CriticalSection* section) { section->mutex.lock(); }
void LeaveCriticalSection(CriticalSection* section) { section->mutex.unlock(); }

}  // namespace plat
