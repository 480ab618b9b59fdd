#include "base/tracked_memory.h"

#include <algorithm>
#include <cstring>

#include "platform/core/heap.h"
#include "base/log.h"

namespace {

constexpr size_t kCheckedBytes = offsetof(AllocHeader, copy);
constexpr size_t kFileTail = sizeof(AllocHeader::file) - 1;
// The largest block whose size plus header still fits the 32-bit size field.
constexpr size_t kMaxBlockSize = UINT32_MAX - sizeof(AllocHeader);

constexpr char kDamagedHeaderText[] = "以下のメモリ確保情報が破損しました";

AllocState& Memory() { return GetAllocState(); }

AllocHeader* HeaderOf(void* block) { return static_cast<AllocHeader*>(block) - 1; }

void RefreshCopy(AllocHeader* header) { std::memcpy(header->copy, header, kCheckedBytes); }

bool HeaderIntact(const AllocHeader* header) {
    return std::memcmp(header->copy, header, kCheckedBytes) == 0;
}

// A neighbour's link changes in the header and in its copy alone, so that damage elsewhere in
// the neighbour's header stays visible to the check.
void SetNext(AllocHeader* header, AllocHeader* next) {
    header->next = next;
    std::memcpy(header->copy + offsetof(AllocHeader, next), &next, sizeof(next));
}

void SetPrev(AllocHeader* header, AllocHeader* prev) {
    header->prev = prev;
    std::memcpy(header->copy + offsetof(AllocHeader, prev), &prev, sizeof(prev));
}

void FillFileTail(AllocHeader* header, const char* file) {
    std::memset(header->file, 0, sizeof(header->file));
    if (file == nullptr) return;
    size_t length = std::strlen(file);
    const char* tail = length > kFileTail ? file + (length - kFileTail) : file;
    std::memcpy(header->file, tail, std::min(length, kFileTail));
}

bool WatchesBlock(const AllocState& memory, uint32_t size) {
    return memory.watchSize < 0 || static_cast<uint32_t>(memory.watchSize) == size ||
           memory.logEach == 1;
}

void LogTotals(const AllocState& memory) {
    LogFormat("\tTotal size:%u(%.3fkb)  Alloc num:%u", memory.totalSize,
              memory.totalSize * (1.0 / 1024), memory.count);
}

// A damaged header's size may be wrong too: show no more of the block than both the header
// and its copy claim it holds.
uint32_t ShownBytes(const AllocHeader* header) {
    uint32_t copiedSize;
    std::memcpy(&copiedSize, header->copy + offsetof(AllocHeader, size), sizeof(copiedSize));
    return std::min(header->size, copiedSize);
}

void LogDamagedHeader(const AllocHeader* header) {
    LogWrite(kDamagedHeaderText);
    LogAllocation(header, ShownBytes(header));
}

}  // namespace

AllocState& GetAllocState() {
    static AllocState state;
    return state;
}

void* TrackedAlloc(size_t size, const char* file, int line) {
    AllocState& memory = Memory();
    if (size > kMaxBlockSize) {
        LogFormat("メモリの確保サイズが大き過ぎます(確保しようとしたサイズ %zu byte)", size);
        return nullptr;
    }
    auto* header = static_cast<AllocHeader*>(plat::HeapAllocate(size + sizeof(AllocHeader)));
    if (header == nullptr) {
        DumpAllocations();
        return nullptr;
    }

    std::memset(header, 0, sizeof(AllocHeader));
    header->size = static_cast<uint32_t>(size);
    FillFileTail(header, file);
    header->line = static_cast<int16_t>(line);
    header->serial = memory.serial++;

    if (memory.tail == nullptr) memory.tail = &memory.anchor;
    AllocHeader* oldTail = memory.tail;
    header->prev = oldTail;
    header->next = nullptr;
    RefreshCopy(header);
    SetNext(oldTail, header);
    memory.tail = header;

    memory.totalSize += header->size;
    memory.count += 1;

    if (WatchesBlock(memory, header->size)) {
        LogWrite("mem alloc  ");
        LogAllocation(header);
    }
    if (memory.logTotals == 1) LogTotals(memory);
    if (memory.checkAll == 1) CheckAllocHeaders();
    return header + 1;
}

void* TrackedAllocZero(size_t size, const char* file, int line) {
    void* block = TrackedAlloc(size, file, line);
    if (block != nullptr) std::memset(block, 0, size);
    return block;
}

void TrackedFree(void* block) {
    if (block == nullptr) return;
    AllocState& memory = Memory();
    AllocHeader* header = HeaderOf(block);
    // Unlinking through a damaged header would spread the damage: the block stays as it is.
    if (!HeaderIntact(header)) {
        LogDamagedHeader(header);
        return;
    }

    memory.totalSize -= header->size;
    memory.count -= 1;
    if (memory.checkAll == 1) CheckAllocHeaders();

    AllocHeader* prev = header->prev;
    AllocHeader* next = header->next;
    if (prev != nullptr) SetNext(prev, next);
    if (next != nullptr) SetPrev(next, prev);
    if (memory.tail == header) memory.tail = prev;

    if (WatchesBlock(memory, header->size)) {
        LogWrite("mem free  ");
        LogAllocation(header);
    }
    if (memory.logTotals == 1) LogTotals(memory);

    plat::HeapRelease(header);
}

int CheckAllocHeaders() {
    AllocState& memory = Memory();
    for (AllocHeader* h = memory.tail; h != nullptr && h != &memory.anchor; h = h->prev) {
        if (!HeaderIntact(h)) {
            LogDamagedHeader(h);
            return -1;
        }
    }
    return 0;
}

int DumpAllocations() {
    AllocState& memory = Memory();
    LogWrite("\n");
    LogWrite("Alloc memory dump");
    for (AllocHeader* h = memory.tail; h != nullptr && h != &memory.anchor; h = h->prev) {
        LogAllocation(h, ShownBytes(h));
    }
    LogTotals(memory);
    return LogWrite("\n");
}
