// The window repaint on every road, after the shipped start-up: while the back screen is the
// draw target, WM_PAINT through the window procedure shows the back screen as it is, draws
// made since the last present (still waiting in the 3D device's batch) included.
#include <gtest/gtest.h>

#include <vector>

#include "platform/window/window_messages.h"
#include "tests/support/bmp_file.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 64, kH = 48;

uint32_t Picture(int32_t x, int32_t y) { return ((x / 4 + y / 4) & 1) ? 0xFF0000u : 0x00FF00u; }

class WindowPaintRoadsTest : public DrawRoadFixture {};

TEST_P(WindowPaintRoadsTest, APaintShowsTheBackScreenWithTheDrawsSinceThePresent) {
    WriteBmp24File(Path("picture.bmp"), 16, 12, Picture);
    StartOnRoad(kW, kH);
    const int picture = ApiLoadGraphFromPath(Path("picture.bmp").c_str(), 0);
    ASSERT_NE(picture, -1);
    ASSERT_EQ(ApiSetDrawTarget(-2), 0);
    ASSERT_EQ(ApiClearDrawTarget(), 0);
    ASSERT_EQ(ApiPresentScreen(), 0);
    // Drawn after the present: the window does not show it yet.
    ASSERT_EQ(ApiDrawGraphAt(20, 10, picture, 0), 0);
    ASSERT_EQ(ApiDrawTextDefaultFont(2, 28, "Up", ApiMakeScreenColor(255, 255, 255), 0), 0);
    {
        const plat::ShownPicture shown = Shown();
        ASSERT_GE(shown.width, kW);
        EXPECT_EQ(shown.pixels[static_cast<size_t>(12 * shown.width + 22)], 0u);
    }

    plat::SendMessage(Window(), plat::WM_PAINT, 0, 0);
    const plat::ShownPicture shown = Shown();
    ASSERT_GE(shown.width, kW);
    ASSERT_GE(shown.height, kH);
    int wrong = 0, lit = 0;
    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 0; x < kW; ++x) {
            const uint32_t got = shown.pixels[static_cast<size_t>(y * shown.width + x)];
            const bool inPicture = x >= 20 && x < 36 && y >= 10 && y < 22;
            if (inPicture && got != Picture(x - 20, y - 10) && ++wrong <= 5) {
                ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << got;
            }
            lit += !inPicture && got == 0xFFFFFF ? 1 : 0;
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(lit, 10);  // the text
    // The window shows what the back screen holds.
    const std::vector<uint32_t> back = BackColours(RECT{0, 0, kW, kH});
    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 0; x < kW; ++x) {
            ASSERT_EQ(shown.pixels[static_cast<size_t>(y * shown.width + x)],
                      back[static_cast<size_t>(y * kW + x)])
                << x << "," << y;
        }
    }
}

INSTANTIATE_ON_DRAW_ROADS(WindowPaintRoadsTest);

}  // namespace
