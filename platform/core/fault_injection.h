// Internal to the platform layer: the fail-the-next-N switches that the test controls set
// (platform/testing/test_controls.h).
#pragma once

namespace plat {

enum class FaultKind {
    Allocation,
    ThreadStart,
    EventCreate,
    FileOpen,
    FileRead,
    WindowClassRegistration,  // refused by the headless backend
    WindowCreation,           // refused by the headless backend
    ComStart,
    Count
};

// True (and one fewer pending failure) when the next call of this kind is to fail.
bool ConsumeFault(FaultKind kind);
void SetPendingFaults(FaultKind kind, int count);

}  // namespace plat
