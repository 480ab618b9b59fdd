// The library-wide lock: re-entrant for its owner and strictly first-come-first-served for
// everybody else. Each waiting thread waits on the event of its own queue slot.
//
// Every queue slot owns one manual-reset event while the lock exists; an event moves with its
// entry when the queue shifts, and the event of an entry that leaves goes to the slot freed at
// the tail, so no event is created or closed between creation and destruction. A waiting
// thread keeps its own copy of its entry's event. The guard is held only for bookkeeping,
// never during a wait.
//
// The first acquisition creates the lock; it must happen before a second thread uses the lock
// (the library's first entry call runs on the main thread before the pump thread exists).
#pragma once
#include <cstdint>
#include <vector>

namespace plat {
struct Event;
struct CriticalSection;
}

struct ApiLockWaiter {
    uint32_t threadId;    // 0 in a free slot
    plat::Event* event;   // the slot's event; null only when its creation failed
};

struct ApiLockState {
    explicit ApiLockState(int32_t queueCapacity = 4096, uint32_t pumpWaitSliceMs = 1000)
        : capacity(queueCapacity), pumpWaitSlice(pumpWaitSliceMs) {}
    // A lock still alive when it goes away (the global one at process exit, when the library
    // was used without being ended) closes its events and guard.
    ~ApiLockState();
    ApiLockState(const ApiLockState&) = delete;
    ApiLockState& operator=(const ApiLockState&) = delete;

    int32_t recursion = 0;       // nesting depth of the owner's acquisitions
    uint32_t locked = 0;         // 1 while a thread owns the lock
    uint32_t owner = 0;          // owner's thread id; -1 after the last release
    std::vector<ApiLockWaiter> queue;  // capacity slots, head at index 0
    uint32_t created = 0;        // 1 once the events and the guard exist
    int32_t waiterCount = 0;     // queue entries in use, 0..capacity
    plat::CriticalSection* guard = nullptr;
    // Woken waiters that found they could not take the lock yet and waited again on their own
    // entry (a signal that was meant for an entry that has since left, for instance).
    uint32_t rewaits = 0;

    const int32_t capacity;
    const uint32_t pumpWaitSlice;  // milliseconds between two looks at the pump's quit flag
};

// The library's lock, which every public entry takes.
ApiLockState& GetApiLockState();
void ApiLock();
void ApiUnlock();
// The routine called with the arguments under the library lock; its result.
template <class Routine, class... Args>
auto LockedCall(Routine routine, Args... args) {
    ApiLock();
    const auto result = routine(args...);
    ApiUnlock();
    return result;
}

// The same operations on a given lock (tests use small ones).
void AcquireApiLock(ApiLockState* lock);
// A release by a thread that does not own the lock changes nothing.
void ReleaseApiLock(ApiLockState* lock);
// The message-pump thread's acquire: waits in slices and gives up once *quit is non-zero.
// Returns true when the lock was taken. A thread that gave up stays queued until it takes the
// lock later or removes its entry with RemoveApiLockWaiter.
bool AcquireApiLockForPump(ApiLockState* lock, const volatile uint32_t* quit);
// The pump thread's release: signals the next waiter without yielding.
void ReleaseApiLockForPump(ApiLockState* lock);
// Removes a thread's queue entry wherever it stands (the pump thread's own, when it ends).
// When the entry was the head, the lock is free and waiters remain, the new head is woken.
// Only the entry of a thread that is not waiting may be removed.
void RemoveApiLockWaiter(ApiLockState* lock, uint32_t threadId);
// Closes the events and the guard and returns the lock to its state before the first
// acquisition; the next acquire creates a fresh lock. No thread may be waiting.
void DestroyApiLock(ApiLockState* lock);
