// The rotated draw's bracket: it takes in every pixel the software kernel draws for the call,
// turned or mirrored, the kernel drawing about the centre truncated where the bracket rounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numbers>

#include "base/number_routines.h"
#include "graphics/draw_graph/bracket_rects.h"
#include "softrender/rotated/blit_rotated.h"
#include "softrender/rules/blend_tables.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

TEST(BracketRotatedTest, TakesInEveryPixelTheKernelDraws) {
    BuildBlendTables();
    struct Case {
        const char* name;
        float x, y;
        double scale, angle;
        int32_t width, height;
        int32_t turn;
    };
    constexpr double kPi = std::numbers::pi;
    const Case cases[] = {
        {"unturned, odd sizes", 60.0f, 50.0f, 1.0, 0.0, 7, 5, 0},
        {"eighth turn", 60.0f, 50.0f, 1.0, kPi / 4, 9, 9, 0},
        {"a third of a turn, scaled up, centre rounding up", 60.7f, 50.6f, 2.5, 2 * kPi / 3, 13, 6,
         0},
        {"a small angle, scaled down", 61.4f, 49.5f, 0.4, 0.1, 31, 17, 0},
        {"negative angle, mirrored", 60.5f, 50.5f, 1.7, -1.2, 11, 20, 1},
        {"quarter turn, mirrored", 60.0f, 50.0f, 3.0, kPi / 2, 6, 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestImage target(120, 100, MEMIMG_FORMAT_32);
        TestImage source(c.width, c.height, MEMIMG_FORMAT_32);
        source.Fill(0x00FFFFFF);
        const KernelDrawState state{RECT{0, 0, 120, 100}, kBlendNone, 255, 0xFFFFFF};
        BlitMemImgRotated(target.get(), source.get(), FloatToInt(c.x), FloatToInt(c.y),
                          static_cast<float>(c.angle), static_cast<float>(c.scale), 0, c.turn,
                          nullptr, state);
        const RECT bracket = BracketRotated(c.x, c.y, c.scale, c.angle, c.width, c.height);
        const MEMIMG* image = target.get();
        int drawn = 0;
        for (int32_t y = 0; y < image->height; ++y) {
            for (int32_t x = 0; x < image->width; ++x) {
                if (image->pixels[y * image->pitch + x * 4] == 0) continue;
                ++drawn;
                EXPECT_TRUE(x >= bracket.left && x < bracket.right && y >= bracket.top &&
                            y < bracket.bottom)
                    << "pixel (" << x << ", " << y << ")";
            }
        }
        EXPECT_GT(drawn, 0);
    }
}

}  // namespace
