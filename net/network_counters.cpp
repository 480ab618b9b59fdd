#include "net/network_counters.h"

#include <algorithm>

namespace {

NetWorkCounters& Counters() {
    static NetWorkCounters counters;
    return counters;
}

}  // namespace

NetWorkCounters GetNetWorkCounters() { return Counters(); }

void ResetNetWorkCounters() { Counters() = NetWorkCounters{}; }

void NoteNetWorkRingGrowth(uint32_t bytesCopied) {
    NetWorkCounters& counters = Counters();
    ++counters.ringGrowths;
    counters.ringBytesCopied += bytesCopied;
}

void NoteNetWorkRecvStep(uint32_t bytesRead) {
    NetWorkCounters& counters = Counters();
    ++counters.recvSteps;
    counters.largestRecvStep = std::max(counters.largestRecvStep, bytesRead);
}
