// The library-wide lock (see api_lock.h): acquire, release, the pump thread's sliced acquire,
// removal of a queue entry and destruction.
#include "base/api_lock.h"

#include <algorithm>

#include "platform/core/clock.h"
#include "platform/core/thread.h"

namespace {

constexpr uint32_t kNoOwner = 0xFFFFFFFFu;

// Creates one non-signalled manual-reset event per queue slot and the guard. A slot whose event
// cannot be created keeps a null event; its waiter then polls instead of waiting. Without the
// guard nothing can be done: creation is tried again every millisecond until it succeeds.
void CreateApiLock(ApiLockState* lock) {
    while ((lock->guard = plat::CreateCriticalSection()) == nullptr) plat::SleepMs(1);
    lock->queue.assign(static_cast<size_t>(std::max<int32_t>(lock->capacity, 0)),
                       ApiLockWaiter{0, nullptr});
    for (ApiLockWaiter& slot : lock->queue) {
        slot.event = plat::CreateEvent(true, false);
    }
    lock->created = 1;
}

// Index of the thread's queue entry, or -1. Under the guard.
int32_t FindWaiter(const ApiLockState* lock, uint32_t threadId) {
    for (int32_t i = 0; i < lock->waiterCount; ++i) {
        if (lock->queue[i].threadId == threadId) return i;
    }
    return -1;
}

// Takes the entry at index out of the queue: the entries behind it move up by one and its
// event goes to the slot freed at the tail, cleared of any signal still meant for the entry
// that left. Under the guard.
void RemoveWaiterAt(ApiLockState* lock, int32_t index) {
    plat::Event* event = lock->queue[index].event;
    for (int32_t i = index; i < lock->waiterCount - 1; ++i) {
        lock->queue[i] = lock->queue[i + 1];
    }
    lock->queue[lock->waiterCount - 1] = ApiLockWaiter{0, event};
    --lock->waiterCount;
    if (event != nullptr) plat::ResetEvent(event);
}

// Whether the thread may take the lock now. Under the guard. Only the head may take a free
// lock while others are queued, so a newcomer queues behind them.
bool MayTake(const ApiLockState* lock, uint32_t threadId) {
    if (lock->locked) return lock->owner == threadId;
    return lock->waiterCount == 0 || lock->owner == threadId ||
           lock->queue[0].threadId == threadId;
}

// The quit flag is written by another thread; read it as an atomic load.
bool QuitRequested(const volatile uint32_t* quit) {
    return quit != nullptr && __atomic_load_n(quit, __ATOMIC_ACQUIRE) != 0;
}

// Waits for the thread's entry to be signalled. Without a quit flag it waits without limit;
// with one it tests first, then waits in slices and gives up (false) once the flag is set.
// A slot without an event is polled every millisecond.
bool WaitForTurn(plat::Event* event, const volatile uint32_t* quit, uint32_t slice) {
    if (event == nullptr) {
        if (QuitRequested(quit)) return false;
        plat::SleepMs(1);
        return true;
    }
    if (quit == nullptr) {
        plat::WaitEvent(event, plat::kWaitForever);
        return true;
    }
    if (plat::WaitEvent(event, 0) == plat::WaitResult::Signalled) return true;
    for (;;) {
        if (QuitRequested(quit)) return false;
        if (plat::WaitEvent(event, slice) == plat::WaitResult::Signalled) return true;
    }
}

// The acquire of both the entries (quit null) and the pump thread.
//
// A woken thread looks at the lock again; if it still cannot take it, it waits again on its own
// entry rather than queueing a second time, so a signal meant for an entry that has since left
// (the pump thread's exit removal, for one) costs only a second look. A thread that already has
// an entry (one left behind by a pump wait that gave up) waits on that entry.
bool AcquireApiLockCore(ApiLockState* lock, const volatile uint32_t* quit) {
    if (!lock->created) CreateApiLock(lock);
    const uint32_t self = plat::CurrentThreadId();
    bool woken = false;
    for (;;) {
        plat::EnterCriticalSection(lock->guard);
        if (MayTake(lock, self)) {
            if (!lock->locked && lock->waiterCount > 0 && lock->queue[0].threadId == self) {
                RemoveWaiterAt(lock, 0);
            }
            ++lock->recursion;
            lock->locked = 1;
            lock->owner = self;
            plat::LeaveCriticalSection(lock->guard);
            return true;
        }
        int32_t index = FindWaiter(lock, self);
        if (index >= 0) {
            if (woken) ++lock->rewaits;
        } else if (lock->waiterCount >= lock->capacity) {
            // Queue full: poll until a slot frees, without being queued.
            plat::LeaveCriticalSection(lock->guard);
            if (QuitRequested(quit)) return false;
            plat::SleepMs(1);
            woken = false;
            continue;
        } else {
            index = lock->waiterCount++;
            lock->queue[index].threadId = self;
        }
        plat::Event* const event = lock->queue[index].event;  // this thread's own copy
        plat::LeaveCriticalSection(lock->guard);

        if (!WaitForTurn(event, quit, lock->pumpWaitSlice)) return false;
        // Clear the signal before looking again: a signal given after this is kept for the
        // next wait, one given before it belongs to a change the next look sees.
        if (event != nullptr) plat::ResetEvent(event);
        woken = event != nullptr;
    }
}

// Release shared by the entries (yield after waking the head) and the pump thread (no yield).
void ReleaseApiLockCore(ApiLockState* lock, bool yield) {
    if (!lock->created) return;
    const uint32_t self = plat::CurrentThreadId();
    bool wake = false;
    plat::Event* headEvent = nullptr;

    plat::EnterCriticalSection(lock->guard);
    if (!lock->locked || lock->owner != self || lock->recursion <= 0) {
        plat::LeaveCriticalSection(lock->guard);
        return;
    }
    if (lock->recursion == 1) {
        lock->locked = 0;
        lock->owner = kNoOwner;
        if (lock->waiterCount > 0) {
            wake = true;
            headEvent = lock->queue[0].event;
        }
    }
    --lock->recursion;
    plat::LeaveCriticalSection(lock->guard);

    if (wake) {
        if (headEvent != nullptr) plat::SetEvent(headEvent);
        if (yield) plat::SleepMs(0);
    }
}

}  // namespace

