// Clocks of the platform layer: a millisecond clock counted from process start, a
// high-resolution performance counter, the processor time-stamp counter, sleeping and the
// local date and time.
//
// A virtual clock can replace the real one (tests, or a whole run with ZN_CLOCK=virtual).
// The virtual clock stands still except when it is read or slept on: every read advances it
// by the read step (0 by default) and every sleep advances it by the time slept, so waits
// finish at once and runs repeat exactly.
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
