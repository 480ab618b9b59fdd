// The pending failures of the fault switches: set by the test controls, taken by the calls
// that can fail.
#include "platform/core/fault_injection.h"

#include <atomic>

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

}  // namespace plat
