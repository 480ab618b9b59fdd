// The screen copied into a texture graph after the real start-up with the Direct3D device
// offered: a sprite loaded and drawn through the public entries lands on the back screen, and
// the capture brings the screen's pixels, sprite and all, into the graph's textures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "graphics/d3d/direct3d_backend.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "graphics/screen_save/screen_save.h"
#include "platform/testing/d3d_test_controls.h"
#include "platform/testing/ddraw_test_controls.h"
#include "platform/testing/display_test_controls.h"
#include "platform/window/window_backend.h"
#include "tests/graphics/screen_readback_test_support.h"
#include "tests/support/library_fixture.h"

namespace {

using readback_test::Rgba;

// Every channel 0 or 255, so that every screen and texture format holds it exactly.
uint32_t SpriteColor(int x, int y) {
    return ((x & 1) ? 0xFF0000u : 0) | ((y & 1) ? 0x00FF00u : 0) | ((x + y) & 2 ? 0x0000FFu : 0);
}

// A 24-bit bottom-up BMP whose pixel (x, y) is SpriteColor(x, y).
void WriteSpriteBmp(const std::string& path, int32_t width, int32_t height) {
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    std::vector<uint8_t> bytes(54 + rowBytes * height, 0);
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, static_cast<uint32_t>(bytes.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            put(54 + static_cast<size_t>(height - 1 - y) * rowBytes + x * 3, SpriteColor(x, y), 3);
        }
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

class ScreenReadbackEntryTest : public LibraryFixture {
protected:
    void SetUp() override {
        setenv("ZN_VIDEO", "headless", 1);
        LibraryFixture::SetUp();
        plat::ResetDisplayTestControls();
        plat::ResetDDrawTestControls();
        plat::ResetD3DTestControls();
        ResetScreenState();
        plat::OfferDirect3D(true);
    }
    void TearDown() override {
        LibraryFixture::TearDown();
        ResetScreenState();
        plat::ResetD3DTestControls();
        plat::ResetDisplayTestControls();
        plat::ResetDDrawTestControls();
    }

    std::string Path(const char* name) const { return (dir_.path() / name).string(); }
};

TEST_F(ScreenReadbackEntryTest, ACaptureHoldsWhatWasDrawnOnTheScreen) {
    WriteSpriteBmp(Path("sprite.bmp"), 24, 20);
    for (int32_t depth : {16, 32}) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        plat::SetHeadlessDesktop(1920, 1080, depth);
        ApiChangeWindowMode(1);
        ASSERT_EQ(ChangeScreenMode(640, 480, depth, 0, -1), 0);
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
