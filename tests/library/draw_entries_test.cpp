// The public graph draws as the program reaches them: after ApiInitLibrary (headless) a graph
// loaded from a file is drawn with ApiDrawGraphAt and ApiDrawGraphRotatedInt, and the
// presented picture shows it at its pixels, on every drawing road.
#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "platform/display/display.h"
#include "tests/support/bmp_file.h"
#include "tests/support/draw_road_table.h"

namespace {

// Every channel 0 or 255, so that any screen format holds the colour exactly; (x + y) % 5 == 0
// is black, the colour key.
uint32_t SpriteColor(int x, int y) {
    if ((x + y) % 5 == 0) return 0;
    return ((x & 1) ? 0xFF0000u : 0) | ((y & 1) ? 0x00FF00u : 0) | ((x + y) & 2 ? 0x0000FFu : 0) |
           (x == 6 ? 0x00FF00u : 0);
}
constexpr uint32_t kYellow = 0xFFFF00;

class DrawEntriesTest : public DrawRoadFixture {};

TEST_P(DrawEntriesTest, GraphsDrawnAtAPointAndRotatedShowInThePresentedPicture) {
    WriteBmp24File(Path("sprite.bmp"), 8, 6, SpriteColor);
    WriteBmp24File(Path("yellow.bmp"), 16, 16, [](int, int) { return kYellow; });
    {
        StartOnRoad();
        const int sprite = ApiLoadGraphFromPath(Path("sprite.bmp").c_str(), 0);
        const int yellow = ApiLoadGraphFromPath(Path("yellow.bmp").c_str(), 0);
        ASSERT_NE(sprite, -1);
        ASSERT_NE(yellow, -1);
        ASSERT_EQ(ApiSetDrawTarget(-2), 0);
        ASSERT_EQ(ApiClearDrawTarget(), 0);

        // At a point over yellow, the colour key left out.
        ASSERT_EQ(ApiDrawGraphAt(6, 16, yellow, 0), 0);
        ASSERT_EQ(ApiDrawGraphAt(10, 20, sprite, 1), 0);
        // Turned a quarter at twice the size about (300, 200), and mirrored about (100, 100).
        ASSERT_EQ(ApiDrawGraphRotatedInt(300, 200, 2.0, std::numbers::pi / 2, sprite, 0, 0), 0);
        ASSERT_EQ(ApiDrawGraphRotatedInt(100, 100, 1.0, 0.0, sprite, 0, 1), 0);
        // A bad handle is refused by both.
        EXPECT_EQ(ApiDrawGraphAt(0, 0, 0x12345, 0), -1);
        EXPECT_EQ(ApiDrawGraphRotatedInt(0, 0, 1.0, 0.0, -1, 0, 0), -1);
        // Locked entries: the lock is free again.
        EXPECT_EQ(GetApiLockState().locked, 0u);
        EXPECT_EQ(GetApiLockState().recursion, 0);

        ASSERT_EQ(ApiPresentScreen(), 0);
        plat::ShownPicture shown;
        ASSERT_TRUE(plat::GetShownPicture(&shown, Window()));
        ASSERT_GE(shown.width, 640);
        const auto at = [&](int x, int y) { return shown.pixels[y * shown.width + x]; };
        const int shift = GetParam().direct3D ? 1 : 0;
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 8; ++x) {
                SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
                const uint32_t c = SpriteColor(x, y);
                EXPECT_EQ(at(10 + x, 20 + y), c == 0 ? kYellow : c);
                // The rotated draw shows at each screen pixel the graph's pixel under that
                // pixel's top-left corner, mapped back about the centre (4, 3). Turned a
                // quarter and doubled, (x, y) is the 2 x 2 block at (305 - 2y, 192 + 2x).
                // The 3D device centres the even-sized graph on (299.5, 199.5) and samples
                // pixel centres: the same picture one pixel to the left.
                for (int dy = 0; dy < 2; ++dy) {
                    for (int dx = 0; dx < 2; ++dx) {
                        EXPECT_EQ(at(305 - shift - 2 * y + dx, 192 + 2 * x + dy), c);
                    }
                }
                // Mirrored: the corner at 100 + d reads column 4 - d (one to the left on the
                // 3D device, as above).
                EXPECT_EQ(at(104 - shift - x, 97 + y), c);
            }
        }
        EXPECT_EQ(at(5, 16), 0u);
        EXPECT_EQ(at(22, 31), 0u);
        EXPECT_EQ(FindLine("ApiDrawGraph"), -1);  // no "not there yet" line

        // Drawn to the front, the graph shows in the window at once.
        ASSERT_EQ(ApiSetDrawTarget(-4), 0);
        ASSERT_EQ(ApiDrawGraphRotatedInt(500, 300, 1.0, 0.0, yellow, 0, 0), 0);
        ASSERT_EQ(ApiDrawGraphAt(500, 400, sprite, 0), 0);
        ASSERT_TRUE(plat::GetShownPicture(&shown, Window()));
        EXPECT_EQ(at(495, 295), kYellow);
        EXPECT_EQ(at(500 + 1, 400 + 2), SpriteColor(1, 2));
        EXPECT_EQ(at(491, 291), 0u);
        ASSERT_EQ(ApiTermLibrary(), 0);
        ResetScreenState();
    }
}

INSTANTIATE_ON_DRAW_ROADS(DrawEntriesTest);

}  // namespace
