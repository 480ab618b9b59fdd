#include "system/clock.h"

#include "platform/core/clock.h"
#include "base/wide_math.h"
#include "system/window_data.h"

namespace {

// ticks x 1000000 / ticksPerSecond, with the product in 128 bits. ticksPerSecond is not 0.
int64_t TicksToMicroseconds(uint64_t ticks, uint64_t ticksPerSecond) {
    U128 product;
    MulU64ToU128(ticks, 1000000u, &product);
    uint64_t quotient = 0;
    DivU128ByU64(product, ticksPerSecond, &quotient);
    return static_cast<int64_t>(quotient);
}

}  // namespace

int64_t GetMicrosecondCount(int useCpuClock) {
    const ClockState& clock = GetWindowData().clock;
    if (clock.useTimeStampCounter != 0 && useCpuClock == 1 && clock.started != 0) {
        // A CPU clock that was never measured cannot be divided by: use the millisecond clock.
        if (clock.cpuClock == 0) return static_cast<int64_t>(plat::MillisecondClock()) * 1000;
        return TicksToMicroseconds(plat::TimeStampCounter(), clock.cpuClock);
    }
    if (clock.usePerformanceCounter == 0 || clock.performanceFrequency == 0) {
        return static_cast<int64_t>(plat::MillisecondClock()) * 1000;
    }
    return TicksToMicroseconds(plat::PerformanceCounter(), clock.performanceFrequency);
}

int GetLocalDateTime(DateTimeRecord* out) {
    if (out == nullptr) return -1;
    const plat::LocalDateTime now = plat::GetLocalDateTime();
    out->year = now.year;
    out->month = now.month;
    out->day = now.day;
    out->hour = now.hour;
    out->minute = now.minute;
    out->second = now.second;
    return 0;
}
