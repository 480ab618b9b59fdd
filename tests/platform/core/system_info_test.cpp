#include <gtest/gtest.h>

#include <sys/utsname.h>

#include <cstring>
#include <cstdio>
#include <string>

#include "platform/core/system_info.h"
#include "platform/window/window.h"
#include "platform/testing/window_test_controls.h"
#include "tests/platform/window/window_fixture.h"

namespace {

using namespace plat;

using SystemInfoTest = WindowFixture;

TEST_F(SystemInfoTest, ReportsWindowsXpFacts) {
    const OsVersionInfo os = GetOsVersion();
    EXPECT_EQ(os.platformId, 2u);
    EXPECT_EQ(os.major, 5u);
    EXPECT_EQ(os.minor, 1u);
    // The system's own name is the kernel's, as uname gives it, and so are the build number
    // and the text after it when the kernel's version text starts with "#N".
    struct utsname names {};
    ASSERT_EQ(uname(&names), 0);
    EXPECT_EQ(std::string(os.system), std::string(names.sysname) + " " + names.release);
    const std::string version = names.version;
    unsigned build = 0;
    int used = 0;
    if (std::sscanf(version.c_str(), "#%u %n", &build, &used) >= 1 && used > 0) {
        EXPECT_EQ(os.build, build);
        EXPECT_EQ(std::string(os.service), version.substr(static_cast<size_t>(used)));
    } else {
        EXPECT_EQ(os.build, 2600u);
        EXPECT_STREQ(os.service, "Service Pack 3");
    }
    EXPECT_EQ(GetOemCodePage(), 932u);
    EXPECT_EQ(GetTimerMinimumPeriod(), 1u);
    EXPECT_EQ(StartCom(), 0);
    EndCom();
    EXPECT_EQ(StartCom(), 0);  // no-ops: starting again succeeds too
}

TEST_F(SystemInfoTest, ProcessorAndMemoryComeFromTheMachine) {
    const CpuInfo cpu = GetCpuInfo();
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_TRUE(cpu.hasCpuid);
    EXPECT_EQ(std::strlen(cpu.vendor), 12u);
    EXPECT_TRUE(cpu.hasTimeStampCounter);
    EXPECT_TRUE(cpu.hasMmx);
#endif
    EXPECT_LT(std::strlen(cpu.brand), sizeof cpu.brand);
    const MemoryStatus memory = GetMemoryStatus();
    EXPECT_GT(memory.totalPhysical, 0u);
    EXPECT_LE(memory.freePhysical, memory.totalPhysical);
}

TEST_F(SystemInfoTest, DesktopAndScreenSaverAreSettingsOfTheLayer) {
    DesktopInfo d = GetDesktopInfo();
    EXPECT_EQ(d.width, 1920);
    EXPECT_EQ(d.height, 1080);
    EXPECT_EQ(d.bitsPerPixel, 32);
    SetHeadlessDesktop(1024, 768, 24);
    d = GetDesktopInfo();
    EXPECT_EQ(d.width, 1024);
    EXPECT_EQ(d.bitsPerPixel, 24);

    EXPECT_TRUE(IsScreenSaverActive());
    SetScreenSaverActive(false);
    EXPECT_FALSE(IsScreenSaverActive());
    ResetWindowTestControls();
    EXPECT_TRUE(IsScreenSaverActive());
    EXPECT_EQ(GetDesktopInfo().bitsPerPixel, 32);
}

TEST_F(SystemInfoTest, TestsCanReplaceEveryFact) {
    OsVersionInfo vista{2, 6, 0, 6000, "", "Windows Vista"};
    SetOsVersionForTests(&vista);
    EXPECT_EQ(GetOsVersion().major, 6u);
    CpuInfo cpu{};
    std::strcpy(cpu.vendor, "GenuineTest!");
    SetCpuInfoForTests(&cpu);
    EXPECT_STREQ(GetCpuInfo().vendor, "GenuineTest!");
    EXPECT_FALSE(GetCpuInfo().hasMmx);
    MemoryStatus memory{0xFFFFFFFFu, 123};
    SetMemoryStatusForTests(&memory);
    EXPECT_EQ(GetMemoryStatus().freePhysical, 123u);
    SetOemCodePageForTests(949);
    EXPECT_EQ(GetOemCodePage(), 949u);
    FailNextComStarts(1);
    EXPECT_LT(StartCom(), 0);
    EXPECT_EQ(StartCom(), 0);

    SetOsVersionForTests(nullptr);
    SetCpuInfoForTests(nullptr);
    SetMemoryStatusForTests(nullptr);
    SetOemCodePageForTests(0);
    EXPECT_EQ(GetOsVersion().major, 5u);
    EXPECT_EQ(GetOemCodePage(), 932u);
}

}  // namespace
