// Counts of the network's receive work, kept for tests and benchmarks: how often the
// connections' rings grew and how many bytes the growths copied, and how many bytes the
// receive step moved from a socket in one run at most.
#pragma once
#include <cstdint>

// Bytes one run of the receive step reads from a socket at most (its length words
// included). A peer that sends faster than the owner reads would otherwise keep one call
// reading until the ring is full; what is left in the socket brings the next FD_READ.
constexpr uint32_t kNetWorkRecvStepBytes = 1024 * 1024;

struct NetWorkCounters {
    uint64_t ringGrowths = 0;       // times a receive or send ring moved to a larger buffer
    uint64_t ringBytesCopied = 0;   // bytes those moves copied
    uint64_t recvSteps = 0;         // runs of the receive step that read from the socket
    uint32_t largestRecvStep = 0;   // most bytes one run of the receive step read
};

NetWorkCounters GetNetWorkCounters();
void ResetNetWorkCounters();

// Noted by the network itself.
void NoteNetWorkRingGrowth(uint32_t bytesCopied);
void NoteNetWorkRecvStep(uint32_t bytesRead);
