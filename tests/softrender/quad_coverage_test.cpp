// What a graph drawn as two triangles covers: every texel of a quad lands on one pixel and
// every pixel is drawn once, also along the diagonal the two triangles share; a quarter turn
// of the rotated blit, mirrored or not, covers exactly the source's area; and a quad turned
// upside down keeps its first row.
#include <gtest/gtest.h>

#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "softrender/rotated/blit_rotated.h"
#include "softrender/triangle/quad_draw.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

constexpr uint32_t kUntouched = 0xEEEEEEEEu;

// A 32-bit source whose pixel (x, y) is 0x01000000 | y << 8 | x.
TestImage CoordinateSource(int w, int h) {
    TestImage src(w, h, 1);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) src.Set(x, y, 0x01000000u | (y << 8) | x);
    }
    return src;
}

class QuadCoverageTest : public SoftRenderTest {
protected:
    // Adds 1 to every pixel a quad of a w x h source draws; the largest count of any pixel
    // and the number of pixels drawn.
    void CountVisits(int w, int h, const int32_t* corners, int* most, int* drawn) {
        TestImage ones(w, h, 1);
        ones.Fill(0x000001u);
        TestImage counts(40, 40, 1);
        SetBlend(2, 255);
        DrawMemImgQuad(counts.get(), ones.get(), corners, 0, nullptr, GetDrawState());
        *most = 0;
        *drawn = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                const int c = static_cast<int>(counts.Get(x, y) & 0xFF);
                *most = c > *most ? c : *most;
                *drawn += c > 0 ? 1 : 0;
            }
        }
    }

    // How often each texel of the source shows in dst, and how many pixels were drawn.
    static std::map<uint32_t, int> Texels(const TestImage& dst, int* drawn) {
        std::map<uint32_t, int> seen;
        *drawn = 0;
        for (int y = 0; y < dst.get()->height; ++y) {
            for (int x = 0; x < dst.get()->width; ++x) {
                const uint32_t v = dst.Get(x, y);
                if (v == kUntouched) continue;
                ++*drawn;
                ++seen[v];
            }
        }
        return seen;
    }
};

TEST_F(QuadCoverageTest, EveryPixelOfAQuadIsDrawnOnce) {
    struct Case {
        const char* name;
        int w, h;
        int32_t corners[8];  // top-left, top-right, bottom-left, bottom-right of the source
        int area;            // the pixels the quad covers; -1: not settled here (a stretch by
                             // a fraction, a free turn)
    };
    const Case cases[] = {
        {"the source's own size", 4, 4, {2, 2, 6, 2, 2, 6, 6, 6}, 16},
        {"wide, the diagonal shallow", 12, 3, {2, 2, 14, 2, 2, 5, 14, 5}, 36},
        {"tall, the diagonal steep", 3, 12, {2, 2, 5, 2, 2, 14, 5, 14}, 36},
        {"stretched twice", 4, 4, {2, 2, 10, 2, 2, 10, 10, 10}, 64},
        {"stretched three times", 4, 4, {2, 2, 14, 2, 2, 14, 14, 14}, -1},
        {"mirrored left to right", 5, 7, {7, 2, 2, 2, 7, 9, 2, 9}, 35},
        {"turned upside down", 5, 7, {2, 9, 7, 9, 2, 2, 7, 2}, 35},
        {"turned a half", 5, 7, {7, 9, 2, 9, 7, 2, 2, 2}, 35},
        {"turned a quarter", 6, 4, {10, 2, 10, 8, 6, 2, 6, 8}, 24},
        {"turned freely", 8, 8, {12, 2, 20, 8, 6, 10, 14, 16}, -1},
        {"sheared", 6, 6, {4, 2, 10, 2, 2, 8, 8, 8}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int most = 0, drawn = 0;
        CountVisits(c.w, c.h, c.corners, &most, &drawn);
        EXPECT_EQ(most, 1);
        if (c.area >= 0) {
            EXPECT_EQ(drawn, c.area);
        }
    }
}

TEST_F(QuadCoverageTest, QuarterTurnsCoverTheSourceOnce) {
    struct Size {
        int w, h;
    };
    const Size sizes[] = {{6, 8}, {7, 5}, {4, 4}, {5, 5}, {1, 3}};
    const float angles[] = {0.0f, static_cast<float>(std::numbers::pi / 2),
                            static_cast<float>(std::numbers::pi),
                            static_cast<float>(3 * std::numbers::pi / 2)};
    for (const Size& size : sizes) {
        for (int quarter = 0; quarter < 4; ++quarter) {
            for (int turn : {0, 1}) {
                SCOPED_TRACE(testing::Message() << size.w << "x" << size.h << ", quarter "
                                                << quarter << ", mirrored " << turn);
                TestImage src = CoordinateSource(size.w, size.h);
                TestImage dst(24, 24, 1);
                dst.Fill(kUntouched);
                SetBlend(0, 255);
                BlitMemImgRotated(dst.get(), src.get(), 12, 12, angles[quarter], 1.0f, 0, turn,
                                  nullptr, GetDrawState());
                int drawn = 0;
                const std::map<uint32_t, int> seen = Texels(dst, &drawn);
                EXPECT_EQ(drawn, size.w * size.h);
                EXPECT_EQ(seen.size(), static_cast<size_t>(size.w * size.h));
            }
        }
    }
}

}  // namespace
