// The screen save as the shipped start-up leaves it: after ApiInitLibrary (headless) a picture
// drawn with the library's own routines and presented is saved by ApiSaveScreenToImageFile as
// the game's screenshot (640 x 480 BMP), under a Shift-JIS name, and its pixels are the ones
// the window shows, from the back screen and, on a software screen, from the front; on every
// drawing road.
#include <gtest/gtest.h>

#include <string>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/graph_load/graph_load.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "graphics/surfaces/surface_formats.h"
#include "platform/testing/ddraw_test_controls.h"
#include "platform/testing/display_test_controls.h"
#include "platform/window/window_backend.h"
#include "tests/support/draw_road_table.h"

namespace {

class ScreenSaveEntryTest : public DrawRoadFixture {
protected:

    // A 16 x 12 graph of many colours, drawn at several places over a cleared screen with a
    // filled box.
    static void DrawPicture() {
        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        GraphImage image{};
        ASSERT_EQ(InitGraphImageRgb24(16, 12, &image), 0);
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 16; ++x) {
                SetGraphImagePixel(&image, x, y, x * 16 + 7, y * 21, (x * y * 5) & 255, 255);
            }
        }
        const HandleValue graph = MakeGraphFromImage(&image);
        FreeGraphImage(&image);
        ASSERT_GE(graph, 0);
        ASSERT_EQ(ApiClearDrawTarget(), 0);
        ASSERT_EQ(FillBoxSoft(200, 150, 420, 330, MakeSurfaceScreenColor(40, 90, 200)), 0);
        for (int i = 0; i < 40; ++i) {
            ASSERT_EQ(BlitGraphAt((i * 53) % 630, (i * 37) % 470, graph, 0), 0);
        }
    }

    // Compares the saved BMP with the shown picture: every pixel's channels agree in the bits
    // the screen holds (all of them on a 32-bit screen, the top 5-6-5 on a 16-bit one).
    void ExpectFileShowsTheWindow(const std::string& utf8Name, int32_t depth) const {
        const std::string file = dir_.ReadFile(utf8Name);
        ASSERT_EQ(file.size(), 921654u);
        EXPECT_EQ(file.substr(0, 2), "BM");
        plat::ShownPicture shown;
        ASSERT_TRUE(plat::GetShownPicture(&shown, GetWindowData().window.handle));
        ASSERT_GE(shown.width, 640);
        ASSERT_GE(shown.height, 480);
        const int keep[3] = {depth == 16 ? 5 : 8, depth == 16 ? 6 : 8, depth == 16 ? 5 : 8};
        int mismatches = 0;
        for (int y = 0; y < 480; ++y) {
            const size_t row = 54 + static_cast<size_t>(479 - y) * 1920;
            for (int x = 0; x < 640; ++x) {
                const uint32_t s = shown.pixels[static_cast<size_t>(y) * shown.width + x];
                const int shownBgr[3] = {static_cast<int>(s & 0xFF),
                                         static_cast<int>((s >> 8) & 0xFF),
                                         static_cast<int>((s >> 16) & 0xFF)};
                for (int c = 0; c < 3; ++c) {
                    const int saved = static_cast<uint8_t>(file[row + x * 3 + c]);
                    if ((saved >> (8 - keep[c])) != (shownBgr[c] >> (8 - keep[c])) &&
                        ++mismatches <= 3) {
                        ADD_FAILURE() << x << "," << y << " channel " << c << ": " << saved
                                      << " saved, " << shownBgr[c] << " shown";
                    }
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
};

// "画面" in Shift-JIS, and the same name as the file system holds it (UTF-8).
constexpr char kSjisName[] = "\x89\xe6\x96\xca.bmp";
const std::string kUtf8Name = reinterpret_cast<const char*>(u8"画面.bmp");

TEST_P(ScreenSaveEntryTest, TheScreenshotIsA640By480BmpOfWhatTheWindowShows) {
    const DrawRoad& road = GetParam();
    {
        StartOnRoad();
        DrawPicture();
        ASSERT_EQ(ApiPresentScreen(), 0);
        ASSERT_EQ(ApiSaveScreenToImageFile(0, 0, 640, 480, kSjisName, 0, 80, 1, -1), 0);
        ExpectFileShowsTheWindow(kUtf8Name, road.depth);
        if (road.softwareScreen) {
            // The front screen is read back from the window before it is saved.
            ASSERT_EQ(ApiSetDrawTarget(kDrawTargetFront), 0);
            ASSERT_EQ(ApiSaveScreenToImageFile(0, 0, 640, 480, "front.bmp", 0, 80, 1, -1), 0);
            ExpectFileShowsTheWindow("front.bmp", road.depth);
        }
        ASSERT_EQ(ApiTermLibrary(), 0);
        ResetScreenState();
    }
}

TEST_F(ScreenSaveEntryTest, AnEmptyRectangleAnswersMinusOneWithALogLine) {
    StartOnRoad(SoftwareScreenRoad(32));
    EXPECT_EQ(ApiSaveScreenToImageFile(640, 0, 700, 480, "none.bmp", 0, 80, 1, -1), -1);
    EXPECT_TRUE(LogHas("描画可能領域の外です"));
    EXPECT_TRUE(dir_.ReadFile("none.bmp").empty());
    ASSERT_EQ(ApiTermLibrary(), 0);
}

INSTANTIATE_ON_DRAW_ROADS(ScreenSaveEntryTest);

}  // namespace
