#include "platform/core/thread.h"

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

#include "platform/core/fault_injection.h"

namespace plat {

// ---- threads ----------------------------------------------------------------------------

struct Thread {
    pthread_t handle;
    ThreadFunction fn;
    void* argument;
};

namespace {

void* RunThread(void* raw) {
    Thread* t = static_cast<Thread*>(raw);
    t->fn(t->argument);
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
    if (pthread_create(&t->handle, nullptr, RunThread, t) != 0) {
        delete t;
        return nullptr;
    }
    return t;
}

void JoinThread(Thread* thread) {
    if (thread == nullptr) return;
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
}

void ResetEvent(Event* event) {
    std::lock_guard<std::mutex> hold(event->mutex);
    event->set = false;
}

WaitResult WaitEvent(Event* event, uint32_t ms) {
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
