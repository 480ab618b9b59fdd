// Clocks of the platform layer: a millisecond clock counted from process start, a
// high-resolution performance counter, the processor time-stamp counter, sleeping and the
// local date and time.
//
// A virtual clock can replace the real one (tests, or a whole run with ZN_CLOCK=virtual), so
// that a run's timeline depends on its input alone:
//  - Only the main thread moves it. Each of its reads advances it by the read step (0 by
//    default, 10 microseconds under ZN_CLOCK=virtual) and each of its sleeps by the time slept.
//  - Other threads see the main thread's time as of its last sleep or wait. A sleep or timed
//    wait on another thread ends when that time passes its deadline (or its event is set, or
//    the condition it waits for holds); it never moves the clock itself.
//  - Threads started through this layer are waited for: before the main thread's sleep moves
//    the clock, and after each step of it, every such thread has to be waiting. A sleep steps
//    from one of their deadlines to the next, so each of them runs while the main thread
//    stands still, at the same virtual time in every run.
//  - When the main thread blocks (an event wait, a message wait, a thread join), the clock
//    moves only once every started thread waits too: it then jumps to the earliest deadline
//    among them and the main thread's own, as if the main thread had slept until then. So a
//    thread the main thread waits for can still sleep and time out, and nothing deadlocks on
//    the clock.
//  - Starting a thread from the main thread returns once the new thread first waits (or ends),
//    so where it first stops does not depend on how fast it was scheduled.
//  - A started thread that stays busy without waiting (blocked on a plain mutex, say) is given
//    a quarter of a second of real time; then the clock moves on without it.
//  - Threads not started through this layer follow the same deadline rule but are not waited
//    for. The main thread has to sleep and wait through this layer for time to pass: blocked
//    anywhere else (a real sleep, a join of such a thread) it stops the clock for everyone.
#pragma once
#include <cstdint>

namespace plat {

// Milliseconds since process start; wraps after about 49 days.
uint32_t MillisecondClock();
// High-resolution counter and its ticks per second.
uint64_t PerformanceCounter();
uint64_t PerformanceFrequency();
// The processor's time-stamp counter (under the virtual clock: virtual nanoseconds).
uint64_t TimeStampCounter();
// Sleeps for ms milliseconds; 0 gives up the rest of the time slice.
void SleepMs(uint32_t ms);

struct LocalDateTime {
    uint32_t year;
    uint32_t month;       // 1..12
    uint32_t day;         // 1..31
    uint32_t hour;
    uint32_t minute;
    uint32_t second;
    uint32_t millisecond;
    uint32_t dayOfWeek;   // 0 = Sunday
};
// The local date and time. ZN_NOW="YYYY-MM-DDTHH:MM:SS" (or SetFixedLocalTime) fixes the
// starting point; the time then advances with the process clock.
LocalDateTime GetLocalDateTime();

// ---- test controls ----
// Switches the virtual clock on or off; switching it on starts it at 0 ms.
void UseVirtualClock(bool on);
bool VirtualClockInUse();
// Amount, in microseconds, by which each read of a virtual clock advances it.
void SetVirtualClockReadStep(uint64_t microseconds);
// Moves the virtual clock forward.
void AdvanceVirtualClock(uint64_t microseconds);
// Current virtual time in microseconds, without advancing it.
uint64_t VirtualClockMicroseconds();
// Fixes the local date and time that the clock starts from (null restores the real one).
void SetFixedLocalTime(const LocalDateTime* start);

}  // namespace plat
