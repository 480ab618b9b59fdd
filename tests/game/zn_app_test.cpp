#include "zn_app.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "api.h"
#include "game_time.h"
#include "tests/game/stand_in/app_stand_in.h"
#include "zn_frame.h"
#include "zn_screen.h"

namespace {

// The application with its state in reach of the tests.
class TestApp : public ZnApp {
public:
    using ZnApp::screens_;
    void useFrame(ZnFrame* frame) { frame_ = frame; }
    int32_t stepStart() const { return stepStartTime_; }
};

// A frame that runs a given number of steps, recording the start time of each and letting
// the test act inside a step (a stall, a look at the keys).
class RecordingFrame : public ZnFrame {
public:
    RecordingFrame(TestApp& app, AppStandIn& lib) : app_(app), lib_(lib) {}

    void update() override {
        ++stepsRun;
        starts.push_back(app_.stepStart());
        lib_.note("update " + std::to_string(stepsRun));
        if (onStep) onStep(stepsRun);
    }
    bool init() override {
        lib_.note("frame init");
        return initResult;
    }
    const char* getTitle() const override { return "VORNAST"; }
    bool isRunning() const override { return stepsRun < stopAfter; }

    int stopAfter = 1000000;
    bool initResult = true;
    int stepsRun = 0;
    std::vector<int32_t> starts;
    std::function<void(int step)> onStep;

private:
    TestApp& app_;
    AppStandIn& lib_;
};

class NamedScreen : public ZnScreen {
public:
    NamedScreen(AppStandIn& lib, std::string name) : lib_(lib), name_(std::move(name)) {}
    void draw() override { lib_.note("draw " + name_); }

private:
    AppStandIn& lib_;
    std::string name_;
};

// The loop on the virtual clock: every read of the clock moves it by 10 us, so the busy wait
// ends on time and a step takes no time of its own unless the test stalls it.
class AppLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppStandIn::resetClock();
        AppStandIn::setClockReadStep(10);
    }
    void TearDown() override { AppStandIn::resetClock(); }

    // Runs steps 1..n from the clock's present value.
    void runSteps(int n) {
        frame_.stopAfter = n;
        app_.useFrame(&frame_);
        app_.run();
    }

    // For each step run, whether it drew (cleared, drew and presented).
    std::vector<bool> drawnSteps() const {
        std::vector<bool> drawn;
        for (const std::string& line : lib_.log()) {
            if (line.rfind("update ", 0) == 0) drawn.push_back(false);
            if (line == "clear" && !drawn.empty()) drawn.back() = true;
        }
        return drawn;
    }

    // Start times relative to the first step's start.
    std::vector<int32_t> relativeStarts() const {
        std::vector<int32_t> out;
        for (int32_t t : frame_.starts) {
            out.push_back(static_cast<int32_t>(static_cast<uint32_t>(t) -
                                               static_cast<uint32_t>(frame_.starts[0])));
        }
        return out;
    }

    void stallAtStep(int step, int ms) {
        frame_.onStep = [step, ms](int s) {
            if (s == step) AppStandIn::advanceClock(static_cast<uint64_t>(ms) * 1000);
        };
    }

    AppStandIn lib_;
    TestApp app_;
    RecordingFrame frame_{app_, lib_};
};

TEST_F(AppLoopTest, StepsAreTenMillisecondsApartAndEachDraws) {
    runSteps(5);
    EXPECT_EQ(relativeStarts(), (std::vector<int32_t>{0, 10, 20, 30, 40}));
    EXPECT_EQ(drawnSteps(), std::vector<bool>(5, true));
}

TEST_F(AppLoopTest, AFiftyMillisecondStallRunsFiveStepsWithoutWaitingThenDrawsNormally) {
    stallAtStep(5, 50);  // step 5 starts at 40 and ends at 90
    runSteps(14);
    // Steps 6 to 10 all start at 90: the loop catches up without waiting and without
    // skipping any step's update; from step 11 on it is back on the 10 ms grid.
    EXPECT_EQ(relativeStarts(),
              (std::vector<int32_t>{0, 10, 20, 30, 40, 90, 90, 90, 90, 90, 100, 110, 120, 130}));
    // Drawing is dropped while the lateness is paid back, then every step draws again.
    EXPECT_EQ(drawnSteps(), (std::vector<bool>{true, true, true, true, true, false, false, false,
                                               false, true, true, true, true, true}));
}

struct StallCase {
    int stallMs;            // the stall of step 1, which starts at 0
    int32_t secondStart;    // where steps 2 and 3 start
    int32_t thirdStart;
};

