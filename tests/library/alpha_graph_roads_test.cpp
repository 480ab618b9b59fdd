// A graph with an alpha channel drawn with the transparent flag, on every road: columns of
// alpha from 0 to 255, drawn plain and multiplying over a dark background. Off the 3D device
// every road shows the software screen's picture. On the device the graph's alpha is read
// its own way: a pixel of alpha 1 to 16 is not drawn at all (the device's alpha test), and
// multiplying ignores the alpha (partly transparent pixels multiply fully, transparent ones
// leave the background, where the software screen weighs the product by the alpha and makes
// transparent pixels black); elsewhere the roads agree within their stated bounds.
#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "tests/support/bmp_file.h"
#include "tests/support/draw_road_bounds.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 32, kH = 16;
constexpr uint32_t kBackground = 0x404040u;
constexpr uint32_t kColour = 0x80C0FFu;
// The alpha of each column of the 8 x 4 graph.
constexpr int32_t kAlpha[] = {0, 8, 16, 17, 64, 128, 200, 255};
constexpr int32_t kGraphW = static_cast<int32_t>(std::size(kAlpha)), kGraphH = 4;
constexpr int32_t kPlainX = 2, kPlainY = 2, kMultiplyX = 2, kMultiplyY = 9;

class AlphaGraphRoadsTest : public DrawRoadFixture {
protected:
    std::vector<uint32_t> Draw(const DrawRoad& road) {
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        const int back = ApiLoadGraphFromPath(Path("back.bmp").c_str(), 0);
        const int graph = ApiLoadGraphFromPath(Path("glass.bmp").c_str(), 0);
        EXPECT_GE(graph, 0);
        EXPECT_EQ(ApiDrawGraphAt(0, 0, back, 0), 0);
        EXPECT_EQ(ApiDrawGraphAt(kPlainX, kPlainY, graph, 1), 0);
        EXPECT_EQ(ApiSetBlendMode(kBlendMultiply, 255), 0);
        EXPECT_EQ(ApiDrawGraphAt(kMultiplyX, kMultiplyY, graph, 1), 0);
        EXPECT_EQ(ApiSetBlendMode(kBlendNone, 255), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(RECT{0, 0, kW, kH});
        StopRoad();
        return out;
    }
};

TEST_P(AlphaGraphRoadsTest, TheDeviceReadsTheGraphsAlphaItsOwnWay) {
    WriteBmp24File(Path("back.bmp"), kW, kH, [](int, int) { return kBackground; });
    WriteBmp24File(Path("glass.bmp"), kGraphW, kGraphH, [](int, int) { return kColour; });
    WriteBmp24File(Path("glass_a.bmp"), kGraphW, kGraphH,
                   [](int x, int) { return static_cast<uint32_t>(kAlpha[x]) * 0x010101u; });
    const std::vector<uint32_t> drawn = Draw(GetParam());
    ASSERT_EQ(drawn.size(), static_cast<size_t>(kW * kH));
    if (GetParam().softwareScreen) return;  // the reference itself
    const std::vector<uint32_t> soft = Draw(SoftwareScreenRoad(GetParam().depth));
    ASSERT_EQ(soft.size(), drawn.size());
    if (!GetParam().direct3D) {
        EXPECT_EQ(CountDiffering(soft, drawn, kW), 0);
        return;
    }
    const auto at = [](const std::vector<uint32_t>& p, int32_t x, int32_t y) {
        return p[static_cast<size_t>(y * kW + x)];
    };
    const uint32_t softBack = soft[0], drawnBack = drawn[0];
    const bool exactAlpha = GetParam().depth == 32;  // 16-bit textures hold 4 bits of alpha
    for (int32_t x = 0; x < kGraphW; ++x) {
        const int32_t alpha = kAlpha[x];
        SCOPED_TRACE(testing::Message() << "alpha " << alpha);
        for (int32_t y = 0; y < kGraphH; ++y) {
            // Drawn plain.
            const uint32_t s = at(soft, kPlainX + x, kPlainY + y);
            const uint32_t d = at(drawn, kPlainX + x, kPlainY + y);
            if (alpha == 0) {
                EXPECT_EQ(s, softBack);
                EXPECT_EQ(d, drawnBack);
            } else if (alpha <= 16 && exactAlpha) {
                EXPECT_NE(s, softBack);  // the software screen blends it faintly
                EXPECT_EQ(d, drawnBack) << std::hex << d;
            } else if (alpha > 16) {
                EXPECT_LE(ChannelDifference(s, d),
                          road_bounds::BlendSteps(GetParam(), kBlendNone, 255, false,
                                                  alpha < 255))
                    << std::hex << s << " " << d;
            }
            // Multiplied: the device's full product wherever the alpha is not 0.
            const uint32_t sm = at(soft, kMultiplyX + x, kMultiplyY + y);
            const uint32_t dm = at(drawn, kMultiplyX + x, kMultiplyY + y);
            const uint32_t fullSoft = at(soft, kMultiplyX + kGraphW - 1, kMultiplyY + y);
            const uint32_t fullDrawn = at(drawn, kMultiplyX + kGraphW - 1, kMultiplyY + y);
            const int32_t bound = road_bounds::BlendSteps(GetParam(), kBlendMultiply, 255, false);
            if (alpha == 0) {
                EXPECT_EQ(sm, 0u);  // the software screen's product weighed by 0
                EXPECT_EQ(dm, drawnBack);
            } else if (exactAlpha || alpha > 16) {
                EXPECT_EQ(dm, fullDrawn) << std::hex << dm;
                EXPECT_LE(ChannelDifference(fullSoft, dm), bound) << std::hex << dm;
                if (alpha < 128) {
                    EXPECT_GT(ChannelDifference(sm, dm), bound) << std::hex << sm;
                }
            }
        }
    }
}

INSTANTIATE_ON_DRAW_ROADS(AlphaGraphRoadsTest);

}  // namespace
