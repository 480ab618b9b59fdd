#include "softrender/rules/simd_width.h"

namespace {

bool ProcessorHasAvx2() {
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
    __builtin_cpu_init();  // may run before the runtime's own initialisation
    return __builtin_cpu_supports("avx2") != 0;
#else
    return false;
#endif
}

const bool kProcessorHasAvx2 = ProcessorHasAvx2();
bool WideSteps = kProcessorHasAvx2;

}  // namespace

bool WideStepsActive() { return WideSteps; }

bool SetWideStepsActive(bool on) {
    const bool before = WideSteps;
    WideSteps = on && kProcessorHasAvx2;
    return before;
}
