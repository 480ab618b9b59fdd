#include "platform/core/clock.h"
#include "platform/core/environment.h"
#include "platform/core/virtual_time.h"

#include <sys/syscall.h>
#include <unistd.h>
#include <x86intrin.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <vector>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <thread>

namespace plat {

// A started thread as the virtual clock sees it (under g_waitMutex).
struct VirtualThreadRecord {
    bool idle = false;    // waiting, with its ready test false as of `signals`
    uint64_t signals = 0;
    uint64_t deadline = kNoVirtualDeadline;
};

namespace {

using SteadyClock = std::chrono::steady_clock;

const SteadyClock::time_point g_processStart = SteadyClock::now();

bool VirtualFromEnvironment() {
    CheckProcessEnvironment();
    const char* v = std::getenv("ZN_CLOCK");
    return v != nullptr && std::strcmp(v, "virtual") == 0;
}

std::atomic<bool> g_virtual{VirtualFromEnvironment()};
// The main thread's clock: its reads and sleeps move it.
std::atomic<uint64_t> g_virtualMicroseconds{0};
// The time other threads see: the main thread's clock as of its last sleep or wait.
std::atomic<uint64_t> g_releasedMicroseconds{0};
// A whole run on the virtual clock (ZN_CLOCK=virtual) has code that busy-waits on the clock:
// there each read moves it on by 10 microseconds so such waits end. Tests choose their own step.
constexpr uint64_t kEnvironmentReadStep = 10;
std::atomic<uint64_t> g_readStep{VirtualFromEnvironment() ? kEnvironmentReadStep : 0};

// Microseconds since process start on the clock in use; a read of the virtual clock by the
// main thread advances it by the read step.
uint64_t ReadMicroseconds(bool advance) {
    if (g_virtual.load()) {
        if (!OnMainThread()) return g_releasedMicroseconds.load();
        if (advance) return g_virtualMicroseconds.fetch_add(g_readStep.load()) + g_readStep.load();
        return g_virtualMicroseconds.load();
    }
    return std::chrono::duration_cast<std::chrono::microseconds>(SteadyClock::now() - g_processStart)
        .count();
}

// ---- waits under the virtual clock ------------------------------------------------------

// The state of the started threads' waits, under g_waitMutex.
std::mutex g_waitMutex;
std::condition_variable g_waitChanged;
std::vector<VirtualThreadRecord*> g_threads;
// Counts the changes that can make a wait ready (NoteVirtualSignal).
std::atomic<uint64_t> g_signals{0};
// Counts the times a started thread became idle; the main thread waits on it.
uint64_t g_idleChanges = 0;
// How long, in real time, the main thread waits for busy threads before it moves the clock
// anyway: a thread blocked on something the clock does not see (a plain mutex held by the
// main thread, a file read) must not stop the run.
constexpr auto kBusyThreadPatience = std::chrono::milliseconds(250);

thread_local VirtualThreadRecord* t_record = nullptr;

// True when every started thread waits, has looked at its ready test since the last signal,
// and has no deadline that the released time has reached.
bool OthersIdleLocked() {
    const uint64_t released = g_releasedMicroseconds.load();
    const uint64_t signals = g_signals.load();
    for (const VirtualThreadRecord* r : g_threads) {
        if (!r->idle || r->signals != signals || r->deadline <= released) return false;
    }
    return true;
}

// The earliest deadline still ahead among the waiting started threads, or kNoVirtualDeadline.
uint64_t EarliestDeadlineLocked() {
    const uint64_t released = g_releasedMicroseconds.load();
    uint64_t earliest = kNoVirtualDeadline;
    for (const VirtualThreadRecord* r : g_threads) {
        if (r->idle && r->deadline > released) earliest = std::min(earliest, r->deadline);
    }
    return earliest;
}

// Moves the main thread's clock to at least t and lets the other threads see it.
void ReleaseLocked(uint64_t t) {
    uint64_t now = g_virtualMicroseconds.load();
    while (now < t && !g_virtualMicroseconds.compare_exchange_weak(now, t)) {
    }
    const uint64_t main = std::max(now, t);
    if (g_releasedMicroseconds.load() != main) {
        g_releasedMicroseconds.store(main);
        g_waitChanged.notify_all();
    }
}

// Waits, in real time, until every started thread is idle (or has been busy too long).
void WaitOthersIdleLocked(std::unique_lock<std::mutex>& hold) {
    const auto start = SteadyClock::now();
    while (!OthersIdleLocked() && SteadyClock::now() - start < kBusyThreadPatience) {
        g_waitChanged.wait_for(hold, std::chrono::milliseconds(2));
    }
}

// The main thread's sleep: time moves from one deadline of the other threads to the next,
// each reached deadline's thread runs until it waits again, then on to the sleep's end.
void MainSleep(uint64_t microseconds) {
    std::unique_lock<std::mutex> hold(g_waitMutex);
    const uint64_t target = g_virtualMicroseconds.load() + microseconds;
    // Threads woken by this thread's signals finish first, so what they see of the time does
    // not depend on how fast they wake.
    WaitOthersIdleLocked(hold);
    ReleaseLocked(g_virtualMicroseconds.load());
    for (;;) {
        WaitOthersIdleLocked(hold);
        if (g_virtualMicroseconds.load() >= target) return;
        ReleaseLocked(std::min(target, EarliestDeadlineLocked()));
    }
}

// The main thread's blocking wait: it moves the clock only while every started thread waits,
// to the earliest deadline of all (its own included).
bool MainWait(uint64_t deadline, const std::function<bool()>& ready) {
    for (;;) {
        const uint64_t signals = g_signals.load();
        if (ready()) return true;
        std::unique_lock<std::mutex> hold(g_waitMutex);
        if (!g_virtual.load()) return false;
        // The time is released only when every thread waits: whether this thread had to wait
        // at all (a lock another thread held a moment) must not show in the others' time.
        if (g_virtualMicroseconds.load() >= deadline) return false;
        if (g_signals.load() == signals && OthersIdleLocked()) {
            const uint64_t next = std::min(deadline, EarliestDeadlineLocked());
            if (next != kNoVirtualDeadline) {
                ReleaseLocked(next);
                continue;
            }
        }
        const uint64_t idleChanges = g_idleChanges;
        g_waitChanged.wait_for(hold, std::chrono::milliseconds(5), [&] {
            return g_signals.load() != signals || g_idleChanges != idleChanges;
        });
    }
}

// Another thread's wait: it marks itself idle while its ready test is false and waits for a
// signal or for the released time to reach its deadline.
bool OtherWait(uint64_t deadline, const std::function<bool()>& ready) {
    VirtualThreadRecord unlisted;
    VirtualThreadRecord* record = t_record != nullptr ? t_record : &unlisted;
    for (;;) {
        const uint64_t signals = g_signals.load();
        if (ready()) return true;
        std::unique_lock<std::mutex> hold(g_waitMutex);
        if (!g_virtual.load()) return false;
        if (g_releasedMicroseconds.load() >= deadline) return false;
        record->idle = true;
        record->signals = signals;
        record->deadline = deadline;
        ++g_idleChanges;
        g_waitChanged.notify_all();
        g_waitChanged.wait_for(hold, std::chrono::milliseconds(5), [&] {
            return g_signals.load() != signals || g_releasedMicroseconds.load() >= deadline ||
                   !g_virtual.load();
        });
        record->idle = false;
    }
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
    CheckProcessEnvironment();
    const char* v = std::getenv("ZN_NOW");
    if (v == nullptr || *v == '\0') return;
    LocalDateTime t{};
    if (ParseNow(v, &t)) SetFixedLocalTime(&t);
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
        const uint64_t us = static_cast<uint64_t>(ms) * 1000;
        if (OnMainThread()) {
            MainSleep(us);
        } else {
            const uint64_t deadline = g_releasedMicroseconds.load() + us;
            OtherWait(deadline, [] { return false; });
        }
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
    std::lock_guard<std::mutex> hold(g_waitMutex);
    if (on) {
        g_virtualMicroseconds.store(0);
        g_releasedMicroseconds.store(0);
    }
    g_virtual.store(on);
    g_waitChanged.notify_all();
}

bool VirtualClockInUse() { return g_virtual.load(); }

void SetVirtualClockReadStep(uint64_t microseconds) { g_readStep.store(microseconds); }

void AdvanceVirtualClock(uint64_t microseconds) {
    std::lock_guard<std::mutex> hold(g_waitMutex);
    ReleaseLocked(g_virtualMicroseconds.load() + microseconds);
}

uint64_t VirtualClockMicroseconds() { return g_virtualMicroseconds.load(); }

// ---- the platform's waits --------------------------------------------------------------

bool OnMainThread() {
    static const pid_t process = getpid();
    thread_local const bool main = static_cast<pid_t>(syscall(SYS_gettid)) == process;
    return main;
}

uint64_t VirtualNow() { return ReadMicroseconds(false); }

bool WaitVirtual(uint64_t deadline, const std::function<bool()>& ready) {
    if (!g_virtual.load()) return ready();
    return OnMainThread() ? MainWait(deadline, ready) : OtherWait(deadline, ready);
}

void NoteVirtualSignal() {
    if (!g_virtual.load()) return;
    std::lock_guard<std::mutex> hold(g_waitMutex);
    g_signals.fetch_add(1);
    g_waitChanged.notify_all();
}

VirtualThreadRecord* RegisterVirtualThread() {
    VirtualThreadRecord* record = new VirtualThreadRecord;
    std::lock_guard<std::mutex> hold(g_waitMutex);
    g_threads.push_back(record);
    return record;
}

void BindVirtualThread(VirtualThreadRecord* record) { t_record = record; }

void SettleVirtualThreads() {
    if (!g_virtual.load() || !OnMainThread()) return;
    std::unique_lock<std::mutex> hold(g_waitMutex);
    WaitOthersIdleLocked(hold);
}

void EndVirtualThread(VirtualThreadRecord* record) {
    {
        std::lock_guard<std::mutex> hold(g_waitMutex);
        g_threads.erase(std::find(g_threads.begin(), g_threads.end(), record));
        g_signals.fetch_add(1);
        g_waitChanged.notify_all();
    }
    if (t_record == record) t_record = nullptr;
    delete record;
}

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
