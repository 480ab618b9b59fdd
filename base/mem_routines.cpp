#include "base/mem_routines.h"

void MemCopy(void* dst, const void* src, size_t n) {
    auto* d = static_cast<uint8_t*>(dst);
    const auto* s = static_cast<const uint8_t*>(src);
    for (size_t i = 0; i < n; ++i) d[i] = s[i];
}

void MemMove(void* dst, const void* src, size_t n) {
    auto* d = static_cast<uint8_t*>(dst);
    const auto* s = static_cast<const uint8_t*>(src);
    if (d == s) return;
    // Compared as addresses, not as pointers into possibly different objects.
    if (reinterpret_cast<uintptr_t>(s) < reinterpret_cast<uintptr_t>(d)) {
        for (size_t i = n; i > 0; --i) d[i - 1] = s[i - 1];
    } else {
        for (size_t i = 0; i < n; ++i) d[i] = s[i];
    }
}

void MemFill(void* dst, int value, size_t n) {
    auto* d = static_cast<uint8_t*>(dst);
    const auto byte = static_cast<uint8_t>(value);
    for (size_t i = 0; i < n; ++i) d[i] = byte;
}

int MemCompare(const void* a, const void* b, size_t n) {
    const auto* x = static_cast<const uint8_t*>(a);
    const auto* y = static_cast<const uint8_t*>(b);
    for (size_t i = 0; i < n; ++i) {
        if (x[i] != y[i]) return 1;
    }
    return 0;
}

int MemDiffers(const void* a, const void* b, int64_t n) {
    if (n < 0) return 1;
    return MemCompare(a, b, static_cast<size_t>(n));
}
