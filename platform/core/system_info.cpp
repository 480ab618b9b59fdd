// System facts: OS version, processor, memory, code page, COM, screen saver, desktop.
#include "platform/core/system_info.h"

#include <sys/sysinfo.h>
#include <sys/utsname.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include "platform/core/fault_injection.h"
#include "platform/core/system_facts_overrides.h"

namespace plat {

namespace {

std::atomic<bool> g_screenSaverActive{true};

CpuInfo ReadCpu() {
    CpuInfo info{};
#if defined(__x86_64__) || defined(__i386__)
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(0, &eax, &ebx, &ecx, &edx) == 0) return info;
    info.hasCpuid = true;
    std::memcpy(info.vendor + 0, &ebx, 4);
    std::memcpy(info.vendor + 4, &edx, 4);
    std::memcpy(info.vendor + 8, &ecx, 4);
    info.vendor[12] = '\0';
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0) {
        info.hasTimeStampCounter = (edx & (1u << 4)) != 0;
        info.hasMmx = (edx & (1u << 23)) != 0;
    }
    if (__get_cpuid(0x80000000u, &eax, &ebx, &ecx, &edx) != 0 && eax >= 0x80000004u) {
        for (unsigned int i = 0; i < 3; ++i) {
            unsigned int r[4];
            __get_cpuid(0x80000002u + i, &r[0], &r[1], &r[2], &r[3]);
            std::memcpy(info.brand + i * 16, r, 16);
        }
        info.brand[48] = '\0';
    }
#endif
    return info;
}

uint32_t Clamp32(unsigned long long value) {
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

}  // namespace

OsVersionInfo GetOsVersion() {
    SystemFactOverrides& o = SystemFactOverridesState();
    std::lock_guard<std::mutex> hold(o.mutex);
    if (o.os) return o.osValue;
    OsVersionInfo info{};
    info.platformId = 2;
    info.major = 5;
    info.minor = 1;
    info.build = 2600;
    std::strcpy(info.service, "Service Pack 3");
    struct utsname names {};
    if (uname(&names) == 0) {
        std::snprintf(info.system, sizeof(info.system), "%s %s", names.sysname, names.release);
        // The kernel's version text starts with its build number ("#1 SMP ..."): the log
        // shows that number and the rest of the text in place of the Windows build and
        // service pack, so the whole line describes the system really running.
        const char* version = names.version;
        if (version[0] == '#') ++version;
        char* rest = nullptr;
        const unsigned long build = std::strtoul(version, &rest, 10);
        if (rest != version) {
            while (*rest == ' ') ++rest;
            info.build = static_cast<uint32_t>(build);
            std::snprintf(info.service, sizeof(info.service), "%s", rest);
        }
    }
    return info;
}

CpuInfo GetCpuInfo() {
    {
        SystemFactOverrides& o = SystemFactOverridesState();
        std::lock_guard<std::mutex> hold(o.mutex);
        if (o.cpu) return o.cpuValue;
    }
    return ReadCpu();
}

MemoryStatus GetMemoryStatus() {
    {
        SystemFactOverrides& o = SystemFactOverridesState();
        std::lock_guard<std::mutex> hold(o.mutex);
        if (o.memory) return o.memoryValue;
    }
    MemoryStatus status{};
    struct sysinfo si{};
    if (sysinfo(&si) == 0) {
        const unsigned long long unit = si.mem_unit == 0 ? 1 : si.mem_unit;
        status.totalPhysical = Clamp32(static_cast<unsigned long long>(si.totalram) * unit);
        status.freePhysical = Clamp32(static_cast<unsigned long long>(si.freeram) * unit);
    }
    return status;
}

uint32_t GetOemCodePage() {
    SystemFactOverrides& o = SystemFactOverridesState();
    std::lock_guard<std::mutex> hold(o.mutex);
    return o.codePage != 0 ? o.codePage : 932;
}

int32_t StartCom() { return ConsumeFault(FaultKind::ComStart) ? -1 : 0; }

void EndCom() {}

bool IsScreenSaverActive() { return g_screenSaverActive.load(); }
void SetScreenSaverActive(bool active) { g_screenSaverActive.store(active); }

uint32_t GetTimerMinimumPeriod() { return 1; }

SystemFactOverrides& SystemFactOverridesState() {
    static SystemFactOverrides* o = new SystemFactOverrides;  // lives for the whole process
    return *o;
}

}  // namespace plat
