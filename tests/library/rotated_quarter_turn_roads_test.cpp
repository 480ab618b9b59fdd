// A graph turned by a quarter, a half or three quarters at scale 1, mirrored or not, covers
// exactly its own area on every road, for odd and even sizes: no row or column of it is lost
// (the software screen draws a mirrored graph as two triangles).
#include <gtest/gtest.h>

#include <numbers>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "tests/support/bmp_file.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kCell = 20;
constexpr int32_t kColumns = 8;  // four turns, unmirrored and mirrored
constexpr int32_t kW = kCell * kColumns, kH = 2 * kCell;
constexpr uint32_t kGrey = 0x808080u;
constexpr uint32_t kColour = 0xD82C64u;

struct Size {
    const char* file;
    int32_t w, h;
};
const Size kSizes[] = {{"even.bmp", 6, 8}, {"odd.bmp", 7, 5}};

class RotatedQuarterTurnRoadsTest : public DrawRoadFixture {};

TEST_P(RotatedQuarterTurnRoadsTest, QuarterTurnsCoverTheGraphsArea) {
    WriteBmp24File(Path("grey.bmp"), kW, kH, [](int, int) { return kGrey; });
    for (const Size& size : kSizes) {
        WriteBmp24File(Path(size.file), size.w, size.h, [](int, int) { return kColour; });
    }
    StartOnRoad(kW, kH);
    EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    EXPECT_EQ(ApiDrawGraphAt(0, 0, ApiLoadGraphFromPath(Path("grey.bmp").c_str(), 0), 0), 0);
    // Row r of cells holds size r; cell c the turn c % 4, mirrored from c = 4 on.
    for (int32_t row = 0; row < 2; ++row) {
        const int graph = ApiLoadGraphFromPath(Path(kSizes[row].file).c_str(), 0);
        ASSERT_GE(graph, 0);
        for (int32_t column = 0; column < kColumns; ++column) {
            const double angle = (column % 4) * std::numbers::pi / 2;
            EXPECT_EQ(ApiDrawGraphRotatedInt(column * kCell + kCell / 2, row * kCell + kCell / 2,
                                             1.0, angle, graph, 0, column / 4),
                      0);
        }
    }
    EXPECT_EQ(ApiPresentScreen(), 0);
    const std::vector<uint32_t> picture = BackColours(RECT{0, 0, kW, kH});
    StopRoad();
    ASSERT_EQ(picture.size(), static_cast<size_t>(kW * kH));
    for (int32_t row = 0; row < 2; ++row) {
        for (int32_t column = 0; column < kColumns; ++column) {
            SCOPED_TRACE(testing::Message() << kSizes[row].w << "x" << kSizes[row].h
                                            << ", quarter turns " << column % 4 << ", mirrored "
                                            << column / 4);
            int covered = 0;
            for (int32_t y = row * kCell; y < (row + 1) * kCell; ++y) {
                for (int32_t x = column * kCell; x < (column + 1) * kCell; ++x) {
                    covered += picture[static_cast<size_t>(y * kW + x)] != picture[0] ? 1 : 0;
                }
            }
            EXPECT_EQ(covered, kSizes[row].w * kSizes[row].h);
        }
    }
}

INSTANTIATE_ON_DRAW_ROADS(RotatedQuarterTurnRoadsTest);

}  // namespace
