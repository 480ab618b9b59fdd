// The library's clocks over the platform clocks: the microsecond clock and the local date.
// The millisecond clock is the platform's (plat::MillisecondClock) everywhere.
#pragma once
#include <cstdint>

// Which clocks start-up found usable (kept in WindowData).
struct ClockState {
    uint32_t usePerformanceCounter = 0;
    uint64_t performanceFrequency = 0;
    uint32_t useTimeStampCounter = 0;
    uint64_t cpuClock = 0;   // time-stamp ticks per second
    uint32_t started = 0;
};

struct DateTimeRecord {
    uint32_t year, month, day, hour, minute, second;
};

// Microseconds: from the time-stamp counter when it is in use, useCpuClock is 1 and the
// library has started; else from the performance counter when it is in use; else the
// millisecond clock x 1000. Counter x 1000000 is formed in 128 bits and divided back. A zero
// CPU clock or counter frequency is never divided by: the millisecond clock stands in.
int64_t GetMicrosecondCount(int useCpuClock);
// The local date and time. Returns 0; -1 for a null record.
int GetLocalDateTime(DateTimeRecord* out);
