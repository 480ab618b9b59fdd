#include "base/memory_stream.h"

#include "base/mem_routines.h"
#include "base/tracked_memory.h"

namespace {
MemStreamRecord* ToRecord(uintptr_t handle) { return reinterpret_cast<MemStreamRecord*>(handle); }
}  // namespace

uintptr_t MemStreamOpen(const void* data, size_t size) {
    auto* stream = static_cast<MemStreamRecord*>(ZN_ALLOC(sizeof(MemStreamRecord)));
    if (stream == nullptr) return 0;
    stream->data = static_cast<const unsigned char*>(data);
    stream->size = size;
    stream->position = 0;
    stream->end = 0;
    return reinterpret_cast<uintptr_t>(stream);
}

int MemStreamClose(uintptr_t handle) {
    TrackedFree(ToRecord(handle));
    return 0;
}

int64_t MemStreamTell(uintptr_t handle) { return static_cast<int64_t>(ToRecord(handle)->position); }

int MemStreamSeek(uintptr_t handle, int64_t offset, int origin) {
    MemStreamRecord* stream = ToRecord(handle);
    int64_t base;
    switch (origin) {
        case 0:
            base = 0;
            break;
        case 1:
            base = static_cast<int64_t>(stream->position);
            break;
        case 2:
            base = static_cast<int64_t>(stream->size);
            break;
        default:
            return -1;
    }
    int64_t target;
    if (__builtin_add_overflow(base, offset, &target)) target = offset < 0 ? 0 : INT64_MAX;
    stream->end = 0;
    if (target < 0) {
        stream->position = 0;
    } else if (static_cast<uint64_t>(target) > stream->size) {
        stream->position = stream->size;
    } else {
        stream->position = static_cast<size_t>(target);
    }
    return 0;
}

size_t MemStreamRead(void* buffer, size_t size, size_t count, uintptr_t handle) {
    MemStreamRecord* stream = ToRecord(handle);
    if (stream->position >= stream->size) {
        stream->end = 1;
        return 0;
    }
    size_t remaining = stream->size - stream->position;
    size_t elements;
    size_t bytes;
    if (size == 0 || count <= remaining / size) {
        elements = count;
        bytes = size * count;
    } else if (remaining / size > 0) {
        elements = remaining / size;
        bytes = elements * size;
    } else {
        // Not one whole element is left: the remaining bytes count as one.
        elements = 1;
        bytes = remaining;
    }
    MemCopy(buffer, stream->data + stream->position, bytes);
    stream->position += bytes;
    stream->end = 0;
    return elements;
}

int MemStreamEof(uintptr_t handle) { return static_cast<int>(ToRecord(handle)->end); }

int MemStreamIdleCheck(uintptr_t /*handle*/) { return 1; }
