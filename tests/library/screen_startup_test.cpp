// The screen as library start-up makes it (headless): on a software screen and on DirectDraw
// surfaces, 16-bit and 32-bit displays, windowed and full screen. The log shows the screen's
// steps in order, and a back screen filled with a colour and presented is exactly that colour
// in the picture the display shows. Then the mode changes and the present's waits on a started
// library.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_graph/soft_road/blit_graph_2d.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/graph_load/graph_load.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/screen/screen.h"
#include "graphics/screen_setup/screen_setup.h"
#include "platform/ddraw/ddraw.h"
#include "platform/display/display.h"
#include "platform/testing/ddraw_test_controls.h"
#include "platform/testing/display_test_controls.h"
#include "platform/window/window_backend.h"
#include "tests/support/library_fixture.h"

namespace {

// The screen state back to its state before any start (the screen is closed by then).
void ResetScreen() {
    ASSERT_EQ(GetScreenState().directDraw, nullptr);
    ResetScreenState();
}

class ScreenStartupTest : public LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        plat::ResetDisplayTestControls();
        plat::ResetDDrawTestControls();
        plat::SetDisplayRefreshRateForTests(60);
        ResetScreen();
    }

    void TearDown() override {
        LibraryFixture::TearDown();
        ResetScreen();
        plat::ResetDisplayTestControls();
        plat::ResetDDrawTestControls();
    }

    // Starts the library (without its pump thread) in the given mode. Before start-up a
    // mode change only stores the mode asked for.
    static void Start(bool softwareScreen, int32_t depth, bool windowed) {
        plat::SetHeadlessDesktop(1920, 1080, depth);
        ApiChangeWindowMode(windowed ? 1 : 0);
        ASSERT_EQ(ChangeScreenMode(640, 480, depth, 0, -1), 0);
        // DirectDraw surfaces are kept when 3D drawing is off; without it the Direct3D start
        // fails and the screen falls back to software.
        if (!softwareScreen) SetSoftwareRenderRequest(1);
        StartWithoutPumpThread();
    }

    // Fills the back screen with the colour, in the screen's own format.
    static void FillBack(int r, int g, int b) {
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
            plat::BltFx fx = {};
            fx.fillColor = MakeScreenColor(r, g, b);
            ASSERT_EQ(s.back->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL, &fx),
                      plat::DD_OK);
        }
    }

    // A green 16 x 16 graph made from an image.
    static HandleValue MakeGreenGraph() {
        GraphImage image = {};
        if (InitGraphImageRgb24(16, 16, &image) != 0) return kNoHandle;
        FillGraphImage(&image, 0, 255, 0, 255);
        const HandleValue graph = MakeGraphFromImage(&image);
        FreeGraphImage(&image);
        return graph;
    }

    // Counts the pixels of the shown picture that are not 0x00RRGGBB; the picture must be the
    // screen's size.
    static int PixelsNotShowing(uint32_t rgb) {
        plat::ShownPicture picture;
        EXPECT_TRUE(plat::GetShownPicture(&picture));
        EXPECT_EQ(picture.width, 640);
        EXPECT_EQ(picture.height, 480);
        int wrong = 0;
        for (uint32_t p : picture.pixels) wrong += (p & 0xFFFFFF) != rgb ? 1 : 0;
        return picture.pixels.empty() ? -1 : wrong;
    }

    // Index of the first line at or after from that holds text, or -1. (Pieces of text that
    // do not end a line share it with the next piece.)
    int FindText(const std::string& text, int from = 0) const {
        const std::vector<std::string> lines = LogLines();
        for (size_t i = static_cast<size_t>(from); i < lines.size(); ++i) {
            if (lines[i].find(text) != std::string::npos) return static_cast<int>(i);
        }
        return -1;
    }

    int CountText(const std::string& text) const {
        int count = 0;
        for (const std::string& line : LogLines()) count += line.find(text) != std::string::npos;
        return count;
    }

    // The texts appear in this order (other lines may come between them; texts on one line
    // are found in order within it too).
    void ExpectInOrder(const std::vector<std::string>& texts, int from = 0) const {
        int at = from;
        size_t column = 0;
        const std::vector<std::string> lines = LogLines();
        for (const std::string& text : texts) {
            int found = -1;
            for (size_t i = static_cast<size_t>(at); i < lines.size(); ++i) {
                const size_t pos = lines[i].find(text, static_cast<int>(i) == at ? column : 0);
                if (pos != std::string::npos) {
                    found = static_cast<int>(i);
                    column = pos + text.size();
                    break;
                }
            }
            if (found < 0) {
                std::string log;
                for (const std::string& line : LogLines()) log += line + "\n";
                FAIL() << "missing after line " << at << ": " << text << "\nlog:\n" << log;
            }
            at = found;
        }
    }
};

