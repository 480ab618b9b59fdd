// What the platform does for a window-mode switch: every change of display mode is announced
// to every window with WM_DISPLAYCHANGE (a refused or empty change is not), and a full-screen
// mode is shown on a desktop-sized output scaled to fit with its aspect kept.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/thread.h"
#include "platform/display/display.h"
#include "platform/testing/display_test_controls.h"
#include "platform/testing/test_controls.h"
#include "platform/testing/window_test_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/window/window.h"

namespace {

using namespace plat;

constexpr char kClassName[] = "ZnWindowModeTestClass";

LResult Proc(WindowHandle w, uint32_t m, WParam wp, LParam lp) { return DefWindowProc(w, m, wp, lp); }

class WindowModeDisplayChangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetWindowTestControls();
        ResetDisplayTestControls();
        SetDisplayRefreshRateForTests(60);
        ASSERT_NE(RegisterWindowClass(WindowClass{0, &Proc, 0, 0, 0, kClassName}), 0);
        window_ = CreateWindow(kClassName, "mode", WS_POPUP | WS_VISIBLE, 0, 0, 0, 640, 480,
                               nullptr);
        ASSERT_NE(window_, 0u);
    }
    void TearDown() override {
        ResetDisplayTestControls();
        ResetWindowTestControls();
        ResetTestControls();
    }

    struct Change {
        WindowHandle window;
        WParam depth;
        int32_t width, height;
    };
    // Removes the WM_DISPLAYCHANGE messages waiting for this thread.
    static std::vector<Change> TakeDisplayChanges() {
        std::vector<Change> out;
        Message m{};
        while (PeekMessage(&m, 0, WM_DISPLAYCHANGE, WM_DISPLAYCHANGE, PM_REMOVE)) {
            out.push_back(Change{m.window, m.wParam,
                                 static_cast<int32_t>(LowWord(static_cast<uintptr_t>(m.lParam))),
                                 static_cast<int32_t>(HighWord(static_cast<uintptr_t>(m.lParam)))});
        }
        return out;
    }

    WindowHandle window_ = 0;
};

TEST_F(WindowModeDisplayChangeTest, EveryModeChangeIsAnnouncedToEveryWindow) {
    const WindowHandle second =
        CreateWindow(kClassName, "second", WS_POPUP, 0, 10, 10, 100, 100, nullptr);
    ASSERT_NE(second, 0u);
    // A window of another thread hears of it in its own queue.
    std::vector<Change> otherThread;
    std::atomic<int> stage{0};
    std::thread other([&] {
        const WindowHandle theirs =
            CreateWindow(kClassName, "other", WS_POPUP, 0, 0, 0, 10, 10, nullptr);
        stage = 1;
        while (stage != 2) std::this_thread::yield();
        otherThread = TakeDisplayChanges();
        DestroyWindow(theirs);
    });
    while (stage != 1) std::this_thread::yield();

    ASSERT_EQ(SetFullScreenDisplayMode(640, 480, 16, 0), DisplayModeResult::Ok);
    RestoreDesktopDisplayMode();
    stage = 2;
    other.join();

    const std::vector<Change> changes = TakeDisplayChanges();
    ASSERT_EQ(changes.size(), 4u);
    EXPECT_EQ(changes[0].depth, 16u);
    EXPECT_EQ(changes[0].width, 640);
    EXPECT_EQ(changes[0].height, 480);
    EXPECT_EQ(changes[2].depth, 32u);
    EXPECT_EQ(changes[2].width, 1920);
    EXPECT_EQ(changes[2].height, 1080);
    EXPECT_TRUE((changes[0].window == window_ && changes[1].window == second) ||
                (changes[0].window == second && changes[1].window == window_));
    ASSERT_EQ(otherThread.size(), 2u);
    EXPECT_EQ(otherThread[0].width, 640);
    EXPECT_EQ(otherThread[1].width, 1920);
}

