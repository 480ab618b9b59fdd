// The draw target as the shipped start-up leaves it: after ApiInitLibrary (headless) every
// landed draw (unscaled, stretched, rotated, box fill) reaches the back screen at its pixels,
// ApiClearDrawTarget clears it, and the present shows it in the window, on every drawing road.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphics/d3d/device.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_graph/soft_road/blit_graph_2d.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/graph_load/graph_load.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "graphics/surfaces/surface_formats.h"
#include "platform/ddraw/ddraw.h"
#include "platform/testing/ddraw_test_controls.h"
#include "platform/testing/display_test_controls.h"
#include "platform/window/window_backend.h"
#include "graphics/draw_graph/soft_road/rotated_graph_soft.h"
#include "graphics/draw_graph/soft_road/stretched_graph_soft.h"
#include "tests/support/draw_road_table.h"

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

std::string Text(const Rgb& c) {
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

// Every channel 0 or 255, so that any screen format holds the colour exactly.
Rgb SpriteColor(int x, int y) {
    return Rgb{(x & 1) * 255, (y & 1) * 255, ((x + y) & 2) != 0 ? 255 : 0};
}

class DrawTargetStartupTest : public DrawRoadFixture {
protected:
    // Starts the library windowed at 640 x 480 on a display of the depth: a software screen,
    // or one in DirectDraw surfaces (kept when 3D drawing is off).
    static void Start(bool softwareScreen, int32_t depth) {
        ASSERT_EQ(PrepareWindowedStart(depth, false), 0);
        if (!softwareScreen) SetSoftwareRenderRequest(1);
        plat::FailNextThreadStarts(1);
        ASSERT_EQ(ApiInitLibrary(), 0);
        ASSERT_EQ(GetScreenState().softwareScreen, softwareScreen ? 1 : 0);
    }

    // The back screen's pixel, whichever road the start-up took (the 3D device's waiting
    // vertices drawn first).
    static Rgb BackPixel(int32_t x, int32_t y) {
        if (Direct3DIsUp()) {
            EXPECT_EQ(FlushCurrentDeviceVertices(), 0);
        }
        ScreenState& s = GetScreenState();
        uint32_t raw = 0;
        const ColorFormat* format = nullptr;
        if (s.softwareScreen) {
            const MEMIMG& image = s.backImage;
            format = image.colorFormat;
            std::memcpy(&raw, image.pixels + y * image.pitch + x * format->bytes, format->bytes);
        } else {
            format = &GetSurfaceScreenFormat()->format;
            const plat::Rect r{x, y, x + 1, y + 1};
            plat::SurfaceDesc desc{};
            EXPECT_EQ(s.back->Lock(&r, &desc, plat::DDLOCK_WAIT), plat::DD_OK);
            std::memcpy(&raw, desc.surface, format->bytes);
            s.back->Unlock(&r);
        }
        int r = 0, g = 0, b = 0, a = 0;
        ColorFormatPixelToRgba(format, raw, &r, &g, &b, &a);
        return Rgb{r, g, b};
    }

    static HandleValue MakeGraph(int w, int h, bool pattern) {
        GraphImage image{};
        EXPECT_EQ(InitGraphImageRgb24(w, h, &image), 0);
        FillGraphImage(&image, 255, 255, 0, 255);
        if (pattern) {
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const Rgb c = SpriteColor(x, y);
                    SetGraphImagePixel(&image, x, y, c.r, c.g, c.b, 255);
                }
            }
        }
        const HandleValue graph = MakeGraphFromImage(&image);
        FreeGraphImage(&image);
        EXPECT_GE(graph, 0);
        return graph;
    }

    static void DrawAndPresent();
};

class DrawTargetRoadsTest : public DrawTargetStartupTest {};

// Through the drawing family, which hands each draw to the road's back end.
TEST_P(DrawTargetRoadsTest, LandedDrawsReachTheBackScreenAndTheClearAndPresentFollow) {
    StartOnRoad();
    DrawAndPresent();
    StopRoad();
}

INSTANTIATE_ON_DRAW_ROADS(DrawTargetRoadsTest);

