// The start-up reset of WindowData: what it keeps and what it zeroes.
#include "system/window_data.h"

#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>
#include "base/sjis_string.h"
#include "base/api_lock.h"
#include "base/log.h"
#include "base/tracked_memory.h"

namespace {

template <class Record>
void Fill(Record& record, unsigned char byte) {
    static_assert(std::is_trivially_copyable_v<Record>);
    std::memset(static_cast<void*>(&record), byte, sizeof(Record));
}

template <class Record>
bool SameBytes(const Record& a, const Record& b) {
    return std::memcmp(&a, &b, sizeof(Record)) == 0;
}

template <class Record>
bool AllZero(const Record& record) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    for (size_t i = 0; i < sizeof(Record); ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}

class WindowDataTest : public ::testing::Test {
protected:
    void TearDown() override {
        WindowData& data = GetWindowData();
        ResetWindowDataForStartUp();
        data.settings = WindowSettings{};
        data.cpu = CpuFacts{};
        GetLogState() = LogState{};
        data.clock = ClockState{};
        data.library = LibraryState{};
        data.startDirectory[0] = '\0';
        SetCharSet(1);
        GetAllocState().count = savedCount_;
    }
    uint32_t savedCount_ = GetAllocState().count;
};

TEST_F(WindowDataTest, StartUpResetKeepsWhatWasSettledAndZeroesTheRest) {
    WindowData& data = GetWindowData();
    Fill(data.settings, 0x5A);
    Fill(data.cpu, 0x5B);
    std::strcpy(data.startDirectory, "/start/here");
    Fill(GetLogState(), 0x11);
    Fill(data.clock, 0x22);
    Fill(data.library, 0x33);
    Fill(data.machine, 0x44);
    Fill(data.window, 0x55);
    Fill(data.droppedFiles, 0x66);
    Fill(data.inputChars, 0x77);
    SetCharSet(2);
    GetAllocState().count = 1234;
    GetApiLockState().recursion = 3;

    const WindowSettings settings = data.settings;
    const CpuFacts cpu = data.cpu;
    const LogState log = GetLogState();
    const ClockState clock = data.clock;
    const LibraryState library = data.library;

    ResetWindowDataForStartUp();

    // Kept whole: the settings, the processor facts and the start directory; the base
    // services' records (memory list, lock) are not the block's and stay as they are.
    EXPECT_TRUE(SameBytes(data.settings, settings));
    EXPECT_TRUE(SameBytes(data.cpu, cpu));
    EXPECT_STREQ(data.startDirectory, "/start/here");
    EXPECT_EQ(GetAllocState().count, 1234u);
    EXPECT_EQ(GetApiLockState().recursion, 3);
    GetApiLockState().recursion = 0;

    // The log keeps its switches, name and clock; a new start begins at no indent, no open line.
    EXPECT_EQ(GetLogState().logOff, log.logOff);
    EXPECT_EQ(GetLogState().datedName, log.datedName);
    EXPECT_EQ(GetLogState().prefixOff, log.prefixOff);
    EXPECT_EQ(std::memcmp(GetLogState().fileName, log.fileName, sizeof(log.fileName)), 0);
    EXPECT_EQ(GetLogState().startTime, log.startTime);
    EXPECT_EQ(GetLogState().indent, 0);
    EXPECT_EQ(GetLogState().inLine, 0u);

    // The clock keeps the processor's counter facts only.
    EXPECT_EQ(data.clock.useTimeStampCounter, clock.useTimeStampCounter);
    EXPECT_EQ(data.clock.cpuClock, clock.cpuClock);
    EXPECT_EQ(data.clock.usePerformanceCounter, 0u);
    EXPECT_EQ(data.clock.performanceFrequency, 0u);
    EXPECT_EQ(data.clock.started, 0u);

    // Start-up's own progress stays; the rest of the library record goes.
    EXPECT_EQ(data.library.inStartUp, library.inStartUp);
    EXPECT_EQ(data.library.comStarted, library.comStarted);
    EXPECT_EQ(data.library.ending, 0u);

    EXPECT_TRUE(AllZero(data.machine));
    EXPECT_TRUE(AllZero(data.droppedFiles));
    EXPECT_TRUE(AllZero(data.inputChars));
    EXPECT_EQ(GetCharSet(), 0);
    EXPECT_EQ(data.window.inactiveSince, 0xFFFFFFFFu);
    data.window.inactiveSince = 0;
    EXPECT_TRUE(AllZero(data.window));
}

}  // namespace
