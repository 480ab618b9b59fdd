// Internal to the platform layer: the replacements of the system facts that the test controls
// set (platform/testing/window_test_controls.h) and GetOsVersion and its neighbours read.
#pragma once
#include <cstdint>
#include <mutex>

#include "platform/core/system_info.h"

namespace plat {

struct SystemFactOverrides {
    std::mutex mutex;
    bool os = false;
    OsVersionInfo osValue{};
    bool cpu = false;
    CpuInfo cpuValue{};
    bool memory = false;
    MemoryStatus memoryValue{};
    uint32_t codePage = 0;  // 0: the real one
};

SystemFactOverrides& SystemFactOverridesState();

}  // namespace plat
