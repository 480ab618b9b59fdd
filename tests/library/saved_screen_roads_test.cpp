// The picture an inactive window keeps, on every road after the shipped start-up: when the
// window goes inactive the picture it shows (the back screen as last presented) is saved, and
// a repaint while it stays inactive shows that picture pixel for pixel, whatever the back
// screen holds by then and whatever blend, bright and draw area the game had set; the back screen
// and the draw state come back as they were, and once active again the repaint shows the back
// screen.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "platform/window/window_messages.h"
#include "system/inactive_window_redraw.h"
#include "system/window_data.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 96, kH = 64;

// Every channel 0 or 255, varied from pixel to pixel.
uint32_t Picture(int32_t x, int32_t y) {
    constexpr uint32_t kColours[6] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFFFFFF};
    return kColours[(x + 2 * y + x / 5) % 6];
}

class SavedScreenRoadsTest : public DrawRoadFixture {
protected:
    // The whole back screen blue, written straight into its image or surface.
    static void FillBackBlue() {
        ScreenState& s = GetScreenState();
        if (s.softwareScreen) {
            MEMIMG& image = s.backImage;
            const uint32_t value = ColorFormatRgbaToPixel(image.colorFormat, 0, 0, 255, 255);
            const int32_t bytes = image.colorFormat->bytes;
            for (int32_t y = 0; y < image.height; ++y) {
                for (int32_t x = 0; x < image.width; ++x) {
                    std::memcpy(image.pixels + y * image.pitch + x * bytes, &value,
                                static_cast<size_t>(bytes));
                }
            }
        } else {
            plat::BltFx fx = {};
            fx.fillColor = MakeScreenColor(0, 0, 255);
            ASSERT_EQ(s.back->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL, &fx),
                      plat::DD_OK);
        }
    }
    static void Repaint() {
        plat::InvalidateWindow(Window());
        plat::UpdateWindow(Window());
    }
    // Pixels of the window's picture that are not the expected ones.
    static int Mismatches(uint32_t (*expected)(int32_t, int32_t)) {
        const plat::ShownPicture shown = Shown();
        if (shown.width < kW || shown.height < kH) return -1;
        int wrong = 0;
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                const uint32_t got = shown.pixels[static_cast<size_t>(y * shown.width + x)];
                if (got != expected(x, y) && ++wrong <= 5) {
                    ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << got
                                  << " expected " << expected(x, y);
                }
            }
        }
        return wrong;
    }
};

TEST_P(SavedScreenRoadsTest, AnInactiveWindowIsRepaintedWithThePictureItShowed) {
    StartOnRoad(kW, kH);
    ASSERT_EQ(ApiSetDrawTarget(-2), 0);
    const HandleValue picture = MakeGeneratedGraph(kW, kH, Picture);
    ASSERT_EQ(BlitGraphAt(0, 0, picture, 0), 0);
    ASSERT_EQ(ApiPresentScreen(), 0);
    // The game's own draw state, to come back unchanged.
    ASSERT_EQ(ApiSetBlendMode(1, 128), 0);
    ASSERT_EQ(ApiSetBrightnessRGB(200, 100, 50), 0);
    ASSERT_EQ(SetDrawAreaRect(10, 8, 60, 40), 0);

    plat::SendMessage(Window(), plat::WM_ACTIVATE, 0, 0);
    ASSERT_EQ(GetWindowData().window.active, 0u);
    ASSERT_NE(GetSavedScreenGraph(), -1);
    // The back screen changes meanwhile (the library's entries wait while the window is
    // inactive, so it is filled behind their back).
    FillBackBlue();

    Repaint();
    EXPECT_EQ(Mismatches(Picture), 0);
    const DrawState& draw = GetDrawState();
    EXPECT_EQ(draw.blendMode * 1000 + draw.blendParam, 1128);
    EXPECT_EQ(draw.bright & 0xFFFFFF, 0xC86432u);
    EXPECT_EQ(draw.drawArea.left * 1000 + draw.drawArea.top, 10008);
    EXPECT_EQ(draw.drawArea.right * 1000 + draw.drawArea.bottom, 60040);
    EXPECT_EQ(GetDrawTarget(), kDrawTargetBack);
    const std::vector<uint32_t> back = BackColours(RECT{0, 0, kW, kH});
    for (const uint32_t c : back) ASSERT_EQ(c, 0x0000FFu);

    plat::SendMessage(Window(), plat::WM_ACTIVATE, 1, 0);
    EXPECT_EQ(GetSavedScreenGraph(), -1);
    Repaint();
    EXPECT_EQ(Mismatches([](int32_t, int32_t) { return 0x0000FFu; }), 0);
}

INSTANTIATE_ON_DRAW_ROADS(SavedScreenRoadsTest);

}  // namespace
