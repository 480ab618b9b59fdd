// Which source pixel lands where in the scaled blit: a coordinate-coded source (each pixel holds
// its own x and y) drawn by a strict loop (the plain copy) and by a general loop (the add at
// the full parameter onto black, which also leaves the code as it is), enlarged, shrunk,
// clipped and mirrored.
#include <gtest/gtest.h>

#include <vector>

#include "softrender/scaled/blit_scaled.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

uint32_t Code(int x, int y) { return 0x800000u | (static_cast<uint32_t>(y) << 8) | static_cast<uint32_t>(x); }

class ScaledBlitWalkTest : public SoftRenderTest {
protected:
    // Draws the coded source onto a black 16x16 destination: strict through the copy, general
    // through the add.
    TestImage Draw(int w, int h, const RECT& rect, bool strict, const RECT& area) {
        TestImage src(w, h, 1);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) src.Set(x, y, Code(x, y));
        }
        TestImage dst(16, 16, 1);
        SetBlend(strict ? 0 : 2, 255);
        GetDrawState().drawArea = area;
        BlitMemImgScaled(dst.get(), src.get(), rect, 0, nullptr, GetDrawState());
        return dst;
    }
};

TEST_F(ScaledBlitWalkTest, ColumnAndRowSequences) {
    struct Case {
        const char* name;
        int w, h;
        RECT rect;
        RECT area;
        std::vector<int> general, strict;  // columns along the first drawn row (rows: see below)
        bool rows;                         // the sequence is of rows down the first drawn column
    };
    const RECT all{0, 0, 16, 16};
    const Case cases[] = {
        {"2 to 4", 2, 1, {0, 0, 4, 1}, all, {0, 0, 1, 1}, {0, 0, 1, 1}, false},
        {"4 to 2", 4, 1, {0, 0, 2, 1}, all, {0, 2}, {0, 1}, false},
        {"8 to 6", 8, 1, {0, 0, 6, 1}, all, {0, 1, 2, 4, 5, 6}, {0, 1, 2, 3, 5, 6}, false},
        {"4 to 2, left pixel clipped off", 4, 1, {-1, 0, 1, 1}, all, {2}, {2}, false},
        {"4 to 2, left pixel outside the draw area", 4, 1, {3, 0, 5, 1}, {4, 0, 16, 16}, {2}, {2}, false},
        {"8 to 6, two pixels clipped off", 8, 1, {-2, 0, 4, 1}, all, {2, 4, 5, 6}, {2, 3, 5, 6}, false},
        {"2 to 4 mirrored", 2, 1, {4, 0, 0, 1}, all, {1, 1, 0, 0}, {1, 1, 0, 0}, false},
        {"4 to 2 mirrored", 4, 1, {2, 0, 0, 1}, all, {3, 1}, {3, 2}, false},
        {"8 to 6 mirrored", 8, 1, {6, 0, 0, 1}, all, {7, 6, 5, 3, 2, 1}, {7, 6, 5, 4, 2, 1}, false},
        {"same size mirrored", 3, 1, {3, 0, 0, 1}, all, {2, 1, 0}, {2, 1, 0}, false},
        {"3 to 7", 3, 1, {0, 0, 7, 1}, all, {0, 0, 0, 1, 1, 2, 2}, {0, 0, 0, 1, 1, 2, 2}, false},
        {"rows 8 to 6", 1, 8, {0, 0, 1, 6}, all, {0, 1, 2, 4, 5, 6}, {0, 1, 2, 3, 5, 6}, true},
        {"rows 4 to 2 mirrored", 1, 4, {0, 2, 1, 0}, all, {3, 1}, {3, 2}, true},
        {"rows 8 to 6, clipped by the draw area", 1, 8, {0, 3, 1, 9}, {0, 5, 16, 16}, {2, 4, 5, 6}, {2, 3, 5, 6}, true},
    };
    for (const Case& c : cases) {
        for (bool strict : {false, true}) {
            SCOPED_TRACE(::testing::Message() << c.name << (strict ? ", strict" : ", general"));
            const TestImage dst = Draw(c.w, c.h, c.rect, strict, c.area);
            std::vector<int> got;
            // The first drawn pixel, then along its row or down its column.
            int fx = -1, fy = -1;
            for (int y = 0; y < 16 && fy < 0; ++y) {
                for (int x = 0; x < 16; ++x) {
                    if (dst.Get(x, y) != 0) {
                        fx = x, fy = y;
                        break;
                    }
                }
            }
            ASSERT_GE(fx, 0) << "nothing drawn";
            for (int i = 0; i < 16; ++i) {
                const uint32_t v = c.rows ? (fy + i < 16 ? dst.Get(fx, fy + i) : 0)
                                          : (fx + i < 16 ? dst.Get(fx + i, fy) : 0);
                if (v == 0) break;
                ASSERT_EQ(v & 0xFF800000u, 0x800000u);
                got.push_back(c.rows ? static_cast<int>((v >> 8) & 0xFF) : static_cast<int>(v & 0xFF));
            }
            EXPECT_EQ(got, strict ? c.strict : c.general);
        }
    }
}

// A rectangle half outside the draw area on the left draws, in its visible part, the pixels
// the whole draw puts there; clipping does not shift the sampling.
TEST_F(ScaledBlitWalkTest, ClippingKeepsTheSampling) {
    for (bool strict : {false, true}) {
        for (const RECT rect : {RECT{2, 1, 15, 12}, RECT{15, 12, 2, 1}, RECT{2, 1, 7, 5}}) {
            SCOPED_TRACE(::testing::Message() << (strict ? "strict " : "general ") << rect.left
                                              << ", " << rect.top);
            const RECT all{0, 0, 16, 16};
            const RECT part{8, 6, 16, 16};
            const TestImage whole = Draw(5, 7, rect, strict, all);
            const TestImage clipped = Draw(5, 7, rect, strict, part);
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const bool inside = x >= part.left && y >= part.top;
                    const bool exactFirst = strict && (x == part.left || y == part.top);
                    if (!inside) {
                        ASSERT_EQ(clipped.Get(x, y), 0u) << "at (" << x << ", " << y << ")";
                    } else if (!exactFirst) {
                        ASSERT_EQ(clipped.Get(x, y), whole.Get(x, y)) << "at (" << x << ", " << y << ")";
                    }
                }
            }
        }
    }
}

}  // namespace
