#include "platform/backend/headless/scripted_input.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/window/window.h"
#include "tests/support/temp_dir.h"
#include "tests/platform/window/window_fixture.h"

namespace {

using namespace plat;

using Action = ScriptedAction;

std::vector<ScriptedInputEvent> ParseOk(const std::string& text) {
    std::vector<ScriptedInputEvent> events;
    std::string error;
    EXPECT_TRUE(ParseScriptedInput(text, &events, &error)) << error;
    return events;
}

TEST(ScriptedInputParse, ReadsEveryKeyOfTheGameAndSkipsBlankAndCommentLines) {
    const std::string script =
        "# title menu\n"
        "\n"
        "1 down Z\r\n"
        "   \t\n"
        "  # indented comment\n"
        "2\tup\tZ\n"
        "3 down X\n"
        "3 down Up\n"
        "4 down Down\n"
        "4 down Left\n"
        "5 down Right\n"
        "6 down Escape\n"
        "7 down P\n"
        "8 down W\n"
        "9 down Return\n"
        "12 close";  // no newline at the end
    const std::vector<ScriptedInputEvent> expected = {
        {1, Action::KeyDown, 'Z', {}},        {2, Action::KeyUp, 'Z', {}},
        {3, Action::KeyDown, 'X', {}},        {3, Action::KeyDown, VK_UP, {}},
        {4, Action::KeyDown, VK_DOWN, {}},    {4, Action::KeyDown, VK_LEFT, {}},
        {5, Action::KeyDown, VK_RIGHT, {}},   {6, Action::KeyDown, VK_ESCAPE, {}},
        {7, Action::KeyDown, 'P', {}},        {8, Action::KeyDown, 'W', {}},
        {9, Action::KeyDown, VK_RETURN, {}},  {12, Action::Close, 0, {}},
    };
    EXPECT_EQ(ParseOk(script), expected);
}

TEST(ScriptedInputParse, OrdersByStepKeepingTheScriptOrderWithinAStep) {
    const std::vector<ScriptedInputEvent> expected = {
        {2, Action::KeyDown, 'X', {}},
        {5, Action::KeyDown, 'Z', {}},
        {5, Action::KeyUp, 'Z', {}},
        {9, Action::Close, 0, {}},
    };
    EXPECT_EQ(ParseOk("9 close\n5 down Z\n2 down X\n5 up Z\n"), expected);
    EXPECT_TRUE(ParseOk("").empty());
    EXPECT_TRUE(ParseOk("# nothing\n\n").empty());
}

struct MalformedCase {
    const char* script;
    const char* expectedStart;  // the error begins with this (it names the line)
};

TEST(ScriptedInputParse, AMalformedLineIsRefusedNamingItsNumber) {
    const MalformedCase cases[] = {
        {"1 down Z\n0 down Z\n", "line 2: the step must be a whole number from 1"},
        {"-3 down Z\n", "line 1: the step must be a whole number from 1"},
        {"x down Z\n", "line 1: the step must be a whole number from 1"},
        {"4294967296 down Z\n", "line 1: the step must be a whole number from 1"},
        {"# c\n\n7\n", "line 3: expected down, up or close"},
        {"1 press Z\n", "line 1: expected down, up or close"},
        {"1 DOWN Z\n", "line 1: expected down, up or close"},
        {"1 down\n", "line 1: missing key name"},
        {"1 down Z X\n", "line 1: one key name only"},
        {"1 up NoSuchKey\n", "line 1: unknown key name \"NoSuchKey\""},
        {"1 close now\n", "line 1: close takes no key"},
        {"1 down Z\n2 up Z\n3 down Z;\n", "line 3: unknown key name"},
    };
    for (const MalformedCase& c : cases) {
        std::vector<ScriptedInputEvent> events = {{1, Action::Close, 0, {}}};
        std::string error;
        EXPECT_FALSE(ParseScriptedInput(c.script, &events, &error)) << c.script;
        EXPECT_EQ(error.rfind(c.expectedStart, 0), 0u) << c.script << " gave: " << error;
        // Nothing of a refused script is kept.
        EXPECT_EQ(events.size(), 1u) << c.script;
    }
}

TEST(ScriptedInputParse, TheErrorShowsTheLineItself) {
    std::vector<ScriptedInputEvent> events;
    std::string error;
    ASSERT_FALSE(ParseScriptedInput("1 down Z\n2 dwn X\r\n", &events, &error));
    EXPECT_EQ(error, "line 2: expected down, up or close after the step: 2 dwn X");
}

TEST(ScriptedInputFile, AnUnreadableOrBadFileIsNamedInTheError) {
    ScopedTempDir dir;
    std::string error;
    EXPECT_FALSE(LoadScriptedInputFile("missing.txt", &error));
    EXPECT_EQ(error, "missing.txt: cannot be read");
    EXPECT_FALSE(ScriptedInputActive());

    // A pipe is refused at once, without waiting for a writer; a test that hangs here has
    // lost that.
    ASSERT_EQ(::mkfifo("pipe.txt", 0644), 0);
    EXPECT_FALSE(LoadScriptedInputFile("pipe.txt", &error));
    EXPECT_EQ(error, "pipe.txt: is a pipe or a device, not a script file");
    EXPECT_FALSE(LoadScriptedInputFile("/dev/null", &error));
    EXPECT_EQ(error, "/dev/null: is a pipe or a device, not a script file");
    EXPECT_FALSE(ScriptedInputActive());

    std::ofstream("bad.txt") << "1 down Z\n2 jump\n";
    EXPECT_FALSE(LoadScriptedInputFile("bad.txt", &error));
    EXPECT_EQ(error.rfind("bad.txt: line 2: ", 0), 0u) << error;
    EXPECT_FALSE(ScriptedInputActive());

    std::ofstream("good.txt") << "2 down Z\n";
    EXPECT_TRUE(LoadScriptedInputFile("good.txt", &error)) << error;
    EXPECT_TRUE(ScriptedInputActive());
    EXPECT_EQ(ScriptedInputStep(), 0u);
    ResetScriptedInput();
}

// Applying a script to the window layer.
class ScriptedInputRun : public WindowFixture {
protected:
    void TearDown() override {
        ResetScriptedInput();
        WindowFixture::TearDown();
    }
};

TEST_F(ScriptedInputRun, WithoutAScriptStepsAreNotCounted) {
    WindowHandle w = Create();
    Drain();
    AdvanceScriptedInput();
    AdvanceScriptedInput();
    EXPECT_EQ(ScriptedInputStep(), 0u);
    EXPECT_TRUE(Drain(w).empty());
}

TEST_F(ScriptedInputRun, EventsArriveAtTheStartOfTheirStep) {
    WindowHandle w = Create();
    Drain();
    SetScriptedInput({{2, Action::KeyDown, 'Z', {}}, {2, Action::KeyDown, VK_UP, {}},
                      {4, Action::KeyUp, 'Z', {}}, {5, Action::Close, 0, {}}});

    AdvanceScriptedInput();  // step 1: nothing yet
    EXPECT_EQ(ScriptedInputStep(), 1u);
    EXPECT_FALSE(IsKeyDown('Z'));
    EXPECT_TRUE(Drain(w).empty());

    AdvanceScriptedInput();  // step 2: both keys down, messages in the script's order
    EXPECT_TRUE(IsKeyDown('Z'));
    EXPECT_TRUE(IsKeyDown(VK_UP));
    std::vector<Message> step2 = Drain(w);
    ASSERT_EQ(step2.size(), 2u);
    EXPECT_EQ(step2[0].message, WM_KEYDOWN);
    EXPECT_EQ(step2[0].wParam, static_cast<WParam>('Z'));
    EXPECT_EQ(step2[1].message, WM_KEYDOWN);
    EXPECT_EQ(step2[1].wParam, static_cast<WParam>(VK_UP));

    AdvanceScriptedInput();  // step 3: still held, no new message
    EXPECT_TRUE(IsKeyDown('Z'));
    EXPECT_TRUE(Drain(w).empty());

    AdvanceScriptedInput();  // step 4: Z released, Up still held
    EXPECT_FALSE(IsKeyDown('Z'));
    EXPECT_TRUE(IsKeyDown(VK_UP));
    EXPECT_EQ(DrainMessageNumbers(w), std::vector<uint32_t>{WM_KEYUP});

    AdvanceScriptedInput();  // step 5: the window is closed as a person closes it
    EXPECT_EQ(DrainMessageNumbers(w), std::vector<uint32_t>{WM_CLOSE});
    EXPECT_EQ(ScriptedInputStep(), 5u);
}

TEST_F(ScriptedInputRun, KeysChangeEvenBeforeAWindowExists) {
    SetScriptedInput({{1, Action::KeyDown, VK_ESCAPE, {}}, {1, Action::Close, 0, {}}});
    AdvanceScriptedInput();
    EXPECT_TRUE(IsKeyDown(VK_ESCAPE));
}

TEST_F(ScriptedInputRun, LoadingAgainStartsCountingAgain) {
    WindowHandle w = Create();
    Drain();
    SetScriptedInput({{1, Action::KeyDown, 'X', {}}});
    AdvanceScriptedInput();
    AdvanceScriptedInput();
    EXPECT_EQ(ScriptedInputStep(), 2u);
    SetScriptedInput({{1, Action::KeyUp, 'X', {}}});
    EXPECT_EQ(ScriptedInputStep(), 0u);
    Drain(w);
    AdvanceScriptedInput();
    EXPECT_FALSE(IsKeyDown('X'));
    EXPECT_EQ(DrainMessageNumbers(w), std::vector<uint32_t>{WM_KEYUP});
}

}  // namespace
