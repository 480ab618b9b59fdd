// The library window's procedure: typed characters, the wheel, the private flags, system
// commands, mode-switch requests, display changes, sizing, moving, dropped files, the cursor,
// activation and closing.
#include "library/main_window_proc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "graphics/graphs/graph_handle_table.h"
#include "platform/window/window_messages.h"
#include "system/input_char_queue.h"
#include "system/message_pump.h"
#include "tests/support/library_fixture.h"
#include "base/tracked_memory.h"

namespace {

using namespace plat;

class MainWindowProcTest : public LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        StartWithoutPumpThread();
    }

    static LResult Send(uint32_t message, WParam wParam = 0, LParam lParam = 0) {
        return SendMessage(Window(), message, wParam, lParam);
    }

    // The characters queued so far, in order.
    static std::string Queued() {
        const InputCharQueue& queue = GetWindowData().inputChars;
        std::string out;
        for (int32_t i = queue.read; i != queue.write; i = (i + 1) % kInputCharQueueSize) {
            out.push_back(static_cast<char>(queue.chars[i]));
        }
        return out;
    }

    // Removes the WM_CLOSE messages waiting for the window and counts them.
    static int TakeCloseMessages() {
        int count = 0;
        Message message{};
        while (PeekMessage(&message, Window(), WM_CLOSE, WM_CLOSE, PM_REMOVE)) ++count;
        return count;
    }

    // The cursor's display count, unchanged.
    static int CursorCount() {
        const int count = ShowCursor(true) - 1;
        ShowCursor(false);
        return count;
    }
};

TEST_F(MainWindowProcTest, CharactersAreQueuedByTheirRules) {
    const std::string typed = {'\x0A', 'a', '\x82', '\xA0', '\x08', '\x09', '\x0D', '\x10',
                               '\x1B', '\x01', '\x07', '\x1C', '\x1F', '\x7F', ' '};
    for (char c : typed) Send(WM_CHAR, static_cast<uint8_t>(c));
    const std::string expected = {'\x0D', 'a', '\x82', '\xA0', '\x08', '\x09', '\x0D',
                                  '\x10', '\x1B', '\x7F', ' '};
    EXPECT_EQ(Queued(), expected);
}

TEST_F(MainWindowProcTest, EditingKeysQueueTheirControlCharactersWhileThereIsRoom) {
    for (uint32_t key : {VK_DELETE, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, static_cast<uint32_t>('A'),
                         VK_RETURN}) {
        Send(WM_KEYDOWN, key);
    }
    EXPECT_EQ(Queued(), std::string("\x10\x1D\x1C\x1E\x1F"));

    InputCharQueue& queue = GetWindowData().inputChars;
    queue.read = 0;
    queue.write = kInputCharQueueSize - 1;  // full
    Send(WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(queue.write, kInputCharQueueSize - 1);
}

TEST_F(MainWindowProcTest, WheelNotchesAndPrivateFlags) {
    InjectWheel(Window(), 2);
    InjectWheel(Window(), -3);
    EXPECT_EQ(ApiProcessMessage(), 0);
    WindowState& window = GetWindowData().window;
    EXPECT_EQ(window.wheelCount, -1);

    struct FlagStep {
        uint32_t message;
        WParam wParam;
        uint32_t f10, second;
    };
    const FlagStep steps[] = {{WM_F10_FLAG, 1, 1, 0},          {WM_SECOND_INPUT_FLAG, 1, 1, 1},
                              {WM_F10_FLAG, 2, 0, 1},          {WM_SECOND_INPUT_FLAG, 0, 0, 0},
                              {WM_SECOND_INPUT_FLAG, 1, 0, 1}, {WM_SECOND_INPUT_FLAG, 7, 0, 0}};
    for (const FlagStep& step : steps) {
        Send(step.message, step.wParam);
        EXPECT_EQ(window.f10KeyHeld, step.f10);
        EXPECT_EQ(window.secondInputFlag, step.second);
    }
}

TEST_F(MainWindowProcTest, ScreenSaverAndMonitorPowerAreHeldOff) {
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_SCREENSAVE), 1);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_MONITORPOWER, 2), 1);
    EXPECT_TRUE(IsWindow(Window()));
}