TEST_F(WindowModeDisplayChangeTest, NoChangeOfModeAnnouncesNothing) {
    RestoreDesktopDisplayMode();  // already the desktop's
    EXPECT_EQ(SetFullScreenDisplayMode(1000, 700, 32, 0), DisplayModeResult::BadMode);
    EXPECT_EQ(SetFullScreenDisplayMode(640, 480, 32, 75), DisplayModeResult::BadRefresh);
    EXPECT_TRUE(TakeDisplayChanges().empty());
    // The desktop's mode through GDI, as a program leaving full screen sets it.
    ASSERT_EQ(SetFullScreenDisplayMode(800, 600, 32, 0), DisplayModeResult::Ok);
    EXPECT_EQ(ChangeDisplaySettings(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    const std::vector<Change> changes = TakeDisplayChanges();
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[1].width, 1920);
}

struct FitCase {
    const char* name;
    int32_t desktopWidth, desktopHeight;
    Rect picture;  // where the 640 x 480 mode lands on the desktop
};

class DesktopPictureTest : public WindowModeDisplayChangeTest,
                           public ::testing::WithParamInterface<FitCase> {};

TEST_P(DesktopPictureTest, AFullScreenModeIsScaledToFitTheDesktop) {
    const FitCase& c = GetParam();
    SetHeadlessDesktop(c.desktopWidth, c.desktopHeight, 32);
    ShownPicture picture;
    EXPECT_FALSE(GetDesktopPicture(&picture)) << "no full-screen mode yet";
    ASSERT_EQ(SetFullScreenDisplayMode(640, 480, 32, 0), DisplayModeResult::Ok);
    // The mode's framebuffer: white with a red top-left pixel.
    const DisplayFramebuffer fb = GetDisplayFramebuffer();
    for (int32_t y = 0; y < fb.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(fb.pixels + y * fb.pitch);
        for (int32_t x = 0; x < fb.width; ++x) row[x] = 0xFFFFFF;
    }
    reinterpret_cast<uint32_t*>(fb.pixels)[0] = 0xFF0000;

    ASSERT_TRUE(GetDesktopPicture(&picture));
    ASSERT_EQ(picture.width, c.desktopWidth);
    ASSERT_EQ(picture.height, c.desktopHeight);
    const auto at = [&](int32_t x, int32_t y) { return picture.pixels[y * picture.width + x]; };
    const Rect& p = c.picture;
    EXPECT_EQ(at(p.left, p.top), 0xFF0000u);
    EXPECT_EQ(at(p.right - 1, p.bottom - 1), 0xFFFFFFu);
    int white = 0;
    for (uint32_t v : picture.pixels) white += v == 0xFFFFFF ? 1 : 0;
    const int32_t area = (p.right - p.left) * (p.bottom - p.top);
    // Everything outside the fitted rectangle is black; inside all but the scaled red pixel is
    // white.
    EXPECT_GT(white, area - 16);
    EXPECT_LE(white, area - 1);
    const uint32_t kBlack = 0;
    EXPECT_EQ(p.left > 0 ? at(p.left - 1, p.top) : kBlack, kBlack);
    EXPECT_EQ(p.top > 0 ? at(p.left, p.top - 1) : kBlack, kBlack);
    EXPECT_EQ(p.right < c.desktopWidth ? at(p.right, p.bottom - 1) : kBlack, kBlack);
    EXPECT_EQ(p.bottom < c.desktopHeight ? at(p.right - 1, p.bottom) : kBlack, kBlack);
    RestoreDesktopDisplayMode();
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, DesktopPictureTest,
    ::testing::Values(FitCase{"Wide", 1920, 1080, {240, 0, 1680, 1080}},
                      FitCase{"Tall", 1280, 1024, {0, 32, 1280, 992}},
                      FitCase{"Same", 640, 480, {0, 0, 640, 480}}),
    [](const ::testing::TestParamInfo<FitCase>& info) { return std::string(info.param.name); });

}  // namespace
