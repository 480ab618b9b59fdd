// The front screen as the draw target on every road, after the shipped start-up: with
// ApiSetDrawTarget(-4) a graph drawn at a point and turned, text and a clear show in the
// window at once, without a present, and leave the back screen as it was; the next present
// shows the back screen again.
#include <gtest/gtest.h>

#include <numbers>
#include <vector>

#include "tests/support/bmp_file.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 96, kH = 64;

// 7 x 5, every channel 0 or 255; black, the key, on a diagonal.
uint32_t Sprite(int32_t x, int32_t y) {
    constexpr uint32_t kColours[4] = {0xFF0000, 0x00FF00, 0x00FFFF, 0xFFFFFF};
    return (x + y) % 4 == 0 ? 0 : kColours[(x + 2 * y) % 4];
}
constexpr uint32_t kBlue = 0x0000FF;

class FrontScreenEntriesRoadsTest : public DrawRoadFixture {};

TEST_P(FrontScreenEntriesRoadsTest, DrawsToTheFrontShowAtOnceAndLeaveTheBackScreen) {
    WriteBmp24File(Path("sprite.bmp"), 7, 5, Sprite);
    WriteBmp24File(Path("blue.bmp"), kW, kH, [](int, int) { return kBlue; });
    StartOnRoad(kW, kH);
    const int sprite = ApiLoadGraphFromPath(Path("sprite.bmp").c_str(), 0);
    const int blue = ApiLoadGraphFromPath(Path("blue.bmp").c_str(), 0);
    ASSERT_NE(sprite, -1);
    ASSERT_NE(blue, -1);
    // A blue back screen shown in the window.
    ASSERT_EQ(ApiSetDrawTarget(-2), 0);
    ASSERT_EQ(ApiDrawGraphAt(0, 0, blue, 0), 0);
    ASSERT_EQ(ApiPresentScreen(), 0);
    const std::vector<uint32_t> backBefore = BackColours(RECT{0, 0, kW, kH});

    ASSERT_EQ(ApiSetDrawTarget(-4), 0);
    int32_t w = 0, h = 0;
    ASSERT_EQ(ApiQueryGraphSize(-4, &w, &h), 0);
    EXPECT_EQ(w * 1000 + h, kW * 1000 + kH);
    ASSERT_EQ(ApiDrawGraphAt(10, 8, sprite, 1), 0);
    ASSERT_EQ(ApiDrawGraphRotatedInt(40, 20, 1.0, std::numbers::pi / 2, sprite, 0, 0), 0);
    ASSERT_EQ(ApiDrawTextDefaultFont(4, 36, "Hi", ApiMakeScreenColor(255, 255, 0), 0), 0);
    {
        const plat::ShownPicture shown = Shown();
        ASSERT_GE(shown.width, kW);
        ASSERT_GE(shown.height, kH);
        const auto at = [&](int32_t x, int32_t y) {
            return shown.pixels[static_cast<size_t>(y * shown.width + x)];
        };
        int wrong = 0;
        for (int32_t y = 0; y < 5; ++y) {
            for (int32_t x = 0; x < 7; ++x) {
                const uint32_t want = Sprite(x, y) == 0 ? kBlue : Sprite(x, y);
                if (at(10 + x, 8 + y) != want && ++wrong <= 5) {
                    ADD_FAILURE() << "sprite pixel " << x << "," << y << ": " << std::hex
                                  << at(10 + x, 8 + y) << " expected " << want;
                }
                // Turned a quarter about (40, 20): sprite pixel (x, y) at (42 - y, 17 + x),
                // drawn opaque.
                if (at(42 - y, 17 + x) != Sprite(x, y) && ++wrong <= 5) {
                    ADD_FAILURE() << "turned sprite pixel " << x << "," << y << ": " << std::hex
                                  << at(42 - y, 17 + x) << " expected " << Sprite(x, y);
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        int yellow = 0;
        for (int32_t y = 36; y < kH; ++y) {
            for (int32_t x = 0; x < 40; ++x) yellow += at(x, y) == 0xFFFF00 ? 1 : 0;
        }
        EXPECT_GT(yellow, 15);
        EXPECT_EQ(at(80, 50), kBlue);
    }
    // The back screen did not receive the front's draws.
    EXPECT_EQ(CountDiffering(backBefore, BackColours(RECT{0, 0, kW, kH}), kW), 0);

    // A clear of the front shows at once; the back screen comes back with the next present.
    ASSERT_EQ(ApiClearDrawTarget(), 0);
    {
        const plat::ShownPicture shown = Shown();
        ASSERT_GE(shown.width, kW);
        EXPECT_EQ(shown.pixels[static_cast<size_t>(10 * shown.width + 12)], 0u);
        EXPECT_EQ(shown.pixels[static_cast<size_t>(50 * shown.width + 80)], 0u);
    }
    ASSERT_EQ(ApiSetDrawTarget(-2), 0);
    ASSERT_EQ(ApiPresentScreen(), 0);
    const plat::ShownPicture shown = Shown();
    ASSERT_GE(shown.width, kW);
    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 0; x < kW; ++x) {
            ASSERT_EQ(shown.pixels[static_cast<size_t>(y * shown.width + x)], kBlue)
                << x << "," << y;
        }
    }
}

INSTANTIATE_ON_DRAW_ROADS(FrontScreenEntriesRoadsTest);

}  // namespace
