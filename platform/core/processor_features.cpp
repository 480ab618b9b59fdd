#include "platform/core/processor_features.h"

namespace plat {

bool ProcessorHasAvx2() {
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
    // Asked from static initialisers, which may run before the runtime's own cpu set-up.
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
#else
    return false;
#endif
}

}  // namespace plat
