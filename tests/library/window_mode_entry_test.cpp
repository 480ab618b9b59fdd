// Switching the live window between windowed and full screen through ApiChangeWindowMode on a
// library started with ApiInitLibrary (headless): the window's size, place, style and
// always-on-top state, the display's mode, the cursor, the picture each present shows after
// a switch on every drawing road, the window scale and the centring clamp, and the wait for
// the display change.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "softrender/records/color_format.h"
#include "graphics/screen/screen.h"
#include "platform/ddraw/ddraw.h"
#include "platform/display/display.h"
#include "platform/testing/ddraw_test_controls.h"
#include "platform/testing/display_test_controls.h"
#include "system/window_mode.h"
#include "system/window_styles.h"
#include "tests/support/draw_road_table.h"

namespace {

using namespace plat;

// Fills the back screen with a colour and presents it.
void PresentColour(int r, int g, int b) {
    ScreenState& s = GetScreenState();
    if (s.softwareScreen) {
        MEMIMG& image = s.backImage;
        const uint32_t value = ColorFormatRgbaToPixel(image.colorFormat, r, g, b, 255);
        const int bytes = image.colorFormat->bytes;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                std::memcpy(image.pixels + y * image.pitch + x * bytes, &value, bytes);
            }
        }
    } else {
        BltFx fx = {};
        fx.fillColor = MakeScreenColor(r, g, b);
        ASSERT_EQ(s.back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    }
    ASSERT_EQ(ApiSetDrawTarget(-2), 0);
    ASSERT_EQ(ApiPresentScreen(), 0);
}

// Pixels of the shown picture that are not rgb; the picture must be width x height.
int PixelsNotShowing(uint32_t rgb, int32_t width, int32_t height) {
    ShownPicture picture;
    EXPECT_TRUE(GetShownPicture(&picture));
    EXPECT_EQ(picture.width, width);
    EXPECT_EQ(picture.height, height);
    int wrong = 0;
    for (uint32_t p : picture.pixels) wrong += (p & 0xFFFFFF) != rgb ? 1 : 0;
    return picture.pixels.empty() ? -1 : wrong;
}

class WindowModeEntryTest : public LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        ResetDisplayTestControls();
        ResetDDrawTestControls();
        SetDisplayRefreshRateForTests(60);
        ResetScreenState();
        SetHeadlessDesktop(1920, 1080, 32);
    }

    void TearDown() override {
        LibraryFixture::TearDown();
        ResetScreenState();
        ResetDisplayTestControls();
        ResetDDrawTestControls();
    }

    // Starts the library windowed; surfaces 1 keeps DirectDraw surfaces (no 3D), 0 takes the
    // software screen.
    static void StartWindowed(bool surfaces, double scale = 0.0) {
        ApiChangeWindowMode(1);
        GetWindowData().settings.windowScale = scale;
        if (surfaces) SetSoftwareRenderRequest(1);
        StartWithoutPumpThread();
    }

    struct Shape {
        Rect window;
        Rect client;
        uint32_t style, exStyle;
        bool topmost;
    };
    static Shape ShapeNow() {
        Shape s{};
        GetWindowRect(Window(), &s.window);
        s.client = GetWindowData().window.clientRect;
        GetWindowStyle(Window(), &s.style, &s.exStyle);
        s.topmost = IsWindowTopmost(Window());
        return s;
    }
    static void ExpectRect(const Rect& got, const Rect& want) {
        EXPECT_EQ(got.left, want.left);
        EXPECT_EQ(got.top, want.top);
        EXPECT_EQ(got.right, want.right);
        EXPECT_EQ(got.bottom, want.bottom);
    }
};

