#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "platform/core/debug_output.h"
#include "platform/core/file.h"
#include "base/log.h"
#include "tests/support/log_test_fixture.h"

namespace {

// ---- the file's bytes for a sequence of log calls ----------------------------------------

enum class Op { Write, Format, IndentAdd, IndentSub };

struct Step {
    uint32_t advanceMs;  // the virtual clock moves on by this much before the call
    Op op;
    std::string text;
};

struct LogCase {
    const char* name;
    std::vector<Step> steps;
    std::string expected;
};

void PrintTo(const LogCase& c, std::ostream* os) { *os << c.name; }

std::string ThreeHundredBytes() {
    std::string text;
    for (int i = 0; text.size() < 299; ++i) {
        text += (i % 50 == 49) ? '\n' : static_cast<char>('a' + i % 26);
    }
    return text + "\n";
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::vector<LogCase> LogCases() {
    return {
        {"TwoLinesInOneText",
         {{5, Op::Write, "first\nsecond\n"}, {2, Op::Write, "third\n"}},
         "5:first\r\nsecond\r\n7:third\r\n"},
        {"OpenLineThenItsEnd",
         {{3, Op::Write, "open "}, {6, Op::Write, "closed\n"}, {1, Op::Write, "next\n"}},
         "3:open closed\r\n10:next\r\n"},
        {"IndentsNeverBelowZero",
         {{0, Op::IndentAdd, ""}, {0, Op::IndentAdd, ""}, {1, Op::Write, "two\n"},
          {0, Op::IndentSub, ""}, {1, Op::Write, "one\n"},
          {0, Op::IndentSub, ""}, {0, Op::IndentSub, ""}, {1, Op::Write, "none\n"},
          {0, Op::IndentAdd, ""}, {1, Op::Write, "one again\n"}},
         "1:\t\ttwo\r\n2:\tone\r\n3:none\r\n4:\tone again\r\n"},
        {"TabsOnlyAtTheStartOfALine",
         {{0, Op::IndentAdd, ""}, {0, Op::Write, "a"}, {0, Op::Write, "b\n"}},
         "0:\tab\r\n"},
        {"ThreeHundredByteText", {{4, Op::Write, ThreeHundredBytes()}},
         "4:" + WithCrLf(ThreeHundredBytes())},
        {"CrLfPresentThenLoneLineFeed",
         {{0, Op::Write, "a\r\nb\nc\n"}, {8, Op::Write, "d\n"}},
         "0:a\r\nb\nc\n8:d\r\n"},
        {"FormatAppendsTheLineEnd",
         {{2, Op::Format, ""}, {1, Op::Write, "x\n"}},
         "2:12 abc\r\n3:x\r\n"},
        {"EmptyTextWritesNothing",
         {{1, Op::Write, ""}, {1, Op::Write, "a\n"}},
         "2:a\r\n"},
        {"LeadByteBeforeTheTerminator",
         {{0, Op::Write, "ab\x82"}, {0, Op::Write, "\n"}},
         "0:ab\x82\r\n"},
        {"DoubleByteCharactersPassUnchanged",
         {{0, Op::Write, "\x82\xa0\x95\x5c\n"}},
         "0:\x82\xa0\x95\x5c\r\n"},
    };
}

class LogFileTest : public LogFixture, public ::testing::WithParamInterface<LogCase> {};

TEST_P(LogFileTest, WritesExactBytes) {
    for (const Step& step : GetParam().steps) {
        AdvanceMs(step.advanceMs);
        switch (step.op) {
            case Op::Write: EXPECT_EQ(LogWrite(step.text.c_str()), -1); break;
            case Op::Format: EXPECT_EQ(LogFormat("%d %s", 12, "abc"), -1); break;
            case Op::IndentAdd: EXPECT_EQ(LogIndentAdd(), 0); break;
            case Op::IndentSub: EXPECT_EQ(LogIndentSub(), 0); break;
        }
    }
    EXPECT_EQ(LogText(), GetParam().expected);
    // A long text's conversion buffer is given back.
    EXPECT_EQ(GetAllocState().count, 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, LogFileTest, ::testing::ValuesIn(LogCases()),
                         [](const ::testing::TestParamInfo<LogCase>& info) {
                             return std::string(info.param.name);
                         });

// ---- formatting into the fixed buffer ----------------------------------------------------

using LogFormatTest = LogFixture;

TEST_F(LogFormatTest, LongTextIsCutAndStillEndsTheLine) {
    std::string longText(3000, 'z');
    LogFormat("%s", longText.c_str());
    EXPECT_EQ(LogText(), "0:" + std::string(1022, 'z') + "\r\n");
    EXPECT_EQ(GetLogState().inLine, 0u);
}

TEST_F(LogFormatTest, CutDoesNotLeaveHalfACharacter) {
    // "x" and then double-byte characters: the cut at 1022 bytes falls after a lead byte.
    std::string text = "x";
    for (int i = 0; i < 1000; ++i) text += "\x82\xa0";
    LogFormat("%s", text.c_str());
    EXPECT_EQ(LogText(), "0:" + text.substr(0, 1021) + "\r\n");
}

// ---- where the log goes -------------------------------------------------------------------

using LogPlacementTest = LogFixture;

TEST_F(LogPlacementTest, DebuggerGetsTabsAndTextButNoPrefix) {
    plat::StartDebugCapture();
    AdvanceMs(25);
    LogIndentAdd();
    LogWrite("step ");
    LogWrite("done\n");
    LogFormat("value %d", 3);
    EXPECT_EQ(plat::TakeDebugCapture(), "\tstep done\r\n\tvalue 3\r\n");
    EXPECT_EQ(LogText(), "25:\tstep done\r\n25:\tvalue 3\r\n");
}

TEST_F(LogPlacementTest, NothingWrittenWithoutStartDirectory) {
    SetLogDirectory(nullptr);
    std::filesystem::remove(dir_.path() / "Log.txt");
    plat::StartDebugCapture();
    StartLog();
    LogWrite("lost\n");
    LogFormat("lost %d", 2);
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "Log.txt"));
    EXPECT_EQ(plat::TakeDebugCapture(), "");
}

TEST_F(LogPlacementTest, NothingWrittenWhenLogIsOff) {
    GetLogState().logOff = 1;
    LogWrite("lost\n");
    EXPECT_EQ(LogText(), "");
}

TEST_F(LogPlacementTest, WritesIntoStartDirectoryAfterDirectoryChange) {
    std::filesystem::create_directory(dir_.path() / "sub");
    ASSERT_TRUE(plat::SetCurrentDir((dir_.str() + "/sub").c_str()));
    LogWrite("here\n");
    EXPECT_EQ(LogText(), "0:here\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "sub" / "Log.txt"));
    EXPECT_EQ(std::filesystem::current_path(), dir_.path() / "sub");
}

TEST_F(LogPlacementTest, UnopenableFileLosesOnlyThatText) {
    plat::FailNextFileOpens(1);
    LogWrite("lost\n");
    LogWrite("kept\n");
    EXPECT_EQ(LogText(), "0:kept\r\n");
    EXPECT_EQ(std::filesystem::current_path(), dir_.path());
}

// ---- starting the log ----------------------------------------------------------------------

using StartLogTest = LogFixture;

TEST_F(StartLogTest, EmptiesTheFileAndRestartsClockAndIndent) {
    LogIndentAdd();
    LogWrite("old line\nand an open one");
    AdvanceMs(100);
    EXPECT_EQ(StartLog(), 1);
    AdvanceMs(42);
    LogWrite("new\n");
    EXPECT_EQ(LogText(), "42:new\r\n");
}

TEST_F(StartLogTest, DatedNameCarriesStartTime) {
    plat::LocalDateTime start{2008, 3, 7, 9, 5, 12, 0, 5};
    plat::SetFixedLocalTime(&start);
    GetLogState().datedName = 1;
    EXPECT_EQ(StartLog(), 1);
    LogWrite("dated\n");
    EXPECT_EQ(dir_.ReadFile("Log2008_3_7_9_5_12.txt"), "0:dated\r\n");
}

TEST_F(StartLogTest, PrefixOffLeavesOnlyTabsAndText) {
    GetLogState().prefixOff = 1;
    LogIndentAdd();
    LogWrite("bare\n");
    EXPECT_EQ(LogText(), "\tbare\r\n");
}

}  // namespace
