#include "platform/core/clock.h"

#include <x86intrin.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <thread>

namespace plat {

namespace {

using SteadyClock = std::chrono::steady_clock;

const SteadyClock::time_point g_processStart = SteadyClock::now();

bool VirtualFromEnvironment() {
    const char* v = std::getenv("ZN_CLOCK");
    return v != nullptr && std::strcmp(v, "virtual") == 0;
}

std::atomic<bool> g_virtual{VirtualFromEnvironment()};
std::atomic<uint64_t> g_virtualMicroseconds{0};
// A whole run on the virtual clock (ZN_CLOCK=virtual) has code that busy-waits on the clock:
// there each read moves it on by 10 microseconds so such waits end. Tests choose their own step.
constexpr uint64_t kEnvironmentReadStep = 10;
std::atomic<uint64_t> g_readStep{VirtualFromEnvironment() ? kEnvironmentReadStep : 0};

// Microseconds since process start on the clock in use; a read of the virtual clock
// advances it by the read step.
uint64_t ReadMicroseconds(bool advance) {
    if (g_virtual.load()) {
        if (advance) return g_virtualMicroseconds.fetch_add(g_readStep.load()) + g_readStep.load();
        return g_virtualMicroseconds.load();
    }
    return std::chrono::duration_cast<std::chrono::microseconds>(SteadyClock::now() - g_processStart)
        .count();
}

// The fixed local time, as seconds of a broken-down calendar read as UTC (no time zone is
// applied to a fixed time), and the process clock reading it belongs to.
struct FixedTime {
    bool on = false;
    int64_t epochMilliseconds = 0;
    uint64_t clockMicroseconds = 0;
};
std::mutex g_fixedMutex;
FixedTime g_fixed;

int64_t CalendarToEpochMs(const LocalDateTime& t) {
    std::tm tm{};
    tm.tm_year = static_cast<int>(t.year) - 1900;
    tm.tm_mon = static_cast<int>(t.month) - 1;
    tm.tm_mday = static_cast<int>(t.day);
    tm.tm_hour = static_cast<int>(t.hour);
    tm.tm_min = static_cast<int>(t.minute);
    tm.tm_sec = static_cast<int>(t.second);
    return static_cast<int64_t>(timegm(&tm)) * 1000 + t.millisecond;
}

LocalDateTime FromTm(const std::tm& tm, uint32_t ms) {
    LocalDateTime out{};
    out.year = static_cast<uint32_t>(tm.tm_year + 1900);
    out.month = static_cast<uint32_t>(tm.tm_mon + 1);
    out.day = static_cast<uint32_t>(tm.tm_mday);
    out.hour = static_cast<uint32_t>(tm.tm_hour);
    out.minute = static_cast<uint32_t>(tm.tm_min);
    out.second = static_cast<uint32_t>(tm.tm_sec);
    out.millisecond = ms;
    out.dayOfWeek = static_cast<uint32_t>(tm.tm_wday);
    return out;
}

// ZN_NOW="YYYY-MM-DDTHH:MM:SS" fixes the local time at process start.
void ApplyNowFromEnvironment() {
    const char* v = std::getenv("ZN_NOW");
    if (v == nullptr) return;
    LocalDateTime t{};
    if (std::sscanf(v, "%u-%u-%uT%u:%u:%u", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                    &t.second) == 6) {
        SetFixedLocalTime(&t);
    }
}
struct NowFromEnvironment {
    NowFromEnvironment() { ApplyNowFromEnvironment(); }
} g_nowFromEnvironment;

}  // namespace

uint32_t MillisecondClock() { return static_cast<uint32_t>(ReadMicroseconds(true) / 1000); }

uint64_t PerformanceCounter() {
    if (g_virtual.load()) return ReadMicroseconds(true) * 1000;
    return std::chrono::duration_cast<std::chrono::nanoseconds>(SteadyClock::now() - g_processStart)
        .count();
}

uint64_t PerformanceFrequency() { return 1000000000ull; }

uint64_t TimeStampCounter() {
    if (g_virtual.load()) return ReadMicroseconds(true) * 1000;
    return __rdtsc();
}

void SleepMs(uint32_t ms) {
    if (g_virtual.load()) {
        g_virtualMicroseconds.fetch_add(static_cast<uint64_t>(ms) * 1000);
        std::this_thread::yield();
        return;
    }
    if (ms == 0) {
        std::this_thread::yield();
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

LocalDateTime GetLocalDateTime() {
    {
        std::lock_guard<std::mutex> hold(g_fixedMutex);
        if (g_fixed.on) {
            uint64_t elapsedUs = ReadMicroseconds(false) - g_fixed.clockMicroseconds;
            int64_t ms = g_fixed.epochMilliseconds + static_cast<int64_t>(elapsedUs / 1000);
            std::time_t seconds = static_cast<std::time_t>(ms / 1000);
            std::tm tm{};
            gmtime_r(&seconds, &tm);
            return FromTm(tm, static_cast<uint32_t>(ms % 1000));
        }
    }
    auto now = std::chrono::system_clock::now();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm tm{};
    localtime_r(&seconds, &tm);
    return FromTm(tm, static_cast<uint32_t>(ms % 1000));
}

void UseVirtualClock(bool on) {
    if (on) g_virtualMicroseconds.store(0);
    g_virtual.store(on);
}

bool VirtualClockInUse() { return g_virtual.load(); }

void SetVirtualClockReadStep(uint64_t microseconds) { g_readStep.store(microseconds); }

void AdvanceVirtualClock(uint64_t microseconds) { g_virtualMicroseconds.fetch_add(microseconds); }

uint64_t VirtualClockMicroseconds() { return g_virtualMicroseconds.load(); }

void SetFixedLocalTime(const LocalDateTime* start) {
    std::lock_guard<std::mutex> hold(g_fixedMutex);
    if (start == nullptr) {
        g_fixed = FixedTime{};
        return;
    }
    g_fixed.on = true;
    g_fixed.epochMilliseconds = CalendarToEpochMs(*start);
    g_fixed.clockMicroseconds = ReadMicroseconds(false);
}

}  // namespace plat
