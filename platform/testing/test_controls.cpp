#include "platform/testing/test_controls.h"

#include <atomic>

#include "platform/core/clock.h"
#include "platform/core/debug_output.h"
#include "platform/core/fault_injection.h"

namespace plat {

namespace {
std::atomic<int> g_pending[static_cast<int>(FaultKind::Count)];
}

bool ConsumeFault(FaultKind kind) {
    std::atomic<int>& pending = g_pending[static_cast<int>(kind)];
    int n = pending.load();
    while (n > 0) {
        if (pending.compare_exchange_weak(n, n - 1)) return true;
    }
    return false;
}

void SetPendingFaults(FaultKind kind, int count) {
    g_pending[static_cast<int>(kind)].store(count < 0 ? 0 : count);
}

void FailNextAllocations(int count) { SetPendingFaults(FaultKind::Allocation, count); }
void FailNextThreadStarts(int count) { SetPendingFaults(FaultKind::ThreadStart, count); }
void FailNextEventCreates(int count) { SetPendingFaults(FaultKind::EventCreate, count); }
void FailNextFileOpens(int count) { SetPendingFaults(FaultKind::FileOpen, count); }

void ResetTestControls() {
    for (int i = 0; i < static_cast<int>(FaultKind::Count); ++i) {
        SetPendingFaults(static_cast<FaultKind>(i), 0);
    }
    StopDebugCapture();
    UseVirtualClock(false);
    SetVirtualClockReadStep(0);
    SetFixedLocalTime(nullptr);
}

}  // namespace plat
