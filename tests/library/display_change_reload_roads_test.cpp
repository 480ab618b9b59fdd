// Graphs loaded before a display change on every road, after the shipped start-up: when the
// window procedure gets WM_DISPLAYCHANGE the screen is made anew and every graph that came
// from a file (kept off the device or not, whole, divided into tiles or derived from a loaded
// graph) is loaded again, so that the same draws give the same picture afterwards, text
// included.
#include <gtest/gtest.h>

#include <numbers>
#include <vector>

#include "graphics/graphs/graph_handle_table.h"
#include "platform/window/window_messages.h"
#include "system/window_data.h"
#include "tests/support/bmp_file.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 96, kH = 64;

uint32_t Background(int32_t x, int32_t y) { return ((x / 4 + y / 4) & 1) ? 0xFFFF00u : 0x0000FFu; }
// Every channel 0 or 255; black, the key, on a diagonal.
uint32_t Sheet(int32_t x, int32_t y) {
    constexpr uint32_t kColours[5] = {0xFF0000, 0x00FF00, 0x00FFFF, 0xFFFFFF, 0xFF00FF};
    return (x + y) % 6 == 0 ? 0 : kColours[(x * 2 + y * 3) % 5];
}

class DisplayChangeReloadRoadsTest : public DrawRoadFixture {
protected:
    struct Graphs {
        int back, sprite, spriteOff3D, tiles[4], derived;
    };

    Graphs Load() {
        Graphs g{};
        g.back = ApiLoadGraphFromPath(Path("back.bmp").c_str(), 0);
        g.sprite = ApiLoadGraphFromPath(Path("sheet.bmp").c_str(), 0);
        g.spriteOff3D = ApiLoadGraphFromPath(Path("sheet.bmp").c_str(), 1);
        EXPECT_EQ(ApiLoadDivGraphFromPath(Path("sheet.bmp").c_str(), 4, 2, 2, 6, 5, g.tiles, 0), 0);
        g.derived = DeriveGraph(3, 2, 7, 6, g.sprite);
        for (const int h : {g.back, g.sprite, g.spriteOff3D, g.tiles[3], g.derived}) {
            EXPECT_NE(h, -1);
        }
        return g;
    }

    // The back screen after the same draws of the graphs.
    static std::vector<uint32_t> Draw(const Graphs& g) {
        EXPECT_EQ(ApiSetDrawTarget(-2), 0);
        EXPECT_EQ(ApiDrawGraphAt(0, 0, g.back, 0), 0);
        EXPECT_EQ(ApiDrawGraphAt(2, 2, g.sprite, 1), 0);
        EXPECT_EQ(ApiDrawGraphAt(18, 2, g.spriteOff3D, 1), 0);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(ApiDrawGraphAt(34 + 8 * k, 2, g.tiles[k], 1), 0);
        EXPECT_EQ(ApiDrawGraphRotatedInt(20, 30, 2.0, std::numbers::pi / 2, g.tiles[1], 1, 0), 0);
        EXPECT_EQ(ApiDrawGraphAt(70, 2, g.derived, 0), 0);
        EXPECT_EQ(ApiDrawTextDefaultFont(40, 24, "Ok", ApiMakeScreenColor(255, 255, 255), 0), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        return BackColours(RECT{0, 0, kW, kH});
    }
};

TEST_P(DisplayChangeReloadRoadsTest, GraphsFromFilesDrawTheSameAfterADisplayChange) {
    WriteBmp24File(Path("back.bmp"), kW, kH, Background);
    WriteBmp24File(Path("sheet.bmp"), 12, 10, Sheet);
    StartOnRoad(kW, kH);
    const Graphs graphs = Load();
    const std::vector<uint32_t> before = Draw(graphs);
    ASSERT_EQ(before.size(), static_cast<size_t>(kW * kH));
    // The unscaled sprite shows its pixels.
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 12; ++x) {
            const uint32_t want = Sheet(x, y) == 0 ? Background(2 + x, 2 + y) : Sheet(x, y);
            ASSERT_EQ(before[static_cast<size_t>((2 + y) * kW + 2 + x)], want) << x << "," << y;
        }
    }

    plat::SetHeadlessDesktop(1920, 1080, GetParam().depth);
    plat::SendMessage(Window(), plat::WM_DISPLAYCHANGE, static_cast<uint32_t>(GetParam().depth),
                      plat::MakeLParam(1920, 1080));
    ASSERT_EQ(GetWindowData().window.displayChanged, 1u);
    for (const int h :
         {graphs.back, graphs.sprite, graphs.spriteOff3D, graphs.tiles[3], graphs.derived}) {
        const GraphRecord* record = GetGraphRecord(h);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->lost, 0) << h;
    }
    const std::vector<uint32_t> after = Draw(graphs);
    EXPECT_EQ(CountDiffering(before, after, kW), 0);
}

INSTANTIATE_ON_DRAW_ROADS(DisplayChangeReloadRoadsTest);

}  // namespace
