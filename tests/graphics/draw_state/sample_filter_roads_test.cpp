// The sample filter on every road, after the shipped start-up: only the 3D device filters.
// With bilinear sampling set, a graph stretched by the device shows colours between its
// pixels' (and a keyed graph's transparent colour still lets the background through), while the
// software screen and DirectDraw surfaces draw the same picture as with point sampling; point
// sampling set again draws as before on every road.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 64, kH = 48;

uint32_t Background(int32_t, int32_t) { return 0x0000FFu; }
// Red and green columns, the middle column black (the key).
uint32_t Stripes(int32_t x, int32_t) { return x == 2 ? 0u : (x & 1) ? 0x00FF00u : 0xFF0000u; }

class SampleFilterRoadsTest : public DrawRoadFixture {
protected:
    // The 5 x 4 stripes stretched eight times across (keyed) with the filter set.
    static std::vector<uint32_t> DrawStretched(int32_t filter) {
        EXPECT_EQ(SetSampleFilter(filter), 0);
        EXPECT_EQ(GetSampleFilter(), filter);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        const HandleValue back = MakeGeneratedGraph(kW, kH, Background);
        const HandleValue stripes = MakeGeneratedGraph(5, 4, Stripes);
        EXPECT_EQ(BlitGraphAt(0, 0, back, 0), 0);
        EXPECT_EQ(BlitGraphStretched(2, 2, 42, 34, stripes, 1), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        return BackColours(RECT{0, 0, kW, kH});
    }
};

TEST_P(SampleFilterRoadsTest, OnlyTheDeviceFiltersAndPointSamplingComesBack) {
    StartOnRoad(kW, kH);
    const std::vector<uint32_t> point = DrawStretched(0);
    const std::vector<uint32_t> bilinear = DrawStretched(1);
    const std::vector<uint32_t> pointAgain = DrawStretched(0);
    ASSERT_EQ(point.size(), static_cast<size_t>(kW * kH));
    EXPECT_EQ(CountDiffering(point, pointAgain, kW), 0);

    // Point sampling: each pixel one of the stripes' colours or the background.
    for (const uint32_t c : point) {
        ASSERT_TRUE(c == 0xFF0000 || c == 0x00FF00 || c == 0x0000FF) << std::hex << c;
    }
    if (!GetParam().direct3D) {
        EXPECT_EQ(CountDiffering(point, bilinear, kW), 0);
        return;
    }
    // The device mixes neighbouring columns: between a red and a green column it shows both.
    int mixed = 0;
    for (int32_t x = 2; x < 42; ++x) {
        const uint32_t c = bilinear[static_cast<size_t>(20 * kW + x)];
        mixed += (c >> 16) > 0x20 && ((c >> 8) & 0xFF) > 0x20 ? 1 : 0;
    }
    EXPECT_GE(mixed, 4);
    // The keyed column leaves the background through: at its middle the background shows,
    // darkened at most by the small share of its neighbours the filter mixes in.
    for (const int32_t x : {21, 22}) {
        const uint32_t c = bilinear[static_cast<size_t>(20 * kW + x)];
        EXPECT_GE(c & 0xFF, 0xE0u) << "at " << x << ": " << std::hex << c;
        EXPECT_LE(c >> 16, 0x20u) << "at " << x << ": " << std::hex << c;
        EXPECT_LE((c >> 8) & 0xFF, 0x20u) << "at " << x << ": " << std::hex << c;
    }
}

INSTANTIATE_ON_DRAW_ROADS(SampleFilterRoadsTest);

}  // namespace
