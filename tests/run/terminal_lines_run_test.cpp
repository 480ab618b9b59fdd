// What the game says on the terminal (stderr) when the log file alone would leave the person at
// it guessing: a second start that ends at once, and a start without a display that runs on
// without a window. A start that asks for the headless backend says nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "platform/window/instance_lock.h"
#include "tests/run/game_runner.h"

namespace fs = std::filesystem;

namespace {

constexpr int kTimeLimitSeconds = 50;
const std::string kTitleScript = "3 shot title.png\n10 close\n";

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class TerminalLinesRunTest : public ::testing::Test {
protected:
    void SetUp() override { runner_.SetTimeLimit(kTimeLimitSeconds); }
    void TearDown() override { plat::ResetInstanceLocks(); }

    GameRunner runner_;
};

TEST_F(TerminalLinesRunTest, ASecondStartSaysSoInOneLineAndEndsWithCodeZero) {
    const fs::path dir = runner_.NewDir();
    // Another instance: the window class's lock in the run's lock folder, held by this process.
    plat::SetInstanceLockDirectory(dir.c_str());
    ASSERT_TRUE(plat::TakeSecondInstanceLock("VORNAST"));

    const GameRunResult run = runner_.Run(dir, kTitleScript);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.stderrText, Utf8(u8"二重起動されています、ソフトを終了します\n"));
    EXPECT_NE(run.log.find("二重起動されています、ソフトを終了します"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "title.png")) << "the second instance ran on";
    plat::ReleaseSecondInstanceLock("VORNAST");
}

TEST_F(TerminalLinesRunTest, AStartWithoutADisplaySaysSoAndRunsHeadless) {
    struct Case {
        const char* name;
        const char* video;  // ZN_VIDEO; empty takes the default
        bool said;
    } cases[] = {{"no display, ZN_VIDEO unset", "ZN_VIDEO=", true},
                 {"ZN_VIDEO=headless asked for", "ZN_VIDEO=headless", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path dir = runner_.NewDir();
        // The run's environment holds neither DISPLAY nor WAYLAND_DISPLAY.
        const GameRunResult run = runner_.Run(dir, kTitleScript, {c.video});
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitCode, 0) << run.stderrText;
        EXPECT_TRUE(fs::exists(dir / "title.png")) << "the game did not run";
        if (!c.said) {
            EXPECT_EQ(run.stderrText, "");
            continue;
        }
        ASSERT_FALSE(run.stderrText.empty());
        EXPECT_EQ(std::count(run.stderrText.begin(), run.stderrText.end(), '\n'), 1)
            << run.stderrText;
        EXPECT_EQ(run.stderrText.back(), '\n');
        EXPECT_NE(run.stderrText.find("DISPLAY"), std::string::npos) << run.stderrText;
        EXPECT_NE(run.stderrText.find("ZN_VIDEO"), std::string::npos) << run.stderrText;
        EXPECT_NE(run.stderrText.find("headless"), std::string::npos) << run.stderrText;
    }
}

}  // namespace