void DrawTargetStartupTest::DrawAndPresent() {
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    const HandleValue sprite = MakeGraph(8, 6, true);
    const HandleValue yellow = MakeGraph(6, 6, false);

    // Something on the screen first, then the public clear empties it.
    ASSERT_EQ(FillBoxSoft(0, 0, 640, 480, MakeSurfaceScreenColor(255, 255, 255)), 0);
    EXPECT_EQ(BackPixel(5, 5), (Rgb{255, 255, 255}));
    ASSERT_EQ(ApiClearDrawTarget(), 0);
    for (const auto& [x, y] : {std::pair{0, 0}, {639, 479}, {320, 240}}) {
        EXPECT_EQ(BackPixel(x, y), (Rgb{0, 0, 0})) << x << "," << y;
    }

    ASSERT_EQ(BlitGraphAt(10, 20, sprite, 0), 0);
    ASSERT_EQ(BlitGraphStretched(100, 100, 116, 112, sprite, 0), 0);
    ASSERT_EQ(BlitGraphRotated(300.0f, 200.0f, 2.0, 0.3, yellow, 0, 0), 0);
    ASSERT_EQ(FillBoxSoft(400, 10, 420, 30, MakeSurfaceScreenColor(0, 255, 0)), 0);
    // A bright sprite takes the kernel on either road.
    ASSERT_EQ(ApiSetBrightnessRGB(255, 0, 255), 0);
    ASSERT_EQ(BlitGraphAt(500, 300, yellow, 0), 0);
    ASSERT_EQ(ApiSetBrightnessRGB(255, 255, 255), 0);

    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            EXPECT_EQ(Text(BackPixel(10 + x, 20 + y)), Text(SpriteColor(x, y)));
            EXPECT_EQ(Text(BackPixel(100 + 2 * x + 1, 100 + 2 * y + 1)), Text(SpriteColor(x, y)));
        }
    }
    EXPECT_EQ(BackPixel(9, 20), (Rgb{0, 0, 0}));
    EXPECT_EQ(BackPixel(18, 20), (Rgb{0, 0, 0}));
    EXPECT_EQ(BackPixel(300, 200), (Rgb{255, 255, 0}));
    EXPECT_EQ(BackPixel(290, 200), (Rgb{0, 0, 0}));
    EXPECT_EQ(BackPixel(410, 20), (Rgb{0, 255, 0}));
    EXPECT_EQ(BackPixel(503, 303), (Rgb{255, 0, 0}));

    // The present shows the back screen in the window.
    ASSERT_EQ(PresentScreen(), 0);
    plat::ShownPicture shown;
    ASSERT_TRUE(plat::GetShownPicture(&shown, GetWindowData().window.handle));
    ASSERT_GE(shown.width, 640);
    ASSERT_GE(shown.height, 480);
    const Rgb c = SpriteColor(1, 2);
    EXPECT_EQ(shown.pixels[22 * shown.width + 11],
              static_cast<uint32_t>(c.r << 16 | c.g << 8 | c.b));
    EXPECT_EQ(shown.pixels[20 * shown.width + 410], 0x0000FF00u);
    EXPECT_EQ(shown.pixels[200 * shown.width + 300], 0x00FFFF00u);
}