TEST_F(AppLoopTest, AStallOverTheLimitResynchronisesInsteadOfRunningTheMissedSteps) {
    const StallCase cases[] = {
        {110, 110, 110},  // 100 ms late: still caught up step by step
        {111, 111, 121},  // 101 ms late: counted again from that moment
        {250, 250, 260},
    };
    for (const StallCase& c : cases) {
        SCOPED_TRACE(c.stallMs);
        AppStandIn::resetClock();
        AppStandIn::setClockReadStep(10);
        lib_.log().clear();
        frame_.starts.clear();
        frame_.stepsRun = 0;
        stallAtStep(1, c.stallMs);
        runSteps(6);
        const std::vector<int32_t> starts = relativeStarts();
        ASSERT_EQ(starts.size(), 6u);
        EXPECT_EQ(starts[1], c.secondStart);
        EXPECT_EQ(starts[2], c.thirdStart);
    }
}

TEST_F(AppLoopTest, AfterResynchronisingEveryStepDrawsOnTheNewGrid) {
    stallAtStep(3, 250);  // step 3 starts at 20 and ends at 270
    runSteps(7);
    EXPECT_EQ(relativeStarts(), (std::vector<int32_t>{0, 10, 20, 270, 280, 290, 300}));
    EXPECT_EQ(drawnSteps(), std::vector<bool>(7, true));
}

TEST_F(AppLoopTest, TheClockWrappingDoesNotDisturbTheSteps) {
    // Just before the clock's value turns negative as a signed number, and just before it
    // wraps to 0.
    const uint64_t startsMs[] = {(1ull << 31) - 35, (1ull << 32) - 35};
    for (uint64_t startMs : startsMs) {
        SCOPED_TRACE(startMs);
        AppStandIn::resetClock();
        AppStandIn::setClockReadStep(10);
        AppStandIn::advanceClock(startMs * 1000);
        lib_.log().clear();
        frame_.starts.clear();
        frame_.stepsRun = 0;
        runSteps(8);
        EXPECT_EQ(relativeStarts(), (std::vector<int32_t>{0, 10, 20, 30, 40, 50, 60, 70}));
        EXPECT_EQ(drawnSteps(), std::vector<bool>(8, true));
    }
}

TEST_F(AppLoopTest, PressingPSavesOneScreenshotPerPressNotPerStepHeld) {
    constexpr int kP = 0x19;
    lib_.setKeysAt(3, {kP});
    lib_.setKeysAt(4, {kP});
    lib_.setKeysAt(5, {kP});
    lib_.setKeysAt(8, {kP, 0x2C});
    runSteps(10);
    const std::vector<std::string> saves =
        lib_.logWithout({"update", "clear", "present", "pump", "term"});
    const std::string shot = "save 0 0 640 480 D20240305T070809-042.bmp 0 80 1 -1";
    EXPECT_EQ(saves, (std::vector<std::string>{shot, shot}));
    // The saves come in steps 3 and 8, after the frame's update and before the drawing.
    const std::vector<std::string>& log = lib_.log();
    for (const char* step : {"update 3", "update 8"}) {
        auto it = std::find(log.begin(), log.end(), step);
        ASSERT_NE(it, log.end());
        EXPECT_EQ(*(it + 1), shot) << step;
        EXPECT_EQ(*(it + 2), "clear") << step;
    }
}

TEST_F(AppLoopTest, KeyTriggersSeeThePreviousStepsSnapshot) {
    constexpr int kZ = 0x2C;
    lib_.setKeysAt(2, {kZ, 1});
    lib_.setKeysAt(3, {kZ});
    lib_.setKeysAt(5, {kZ});
    std::vector<bool> z;
    std::vector<bool> escape;
    frame_.onStep = [&](int) {
        z.push_back(app_.isKeyTrigger(kZ));
        escape.push_back(app_.isEscapeTrigger());
    };
    runSteps(5);
    EXPECT_EQ(z, (std::vector<bool>{false, true, false, false, true}));
    EXPECT_EQ(escape, (std::vector<bool>{false, true, false, false, false}));
    EXPECT_FALSE(app_.isKeyTrigger(-1));
    EXPECT_FALSE(app_.isKeyTrigger(256));
}

