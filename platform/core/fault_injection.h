// Internal to the platform layer: the fail-the-next-N switches that test_controls.h sets.
#pragma once

namespace plat {

enum class FaultKind { Allocation, ThreadStart, EventCreate, FileOpen, Count };

// True (and one fewer pending failure) when the next call of this kind is to fail.
bool ConsumeFault(FaultKind kind);
void SetPendingFaults(FaultKind kind, int count);

}  // namespace plat
