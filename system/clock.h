// The library's clocks over the platform clocks: the microsecond clock and the local date.
#pragma once
#include <cstdint>

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

int64_t GetMicrosecondCount(int useCpuClock);
int GetLocalDateTime(DateTimeRecord* out);
