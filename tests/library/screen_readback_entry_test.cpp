// The screen copied into a texture graph after the real start-up with the Direct3D device
// offered: a sprite loaded and drawn through the public entries lands on the back screen, and
// the capture brings the screen's pixels, sprite and all, into the graph's textures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/d3d/direct3d_backend.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "graphics/screen_save/screen_save.h"
#include "tests/graphics/screen_readback_test_support.h"
#include "tests/support/bmp_file.h"
#include "tests/support/headless_library_fixture.h"

namespace {

using readback_test::Rgba;

// Every channel 0 or 255, so that every screen and texture format holds it exactly.
uint32_t SpriteColor(int x, int y) {
    return ((x & 1) ? 0xFF0000u : 0) | ((y & 1) ? 0x00FF00u : 0) | ((x + y) & 2 ? 0x0000FFu : 0);
}

class ScreenReadbackEntryTest : public HeadlessLibraryFixture {};

TEST_F(ScreenReadbackEntryTest, ACaptureHoldsWhatWasDrawnOnTheScreen) {
    WriteBmp24File(Path("sprite.bmp"), 24, 20, SpriteColor);
    for (int32_t depth : {16, 32}) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        ASSERT_EQ(PrepareWindowedStart(depth, true), 0);
        StartWithoutPumpThread();
        ASSERT_EQ(Direct3DIsUp(), 1);

        const int sprite = ApiLoadGraphFromPath(Path("sprite.bmp").c_str(), 0);
        ASSERT_NE(sprite, -1);
        ASSERT_EQ(ApiSetDrawTarget(-2), 0);
        ASSERT_EQ(ApiClearDrawTarget(), 0);
        ASSERT_EQ(ApiDrawGraphAt(100, 60, sprite, 0), 0);

        const HandleValue graph = CreateBlankGraph(40, 30, 0);
        ASSERT_NE(graph, -1);
        ASSERT_EQ(GetGraphRecord(graph)->flags.is3D, 1);
        ASSERT_EQ(CaptureScreenToGraph(90, 50, 130, 80, graph, 1), 0);
        // The first method of the table works here and is remembered for alpha-keyed
        // textures (blank graphs take the alpha test by default).
        EXPECT_EQ(GetDirect3DBackend().readbackSlots[1], 0);

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
        ASSERT_EQ(ApiTermLibrary(), 0);
        ResetScreenState();
    }
}

}  // namespace
