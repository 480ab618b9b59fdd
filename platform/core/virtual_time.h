// Internal to the platform layer: how waits and sleeps take part in the virtual clock (the
// rule itself is described in clock.h).
//
// Every blocking wait of the layer (sleeps, event waits, message waits, thread joins) goes
// through WaitVirtual while the virtual clock is in use. The waiter gives a ready test, which
// it evaluates itself (taking whatever locks that needs); every change that can make some
// ready test true calls NoteVirtualSignal, so that a waiter the clock believes to be idle has
// evaluated its test after the last such change.
#pragma once
#include <cstdint>
#include <functional>

namespace plat {

struct VirtualThreadRecord;

inline constexpr uint64_t kNoVirtualDeadline = UINT64_MAX;

// True on the process's main thread, the one whose reads and sleeps move the virtual clock.
bool OnMainThread();

// The virtual time in microseconds (no read step).
uint64_t VirtualNow();

// Waits until ready() holds (true) or the virtual time reaches deadline (false; never with
// kNoVirtualDeadline). On the main thread a wait moves the clock: whenever every started
// thread is idle, the clock jumps to the earliest deadline of all waits, this one's included.
// Elsewhere the wait only watches the clock. Returns at once with ready()'s value when the
// virtual clock is not in use.
bool WaitVirtual(uint64_t deadline, const std::function<bool()>& ready);

// Something a wait may be watching changed (an event was set, a message queue woken, a
// thread ended).
void NoteVirtualSignal();

// Threads started through the layer take part in the rule: a record is made by the starting
// thread (so the new thread counts as busy from the start), bound by the new thread, and
// dropped when it ends.
VirtualThreadRecord* RegisterVirtualThread();
// On the main thread under the virtual clock: waits until every started thread waits (a new
// thread runs up to its first wait before the main thread goes on).
void SettleVirtualThreads();
void BindVirtualThread(VirtualThreadRecord* record);
void EndVirtualThread(VirtualThreadRecord* record);

}  // namespace plat
