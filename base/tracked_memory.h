// Tracked memory: every library allocation carries a header naming the requesting source
// file, line, serial and size, kept twice so that a damaged header is found; live blocks
// form a list that is dumped to the log at shut-down.
#pragma once
#include <cstddef>
#include <cstdint>

struct AllocHeader {
    char file[16];        // last 15 characters of the source file name, NUL-terminated
    uint16_t serial;
    int16_t line;
    uint32_t size;
    AllocHeader* prev;    // older neighbour
    AllocHeader* next;    // newer neighbour, null for the newest
    unsigned char copy[40];   // copy of the 40 bytes above, refreshed whenever they change
    unsigned char pad[16];    // keeps the user block 16-byte aligned
};
static_assert(sizeof(void*) == 8, "the header layout is that of a 64-bit build");
static_assert(offsetof(AllocHeader, copy) == sizeof(AllocHeader::copy),
              "the copy covers every field in front of it");
static_assert(sizeof(AllocHeader) == 96 && sizeof(AllocHeader) % 16 == 0,
              "user blocks must stay 16-byte aligned");

// The allocator's own state; it lives from the first allocation to the end of the process.
struct AllocState {
    AllocHeader anchor = {};     // oldest element of the list, never freed
    AllocHeader* tail = nullptr; // newest block; null until the first allocation
    uint32_t totalSize = 0;      // sum of the live sizes
    uint32_t count = 0;          // live blocks
    uint16_t serial = 0;         // serial of the next block, wraps at 65536
    // Diagnostic switches; nothing in the system sets them.
    int32_t logEach = 0;         // 1: log every allocation and free
    int32_t logTotals = 0;       // 1: log the totals after each of them
    int32_t checkAll = 0;        // 1: check every header on each call
    int32_t watchSize = 0;       // log blocks of this size (negative: every block)
};

AllocState& GetAllocState();

// A block of size bytes, or null (after a log line) when it cannot be had or when size plus
// the header does not fit the 32-bit size field. file may be null.
void* TrackedAlloc(size_t size, const char* file, int line);
void* TrackedAllocZero(size_t size, const char* file, int line);
// Null is ignored. A block whose header differs from its copy is not freed (log line).
void TrackedFree(void* block);
// 0, or -1 after logging the first damaged header, newest first.
int CheckAllocHeaders();
// Lists every live block in the log, newest first, with the totals.
int DumpAllocations();

#define ZN_ALLOC(size) TrackedAlloc((size), __FILE__, __LINE__)
#define ZN_ALLOC_ZERO(size) TrackedAllocZero((size), __FILE__, __LINE__)