TEST_F(WindowModeEntryTest, ToFullScreenAndBackRestoresSizePlaceStyleAndCursor) {
    StartWindowed(false);
    const Shape windowed = ShapeNow();
    ExpectRect(windowed.window, Rect{640, 300, 1280, 780});
    ExpectRect(windowed.client, Rect{640, 300, 1280, 780});
    EXPECT_EQ(windowed.style, GetWindowedStyle().style);
    EXPECT_FALSE(windowed.topmost);
    EXPECT_EQ(GetWindowData().window.cursorShown, 1u);
    EXPECT_FALSE(DisplayInFullScreenMode());

    const int lines = static_cast<int>(LogLines().size());
    EXPECT_EQ(ApiChangeWindowMode(0), 0);
    const WindowData& data = GetWindowData();
    EXPECT_EQ(data.settings.windowed, 0u);
    EXPECT_EQ(data.window.modeChangeInProgress, 0u);
    EXPECT_EQ(data.window.displayChanged, 1u) << "the display change was waited for";
    EXPECT_EQ(GetApiLockState().locked, 0u);
    const Shape full = ShapeNow();
    ExpectRect(full.window, Rect{0, 0, 640, 480});
    EXPECT_EQ(full.style & ~WS_VISIBLE, GetFullScreenStyle().style);
    EXPECT_EQ(full.exStyle, GetFullScreenStyle().exStyle);
    EXPECT_TRUE(full.topmost);
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_EQ(data.window.cursorShown, 0u);
    const DisplayMode mode = CurrentDisplayMode();
    EXPECT_TRUE(DisplayInFullScreenMode());
    EXPECT_EQ(mode.width, 640);
    EXPECT_EQ(mode.height, 480);
    const int call = FindLine("ChangeWindowMode実行 ", lines);
    ASSERT_NE(call, -1);
    EXPECT_EQ(FindLine("ウインドウモードフラグが倒されました", call), call + 1);
    EXPECT_EQ(FindLine("ウインドウスタイルをフルスクリーンモード用に変更します... 完了", call),
              call + 2);
    EXPECT_NE(FindLine("画面モード変更処理は正常に終了しました", call), -1);
    EXPECT_FALSE(LogHas("ディスプレイ変更の通知が来ないまま待機を終了しました"));

    EXPECT_EQ(ApiChangeWindowMode(1), 0);
    const Shape back = ShapeNow();
    ExpectRect(back.window, windowed.window);
    ExpectRect(back.client, windowed.client);
    EXPECT_EQ(back.style, windowed.style);
    EXPECT_EQ(back.exStyle, windowed.exStyle);
    EXPECT_FALSE(back.topmost);
    EXPECT_EQ(data.window.cursorShown, 1u);
    EXPECT_FALSE(DisplayInFullScreenMode());
    EXPECT_EQ(data.window.modeChangeInProgress, 0u);
    EXPECT_TRUE(LogHas("ウインドウモードフラグが立てられました"));
    EXPECT_TRUE(LogHas("ウインドウスタイルをウインドウモード用に変更します... 完了"));
}

class WindowModePictureTest : public DrawRoadFixture {
protected:
    void SetUp() override {
        DrawRoadFixture::SetUp();
        SetDisplayRefreshRateForTests(60);
    }
};

TEST_P(WindowModePictureTest, PresentsAfterEachSwitchShowTheBackScreen) {
    StartOnRoad();
    PresentColour(255, 0, 0);
    EXPECT_EQ(PixelsNotShowing(0xFF0000, 640, 480), 0);

    ASSERT_EQ(ApiChangeWindowMode(0), 0);
    PresentColour(0, 255, 0);
    EXPECT_EQ(PixelsNotShowing(0x00FF00, 640, 480), 0);
    // A desktop-sized output shows the 640 x 480 picture over the desktop's height, centred,
    // with black bars left and right.
    ShownPicture desktop;
    ASSERT_TRUE(GetDesktopPicture(&desktop));
    ASSERT_EQ(desktop.width, 1920);
    ASSERT_EQ(desktop.height, 1080);
    const auto at = [&desktop](int x, int y) { return desktop.pixels[y * 1920 + x] & 0xFFFFFF; };
    EXPECT_EQ(at(239, 540), 0u);
    EXPECT_EQ(at(240, 0), 0x00FF00u);
    EXPECT_EQ(at(1679, 1079), 0x00FF00u);
    EXPECT_EQ(at(1680, 540), 0u);

    ASSERT_EQ(ApiChangeWindowMode(1), 0);
    EXPECT_FALSE(GetDesktopPicture(&desktop));
    PresentColour(0, 0, 255);
    EXPECT_EQ(PixelsNotShowing(0x0000FF, 640, 480), 0);
    // Each switch made the screen anew on the same road.
    EXPECT_EQ(GetScreenState().softwareScreen, GetParam().softwareScreen ? 1 : 0);
    EXPECT_EQ(IsUsing3DDevice(), GetParam().direct3D ? 1 : 0);
}

INSTANTIATE_ON_DRAW_ROADS(WindowModePictureTest);

struct PlacementCase {
    const char* name;
    int32_t desktopWidth, desktopHeight;
    double scale;
    double storedScale;
    Rect window;  // windowed, before and after a trip to full screen
};

