// The fatal error routine: the text goes to the log, the library is shut down and the process
// ends with exit code -1. Each case runs in a forked child (a death test); the child writes its
// log into this test's temporary directory, where the parent reads it afterwards.
#include "library/fatal_error.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/core/clock.h"
#include "platform/core/thread.h"
#include "tests/support/library_fixture.h"

namespace {

using ::testing::ExitedWithCode;

class FatalErrorTest : public LibraryFixture {
protected:
    // A started log in the temporary directory, without the rest of the library.
    void StartLogOnly() {
        SetLogDirectory(dir_.str().c_str());
        StartLog();
    }
};

TEST_F(FatalErrorTest, OnTheMainThreadLogsTheTextShutsDownAndExits) {
    EXPECT_EXIT(
        {
            ApiInitLibrary();
            ApiLock();  // fatal errors are met inside the library, under its lock
            FatalError("描画に失敗しました");
        },
        ExitedWithCode(255), "");

    const int fatal = FindLine("描画に失敗しました");
    ASSERT_GE(fatal, 0);
    const int graphics = FindLine("グラフィック管理系の終了処理は正常に終了しました", fatal);
    const int close = FindLine("ウインドウを閉じようとしています", fatal);
    const int destroy = FindLine("ウインドウが破棄されようとしています", fatal);
    const int com = FindLine("ＣＯＭを終了... 完了", fatal);
    const int dump = FindLine("Alloc memory dump", fatal);
    EXPECT_GT(graphics, fatal);
    EXPECT_GT(close, graphics);
    EXPECT_GT(destroy, close);
    EXPECT_GT(com, destroy);
    EXPECT_GT(dump, com);
}

TEST_F(FatalErrorTest, OnThePumpThreadDoesNotWaitForItself) {
    EXPECT_EXIT(
        {
            // Start-up puts the library's own pump services in place: these replace them
            // afterwards, under the lock, since the pump thread already runs.
            ApiInitLibrary();
            ApiLock();
            InstallTestPumpServices().pollMusic = [] {
                if (plat::CurrentThreadId() != GetWindowData().window.mainThreadId) {
                    FatalError("ポンプスレッドで止まりました");
                }
            };
            ApiUnlock();
            // The main thread stays out of the library; the pump thread meets the error. (Its
            // sleeps are the platform's, so that under the virtual clock time still passes.)
            for (;;) plat::SleepMs(1);
        },
        ExitedWithCode(255), "");

    const int fatal = FindLine("ポンプスレッドで止まりました");
    ASSERT_GE(fatal, 0);
    EXPECT_GT(FindLine("ＣＯＭを終了... 完了", fatal), fatal);
    EXPECT_GT(FindLine("Alloc memory dump", fatal), fatal);
    // Only the main thread can take its window down.
    EXPECT_LT(FindLine("ウインドウを閉じようとしています", fatal), 0);
}

TEST_F(FatalErrorTest, BeforeStartUpShutsDownWithoutWaitingForAWindow) {
    EXPECT_EXIT(
        {
            StartLogOnly();
            FatalErrorFormat("ハンドル %d の %s が壊れています", 42, "ABC");
        },
        ExitedWithCode(255), "");
    const int fatal = FindLine("ハンドル 42 の ABC が壊れています");
    ASSERT_GE(fatal, 0);
    EXPECT_GT(FindLine("Alloc memory dump", fatal), fatal);
}

TEST_F(FatalErrorTest, FormattedTextIsCutToItsBuffer) {
    const std::string longText(3000, 'x');
    EXPECT_EXIT(
        {
            StartLogOnly();
            FatalErrorFormat("%s", longText.c_str());
        },
        ExitedWithCode(255), "");
    const int fatal = FindLine("xxxx");
    ASSERT_GE(fatal, 0);
    EXPECT_EQ(LogLines()[static_cast<size_t>(fatal)], std::string(1023, 'x'));
}

}  // namespace
