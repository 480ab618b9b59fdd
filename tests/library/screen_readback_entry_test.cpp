// The screen copied into a graph after the real start-up, on every drawing road: a sprite
// loaded and drawn through the public entries lands on the back screen, and the capture brings
// the screen's pixels, sprite and all, into the graph (its textures on the 3D device, read back
// from the device), which then draws them back on the screen unchanged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/d3d/device.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "graphics/screen_save/screen_save.h"
#include "tests/graphics/d3d/screen_readback_test_support.h"
#include "tests/support/bmp_file.h"
#include "tests/support/draw_road_table.h"

namespace {

using readback_test::Rgba;

// Every channel 0 or 255, so that every screen and texture format holds it exactly.
uint32_t SpriteColor(int x, int y) {
    return ((x & 1) ? 0xFF0000u : 0) | ((y & 1) ? 0x00FF00u : 0) | ((x + y) & 2 ? 0x0000FFu : 0);
}

class ScreenReadbackEntryTest : public DrawRoadFixture {};

TEST_P(ScreenReadbackEntryTest, ACaptureHoldsWhatWasDrawnOnTheScreen) {
    WriteBmp24File(Path("sprite.bmp"), 24, 20, SpriteColor);
    {
        StartOnRoad();

        const int sprite = ApiLoadGraphFromPath(Path("sprite.bmp").c_str(), 0);
        ASSERT_NE(sprite, -1);
        ASSERT_EQ(ApiSetDrawTarget(-2), 0);
        ASSERT_EQ(ApiClearDrawTarget(), 0);
        ASSERT_EQ(ApiDrawGraphAt(100, 60, sprite, 0), 0);

        const HandleValue graph = CreateBlankGraph(40, 30, 0);
        ASSERT_NE(graph, -1);
        ASSERT_EQ(GetGraphRecord(graph)->flags.is3D, GetParam().direct3D ? 1 : 0);
        ASSERT_EQ(CaptureScreenToGraph(90, 50, 130, 80, graph, 1), 0);
        if (GetParam().direct3D) {
            // The first method of the table works here and is remembered for alpha-keyed
            // textures (blank graphs take the alpha test by default).
            EXPECT_EQ(GetDevice3DState().readbackSlots[1], 0);

            const std::vector<Rgba> got = readback_test::TextureGraphColours(graph, 40, 30);
            const std::vector<Rgba> screen =
                readback_test::SurfaceColours(GetScreenState().back, RECT{90, 50, 130, 80});
            EXPECT_EQ(got, screen);
            // The sprite's pixels, at (10, 10) of the capture, on the cleared (black) screen.
            int wrong = 0;
            for (int32_t y = 0; y < 30; ++y) {
                for (int32_t x = 0; x < 40; ++x) {
                    const bool inSprite = x >= 10 && x < 34 && y >= 10 && y < 30;
                    const uint32_t c = inSprite ? SpriteColor(x - 10, y - 10) : 0;
                    const Rgba want{static_cast<int>(c >> 16), static_cast<int>((c >> 8) & 0xFF),
                                    static_cast<int>(c & 0xFF), 255};
                    wrong += got[y * 40 + x] == want ? 0 : 1;
                }
            }
            EXPECT_EQ(wrong, 0);
        }

        // On every road the captured graph draws the same pixels elsewhere on the screen.
        ASSERT_EQ(ApiDrawGraphAt(300, 200, graph, 0), 0);
        ASSERT_EQ(ApiPresentScreen(), 0);
        const std::vector<uint32_t> copy = BackColours(RECT{300, 200, 340, 230});
        int wrong = 0;
        for (int32_t y = 0; y < 30; ++y) {
            for (int32_t x = 0; x < 40; ++x) {
                const bool inSprite = x >= 10 && x < 34 && y >= 10 && y < 30;
                const uint32_t c = inSprite ? SpriteColor(x - 10, y - 10) : 0;
                if (copy[y * 40 + x] != c && ++wrong <= 3) {
                    ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << copy[y * 40 + x]
                                  << " expected " << c;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        StopRoad();
    }
}

INSTANTIATE_ON_DRAW_ROADS(ScreenReadbackEntryTest);

}  // namespace