TEST_F(AppLoopTest, AFailedKeyReadCountsAsNoKeyRatherThanAnOlderSnapshot) {
    constexpr int kP = 0x19;
    // P is down in the first read; the next two reads fail. The third step's buffer last held
    // the first step's snapshot: read as it stood, it would press P a second time.
    lib_.setKeysAt(1, {kP});
    lib_.failKeyReadAt(2);
    lib_.failKeyReadAt(3);
    runSteps(4);
    int saves = 0;
    for (const std::string& line : lib_.log()) saves += line.rfind("save ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(saves, 1);
}

TEST_F(AppLoopTest, ScreensDrawInSlotOrderSkippingEmptySlots) {
    NamedScreen a(lib_, "A");
    NamedScreen b(lib_, "B");
    NamedScreen c(lib_, "C");
    app_.resizeScreens(6);
    app_.addScreen(&a);
    app_.addScreen(&b);
    app_.addScreen(&c);
    app_.screens_.at(1) = nullptr;  // an empty slot between two screens
    runSteps(1);
    EXPECT_EQ(lib_.logWithout({"pump", "term"}),
              (std::vector<std::string>{"update 1", "clear", "draw A", "draw C", "present"}));

    // The next screen added fills the empty slot, so it draws between A and C.
    lib_.log().clear();
    app_.addScreen(&b);
    frame_.stepsRun = 0;
    runSteps(1);
    EXPECT_EQ(lib_.logWithout({"pump", "term"}),
              (std::vector<std::string>{"update 1", "clear", "draw A", "draw B", "draw C",
                                        "present"}));
}

TEST_F(AppLoopTest, AFullScreenListDropsTheNewScreen) {
    NamedScreen a(lib_, "A");
    NamedScreen b(lib_, "B");
    NamedScreen c(lib_, "C");
    app_.resizeScreens(2);
    app_.addScreen(&a);
    app_.addScreen(&b);
    app_.addScreen(&c);
    runSteps(1);
    EXPECT_EQ(lib_.logWithout({"pump", "term"}),
              (std::vector<std::string>{"update 1", "clear", "draw A", "draw B", "present"}));
}

TEST_F(AppLoopTest, ClearingOrResizingEmptiesTheList) {
    NamedScreen a(lib_, "A");
    NamedScreen b(lib_, "B");
    app_.resizeScreens(2);
    app_.addScreen(&a);
    app_.clearScreens();
    app_.addScreen(&b);
    runSteps(1);
    EXPECT_EQ(lib_.logWithout({"pump", "term"}),
              (std::vector<std::string>{"update 1", "clear", "draw B", "present"}));

    lib_.log().clear();
    app_.resizeScreens(3);
    frame_.stepsRun = 0;
    runSteps(1);
    EXPECT_EQ(lib_.logWithout({"pump", "term"}),
              (std::vector<std::string>{"update 1", "clear", "present"}));
}

TEST_F(AppLoopTest, TheLoopEndsOnQuitFromThePumpOrWhenTheFrameStops) {
    // The pump reports quit (the window was closed) in its fourth call: three steps ran.
    lib_.quitAtPump(4);
    runSteps(100);
    EXPECT_EQ(frame_.stepsRun, 3);
    EXPECT_EQ(lib_.log().back(), "term");
    EXPECT_EQ(lib_.logWithout({"update", "clear", "present"}),
              (std::vector<std::string>{"pump", "pump", "pump", "pump", "term"}));

    // The frame stops after two steps: the third pump is the last.
    lib_.log().clear();
    lib_.quitAtPump(0);
    frame_.stepsRun = 0;
    runSteps(2);
    EXPECT_EQ(lib_.logWithout({"update", "clear", "present"}),
              (std::vector<std::string>{"pump", "pump", "pump", "term"}));
}

TEST_F(AppLoopTest, WithoutAFrameTheLoopEndsAtOnce) {
    app_.useFrame(nullptr);
    app_.run();
    EXPECT_EQ(lib_.log(), (std::vector<std::string>{"pump", "term"}));
}

// The start-up.
class AppInitTest : public ::testing::Test {
protected:
    AppStandIn lib_;
    TestApp app_;
    RecordingFrame frame_{app_, lib_};
    const std::string question_ = std::string("question ") + "フルスクリーンで起動しますか?" +
                                  "|VORNAST|" + std::to_string(ApiButtonsYesNoCancel);
};

TEST_F(AppInitTest, TheAnswerChoosesTheWindowModeBeforeTheLibraryStarts) {
    struct Case {
        int answer;
        const char* windowMode;
    };
    const Case cases[] = {{ApiAnswerYes, "windowMode 0"}, {ApiAnswerNo, "windowMode 1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        lib_.log().clear();
        lib_.setAnswer(c.answer);
        EXPECT_TRUE(app_.init(&frame_));
        EXPECT_EQ(lib_.log(),
                  (std::vector<std::string>{question_, c.windowMode, "title VORNAST",
                                            "initLibrary", "fontType 1", "drawTarget -2",
                                            "frame init"}));
    }
}

TEST_F(AppInitTest, StartUpMakesTenEmptyScreenSlots) {
    NamedScreen a(lib_, "A");
    app_.resizeScreens(2);
    app_.addScreen(&a);
    ASSERT_TRUE(app_.init(&frame_));
    ASSERT_EQ(app_.screens_.size(), 10u);
    for (uint32_t i = 0; i < 10; ++i) EXPECT_EQ(app_.screens_.at(i), nullptr) << i;
}

TEST_F(AppInitTest, CancelEndsWithoutStartingTheLibrary) {
    lib_.setAnswer(ApiAnswerCancel);
    EXPECT_FALSE(app_.init(&frame_));
    EXPECT_EQ(lib_.log(), std::vector<std::string>{question_});
}

TEST_F(AppInitTest, ALibraryThatDoesNotStartEndsTheProgramSilently) {
    lib_.setInitResult(-1);
    EXPECT_FALSE(app_.init(&frame_));
    EXPECT_EQ(lib_.log(), (std::vector<std::string>{question_, "windowMode 1", "title VORNAST",
                                                    "initLibrary"}));
}

TEST_F(AppInitTest, AFrameThatDoesNotStartShowsTheErrorScreenAndWaitsForAKey) {
    frame_.initResult = false;
    EXPECT_FALSE(app_.init(&frame_));
    const std::string white = std::to_string(0xFFFFFFu);
    EXPECT_EQ(lib_.log(),
              (std::vector<std::string>{
                  question_, "windowMode 1", "title VORNAST", "initLibrary", "fontType 1",
                  "drawTarget -2", "frame init",
                  std::string("text 0 0 ") + "初期化に失敗しました" + " " + white + " 0",
                  std::string("text 380 460 ") + "何かキーを押すと終了します" + " " + white + " 0",
                  "present", "waitInput", "term"}));
}

TEST_F(AppInitTest, WithoutAFrameTheQuestionCarriesTheDefaultTitle) {
    EXPECT_TRUE(app_.init(nullptr));
    EXPECT_EQ(lib_.log(),
              (std::vector<std::string>{std::string("question ") +
                                            "フルスクリーンで起動しますか?" + "|ZnApp|3",
                                        "windowMode 1", "title ZnApp", "initLibrary",
                                        "fontType 1", "drawTarget -2"}));
}

TEST(AppFrameTest, TheBaseFrameTitleIsZnApp) {
    struct MinimalFrame : ZnFrame {
        void update() override {}
        bool init() override { return true; }
        bool isRunning() const override { return false; }
    } frame;
    EXPECT_STREQ(frame.getTitle(), "ZnApp");
}

TEST(AppScreenShotTest, TheNameCarriesTheDateTimeAndMilliseconds) {
    struct Case {
        ApiDateTime when;
        const char* expected;
    };
    const Case cases[] = {
        {{2024, 3, 5, 7, 8, 9, 42}, "D20240305T070809-042.bmp"},
        {{1999, 12, 31, 23, 59, 59, 999}, "D19991231T235959-999.bmp"},
        {{2030, 1, 1, 0, 0, 0, 0}, "D20300101T000000-000.bmp"},
    };
    AppStandIn lib;
    TestApp app;
    for (const Case& c : cases) {
        lib.log().clear();
        lib.setDateTime(c.when);
        app.saveScreenShot();
        EXPECT_EQ(lib.log(), std::vector<std::string>{std::string("save 0 0 640 480 ") +
                                                      c.expected + " 0 80 1 -1"});
    }
}

}  // namespace

namespace {

// The game's seconds count from 1970 on the date and time the library reports (so a run with a
// fixed start time seeds rand() the same way every time).
TEST(GameTimeTest, SecondsCountFromTheStartOf1970) {
    struct Case {
        ApiDateTime when;
        long long seconds;
    };
    const Case cases[] = {
        {{2024, 3, 5, 7, 8, 9, 0}, 1709622489LL},
        {{1970, 1, 1, 0, 0, 0, 0}, 0LL},
        {{2000, 2, 29, 12, 0, 1, 999}, 951825601LL},  // a leap day; milliseconds dropped
        {{1969, 12, 31, 23, 59, 59, 0}, -1LL},
        {{2100, 3, 1, 0, 0, 0, 0}, 4107542400LL},  // 2100 is not a leap year
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(secondsSinceEpoch(c.when), c.seconds);
    }
}

TEST(GameTimeTest, TheCurrentTimeIsTheLibrarysDateAndTime) {
    {
        AppStandIn lib;
        lib.setDateTime({2000, 2, 29, 12, 0, 1, 250});
        EXPECT_EQ(currentTimeSeconds(), 951825601LL);
    }
    // Without a date to read the time is 0, not whatever the buffer held.
    EXPECT_EQ(currentTimeSeconds(), 0LL);
}

}  // namespace
