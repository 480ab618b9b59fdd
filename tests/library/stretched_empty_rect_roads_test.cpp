// A stretched draw onto a rectangle with nothing in it leaves every pixel of the back screen
// as it was on every road, 16-bit and 32-bit, after the shipped start-up. A rectangle wholly
// outside the draw area answers 0 everywhere. A rectangle without width or height (also with
// its corners reversed) answers 0 on the software screen, which draws whatever the kernel
// makes of it, and -1 on DirectDraw surfaces and on the 3D device, whose back ends refuse a
// rectangle they cannot take a step over. The part-stretched draw narrows the draw area to the
// rectangle first, so an empty rectangle is an empty area and answers 0 on every road. A
// rectangle with something in it still draws, mirrored or not, so the picture is seen
// to change when a draw does draw.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 64, kH = 48;  // the window
const RECT kArea{8, 8, 56, 40};      // the draw area of the draws below
const RECT kScreen{0, 0, kW, kH};

// Blue, magenta, cyan and yellow in 2 x 2 checks: no black (the transparent colour), every
// channel 0 or 255 so that every screen and texture format holds it exactly.
uint32_t SpriteColour(int32_t x, int32_t y) {
    const bool odd = (x & 1) != 0, down = (y & 1) != 0;
    return (odd ? 0xFF0000u : 0) | (down ? 0x00FF00u : 0) | (odd && down ? 0 : 0x0000FFu);
}
uint32_t BackgroundColour(int32_t x, int32_t y) {
    return ((x / 4 + y / 4) & 1) ? 0xFFFF00u : 0x00FFFFu;
}

struct EmptyCase {
    const char* name;
    int32_t x1, y1, x2, y2;
    bool zeroSized;  // no width or no height, rather than outside the area
};

const EmptyCase kEmptyRects[] = {
    {"zero width", 20, 10, 20, 30, true},
    {"zero height", 10, 20, 40, 20, true},
    {"zero width, top and bottom reversed", 20, 30, 20, 10, true},
    {"zero height, left and right reversed", 40, 20, 10, 20, true},
    {"a single point", 24, 24, 24, 24, true},
    {"zero width on the screen's edge", 0, 0, 0, kH, true},
    {"wholly left of the area, touching it", 0, 10, 8, 30, false},
    {"wholly below the area, reversed", 50, 60, 10, 40, false},
    {"wholly right of the area, reversed both ways", 62, 30, 56, 12, false},
    {"wholly off the screen", -40, -30, -10, -5, false},
};

class StretchedEmptyRectRoadsTest : public DrawRoadFixture {
protected:
    void SetUp() override {
        DrawRoadFixture::SetUp();
        StartOnRoad(kW, kH);
        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        const HandleValue background = MakeGeneratedGraph(kW, kH, BackgroundColour);
        sprite_ = MakeGeneratedGraph(8, 6, SpriteColour);
        ASSERT_EQ(GetGraphRecord(sprite_)->flags.is3D, GetParam().direct3D ? 1 : 0);
        ASSERT_EQ(BlitGraphAt(0, 0, background, 0), 0);
        ASSERT_EQ(SetDrawAreaRect(kArea.left, kArea.top, kArea.right, kArea.bottom), 0);
    }
    void TearDown() override {
        StopRoad();
        DrawRoadFixture::TearDown();
    }
    // The back screen after a present, which sends the 3D device's batch first.
    static std::vector<uint32_t> Picture() {
        EXPECT_EQ(ApiPresentScreen(), 0);
        return BackColours(kScreen);
    }
    // The background alone, as the draws below start from.
    static std::vector<uint32_t> Background() {
        std::vector<uint32_t> out;
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) out.push_back(BackgroundColour(x, y));
        }
        return out;
    }
    // What the road answers for the case: only the software screen takes a rectangle without
    // width or height as a draw of nothing.
    static int Answer(const EmptyCase& c) {
        return c.zeroSized && !GetParam().softwareScreen ? -1 : 0;
    }
    HandleValue sprite_ = -1;
};

TEST_P(StretchedEmptyRectRoadsTest, ARectangleWithNothingInItDrawsNothingAndAnswersAsTheRoadDoes) {
    const std::vector<uint32_t> before = Picture();
    ASSERT_EQ(CountDiffering(Background(), before, kW), 0);
    for (const EmptyCase& c : kEmptyRects) {
        SCOPED_TRACE(c.name);
        for (int32_t transFlag : {0, 1}) {
            EXPECT_EQ(BlitGraphStretched(c.x1, c.y1, c.x2, c.y2, sprite_, transFlag), Answer(c));
        }
        EXPECT_EQ(CountDiffering(before, Picture(), kW), 0);
    }
}

TEST_P(StretchedEmptyRectRoadsTest, ThePartStretchedDrawAnswersZeroForAnEmptyAreaOnEveryRoad) {
    const std::vector<uint32_t> before = Picture();
    ASSERT_EQ(CountDiffering(Background(), before, kW), 0);
    for (const EmptyCase& c : kEmptyRects) {
        SCOPED_TRACE(c.name);
        // The whole graph's part onto the rectangle.
        EXPECT_EQ(BlitGraphRectStretched(c.x1, c.y1, c.x2, c.y2, 0, 0, 8, 6, sprite_, 0), 0);
        EXPECT_EQ(CountDiffering(before, Picture(), kW), 0);
    }
    // The area is as it was after each narrowing.
    const RECT area = GetDrawState().drawArea;
    EXPECT_EQ(area.left, kArea.left);
    EXPECT_EQ(area.top, kArea.top);
    EXPECT_EQ(area.right, kArea.right);
    EXPECT_EQ(area.bottom, kArea.bottom);
}

TEST_P(StretchedEmptyRectRoadsTest, ARectangleWithSomethingInItStillDraws) {
    struct Case {
        const char* name;
        int32_t x1, y1, x2, y2;
        RECT place;  // the part of the screen the draw covers
    } cases[] = {
        {"doubled", 10, 10, 26, 22, {10, 10, 26, 22}},
        {"doubled, mirrored both ways", 50, 38, 34, 26, {34, 26, 50, 38}},
        {"half in the area", 0, 30, 16, 42, {8, 30, 16, 40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint32_t> before = Picture();
        EXPECT_EQ(BlitGraphStretched(c.x1, c.y1, c.x2, c.y2, sprite_, 0), 0);
        const std::vector<uint32_t> after = Picture();
        int inside = 0, outside = 0;
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                const size_t i = static_cast<size_t>(y * kW + x);
                if (after[i] == before[i]) continue;
                const bool in = x >= c.place.left && x < c.place.right && y >= c.place.top &&
                                y < c.place.bottom;
                (in ? inside : outside) += 1;
            }
        }
        EXPECT_GT(inside, (c.place.right - c.place.left) * (c.place.bottom - c.place.top) / 4);
        EXPECT_EQ(outside, 0);
    }
}

INSTANTIATE_ON_DRAW_ROADS(StretchedEmptyRectRoadsTest);

}  // namespace
