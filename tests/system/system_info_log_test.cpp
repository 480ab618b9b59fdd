// The system-information step of start-up: the OS name and code from the version facts, the
// processor's features, name and speed.
#include "system/system_info_log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/library_fixture.h"

namespace {

class SystemInfoLogTest : public LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        SetLogDirectory(dir_.str().c_str());
        StartLog();
    }

    static plat::CpuInfo Cpu(bool cpuid, bool tsc, bool mmx, const char* brand) {
        plat::CpuInfo cpu{};
        cpu.hasCpuid = cpuid;
        std::memcpy(cpu.vendor, "AuthenticAMD", 13);
        std::snprintf(cpu.brand, sizeof(cpu.brand), "%s", brand);
        cpu.hasTimeStampCounter = tsc;
        cpu.hasMmx = mmx;
        return cpu;
    }
};

struct OsCase {
    const char* name;
    uint32_t platformId, major, minor;
    const char* service;
    const char* line;
    int32_t code;
};

class OsNameTest : public SystemInfoLogTest, public ::testing::WithParamInterface<OsCase> {};

TEST_P(OsNameTest, NamesTheOsAndSetsItsCode) {
    const OsCase& c = GetParam();
    plat::OsVersionInfo os{c.platformId, c.major, c.minor, 1234, {}, {}};
    std::snprintf(os.service, sizeof(os.service), "%s", c.service);
    plat::SetOsVersionForTests(&os);
    GetWindowData().cpu.osCode = 77;  // an unknown version leaves the code alone

    EXPECT_EQ(OutputSystemInfo(), 0);
    EXPECT_GE(FindLine(std::string("\tＯＳ  ") + c.line), 0) << c.line;
    EXPECT_EQ(GetWindowData().cpu.osCode, c.code);
    EXPECT_STREQ(GetWindowData().cpu.osText, c.line);
    EXPECT_EQ(GetWindowData().cpu.directXVersion, 0x70000);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, OsNameTest,
    ::testing::Values(
        OsCase{"Win32s", 0, 3, 1, "", "Windows3.1 ( Build 1234  )", 0},
        OsCase{"Win95", 1, 4, 0, "B", "Windows95 ( Build 1234 B )", 1},
        OsCase{"Win95Osr2", 1, 4, 0, "C", "Windows95OSR2 ( Build 1234 C )", 1},
        OsCase{"Win98", 1, 4, 10, "", "Windows98 ( Build 1234  )", 2},
        OsCase{"Win98Se", 1, 4, 10, "A", "Windows98SE ( Build 1234 A )", 2},
        OsCase{"WinMe", 1, 4, 90, "", "WindowsMe ( Build 1234  )", 3},
        OsCase{"Nt351", 2, 3, 51, "", "WindowsNT 3.51 ( Build 1234  )", 260},
        OsCase{"Nt4", 2, 4, 0, "Service Pack 6", "Windows4.0 ( Build 1234 Service Pack 6 )", 261},
        OsCase{"Win2000", 2, 5, 0, "", "Windows2000 ( Build 1234  )", 262},
        OsCase{"WinXp", 2, 5, 1, "Service Pack 3", "WindowsXP ( Build 1234 Service Pack 3 )", 263},
        OsCase{"Vista", 2, 6, 0, "", "WindowsVista ( Build 1234  )", 264},
        OsCase{"UnknownNt", 2, 10, 0, "", "Windows ( Build 1234  )", 77},
        OsCase{"UnknownFamily", 1, 4, 50, "", "Windows ( Build 1234  )", 77}),
    [](const ::testing::TestParamInfo<OsCase>& info) { return std::string(info.param.name); });

TEST_F(SystemInfoLogTest, TheRunningSystemNamesTheOsWhileTheVersionGivesItsCode) {
    plat::OsVersionInfo os{2, 5, 1, 2600, "Service Pack 3", "Linux 6.1.0-test"};
    plat::SetOsVersionForTests(&os);
    EXPECT_EQ(OutputSystemInfo(), 0);
    EXPECT_GE(FindLine("\tＯＳ  Linux 6.1.0-test ( Build 2600 Service Pack 3 )"), 0);
    EXPECT_STREQ(GetWindowData().cpu.osText, "Linux 6.1.0-test ( Build 2600 Service Pack 3 )");
    EXPECT_EQ(GetWindowData().cpu.osCode, 263);  // still the XP code the library branches on
}

TEST_F(SystemInfoLogTest, TimeStampCounterGivesTheSpeedOverOneHundredMilliseconds) {
    const plat::CpuInfo cpu = Cpu(true, true, true, "Fast One");
    plat::SetCpuInfoForTests(&cpu);
    OutputSystemInfo();
    const WindowData& data = GetWindowData();
    // One millisecond per clock read: the count spans 102 ms of the time-stamp counter.
    EXPECT_EQ(data.cpu.cpuMhz, 1020);
    EXPECT_EQ(data.clock.cpuClock, 1020000000u);
    EXPECT_EQ(data.clock.useTimeStampCounter, 1u);
    EXPECT_EQ(data.cpu.mmx, 1u);
    EXPECT_STREQ(data.cpu.cpuName, "Fast One");
    const int speed = FindLine("\tＣＰＵ動作速度：大体1.02GHz");
    ASSERT_GE(speed, 0);
    EXPECT_EQ(FindLine("\tＭＭＸ命令を使用します"), speed + 1);
    EXPECT_EQ(FindLine("\tＣＰＵベンダ：AuthenticAMD"), speed + 2);
    EXPECT_EQ(FindLine("\tＣＰＵ名：Fast One"), speed + 3);
}

TEST_F(SystemInfoLogTest, ProcessorWithoutFeatures) {
    const plat::CpuInfo noMmx = Cpu(true, false, false, "");
    plat::SetCpuInfoForTests(&noMmx);
    OutputSystemInfo();
    EXPECT_TRUE(LogHas("ＭＭＸは使えません"));
    EXPECT_FALSE(LogHas("ＣＰＵ動作速度"));
    EXPECT_FALSE(LogHas("ＣＰＵ名"));
    EXPECT_TRUE(LogHas("ＣＰＵベンダ：AuthenticAMD"));
    EXPECT_EQ(GetWindowData().cpu.mmx, 0u);
    EXPECT_EQ(GetWindowData().cpu.cpuName[0], '\0');
    EXPECT_EQ(GetWindowData().clock.useTimeStampCounter, 0u);

    // Without CPUID nothing more is asked of the processor.
    const plat::CpuInfo none = Cpu(false, true, true, "ignored");
    plat::SetCpuInfoForTests(&none);
    OutputSystemInfo();
    EXPECT_TRUE(LogHas("ＣＰＵＩＤ命令は使えません"));
    EXPECT_EQ(GetWindowData().clock.useTimeStampCounter, 0u);
    EXPECT_EQ(GetWindowData().cpu.cpuName[0], '\0');
    // The indent raised for the block is lowered again.
    EXPECT_EQ(GetLogState().indent, 0);
}

}  // namespace
