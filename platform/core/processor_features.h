// What the processor offers beyond the baseline the program is built for, found once from
// cpuid, so that loops compiled for wider registers are chosen only where they can run.
#pragma once

namespace plat {

// True when the processor runs AVX2 instructions (x86-64 built with GCC or Clang only).
bool ProcessorHasAvx2();

}  // namespace plat