class WindowPlacementTest : public WindowModeEntryTest,
                            public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(WindowPlacementTest, TheWindowIsScaledCentredAndKeptOnTheDesktop) {
    const PlacementCase& c = GetParam();
    SetHeadlessDesktop(c.desktopWidth, c.desktopHeight, 32);
    StartWindowed(false, c.scale);
    EXPECT_EQ(GetWindowData().settings.windowScale, c.storedScale);
    Rect rect{};
    GetWindowRect(Window(), &rect);
    ExpectRect(rect, c.window);
    ExpectRect(GetWindowData().window.clientRect, c.window);

    // Full screen ignores the scale; back in a window it counts again.
    ASSERT_EQ(ApiChangeWindowMode(0), 0);
    GetWindowRect(Window(), &rect);
    ExpectRect(rect, Rect{0, 0, 640, 480});
    ASSERT_EQ(ApiChangeWindowMode(1), 0);
    GetWindowRect(Window(), &rect);
    ExpectRect(rect, c.window);
    EXPECT_EQ(GetWindowData().settings.windowScale, c.storedScale);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowPlacementTest,
    ::testing::Values(
        PlacementCase{"ScaleZeroIsOne", 1920, 1080, 0.0, 1.0, {640, 300, 1280, 780}},
        PlacementCase{"ScaledFits", 1000, 800, 1.5, 1.5, {20, 40, 980, 760}},
        // 960 x 720 on 800 x 600 would start at (-80, -60): the client area starts at 0.
        PlacementCase{"LargerThanTheDesktop", 800, 600, 1.5, 1.5, {0, 0, 960, 720}},
        PlacementCase{"TallerOnly", 2000, 600, 1.5, 1.5, {520, 0, 1480, 720}}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(WindowModeEntryTest, WithoutADisplayChangeTheWaitEndsAfterItsTime) {
    // Without graphics the screen mode does not change, so no display change comes.
    GetWindowData().settings.noGraphics = 1;
    StartWindowed(false);
    const uint32_t start = MillisecondClock();
    EXPECT_EQ(ApiChangeWindowMode(0), 0);
    const uint32_t waited = MillisecondClock() - start;
    EXPECT_GE(waited, kDisplayChangeWaitMs);
    EXPECT_LT(waited, kDisplayChangeWaitMs + 500);
    EXPECT_TRUE(LogHas("ディスプレイ変更の通知が来ないまま待機を終了しました"));
    EXPECT_EQ(GetWindowData().window.modeChangeInProgress, 0u);
    ExpectRect(ShapeNow().window, Rect{0, 0, 640, 480});
}

TEST_F(WindowModeEntryTest, TheWaitEndsWhenThePumpReportsQuit) {
    GetWindowData().settings.noGraphics = 1;
    StartWindowed(false);
    PostQuitMessage(0);
    const uint32_t start = MillisecondClock();
    EXPECT_EQ(ApiChangeWindowMode(0), 0);
    EXPECT_LT(MillisecondClock() - start, 100u);
    EXPECT_FALSE(LogHas("ディスプレイ変更の通知が来ないまま待機を終了しました"));
    EXPECT_TRUE(IsQuitRequested());
    EXPECT_EQ(GetWindowData().window.modeChangeInProgress, 0u);
}

TEST_F(WindowModeEntryTest, AWindowSizedByTheDesktopIsFittedBackToTheScaledScreen) {
    StartWindowed(false, 1.5);
    InjectResize(Window(), 700, 500);
    Rect rect{};
    GetWindowRect(Window(), &rect);
    ExpectRect(rect, Rect{480, 180, 1440, 900});
    ExpectRect(GetWindowData().window.clientRect, Rect{480, 180, 1440, 900});
    // A minimised window keeps the size it will come back with.
    InjectMinimized(Window(), true);
    GetWindowRect(Window(), &rect);
    EXPECT_EQ(rect.right - rect.left, 960);
}

// A desktop that adds a pixel to every size the program gives its window: each WM_SIZE that
// follows a size of 640 x 480 the program asked for brings 641 x 481.
int gSizeMessages = 0;
LResult AddAPixelToEverySize(WindowHandle window, uint32_t message, WParam, LParam lParam) {
    if (message != WM_SIZE) return 0;
    ++gSizeMessages;
    if (LowWord(static_cast<uintptr_t>(lParam)) == 640 && gSizeMessages < 50) {
        SetWindowPos(window, 0, 0, 0, 641, 481, SWP_NOMOVE | SWP_NOZORDER);
    }
    return 0;
}

TEST_F(WindowModeEntryTest, SizesMetWhileTheLibrarySizesTheWindowAreNotFittedAgain) {
    StartWindowed(false);
    gSizeMessages = 0;
    GetWindowData().settings.userMessageHook = AddAPixelToEverySize;
    InjectResize(Window(), 700, 500);
    GetWindowData().settings.userMessageHook = nullptr;
    // The desktop's 700 x 500 is fitted once; the sizes that fit brings are left as they are.
    EXPECT_EQ(gSizeMessages, 3);
    Rect rect{};
    GetWindowRect(Window(), &rect);
    EXPECT_EQ(rect.right - rect.left, 641);
    EXPECT_EQ(rect.bottom - rect.top, 481);
    EXPECT_EQ(GetWindowData().window.librarySizing, 0u);
}

}  // namespace