struct StartCase {
    const char* name;
    bool softwareScreen;
    int32_t depth;
    bool windowed;
};

const StartCase kStartCases[] = {
    {"software, 16-bit, windowed", true, 16, true},
    {"software, 32-bit, windowed", true, 32, true},
    {"software, 16-bit, full screen", true, 16, false},
    {"software, 32-bit, full screen", true, 32, false},
    {"surfaces, 16-bit, windowed", false, 16, true},
    {"surfaces, 32-bit, windowed", false, 32, true},
    {"surfaces, 16-bit, full screen", false, 16, false},
    {"surfaces, 32-bit, full screen", false, 32, false},
};

TEST_F(ScreenStartupTest, EachRoadStartsLogsItsStepsAndPresentsTheBackScreen) {
    for (const StartCase& c : kStartCases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Start(c.softwareScreen, c.depth, c.windowed);
        const ScreenState& s = GetScreenState();

        std::vector<std::string> steps = {"DirectDraw 関連の初期化を行います",
                                          "画面モード変更処理を開始します"};
        if (c.softwareScreen) {
            // The hardware road is tried first and given up when Direct3D cannot start.
            steps.insert(steps.end(), {"Direct3Dオブジェクトの作成に失敗しました",
                                       "DirectDraw 関連の終了処理をおこないます",
                                       "DirectDraw 関連の終了処理は正常に終了しました",
                                       "ソフトウエアレンダリングモードに変更します",
                                       "DirectDraw 関連の初期化を行います",
                                       "画面モード変更処理を開始します"});
        }
        steps.insert(steps.end(), {"出力画面用の DirectDrawSurface を作成します",
                                   "出力画面用の DirectDrawSurface の作成は正常に終了しました",
                                   "グラフィック管理系の初期化を行います",
                                   "グラフィック管理系の初期化は正常に終了しました",
                                   "画面モード変更処理は正常に終了しました",
                                   "オーバーレイサーフェスは使用しません",
                                   "DirectDraw 関連の初期化は正常に終了しました"});
        ExpectInOrder(steps);
        EXPECT_EQ(FindText(c.windowed ? "ウインドウモードにします" : "成功しました") >= 0, true);
        if (c.softwareScreen) {
            EXPECT_GE(FindText("PrimaryBuffer : SYSTEMMEMORY( MEMIMG ) "), 0);
        } else {
            EXPECT_LT(FindText("Direct3Dオブジェクトの作成に失敗しました"), 0);
            EXPECT_GE(FindText("カラー情報"), 0);
        }

        EXPECT_EQ(IsSoftwareScreen(), c.softwareScreen ? 1 : 0);
        EXPECT_EQ(s.noDirectDraw, c.softwareScreen ? 1 : 0);
        EXPECT_EQ(GetScreenDepth(), c.depth);
        EXPECT_EQ(s.pixelFormatClass, c.depth == 16 ? kScreenClass565 : kScreenClass888);
        EXPECT_FALSE(ScreenSlot().IsAbsent());
        EXPECT_EQ(GetVSyncWait(), 1);
        EXPECT_EQ(GetDrawTarget(), kDrawTargetFront);
        // The first clears leave no graph behind and the blend mode as it was.
        EXPECT_EQ(GetGraphicsState().graphs.count, 0);
        EXPECT_EQ(GetDrawState().blendMode, kBlendNone);
        EXPECT_EQ(GetDrawState().newGraphsDrawValid, 0);
        // White in the screen's own pixels; an X8R8G8B8 display sets its unused byte too.
        const unsigned int white = ApiMakeScreenColor(255, 255, 255);
        if (c.depth == 16) {
            EXPECT_EQ(white, 0xFFFFu);
        } else if (!c.softwareScreen) {
            EXPECT_EQ(white, 0xFFFFFFFFu);
        } else {
            EXPECT_EQ(white & 0xFFFFFFu, 0xFFFFFFu);
        }
        ASSERT_NE(ApiGetScreenPixelFormat(), nullptr);
        EXPECT_EQ(ApiGetScreenPixelFormat()->rgbBitCount, static_cast<uint32_t>(c.depth));
        if (!c.softwareScreen) {
            EXPECT_NE(s.primary, nullptr);
            EXPECT_NE(s.back, nullptr);
            EXPECT_NE(s.work, nullptr);
            EXPECT_NE(s.work2, nullptr);
            EXPECT_EQ(s.screenImagesExist, 0);
            EXPECT_EQ(plat::DisplayInFullScreenMode(), !c.windowed);
        } else {
            EXPECT_EQ(s.primary, nullptr);
            EXPECT_EQ(s.screenImagesExist, 1);
            EXPECT_EQ(s.backImage.pixelFormat, c.depth == 16 ? MEMIMG_FORMAT_565 : MEMIMG_FORMAT_32);
        }

        // A back screen of one colour, presented, is what the display shows; then the same
        // for the cleared back screen.
        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        for (const uint32_t rgb : {0xFF00FFu, 0x00FF00u}) {
            SCOPED_TRACE(rgb);
            FillBack(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
            const uint64_t before = GetPresentCount();
            EXPECT_EQ(ApiPresentScreen(), 0);
            EXPECT_EQ(GetPresentCount(), before + 1);
            EXPECT_EQ(PixelsNotShowing(rgb), 0);
        }
        EXPECT_EQ(ApiClearDrawTarget(), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        EXPECT_EQ(PixelsNotShowing(0x000000), 0);

        ApiTermLibrary();
        const int end = FindText("グラフィック管理系の終了処理は正常に終了しました");
        ASSERT_GE(end, 0);
        std::vector<std::string> ending = {"DirectDraw 関連の終了処理をおこないます"};
        if (!c.softwareScreen) ending.push_back("メインサーフェスを破棄をします... 完了しました");
        ending.insert(ending.end(), {"画面モードを元に戻す処理は正常に終了しました",
                                     "ＤｉｒｅｃｔＤｒａｗオブジェクトを解放しました",
                                     "DirectDraw 関連の終了処理は正常に終了しました",
                                     "ＣＯＭを終了... 完了"});
        ExpectInOrder(ending, end);
        EXPECT_TRUE(ScreenSlot().IsAbsent());
        EXPECT_EQ(GetScreenState().directDraw, nullptr);
        EXPECT_FALSE(plat::DisplayInFullScreenMode());
        EXPECT_EQ(plat::LiveSurfaceCount(), 0u);
        TearDown();
    }
}

TEST_F(ScreenStartupTest, EntriesAnswerTheirFailureBeforeTheScreenIsUp) {
    EXPECT_EQ(ApiPresentScreen(), -1);
    EXPECT_EQ(ApiGetScreenPixelFormat(), nullptr);
    EXPECT_EQ(ApiMakeScreenColor(255, 255, 255), 0u);
}

TEST_F(ScreenStartupTest, NoGraphicsSwitchLeavesTheScreenClosed) {
    GetWindowData().settings.noGraphics = 1;
    StartWithoutPumpThread();
    EXPECT_EQ(GetScreenState().directDraw, nullptr);
    EXPECT_TRUE(ScreenSlot().IsAbsent());
    EXPECT_LT(FindText("DirectDraw 関連の初期化を行います"), 0);
}

TEST_F(ScreenStartupTest, ASoftwareBackImageWithRowsWiderThanTheScreenIsShownUnsheared) {
    // 610 pixels of 16 bits are 1220 bytes; the image's rows are rounded up to 1232, so GDI
    // must be told the rows are 616 pixels long.
    plat::SetHeadlessDesktop(1920, 1080, 16);
    ApiChangeWindowMode(1);
    ASSERT_EQ(ChangeScreenMode(610, 470, 16, 0, -1), 0);
    StartWithoutPumpThread();
    ASSERT_EQ(IsSoftwareScreen(), 1);
    MEMIMG& back = GetScreenState().backImage;
    ASSERT_EQ(back.width, 610);
    ASSERT_GT(back.pitch, back.width * 2);

    // Every pixel its own colour from its place.
    const auto colourAt = [](int x, int y) {
        return std::array<int, 3>{(x * 7) & 0xF8, (y * 5) & 0xFC, ((x + y) * 3) & 0xF8};
    };
    for (int y = 0; y < back.height; ++y) {
        for (int x = 0; x < back.width; ++x) {
            const auto c = colourAt(x, y);
            const uint16_t v = static_cast<uint16_t>(
                ColorFormatRgbaToPixel(back.colorFormat, c[0], c[1], c[2], 255));
            std::memcpy(back.pixels + y * back.pitch + x * 2, &v, 2);
        }
    }
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    ASSERT_EQ(ApiPresentScreen(), 0);

    plat::ShownPicture picture;
    ASSERT_TRUE(plat::GetShownPicture(&picture));
    ASSERT_GE(picture.width, 610);
    ASSERT_GE(picture.height, 470);
    int wrong = 0;
    for (int y = 0; y < 470; ++y) {
        for (int x = 0; x < 610; ++x) {
            const auto c = colourAt(x, y);
            const uint32_t p = picture.pixels[static_cast<size_t>(y) * picture.width + x];
            // 5-6-5 values widened back to 8 bits keep their top bits.
            wrong += static_cast<int>((p >> 16 & 0xF8) != static_cast<uint32_t>(c[0]) ||
                                      (p >> 8 & 0xFC) != static_cast<uint32_t>(c[1]) ||
                                      (p & 0xF8) != static_cast<uint32_t>(c[2]));
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(ScreenStartupTest, AScreenThatCannotBeMadeEndsTheProgramThroughTheFatalError) {
    EXPECT_EXIT(
        {
            plat::FailNextDirectDrawCreates(1);
            ApiInitLibrary();
        },
        ::testing::ExitedWithCode(255), "");
    const int fatal = FindText("DirectDrawオブジェクトの作成に失敗しました");
    ASSERT_GE(fatal, 0);
    EXPECT_GE(FindText("オブジェクトの取得に失敗しました"), 0);
    // The library is shut down before the process ends.
    EXPECT_GT(FindText("ＣＯＭを終了... 完了", fatal), fatal);
}

TEST_F(ScreenStartupTest, AHardwareModeChangeMeasuresCopiesRefreshAndFrameTime) {
    // Fine clock reads, so that the raster is seen line by line.
    plat::SetVirtualClockReadStep(10);
    Start(false, 16, false);
    const ScreenState& s = GetScreenState();
    ExpectInOrder({"サーフェス間転送には ", "BitBlt:", "スキャンラインの数:480",
                   "１フレーム当たりの時間は ", "Tri00:", "Tri03:",
                   "画面モード変更処理は正常に終了しました"});
    EXPECT_EQ(s.scanLines, 480);
    EXPECT_EQ(s.refreshMeasured, 60);
    // 480 of the frame's 520 lines at 60 Hz are drawn: about 15.4 ms from the end of one blank
    // to the start of the next.
    EXPECT_GE(s.framePeriod, 15);
    EXPECT_LE(s.framePeriod, 16);
    EXPECT_EQ(s.frameTime, (s.framePeriod * 2 - 4) / 3);
}

TEST_F(ScreenStartupTest, ASoftwareScreenMeasuresNothingAndPacesByTheBlankAlone) {
    Start(true, 16, true);
    const ScreenState& s = GetScreenState();
    EXPECT_EQ(s.refreshMeasured, 60);
    EXPECT_EQ(s.frameTime, -1);
    EXPECT_LT(FindText("サーフェス間転送には "), 0);
    EXPECT_LT(FindText("スキャンラインの数"), 0);
}

TEST_F(ScreenStartupTest, SwitchingARunningScreenToSoftwareKeepsItShowingTheBackScreen) {
    for (const bool windowed : {true, false}) {
        SCOPED_TRACE(windowed ? "windowed" : "full screen");
        SetUp();
        Start(false, 16, windowed);
        ASSERT_EQ(IsSoftwareScreen(), 0);
        EXPECT_EQ(SwitchToSoftwareRendering(0), 0);
        EXPECT_EQ(IsSoftwareScreen(), 1);
        EXPECT_EQ(GetScreenState().primary, nullptr);
        EXPECT_EQ(plat::LiveSurfaceCount(), 0u);
        EXPECT_EQ(GetSoftwareRenderRequest(), 1);
        // Once software, a request for hardware changes nothing.
        SetSoftwareRenderRequest(0);
        EXPECT_EQ(GetSoftwareRenderRequest(), 1);
        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        FillBack(255, 0, 255);
        EXPECT_EQ(ApiPresentScreen(), 0);
        EXPECT_EQ(PixelsNotShowing(0xFF00FF), 0);
        ApiTermLibrary();
        TearDown();
    }
}

TEST_F(ScreenStartupTest, LostScreenSurfacesAreRestored) {
    Start(false, 16, true);
    ScreenState& s = GetScreenState();
    ASSERT_GT(plat::LoseVideoMemorySurfaces(), 0);
    ASSERT_EQ(s.back->IsLost(), plat::DDERR_SURFACELOST);
    EXPECT_EQ(ScreenSlot()->restoreScreenSurfaces(), 0);
    EXPECT_EQ(s.back->IsLost(), plat::DD_OK);
    EXPECT_EQ(s.primary->IsLost(), plat::DD_OK);
    ASSERT_NE(s.zSurface, nullptr);
    EXPECT_EQ(s.zSurface->IsLost(), plat::DD_OK);
    // And the restored back screen presents again.
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    FillBack(0, 255, 0);
    EXPECT_EQ(ApiPresentScreen(), 0);
    EXPECT_EQ(PixelsNotShowing(0x00FF00), 0);
}

// ---- mode changes ------------------------------------------------------------------------------

TEST_F(ScreenStartupTest, SameModeWithoutForceDoesNothing) {
    Start(false, 16, false);
    const size_t lines = LogLines().size();
    const uint32_t last = GetScreenState().lastModeChangeTime;
    plat::DrawSurface* primary = GetScreenState().primary;
    EXPECT_EQ(ChangeScreenMode(-1, -1, -1, 0, -1), 0);
    EXPECT_EQ(ChangeScreenMode(640, 480, 16, 0, 0), 0);
    EXPECT_EQ(LogLines().size(), lines);
    EXPECT_EQ(GetScreenState().lastModeChangeTime, last);
    EXPECT_EQ(GetScreenState().primary, primary);
}

TEST_F(ScreenStartupTest, ModeChangesAreSpacedBy2060Milliseconds) {
    Start(false, 16, true);
    ASSERT_EQ(ChangeScreenMode(-1, -1, -1, 1, -1), 0);
    const uint32_t first = GetScreenState().lastModeChangeTime;
    ASSERT_EQ(ChangeScreenMode(-1, -1, -1, 1, -1), 0);
    const uint32_t second = GetScreenState().lastModeChangeTime;
    EXPECT_GE(second - first, 2060u);
    // Still a working screen afterwards.
    EXPECT_NE(GetScreenState().primary, nullptr);
    EXPECT_EQ(GetPresentCount(), 0u);
}

TEST_F(ScreenStartupTest, ARefusedRefreshRateIsDroppedAndTheModeSetWithoutIt) {
    Start(false, 32, false);
    EXPECT_EQ(ChangeScreenMode(800, 600, 32, 0, 75), 0);
    EXPECT_EQ(GetScreenState().refreshRate, 0);
    const plat::DisplayMode mode = plat::CurrentDisplayMode();
    EXPECT_EQ(mode.width, 800);
    EXPECT_EQ(mode.height, 600);
    EXPECT_EQ(mode.bitsPerPixel, 32);
    int32_t width = 0, height = 0;
    GetScreenDimensions(&width, &height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
}

TEST_F(ScreenStartupTest, ARefusedModeFallsBackTo640x480x16WhenThePreviousIsGoneToo) {
    // The previous mode is the desktop's own size, which the display stops offering once the
    // desktop changes.
    plat::SetHeadlessDesktop(1600, 900, 32);
    ApiChangeWindowMode(0);
    ASSERT_EQ(ChangeScreenMode(1600, 900, 32, 0, -1), 0);
    SetSoftwareRenderRequest(1);
    StartWithoutPumpThread();
    ASSERT_EQ(plat::CurrentDisplayMode().width, 1600);
    plat::SetHeadlessDesktop(1920, 1080, 32);

    EXPECT_EQ(ChangeScreenMode(1000, 700, 32, 0, -1), -2);
    int32_t width = 0, height = 0;
    GetScreenDimensions(&width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(GetScreenDepth(), 16);
    EXPECT_EQ(plat::CurrentDisplayMode().width, 640);
    EXPECT_EQ(plat::CurrentDisplayMode().bitsPerPixel, 16);
    EXPECT_NE(GetScreenState().primary, nullptr);
}

TEST_F(ScreenStartupTest, AFirstModeTheDisplayRefusesStartsAt640x480x16) {
    ApiChangeWindowMode(0);
    ASSERT_EQ(ChangeScreenMode(1000, 700, 32, 0, -1), 0);
    SetSoftwareRenderRequest(1);
    StartWithoutPumpThread();
    ExpectInOrder({"画面モードの変更処理を開始します 1000 x 700  32 bit ",
                   "画面モードの変更に失敗しました",
                   "画面モードの変更処理を開始します 640 x 480  16 bit ", "成功しました"});
    EXPECT_EQ(plat::CurrentDisplayMode().width, 640);
    EXPECT_EQ(GetScreenDepth(), 16);
}

// ---- the present's waits -----------------------------------------------------------------------

class PresentWaitTest : public ScreenStartupTest,
                        public ::testing::WithParamInterface<StartCase> {};

TEST_P(PresentWaitTest, WithTheFrontAsTargetThePresentWaitsOneVerticalBlank) {
    const StartCase c = GetParam();
    Start(c.softwareScreen, c.depth, c.windowed);
    // Fine clock reads, so that each look at the raster sees it.
    plat::SetVirtualClockReadStep(10);
    ASSERT_EQ(GetDrawTarget(), kDrawTargetFront);
    const uint64_t before = GetPresentCount();
    const uint64_t start = plat::VirtualClockMicroseconds();
    EXPECT_EQ(ApiPresentScreen(), 0);
    const uint64_t waited = plat::VirtualClockMicroseconds() - start;
    EXPECT_EQ(GetPresentCount(), before + 1);
    EXPECT_TRUE(plat::ReadRaster().inVerticalBlank);
    // One blank is waited for, never more than a frame (60 Hz) and the reads around it.
    EXPECT_LE(waited, 16667u + 1000u);
}

INSTANTIATE_TEST_SUITE_P(Roads, PresentWaitTest, ::testing::ValuesIn(kStartCases),
                         [](const auto& info) { return std::to_string(info.index); });

TEST_F(ScreenStartupTest, WindowPresentsArePacedByTheMeasuredFrameTime) {
    plat::SetVirtualClockReadStep(10);
    Start(false, 32, true);
    ScreenState& s = GetScreenState();
    ASSERT_GT(s.frameTime, 0);
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    EXPECT_EQ(ApiPresentScreen(), 0);
    const uint32_t first = s.lastVBlankTime;
    EXPECT_EQ(ApiPresentScreen(), 0);
    // The second present comes no sooner than the frame time after the first, at a blank.
    EXPECT_GE(s.lastVBlankTime - first, static_cast<uint32_t>(s.frameTime));
    EXPECT_TRUE(plat::ReadRaster().inVerticalBlank);
}

TEST_F(ScreenStartupTest, FullScreenFlipWithoutVSyncDoesNotWait) {
    Start(false, 16, false);
    plat::SetVirtualClockReadStep(10);
    SetVSyncWait(0);
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    FillBack(0, 255, 0);
    const uint64_t start = plat::VirtualClockMicroseconds();
    EXPECT_EQ(ApiPresentScreen(), 0);
    EXPECT_LT(plat::VirtualClockMicroseconds() - start, 1000u);
    EXPECT_EQ(PixelsNotShowing(0x00FF00), 0);
}

TEST_F(ScreenStartupTest, AFullScreenPresentInGdiModeCopiesTheBackScreenInsteadOfFlipping) {
    Start(false, 32, false);
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    EXPECT_EQ(SetFlipToGdiMode(1), 0);
    EXPECT_EQ(GetFlipToGdiMode(), 1);
    plat::DrawSurface* back = GetScreenState().back;
    FillBack(255, 0, 255);
    const uint64_t before = GetPresentCount();
    EXPECT_EQ(ApiPresentScreen(), 0);
    EXPECT_EQ(GetPresentCount(), before + 1);
    EXPECT_EQ(PixelsNotShowing(0xFF00FF), 0);
    // A copy leaves the back surface as it was: drawing the next frame over it still works.
    EXPECT_EQ(GetScreenState().back, back);
    FillBack(0, 255, 0);
    EXPECT_EQ(ApiPresentScreen(), 0);
    EXPECT_EQ(PixelsNotShowing(0x00FF00), 0);
}

TEST_F(ScreenStartupTest, AWindowScaledByOneAndAHalfShowsTheBackScreenStretched) {
    for (const bool software : {true, false}) {
        SCOPED_TRACE(software ? "software" : "surfaces");
        SetUp();
        GetWindowData().settings.windowScale = 1.5;
        Start(software, 32, true);
        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        FillBack(255, 0, 255);
        EXPECT_EQ(ApiPresentScreen(), 0);
        plat::ShownPicture picture;
        ASSERT_TRUE(plat::GetShownPicture(&picture));
        ASSERT_EQ(picture.width, 960);
        ASSERT_EQ(picture.height, 720);
        int wrong = 0;
        for (uint32_t p : picture.pixels) wrong += (p & 0xFFFFFF) != 0xFF00FF ? 1 : 0;
        EXPECT_EQ(wrong, 0);
        ApiTermLibrary();
        TearDown();
    }
}

// ---- Windows Vista: the temporary primary and the flip that keeps the back screen ---------------

class VistaScreenTest : public ScreenStartupTest {
protected:
    void SetUp() override {
        ScreenStartupTest::SetUp();
        plat::OsVersionInfo vista{};
        vista.platformId = 2;
        vista.major = 6;
        vista.minor = 0;
        vista.build = 6000;
        plat::SetOsVersionForTests(&vista);
    }
    void TearDown() override {
        ScreenStartupTest::TearDown();
        plat::SetOsVersionForTests(nullptr);
    }
};

TEST_F(VistaScreenTest, TheFrontIsDrawnThroughATemporaryPrimaryCopiedEvery17Ms) {
    Start(false, 32, true);
    ScreenState& s = GetScreenState();
    ASSERT_EQ(GetWindowData().cpu.osCode, 264);
    ASSERT_EQ(s.useTempPrimary, 1);
    ASSERT_NE(s.tempPrimary, nullptr);
    ASSERT_EQ(GetDrawTarget(), kDrawTargetFront);
    EXPECT_EQ(s.tempPrimaryTimerOn, 1);

    // What is drawn to the front lands in the temporary primary and reaches the window at the
    // next tick of the timer.
    plat::BltFx fx = {};
    fx.fillColor = MakeScreenColor(255, 0, 255);
    ASSERT_EQ(s.tempPrimary->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL, &fx),
              plat::DD_OK);
    EXPECT_NE(PixelsNotShowing(0xFF00FF), 0);
    const uint32_t start = plat::MillisecondClock();
    while (plat::MillisecondClock() - start < 40) ApiProcessMessage();
    EXPECT_EQ(PixelsNotShowing(0xFF00FF), 0);

    // Another target stops the timer after one last copy.
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    EXPECT_EQ(s.tempPrimaryTimerOn, 0);
}

TEST_F(VistaScreenTest, AFullScreenPresentInGdiModeKeepsTheShownPictureInTheBackScreen) {
    Start(false, 16, false);
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    SetFlipToGdiMode(1);
    FillBack(0, 255, 0);
    const uint64_t before = GetPresentCount();
    EXPECT_EQ(ApiPresentScreen(), 0);
    EXPECT_EQ(GetPresentCount(), before + 1);
    // After the flip the back surface holds the picture just shown.
    plat::SurfaceDesc desc = {};
    ScreenState& s = GetScreenState();
    ASSERT_EQ(s.back->Lock(nullptr, &desc, plat::DDLOCK_WAIT), plat::DD_OK);
    const uint16_t green = static_cast<uint16_t>(MakeScreenColor(0, 255, 0));
    int wrong = 0;
    for (uint32_t y = 0; y < 480; ++y) {
        const auto* row = reinterpret_cast<const uint16_t*>(static_cast<uint8_t*>(desc.surface) +
                                                            y * desc.pitch);
        for (uint32_t x = 0; x < 640; ++x) wrong += row[x] != green;
    }
    s.back->Unlock(nullptr);
    EXPECT_EQ(wrong, 0);
}

// ---- the window's calls into the screen --------------------------------------------------------

TEST_F(ScreenStartupTest, ADisplayChangeRemakesTheScreenInTheNewFormat) {
    for (const bool software : {true, false}) {
        SCOPED_TRACE(software ? "software" : "surfaces");
        SetUp();
        Start(software, 32, true);
        const HandleValue graph = MakeGreenGraph();
        const int acquiredBefore = CountText("DirectDraw オブジェクトの取得を行います");
        ASSERT_EQ(GetScreenDepth(), 32);

        // The desktop goes to 16 bits; the window reports it.
        plat::SetHeadlessDesktop(1920, 1080, 16);
        plat::SendMessage(Window(), plat::WM_DISPLAYCHANGE, 16, plat::MakeLParam(1920, 1080));
        EXPECT_EQ(GetWindowData().window.displayChanged, 1u);
        const ScreenState& s = GetScreenState();
        EXPECT_EQ(GetScreenDepth(), software ? 32 : 16);
        if (!software) {
            // A new DirectDraw object for the new display.
            EXPECT_EQ(CountText("DirectDraw オブジェクトの取得を行います"), acquiredBefore + 1);
            EXPECT_EQ(s.pixelFormatClass, kScreenClass565);
            EXPECT_NE(s.primary, nullptr);
            EXPECT_NE(s.back, nullptr);
        }
        // The remade screen presents as before, and a graph made before the change still
        // draws onto it.
        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        FillBack(255, 0, 255);
        EXPECT_EQ(ApiPresentScreen(), 0);
        EXPECT_EQ(PixelsNotShowing(0xFF00FF), 0);
        // Its pixels come back as a restore would bring them back.
        ASSERT_NE(graph, kNoHandle);
        ASSERT_EQ(FillGraph(graph, 0, 255, 0, 255), 0);
        FillBack(255, 0, 255);
        EXPECT_EQ(BlitGraph2D(0, 0, GetGraphRecord(graph), 0, 1), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        plat::ShownPicture picture;
        ASSERT_TRUE(plat::GetShownPicture(&picture));
        EXPECT_EQ(picture.pixels[0] & 0xFFFFFF, 0x00FF00u);
        EXPECT_EQ(picture.pixels[static_cast<size_t>(picture.width) * 15 + 15] & 0xFFFFFF,
                  0x00FF00u);
        EXPECT_EQ(picture.pixels[static_cast<size_t>(picture.width) * 16 + 16] & 0xFFFFFF,
                  0xFF00FFu);
        ApiTermLibrary();
        EXPECT_EQ(plat::LiveSurfaceCount(), 0u);
        TearDown();
    }
}

TEST_F(ScreenStartupTest, AFullScreenWindowThatComesBackRemakesTheScreenItLost) {
    Start(false, 16, false);
    // Another program takes the display and gives it back.
    plat::SetOtherExclusiveOwner(true);
    ASSERT_EQ(GetScreenState().primary->IsLost(), plat::DDERR_SURFACELOST);
    plat::SetOtherExclusiveOwner(false);
    plat::SendMessage(Window(), plat::WM_ACTIVATE, 1, 0);
    const ScreenState& s = GetScreenState();
    ASSERT_NE(s.primary, nullptr);
    EXPECT_EQ(s.primary->IsLost(), plat::DD_OK);
    EXPECT_TRUE(plat::DisplayInFullScreenMode());
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    FillBack(255, 0, 255);
    EXPECT_EQ(ApiPresentScreen(), 0);
    EXPECT_EQ(PixelsNotShowing(0xFF00FF), 0);
}

TEST_F(ScreenStartupTest, AFullScreenSoftwareScreenGivesTheDisplayBackWhileInactive) {
    Start(true, 16, false);
    ASSERT_TRUE(plat::DisplayInFullScreenMode());
    plat::SendMessage(Window(), plat::WM_ACTIVATE, 0, 0);
    EXPECT_FALSE(plat::DisplayInFullScreenMode());
    EXPECT_EQ(GetScreenState().directDraw, nullptr);
    EXPECT_TRUE(plat::IsWindowMinimized(Window()));

    plat::ShowWindow(Window(), plat::SW_RESTORE);
    plat::SendMessage(Window(), plat::WM_ACTIVATE, 1, 0);
    EXPECT_TRUE(plat::DisplayInFullScreenMode());
    EXPECT_NE(GetScreenState().directDraw, nullptr);
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    FillBack(255, 0, 255);
    EXPECT_EQ(ApiPresentScreen(), 0);
    EXPECT_EQ(PixelsNotShowing(0xFF00FF), 0);
}

TEST_F(ScreenStartupTest, APaintOfAWindowDrawnOnTheBackScreenShowsTheBackScreen) {
    for (const bool software : {true, false}) {
        SCOPED_TRACE(software ? "software" : "surfaces");
        SetUp();
        Start(software, 32, true);
        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        FillBack(0, 255, 0);
        const uint64_t presents = GetPresentCount();
        plat::InvalidateWindow(Window());
        plat::UpdateWindow(Window());
        EXPECT_EQ(PixelsNotShowing(0x00FF00), 0);
        EXPECT_EQ(GetPresentCount(), presents + 1);
        // The paint does not change the vertical-blank setting.
        EXPECT_EQ(GetVSyncWait(), 1);
        ApiTermLibrary();
        TearDown();
    }
}

}  // namespace
