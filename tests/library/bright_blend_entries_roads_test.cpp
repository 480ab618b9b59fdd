// The per-frame public draws under the draw bright and the blend modes, on every road after
// the shipped start-up: ApiDrawGraphRotatedInt (an odd-sized graph turned a quarter and a
// half, which every road places alike) and ApiDrawTextDefaultFont (plain and, unblended,
// edged default fonts) with each bright and blend the game sets through ApiSetBrightnessRGB and
// ApiSetBlendMode agree with the software screen of the same depth within the roads' stated
// rounding, and a bright of black draws the sprite black.
#include <gtest/gtest.h>

#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "tests/support/bmp_file.h"
#include "tests/support/draw_road_bounds.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 160, kH = 96;
constexpr int32_t kCellW = 40, kCellH = 32;  // four cells a row

uint32_t Background(int32_t x, int32_t y) { return ((x / 3 + y / 3) & 1) ? 0x80C040u : 0x406080u; }
// 7 x 5, odd-sized so that every road turns it alike; black (the key) on a diagonal.
uint32_t Sprite(int32_t x, int32_t y) {
    return (x + y) % 5 == 0 ? 0u
                            : 0x204060u + 0x200000u * static_cast<uint32_t>(x) +
                                  0x000C18u * static_cast<uint32_t>(y);
}

struct Look {
    const char* name;
    int32_t mode, param;
    int32_t r, g, b;
};
const Look kLooks[] = {
    {"plain", 0, 255, 255, 255, 255},       {"bright", 0, 255, 200, 120, 255},
    {"faded", 0, 255, 90, 90, 90},          {"alpha", 1, 128, 255, 255, 255},
    {"alpha, bright", 1, 64, 255, 160, 60}, {"added", 2, 200, 255, 255, 255},
    {"subtracted", 3, 255, 255, 255, 255},  {"multiplied", 4, 255, 255, 200, 255},
    {"black bright", 0, 255, 0, 0, 0},
};

// The roads' stated bounds (README, tests/support/draw_road_bounds.h) for a look's mode,
// parameter and bright.
int32_t Tolerance(const DrawRoad& road, const Look& look) {
    const bool brightNotWhite = look.r < 255 || look.g < 255 || look.b < 255;
    return road_bounds::BlendSteps(road, look.mode, look.param, brightNotWhite);
}

class BrightBlendEntriesRoadsTest : public DrawRoadFixture {
protected:
    // Each look in a cell: the sprite turned and mirrored, and a word of text in each type.
    std::vector<uint32_t> DrawLooks(const DrawRoad& road) {
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(ApiSetDrawTarget(-2), 0);
        const int back = ApiLoadGraphFromPath(Path("back.bmp").c_str(), 0);
        const int sprite = ApiLoadGraphFromPath(Path("sprite.bmp").c_str(), 0);
        EXPECT_EQ(ApiDrawGraphAt(0, 0, back, 0), 0);
        int cell = 0;
        for (const Look& look : kLooks) {
            const int32_t x = (cell % 4) * kCellW, y = (cell / 4) * kCellH;
            EXPECT_EQ(ApiSetBlendMode(look.mode, look.param), 0);
            EXPECT_EQ(ApiSetBrightnessRGB(look.r, look.g, look.b), 0);
            EXPECT_EQ(ApiDrawGraphRotatedInt(x + 8, y + 9, 1.0, std::numbers::pi / 2, sprite, 1, 0),
                      0);
            EXPECT_EQ(ApiDrawGraphRotatedInt(x + 27, y + 6, 1.0, std::numbers::pi, sprite, 1, 0),
                      0);
            EXPECT_EQ(ApiSetDefaultFontType(0), 0);
            EXPECT_EQ(ApiDrawTextDefaultFont(x + 18, y + 10, "W", ApiMakeScreenColor(255, 255, 0),
                                             ApiMakeScreenColor(255, 0, 0)),
                      0);
            // Edged text only unblended: under a partial blend the device draws the edge and
            // then the glyph over it, each blended, where the software screen blends the
            // composed text once.
            EXPECT_EQ(ApiSetDefaultFontType(look.mode == 0 ? 1 : 0), 0);
            EXPECT_EQ(ApiDrawTextDefaultFont(x + 28, y + 12, "e", ApiMakeScreenColor(0, 255, 255),
                                             ApiMakeScreenColor(255, 0, 255)),
                      0);
            ++cell;
        }
        EXPECT_EQ(ApiSetBlendMode(0, 255), 0);
        EXPECT_EQ(ApiSetBrightnessRGB(255, 255, 255), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(RECT{0, 0, kW, kH});
        StopRoad();
        return out;
    }
};

TEST_P(BrightBlendEntriesRoadsTest, RotatedGraphsAndTextAgreeWithTheSoftwareScreen) {
    WriteBmp24File(Path("back.bmp"), kW, kH, Background);
    WriteBmp24File(Path("sprite.bmp"), 7, 5, Sprite);
    const std::vector<uint32_t> drawn = DrawLooks(GetParam());
    ASSERT_EQ(drawn.size(), static_cast<size_t>(kW * kH));
    const std::vector<uint32_t> soft =
        GetParam().softwareScreen ? drawn : DrawLooks(SoftwareScreenRoad(GetParam().depth));
    ASSERT_EQ(soft.size(), drawn.size());
    for (size_t cell = 0; cell < std::size(kLooks); ++cell) {
        const Look& look = kLooks[cell];
        SCOPED_TRACE(look.name);
        const int32_t x0 = static_cast<int32_t>(cell % 4) * kCellW;
        const int32_t y0 = static_cast<int32_t>(cell / 4) * kCellH;
        const int32_t tolerance = Tolerance(GetParam(), look);
        int differing = 0, changed = 0;
        for (int32_t y = y0; y < y0 + kCellH; ++y) {
            for (int32_t x = x0; x < x0 + kCellW; ++x) {
                const size_t i = static_cast<size_t>(y * kW + x);
                changed += drawn[i] != Background(x, y) ? 1 : 0;
                if (ChannelDifference(soft[i], drawn[i]) > tolerance && ++differing <= 4) {
                    ADD_FAILURE() << "at " << x << "," << y << ": software " << std::hex << soft[i]
                                  << ", drawn " << drawn[i];
                }
            }
        }
        EXPECT_EQ(differing, 0);
        EXPECT_GT(changed, 60);
    }
    // A black bright draws the turned sprite's unkeyed pixels black: its 5 x 7 block about
    // (8, 9) of the last cell.
    const int32_t last = static_cast<int32_t>(std::size(kLooks)) - 1;
    const int32_t bx = (last % 4) * kCellW + 8, by = (last / 4) * kCellH + 9;
    int black = 0;
    for (int32_t y = by - 4; y < by + 4; ++y) {
        for (int32_t x = bx - 3; x < bx + 3; ++x) {
            black += drawn[static_cast<size_t>(y * kW + x)] == 0 ? 1 : 0;
        }
    }
    EXPECT_GE(black, 25);
}

INSTANTIATE_ON_DRAW_ROADS(BrightBlendEntriesRoadsTest);

}  // namespace