TEST_F(DrawTargetStartupTest, OnASoftwareScreenTheFrontFollowsTheWindow) {
    Start(true, 16);
    const HandleValue sprite = MakeGraph(8, 6, true);
    const plat::WindowHandle window = GetWindowData().window.handle;
    const auto shownAt = [window](int x, int y) {
        plat::ShownPicture shown;
        EXPECT_TRUE(plat::GetShownPicture(&shown, window));
        return shown.width > x && shown.height > y ? shown.pixels[y * shown.width + x] : 1u;
    };
    const auto packed = [](const Rgb& c) {
        return static_cast<uint32_t>(c.r << 16 | c.g << 8 | c.b);
    };

    // A sprite drawn to the front shows in the window at once, without a present.
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetFront), 0);
    ASSERT_EQ(BlitGraph2D(10, 20, GetGraphRecord(sprite), 0, 1), 0);
    EXPECT_EQ(shownAt(11, 22), packed(SpriteColor(1, 2)));
    ASSERT_EQ(BlitGraphStretchedSoft(200, 100, 216, 112, GetGraphRecord(sprite), 0, 1, kNoHandle),
              0);
    EXPECT_EQ(shownAt(203, 105), packed(SpriteColor(1, 2)));

    // A white back screen presented: the next draw to the front starts from that picture.
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    ASSERT_EQ(FillBoxSoft(0, 0, 640, 480, MakeSurfaceScreenColor(255, 255, 255)), 0);
    ASSERT_EQ(PresentScreen(), 0);
    EXPECT_EQ(shownAt(5, 5), 0x00FFFFFFu);
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetFront), 0);
    ASSERT_EQ(BlitGraph2D(300, 300, GetGraphRecord(sprite), 0, 1), 0);
    EXPECT_EQ(GetScreenState().frontNeedsReadBack, 0);
    const MEMIMG& front = GetScreenState().primaryImage;
    uint16_t raw = 0;
    std::memcpy(&raw, front.pixels + 5 * front.pitch + 5 * 2, 2);
    EXPECT_EQ(raw, 0xFFFF);  // read back from the window, not the old front picture
    EXPECT_EQ(shownAt(301, 302), packed(SpriteColor(1, 2)));
    EXPECT_EQ(shownAt(5, 5), 0x00FFFFFFu);
    ASSERT_EQ(ApiTermLibrary(), 0);
}

TEST_F(DrawTargetStartupTest, AFrontImageWithPaddedRowsIsShownAndReadBackRowForRow) {
    Start(true, 16);
    const plat::WindowHandle window = GetWindowData().window.handle;
    // The front image made anew with rows 42 bytes longer than its pixels: not a whole number of
    // 4-byte DIB rows, so a row length taken from the pitch would skew every row.
    MEMIMG& front = GetScreenState().primaryImage;
    ReleaseMemImg(&front);
    std::memset(&front, 0, sizeof front);
    ASSERT_EQ(CreateMemImg(&front, 640, 480, 640 * 2 + 42, 0, MEMIMG_FORMAT_565, 0, 0), 0);
    const auto value = [](int x, int y) {
        return static_cast<uint16_t>(((x & 1) != 0 ? 0xF800 : 0) | ((y & 1) != 0 ? 0x07E0 : 0) |
                                     ((x + y) % 3 == 0 ? 0x001F : 0));
    };
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const uint16_t v = value(x, y);
            std::memcpy(front.pixels + y * front.pitch + x * 2, &v, 2);
        }
    }
    const RECT rect{10, 20, 30, 28};
    ASSERT_EQ(RepaintFrontRect(&rect), 0);
    plat::ShownPicture shown;
    ASSERT_TRUE(plat::GetShownPicture(&shown, window));
    for (int y = 19; y <= 28; ++y) {
        for (int x = 9; x <= 30; ++x) {
            const bool inside = x >= 10 && x < 30 && y >= 20 && y < 28;
            const uint16_t v = value(x, y);
            const uint32_t expected = inside ? ((v & 0xF800) != 0 ? 0xFF0000u : 0u) |
                                                   ((v & 0x07E0) != 0 ? 0x00FF00u : 0u) |
                                                   ((v & 0x001F) != 0 ? 0x0000FFu : 0u)
                                             : shown.pixels[y * shown.width + x];
            EXPECT_EQ(shown.pixels[y * shown.width + x], expected) << x << "," << y;
        }
    }

    // Read back into the padded rows: each row lands in its own row, the padding untouched.
    std::vector<uint8_t> padding(42, 0x5A);
    for (int y = 0; y < 480; ++y) {
        std::memcpy(front.pixels + y * front.pitch + 1280, padding.data(), padding.size());
    }
    FillMemImgRaw(&front, nullptr, 0);
    GetScreenState().frontNeedsReadBack = 1;
    ASSERT_EQ(ReadBackFrontScreen(), 0);
    EXPECT_EQ(GetScreenState().frontNeedsReadBack, 0);
    for (int y = 20; y < 28; ++y) {
        for (int x = 10; x < 30; ++x) {
            uint16_t v = 0;
            std::memcpy(&v, front.pixels + y * front.pitch + x * 2, 2);
            EXPECT_EQ(v, value(x, y)) << x << "," << y;
        }
        EXPECT_EQ(front.pixels[y * front.pitch + 1280], 0x5A);
    }
    ASSERT_EQ(ApiTermLibrary(), 0);
}