ApiLockState::~ApiLockState() { DestroyApiLock(this); }

ApiLockState& GetApiLockState() {
    static ApiLockState lock;
    return lock;
}

void ApiLock() { AcquireApiLock(&GetApiLockState()); }

void ApiUnlock() { ReleaseApiLock(&GetApiLockState()); }

void AcquireApiLock(ApiLockState* lock) {
    AcquireApiLockCore(lock, nullptr);
}

void ReleaseApiLock(ApiLockState* lock) {
    ReleaseApiLockCore(lock, true);
}

bool AcquireApiLockForPump(ApiLockState* lock, const volatile uint32_t* quit) {
    return AcquireApiLockCore(lock, quit);
}

void ReleaseApiLockForPump(ApiLockState* lock) {
    ReleaseApiLockCore(lock, false);
}

void RemoveApiLockWaiter(ApiLockState* lock, uint32_t threadId) {
    if (!lock->created) return;
    plat::Event* wake = nullptr;

    plat::EnterCriticalSection(lock->guard);
    const int32_t index = FindWaiter(lock, threadId);
    if (index >= 0) {
        RemoveWaiterAt(lock, index);
        // A held lock wakes the new head on its release; only a free one needs a signal here.
        if (index == 0 && lock->waiterCount > 0 && !lock->locked) {
            wake = lock->queue[0].event;
        }
    }
    plat::LeaveCriticalSection(lock->guard);

    if (wake != nullptr) plat::SetEvent(wake);
}

void DestroyApiLock(ApiLockState* lock) {
    if (!lock->created) return;
    lock->created = 0;
    for (ApiLockWaiter& slot : lock->queue) {
        if (slot.event != nullptr) plat::CloseEvent(slot.event);
        slot = ApiLockWaiter{0, nullptr};
    }
    if (lock->guard != nullptr) plat::DeleteCriticalSection(lock->guard);
    lock->guard = nullptr;
    lock->recursion = 0;
    lock->locked = 0;
    lock->owner = 0;
    lock->waiterCount = 0;
    lock->rewaits = 0;
}
