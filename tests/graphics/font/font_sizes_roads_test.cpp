// Text of every size on every road, after the shipped start-up: the default font set small and
// large (SetDefaultFontSize) and a font with extra spacing (SetFontSpacing) draw, through
// ApiDrawTextDefaultFont and DrawTextWithFont, the same pixels on the back screen as on the
// software screen of the same depth; a larger size draws larger text and the spacing moves
// the later characters right.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "graphics/font/font.h"
#include "graphics/font/string_draw.h"
#include "graphics/screen/screen.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 200, kH = 96;

struct TextBox {
    int32_t left, top, right, bottom;  // of the lit pixels; left > right when none
};

TextBox LitBox(const std::vector<uint32_t>& p, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    TextBox box{x2, y2, x1 - 1, y1 - 1};
    for (int32_t y = y1; y < y2; ++y) {
        for (int32_t x = x1; x < x2; ++x) {
            if (p[static_cast<size_t>(y * kW + x)] == 0) continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x);
            box.bottom = std::max(box.bottom, y);
        }
    }
    return box;
}

class FontSizesRoadsTest : public DrawRoadFixture {
protected:
    static std::vector<uint32_t> DrawSizes(const DrawRoad& road) {
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(ApiSetDrawTarget(-2), 0);
        EXPECT_EQ(ApiClearDrawTarget(), 0);
        const uint32_t white = ApiMakeScreenColor(255, 255, 255);
        EXPECT_EQ(SetDefaultFontSize(10, -1), 0);
        EXPECT_EQ(ApiDrawTextDefaultFont(2, 2, "Small 12", white, 0), 0);
        EXPECT_EQ(SetDefaultFontSize(40, 6), 0);
        EXPECT_EQ(ApiDrawTextDefaultFont(2, 20, "Big", white, 0), 0);
        EXPECT_EQ(SetDefaultFontSize(-1, -1), 0);
        const HandleValue font = CreateFontToHandle(nullptr, 16, 6, 0, -1, -1, 0, -1, -1);
        EXPECT_GE(font, 0);
        EXPECT_EQ(DrawTextWithFont(100, 20, "ii", white, font, 0, 0), 0);
        EXPECT_EQ(SetFontSpacing(12, font), 0);
        EXPECT_EQ(DrawTextWithFont(100, 60, "ii", white, font, 0, 0), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(RECT{0, 0, kW, kH});
        StopRoad();
        return out;
    }
};

TEST_P(FontSizesRoadsTest, EverySizeAndSpacingDrawsAsOnTheSoftwareScreen) {
    const std::vector<uint32_t> drawn = DrawSizes(GetParam());
    ASSERT_EQ(drawn.size(), static_cast<size_t>(kW * kH));
    const TextBox small = LitBox(drawn, 0, 0, 100, 18);
    const TextBox big = LitBox(drawn, 0, 18, 100, kH);
    ASSERT_LE(small.left, small.right);
    ASSERT_LE(big.left, big.right);
    EXPECT_LE(small.bottom - small.top, 12);
    EXPECT_GE(big.bottom - big.top, 24);
    const TextBox plain = LitBox(drawn, 100, 18, kW, 50);
    const TextBox spaced = LitBox(drawn, 100, 55, kW, kH);
    ASSERT_LE(plain.left, plain.right);
    ASSERT_LE(spaced.left, spaced.right);
    EXPECT_EQ(spaced.left, plain.left);
    EXPECT_GE(spaced.right - plain.right, 10);
    if (!GetParam().softwareScreen) {
        const std::vector<uint32_t> soft = DrawSizes(SoftwareScreenRoad(GetParam().depth));
        EXPECT_EQ(CountDiffering(soft, drawn, kW), 0);
    }
}

INSTANTIATE_ON_DRAW_ROADS(FontSizesRoadsTest);

}  // namespace
