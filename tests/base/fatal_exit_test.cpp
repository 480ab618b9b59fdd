// The fatal exit as the lower layers see it: without the library's routine the text is logged
// and the caller gets -1; an installed driver gets the text instead.
#include "base/fatal_exit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/log_test_fixture.h"

namespace {

class FatalExitTest : public LogFixture {
protected:
    void TearDown() override {
        FatalExitSlot().Reset();
        LogFixture::TearDown();
    }
    static inline std::vector<std::string> texts_;
    static int Record(const char* text) {
        texts_.emplace_back(text);
        return 0;
    }
};

TEST_F(FatalExitTest, AbsentInstanceLogsTheTextAndFails) {
    ASSERT_TRUE(FatalExitSlot().IsAbsent());
    NewLogText();
    EXPECT_EQ(FatalExit("メモリの確保に失敗しました"), -1);
    EXPECT_NE(NewLogText().find("メモリの確保に失敗しました\r\n"), std::string::npos);
}

TEST_F(FatalExitTest, InstalledDriverGetsTheTextAndTheCallerStillSeesFailure) {
    static constexpr FatalExitDriver kRecorder = {.exit = &Record};
    texts_.clear();
    FatalExitSlot().Install(kRecorder);
    NewLogText();
    // A driver that returns (a stand-in) still leaves the caller with a failure to report.
    EXPECT_EQ(FatalExit("quit"), -1);
    EXPECT_EQ(texts_, std::vector<std::string>{"quit"});
    EXPECT_EQ(NewLogText(), "") << "the installed driver decides what is logged";
    FatalExitSlot().Reset();
    EXPECT_EQ(FatalExit("again"), -1);
    EXPECT_EQ(texts_.size(), 1u);
}

}  // namespace
