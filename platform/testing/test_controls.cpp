#include "platform/testing/test_controls.h"

#include "platform/core/clock.h"
#include "platform/core/debug_output.h"
#include "platform/core/fault_injection.h"

namespace plat {

void FailNextAllocations(int count) { SetPendingFaults(FaultKind::Allocation, count); }
void FailNextThreadStarts(int count) { SetPendingFaults(FaultKind::ThreadStart, count); }
void FailNextEventCreates(int count) { SetPendingFaults(FaultKind::EventCreate, count); }
void FailNextFileOpens(int count) { SetPendingFaults(FaultKind::FileOpen, count); }
void FailNextFileReads(int count) { SetPendingFaults(FaultKind::FileRead, count); }

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
