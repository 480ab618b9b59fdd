// Image transfer as the shipped start-up leaves it: BMP files loaded through
// ApiLoadGraphFromPath, drawn with their colour key onto the back screen and presented, on the
// software screen and on DirectDraw surfaces, 16-bit and 32-bit. An 8-bit file whose palette
// does not hold the key colour shows its index-0 pixels; one whose index 0 is the key colour
// hides them. A surface lost and restored is reloaded and shows the same picture.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_graph/soft_road/blit_graph_2d.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "graphics/surfaces/surface_formats.h"
#include "platform/testing/ddraw_test_controls.h"
#include "platform/testing/display_test_controls.h"
#include "platform/window/window_backend.h"
#include "tests/support/headless_library_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes* b, size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) (*b)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A bottom-up BMP of 24 or 8 bits (8 bits: 256 palette entries of palette(i), 0x00RRGGBB);
// pixel(x, y) is the colour or the index of row y counted from the top.
void WriteBmp(const std::string& path, int width, int height, int bits,
              const std::function<uint32_t(int, int)>& pixel,
              const std::function<uint32_t(int)>& palette = nullptr) {
    const int rowBytes = (width * bits / 8 + 3) & ~3;
    const int tableBytes = bits == 8 ? 1024 : 0;
    const int offset = 54 + tableBytes;
    Bytes b(static_cast<size_t>(offset + rowBytes * height), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put(&b, 2, static_cast<uint32_t>(b.size()), 4);
    Put(&b, 10, static_cast<uint32_t>(offset), 4);
    Put(&b, 14, 40, 4);
    Put(&b, 18, static_cast<uint32_t>(width), 4);
    Put(&b, 22, static_cast<uint32_t>(height), 4);
    Put(&b, 26, 1, 2);
    Put(&b, 28, static_cast<uint32_t>(bits), 2);
    for (int i = 0; i < tableBytes / 4; ++i) Put(&b, 54 + i * 4, palette(i), 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const size_t at = static_cast<size_t>(offset + (height - 1 - y) * rowBytes + x * bits / 8);
            Put(&b, at, pixel(x, y), bits / 8);
        }
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                static_cast<std::streamsize>(b.size()));
}

// Every channel 0 or 255, so that any screen format holds the colours exactly; black is the
// colour key (the default transparent colour).
uint32_t SpriteColour(int x, int y) {
    return (x + y) % 3 == 0 ? 0x000000u : (x & 1 ? 0xFF0000u : 0x00FF00u) | (y & 1 ? 0xFFu : 0);
}
constexpr uint32_t kBackground = 0x0000FF;

class ImageTransferEntryTest : public HeadlessLibraryFixture {
protected:
    static void Start(bool softwareScreen, int32_t depth) {
        ASSERT_EQ(PrepareWindowedStart(depth, false), 0);
        if (!softwareScreen) SetSoftwareRenderRequest(1);
        plat::FailNextThreadStarts(1);
        ASSERT_EQ(ApiInitLibrary(), 0);
        ASSERT_EQ(GetScreenState().softwareScreen, softwareScreen ? 1 : 0);
    }


    // Background, the three graphs drawn with their key, present; the shown picture.
    static plat::ShownPicture DrawAndPresent(int picture, int noKey, int keyAtZero) {
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        EXPECT_EQ(FillBoxSoft(0, 0, 640, 480, MakeSurfaceScreenColor(0, 0, 255)), 0);
        EXPECT_EQ(BlitGraph2D(10, 20, GetGraphRecord(picture), 1, 1), 0);
        EXPECT_EQ(BlitGraph2D(100, 20, GetGraphRecord(noKey), 1, 1), 0);
        EXPECT_EQ(BlitGraph2D(200, 20, GetGraphRecord(keyAtZero), 1, 1), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        plat::ShownPicture shown;
        EXPECT_TRUE(plat::GetShownPicture(&shown, GetWindowData().window.handle));
        return shown;
    }

    static void ExpectPicture(const plat::ShownPicture& shown) {
        ASSERT_GE(shown.width, 640);
        const auto at = [&](int x, int y) { return shown.pixels[y * shown.width + x]; };
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 6; ++x) {
                const uint32_t c = SpriteColour(x, y);
                EXPECT_EQ(at(10 + x, 20 + y), c == 0 ? kBackground : c) << x << "," << y;
            }
        }
        for (int x = 0; x < 4; ++x) {
            // No palette entry is black: index 0 (red) is drawn like any other.
            EXPECT_EQ(at(100 + x, 20), 0xFF0000u) << x;
            EXPECT_EQ(at(100 + x, 21), 0x00FF00u) << x;
            // Index 0 is black, the key: hidden.
            EXPECT_EQ(at(200 + x, 20), kBackground) << x;
            EXPECT_EQ(at(200 + x, 21), 0x00FF00u) << x;
        }
        EXPECT_EQ(at(9, 20), kBackground);
    }
};

TEST_F(ImageTransferEntryTest, LoadedBitmapsAreDrawnWithTheirKeysAndSurviveALostSurface) {
    const auto indexRows = [](int, int y) { return static_cast<uint32_t>(y); };
    WriteBmp(Path("picture.bmp"), 6, 5, 24, SpriteColour);
    WriteBmp(Path("nokey.bmp"), 4, 2, 8, indexRows,
             [](int i) { return i == 0 ? 0xFF0000u : i == 1 ? 0x00FF00u : 0x808000u + i; });
    WriteBmp(Path("keyzero.bmp"), 4, 2, 8, indexRows,
             [](int i) { return i == 0 ? 0x000000u : i == 1 ? 0x00FF00u : 0x808000u + i; });
    struct Road {
        const char* name;
        bool softwareScreen;
        int32_t depth;
    };
    const Road roads[] = {
        {"software screen, 16-bit", true, 16},
        {"software screen, 32-bit", true, 32},
        {"DirectDraw surfaces, 16-bit", false, 16},
        {"DirectDraw surfaces, 32-bit", false, 32},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        Start(road.softwareScreen, road.depth);
        const int picture = ApiLoadGraphFromPath(Path("picture.bmp").c_str(), 1);
        const int noKey = ApiLoadGraphFromPath(Path("nokey.bmp").c_str(), 1);
        const int keyAtZero = ApiLoadGraphFromPath(Path("keyzero.bmp").c_str(), 1);
        ASSERT_NE(picture, -1);
        ASSERT_NE(noKey, -1);
        ASSERT_NE(keyAtZero, -1);
        ExpectPicture(DrawAndPresent(picture, noKey, keyAtZero));

        if (!road.softwareScreen) {
            // Video memory lost and given back: the graphs are reloaded from their files.
            ASSERT_GT(plat::LoseVideoMemorySurfaces(), 0);
            ASSERT_EQ(RestoreLostGraphSurfaces(), 0);
            EXPECT_EQ(GetGraphRecord(picture)->lost, 1);
            FlagGraphsLostAndRestore();
            EXPECT_EQ(GetGraphRecord(picture)->lost, 0);
            ExpectPicture(DrawAndPresent(picture, noKey, keyAtZero));
        }
        ASSERT_EQ(ApiTermLibrary(), 0);
        ResetScreenState();
    }
}

}  // namespace
