// A scripted headless run of the main loop on the real library: the script's keys and close
// reach the frame through the library's pump and input reads, step by step.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "api.h"
#include "platform/backend/headless/scripted_input.h"
#include "tests/support/library_fixture.h"
#include "zn_app.h"
#include "zn_frame.h"

namespace {

class ScriptedApp : public ZnApp {
public:
    // The newest keyboard snapshot's byte of a key.
    bool keyDown(int key) const { return newestKeys()[key] != 0; }
};

struct StepSeen {
    bool zDown;
    bool zTrigger;
    int shot;  // the joypad's test of the shot button: 1 pressed, 3 held, 2 released, 0 up
    bool escapeTrigger;

    bool operator==(const StepSeen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const StepSeen& s) {
    return out << "{z " << s.zDown << ", trigger " << s.zTrigger << ", shot " << s.shot
               << ", escape " << s.escapeTrigger << "}";
}

class ScriptFrame : public ZnFrame {
public:
    explicit ScriptFrame(ScriptedApp& app) : app_(app) {}
    void update() override {
        constexpr int kZ = 0x2C;
        seen.push_back({app_.keyDown(kZ), app_.isKeyTrigger(kZ),
                        app_.getJoypad(0).test(PAD_SHOT), app_.isEscapeTrigger()});
    }
    bool init() override { return true; }
    bool isRunning() const override { return true; }  // only the window's close ends this run

    std::vector<StepSeen> seen;

private:
    ScriptedApp& app_;
};

class ScriptedRunTest : public LibraryFixture {
protected:
    void TearDown() override {
        plat::ResetScriptedInput();
        LibraryFixture::TearDown();
    }
};

TEST_F(ScriptedRunTest, TheScriptDrivesTheLoopStepByStepUntilTheWindowCloses) {
    std::ofstream("input.txt") << "# Z held over two steps, then Escape, then the close\n"
                                  "2 down Z\n"
                                  "\n"
                                  "4 up Z\n"
                                  "5 down Escape\n"
                                  "6 up Escape\n"
                                  "8 close\n";
    std::string error;
    ASSERT_TRUE(plat::LoadScriptedInputFile("input.txt", &error)) << error;
    // No pump thread: only the loop pumps, so the run repeats exactly.
    plat::FailNextThreadStarts(1);

    ScriptedApp app;
    ScriptFrame frame(app);
    ASSERT_TRUE(app.init(&frame));
    ASSERT_NE(Window(), 0u);
    // Start-up's own pumps are not steps.
    EXPECT_EQ(plat::ScriptedInputStep(), 0u);
    plat::SetVirtualClockReadStep(10);
    app.run();

    // Seven steps ran; the close at the start of step 8 ended the loop at its pump, and the
    // library was ended.
    const std::vector<StepSeen> expected = {
        {false, false, 0, false},  // 1
        {true, true, 1, false},    // 2: Z pressed
        {true, false, 3, false},   // 3: held
        {false, false, 2, false},  // 4: released
        {false, false, 0, true},   // 5: Escape pressed
        {false, false, 0, false},  // 6
        {false, false, 0, false},  // 7
    };
    EXPECT_EQ(frame.seen, expected);
    EXPECT_EQ(plat::ScriptedInputStep(), 8u);
    EXPECT_EQ(Window(), 0u);
}

}  // namespace