TEST_F(DrawTargetStartupTest, TheFrontOfAWindowedDirectDrawScreenIsTheWindowsPlaceOnThePrimary) {
    Start(false, 32);
    const plat::WindowHandle window = GetWindowData().window.handle;
    const auto shownAt = [window](int x, int y) {
        plat::ShownPicture shown;
        EXPECT_TRUE(plat::GetShownPicture(&shown, window));
        return shown.width > x && shown.height > y ? shown.pixels[y * shown.width + x] : 1u;
    };
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetFront), 0);
    EXPECT_EQ(GetDrawTargetSurface().surface, GetScreenState().primary);
    const RECT& place = GetDrawState().frontScreenRect;
    EXPECT_NE(place.left | place.top, 0);  // the window does not sit at the desktop's corner

    // A fill and a sprite on the front land in the window, at window coordinates.
    ASSERT_EQ(FillBoxSoft(0, 0, 640, 480, MakeSurfaceScreenColor(255, 255, 255)), 0);
    EXPECT_EQ(shownAt(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(shownAt(639, 479), 0x00FFFFFFu);
    const HandleValue sprite = MakeGraph(8, 6, true);
    ASSERT_EQ(ApiSetBrightnessRGB(255, 255, 254), 0);  // through the lock road
    ASSERT_EQ(BlitGraph2D(20, 30, GetGraphRecord(sprite), 0, 1), 0);
    ASSERT_EQ(ApiSetBrightnessRGB(255, 255, 255), 0);
    EXPECT_EQ(shownAt(20, 30) & 0xFFFF00u, 0u);  // sprite (0, 0) is black, blue at most 254
    EXPECT_EQ(shownAt(21, 30), 0x00FF0000u);

    // The clear of the front fills the window's rectangle on the desktop.
    ASSERT_EQ(ApiClearDrawTarget(), 0);
    EXPECT_EQ(shownAt(0, 0), 0u);
    EXPECT_EQ(shownAt(639, 479), 0u);
    EXPECT_EQ(shownAt(21, 30), 0u);
    ASSERT_EQ(ApiTermLibrary(), 0);
}

TEST_F(DrawTargetStartupTest, TheFrontDrawnThroughTheTemporaryPrimaryReachesThePrimaryWhenLeft) {
    ASSERT_EQ(SetUseTempPrimary(1), 0);
    Start(false, 16);
    ScreenState& s = GetScreenState();
    ASSERT_EQ(s.useTempPrimary, 1);
    ASSERT_NE(s.tempPrimary, nullptr);
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetFront), 0);
    EXPECT_EQ(GetDrawTargetSurface().surface, s.tempPrimary);
    EXPECT_EQ(s.tempPrimaryTimerOn, 1);
    ASSERT_EQ(FillBoxSoft(0, 0, 640, 480, MakeSurfaceScreenColor(0, 0, 255)), 0);
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    EXPECT_EQ(GetDrawTargetSurface().surface, s.back);
    EXPECT_EQ(s.tempPrimaryTimerOn, 0);
    // Leaving the front copied the temporary primary to the window once more.
    plat::ShownPicture shown;
    ASSERT_TRUE(plat::GetShownPicture(&shown, GetWindowData().window.handle));
    ASSERT_GE(shown.width, 640);
    EXPECT_EQ(shown.pixels[100 * shown.width + 100], 0x000000FFu);
    ASSERT_EQ(ApiTermLibrary(), 0);
}

TEST_F(DrawTargetStartupTest, ClearingBeforeStartUpFindsNoTarget) {
    EXPECT_EQ(ApiClearDrawTarget(), -1);
}

}  // namespace
