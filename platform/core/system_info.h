// Facts about the machine that the library's start-up logs and checks: the OS version (this
// layer reports version 5.1), the processor from cpuid, physical memory, the OEM code page,
// COM start and end, the screen saver switch, the desktop size and depth, the multimedia
// timer's finest period. Tests can replace each of them
// (platform/testing/window_test_controls.h).
#pragma once
#include <cstdint>

namespace plat {

struct OsVersionInfo {
    uint32_t platformId;  // 2: the NT family
    uint32_t major;
    uint32_t minor;
    uint32_t build;
    char service[128];  // service-pack text
    char system[160];   // the running kernel's name and release ("Linux 6.8.0"), "" if unknown
};
// NT 5.1 (the version the library branches on), with the running kernel as uname names it:
// its name and release, and its build number and version text in place of build 2600 and
// "Service Pack 3" when the kernel reports them.
OsVersionInfo GetOsVersion();

struct CpuInfo {
    bool hasCpuid;
    char vendor[13];  // function 0: EBX, EDX, ECX
    char brand[49];   // functions 0x80000002-0x80000004, "" when not offered
    bool hasTimeStampCounter;  // function 1, EDX bit 4
    bool hasMmx;               // function 1, EDX bit 23
};
CpuInfo GetCpuInfo();

struct MemoryStatus {
    uint32_t totalPhysical;  // bytes, clamped to 0xFFFFFFFF
    uint32_t freePhysical;
};
MemoryStatus GetMemoryStatus();

// 932.
uint32_t GetOemCodePage();

// Starting COM does nothing and succeeds: 0 (a negative value on failure, tests only).
int32_t StartCom();
void EndCom();

// The screen-saver switch, kept by this layer (on at start).
bool IsScreenSaverActive();
void SetScreenSaverActive(bool active);

struct DesktopInfo {
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel;  // a desktop of 4 bytes per pixel is 32, never 24
};
// The desktop as the window backend reports it: GetDesktopInfo (platform/window/window.h).

// The multimedia timer's finest period in milliseconds (1).
uint32_t GetTimerMinimumPeriod();


}  // namespace plat