struct ModeSwitchCase {
    const char* name;
    uint32_t message;
    WParam wParam;
    uint32_t windowed, modeChangeSwitch;
    uint32_t pending;
};

class ModeSwitchRequestTest : public MainWindowProcTest,
                              public ::testing::WithParamInterface<ModeSwitchCase> {};

TEST_P(ModeSwitchRequestTest, IsHonouredOnlyWithTheSwitch) {
    const ModeSwitchCase& c = GetParam();
    WindowData& data = GetWindowData();
    data.settings.windowed = c.windowed;
    data.settings.modeChangeSwitch = c.modeChangeSwitch;
    const LResult result = Send(c.message, c.wParam);
    EXPECT_EQ(data.window.modeSwitchPending, c.pending);
    if (c.message == WM_SYSCHAR && c.pending) {
        EXPECT_EQ(result, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, ModeSwitchRequestTest,
    ::testing::Values(ModeSwitchCase{"AltEnterWithSwitch", WM_SYSCHAR, 0x0D, 0, 1, 1},
                      ModeSwitchCase{"AltEnterWithoutSwitch", WM_SYSCHAR, 0x0D, 0, 0, 0},
                      ModeSwitchCase{"AltOtherKey", WM_SYSCHAR, 'a', 0, 1, 0},
                      ModeSwitchCase{"MaximiseWindowedWithSwitch", WM_SIZE, SIZE_MAXIMIZED, 1, 1, 1},
                      ModeSwitchCase{"MaximiseWithoutSwitch", WM_SIZE, SIZE_MAXIMIZED, 1, 0, 0},
                      ModeSwitchCase{"MaximiseFullScreen", WM_SIZE, SIZE_MAXIMIZED, 0, 1, 0},
                      ModeSwitchCase{"RestoreSize", WM_SIZE, SIZE_RESTORED, 1, 1, 0}),
    [](const ::testing::TestParamInfo<ModeSwitchCase>& info) {
        return std::string(info.param.name);
    });

int KeepGraphs() { return 0; }

// A display change against the 640 x 480 x 16 screen.
struct DisplayCase {
    const char* name;
    uint32_t windowed, modeChangeInProgress;
    bool restoreCallback;
    int32_t width, height, depth;
    bool closes;
};

class DisplayChangeTest : public MainWindowProcTest,
                          public ::testing::WithParamInterface<DisplayCase> {};

TEST_P(DisplayChangeTest, ClosesOnlyWhenItCannotBeFollowedAndReportsEveryOtherChange) {
    const DisplayCase& c = GetParam();
    WindowData& data = GetWindowData();
    data.settings.windowed = c.windowed;
    data.window.modeChangeInProgress = c.modeChangeInProgress;
    GetGraphicsState().restoreCallback = c.restoreCallback ? KeepGraphs : nullptr;
    // (Start-up's own mode change was announced already.)
    data.window.displayChanged = 0;
    const int lines = static_cast<int>(LogLines().size());

    Send(WM_DISPLAYCHANGE, static_cast<WParam>(c.depth), MakeLParam(c.width, c.height));

    EXPECT_EQ(data.window.displayChanged, c.closes ? 0u : 1u);
    EXPECT_EQ(data.window.closing, c.closes ? 1u : 0u);
    EXPECT_EQ(TakeCloseMessages(), c.closes ? 1 : 0);
    EXPECT_EQ(FindLine("復元関数が登録されていないためか画面が２４ビットカラーに変更されたため終了します",
                       lines) >= 0,
              c.closes);
    if (c.closes) {
        // A second such change closes nothing more.
        data.window.displayChanged = 0;
        Send(WM_DISPLAYCHANGE, static_cast<WParam>(c.depth), MakeLParam(c.width, c.height));
        EXPECT_EQ(TakeCloseMessages(), 0);
        EXPECT_EQ(data.window.displayChanged, 0u);
        // The close the library asked for is still to come: shut-down relies on it.
        PostMessage(Window(), WM_CLOSE, 0, 0);
    }
    data.window.modeChangeInProgress = 0;
}

INSTANTIATE_TEST_SUITE_P(
    Changes, DisplayChangeTest,
    ::testing::Values(
        DisplayCase{"SameMode", 1, 0, false, 640, 480, 16, false},
        DisplayCase{"LargerWithRestore", 1, 0, true, 1024, 768, 32, false},
        DisplayCase{"LargerWithoutRestore", 1, 0, false, 1024, 768, 32, true},
        DisplayCase{"To24Bits", 1, 0, true, 1024, 768, 24, true},
        DisplayCase{"To8Bits", 1, 0, true, 1024, 768, 8, true},
        DisplayCase{"Smaller", 1, 0, true, 320, 240, 16, true},
        DisplayCase{"NarrowerOnly", 1, 0, true, 600, 768, 32, true},
        // The change a window-mode change waits for is reported, whatever it is.
        DisplayCase{"DuringModeChange", 1, 1, false, 320, 240, 24, false},
        DisplayCase{"FullScreen", 0, 0, false, 320, 240, 24, false}),
    [](const ::testing::TestParamInfo<DisplayCase>& info) { return std::string(info.param.name); });

struct SizingCase {
    const char* name;
    WParam edge;
    Rect proposed;
    Rect expected;
};

class SizingTest : public MainWindowProcTest, public ::testing::WithParamInterface<SizingCase> {};

TEST_P(SizingTest, KeepsTheScreensAspectRatio) {
    const SizingCase& c = GetParam();
    GetWindowData().settings.windowed = 1;
    Rect rect = c.proposed;
    Send(WM_SIZING, c.edge, reinterpret_cast<LParam>(&rect));
    EXPECT_EQ(rect.left, c.expected.left);
    EXPECT_EQ(rect.top, c.expected.top);
    EXPECT_EQ(rect.right, c.expected.right);
    EXPECT_EQ(rect.bottom, c.expected.bottom);
    EXPECT_DOUBLE_EQ(GetWindowData().settings.windowScale, (rect.right - rect.left) / 640.0);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, SizingTest,
    ::testing::Values(SizingCase{"Right", 2, {10, 20, 810, 300}, {10, 20, 810, 620}},
                      SizingCase{"Left", 1, {0, 0, 320, 999}, {0, 0, 320, 240}},
                      SizingCase{"Bottom", 6, {0, 0, 700, 300}, {0, 0, 400, 300}},
                      SizingCase{"Top", 3, {5, 5, 6, 485}, {5, 5, 645, 485}},
                      // Corners follow the direction that grew less, by whole screen sizes.
                      SizingCase{"CornerWide", 8, {0, 0, 1280, 600}, {0, 0, 1280, 960}},
                      SizingCase{"CornerTall", 4, {0, 0, 700, 960}, {0, 0, 1280, 960}}),
    [](const ::testing::TestParamInfo<SizingCase>& info) { return std::string(info.param.name); });

TEST_F(MainWindowProcTest, FullScreenWindowCannotBeMoved) {
    Rect proposed{100, 100, 740, 580};
    Send(WM_MOVING, 0, reinterpret_cast<LParam>(&proposed));
    EXPECT_EQ(proposed.left, 0);
    EXPECT_EQ(proposed.top, 0);
    EXPECT_EQ(proposed.right, 640);
    EXPECT_EQ(proposed.bottom, 480);

    GetWindowData().settings.windowed = 1;
    proposed = Rect{100, 100, 740, 580};
    Send(WM_MOVING, 0, reinterpret_cast<LParam>(&proposed));
    EXPECT_EQ(proposed.left, 100);
}

TEST_F(MainWindowProcTest, MovedWindowKeepsTheFrontScreenInPlace) {
    WindowData& data = GetWindowData();
    data.settings.windowed = 1;
    ASSERT_EQ(GetDrawTarget(), kDrawTargetFront);
    InjectMove(Window(), 100, 50);
    const Rect& client = data.window.clientRect;
    EXPECT_EQ(client.left, 100);
    EXPECT_EQ(client.top, 50);
    EXPECT_EQ(client.right, 740);
    EXPECT_EQ(client.bottom, 530);
    const RECT& front = GetDrawState().frontScreenRect;
    EXPECT_EQ(front.left, 100);
    EXPECT_EQ(front.top, 50);
    EXPECT_EQ(front.right, 740);
    EXPECT_EQ(front.bottom, 530);

    // Not while a window-mode change is under way.
    data.window.modeChangeInProgress = 1;
    InjectMove(Window(), 0, 0);
    EXPECT_EQ(client.left, 100);
    data.window.modeChangeInProgress = 0;
}

std::vector<std::string> FileNames(int count, int from = 0) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back("/tmp/f" + std::to_string(from + i) + ".txt");
    return names;
}

TEST_F(MainWindowProcTest, DroppedFilesAreStoredUpToAThousand) {
    const uint32_t blocks = GetAllocState().count;
    InjectDroppedFiles(Window(), FileNames(999));
    InjectDroppedFiles(Window(), FileNames(2, 999));
    EXPECT_EQ(ApiProcessMessage(), 0);
    const DroppedFileList& list = GetWindowData().droppedFiles;
    ASSERT_EQ(list.count, 1000);
    EXPECT_STREQ(list.names[0], "/tmp/f0.txt");
    EXPECT_STREQ(list.names[999], "/tmp/f999.txt");
    EXPECT_EQ(LiveDroppedFileLists(), 0u);
    EXPECT_EQ(GetAllocState().count, blocks + 1000);

    EXPECT_EQ(ClearDroppedFiles(), 0);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(GetAllocState().count, blocks);
}

TEST_F(MainWindowProcTest, DroppedFilesStopAtAFailedAllocation) {
    InjectDroppedFiles(Window(), FileNames(3));
    plat::FailNextAllocations(1);
    EXPECT_EQ(ApiProcessMessage(), 0);
    EXPECT_EQ(GetWindowData().droppedFiles.count, 0);
    EXPECT_EQ(LiveDroppedFileLists(), 0u);
}

TEST_F(MainWindowProcTest, MouseMessagesHideTheCursorUnlessItIsShown) {
    const int before = CursorCount();
    ASSERT_LT(before, 0) << "the full-screen start hid it";
    while (ShowCursor(true) < 0) {
    }
    Send(WM_MOUSEMOVE);
    EXPECT_LT(CursorCount(), 0);

    while (ShowCursor(true) < 0) {
    }
    GetWindowData().window.cursorShown = 1;
    Send(WM_SETCURSOR);
    Send(WM_LBUTTONDOWN);
    EXPECT_GE(CursorCount(), 0);
}

struct ActivationRecord {
    int active;
    void* data;
};
std::vector<ActivationRecord> gActivations;

TEST_F(MainWindowProcTest, ActivationMessagesChangeTheStateAndCallTheCallback) {
    gActivations.clear();
    WindowState& window = GetWindowData().window;
    int token = 0;
    window.activationData = &token;
    window.activationCallback = [](int active, void* data) {
        gActivations.push_back(ActivationRecord{active, data});
    };

    Send(WM_ACTIVATE, MakeWParam(WA_INACTIVE, 0));
    EXPECT_EQ(window.active, 0u);
    Send(WM_ACTIVATEAPP, 1);  // activating WM_ACTIVATEAPP changes nothing here
    EXPECT_EQ(window.active, 0u);
    Send(WM_ACTIVATE, MakeWParam(WA_CLICKACTIVE, 0));
    EXPECT_EQ(window.active, 1u);
    Send(WM_ACTIVATEAPP, 0);
    EXPECT_EQ(window.active, 0u);

    ASSERT_EQ(gActivations.size(), 3u);
    EXPECT_EQ(gActivations[0].active, 0);
    EXPECT_EQ(gActivations[1].active, 1);
    EXPECT_EQ(gActivations[2].active, 0);
    EXPECT_EQ(gActivations[0].data, &token);

    // While the window is being created only the state changes.
    window.windowCreating = 1;
    Send(WM_ACTIVATE, MakeWParam(WA_ACTIVE, 0));
    EXPECT_EQ(window.active, 1u);
    EXPECT_EQ(gActivations.size(), 3u);
    window.windowCreating = 0;
    window.activationCallback = nullptr;
}

TEST_F(MainWindowProcTest, ActivationChangesRefreshTheInputDevices) {
    // A pad attached before start-up is acquired exclusively while the window is active and
    // shared in the background while it is not.
    ASSERT_EQ(ApiTermLibrary(), 0);
    plat::AttachTestPad();
    StartWithoutPumpThread();
    auto padFlags = [] {
        for (const plat::TestDeviceRecord& r : plat::LiveInputDevices()) {
            if (r.padId != 0) return r.cooperativeFlags;
        }
        return 0u;
    };
    ASSERT_EQ(padFlags(), plat::DISCL_EXCLUSIVE | plat::DISCL_FOREGROUND);
    Send(WM_ACTIVATE, MakeWParam(WA_INACTIVE, 0));
    EXPECT_EQ(padFlags(), plat::DISCL_NONEXCLUSIVE | plat::DISCL_BACKGROUND);
    Send(WM_ACTIVATE, MakeWParam(WA_ACTIVE, 0));
    EXPECT_EQ(padFlags(), plat::DISCL_EXCLUSIVE | plat::DISCL_FOREGROUND);
}

TEST_F(MainWindowProcTest, PaintIsNotedAndEnds) {
    GetWindowData().settings.windowed = 1;
    InvalidateWindow(Window());
    EXPECT_EQ(ApiProcessMessage(), 0);
    EXPECT_EQ(GetWindowData().window.paintSeen, 1u);
    EXPECT_EQ(GetWindowData().window.painting, 0u);
}

struct CloseCase {
    const char* name;
    uint32_t closeKeepsWindow, noQuitMessage, ending;
    bool destroyed;
    uint32_t endingAfter;
};

class CloseTest : public MainWindowProcTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseTest, DestroysUnlessKeptAndMarksTheEnding) {
    const CloseCase& c = GetParam();
    WindowData& data = GetWindowData();
    data.window.closeKeepsWindow = c.closeKeepsWindow;
    data.window.noQuitMessage = c.noQuitMessage;
    data.library.ending = c.ending;
    const plat::WindowHandle window = Window();

    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_EQ(IsWindow(window), !c.destroyed);
    EXPECT_EQ(IsQuitRequested(), c.destroyed);
    EXPECT_EQ(data.library.ending, c.endingAfter);
    Message quit{};
    EXPECT_EQ(PeekMessage(&quit, kThreadMessagesOnly, WM_QUIT, WM_QUIT, PM_REMOVE),
              c.destroyed && !c.noQuitMessage);
    data.window.closeKeepsWindow = 0;
    data.library.ending = 0;
}

INSTANTIATE_TEST_SUITE_P(
    Switches, CloseTest,
    ::testing::Values(CloseCase{"ByTheUser", 0, 0, 0, true, 4},
                      CloseCase{"WithoutQuitMessage", 0, 1, 0, true, 4},
                      CloseCase{"KeptWindow", 1, 0, 0, false, 4},
                      CloseCase{"KeptWindowWhileEnding", 1, 0, 1, true, 1}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

}  // namespace
