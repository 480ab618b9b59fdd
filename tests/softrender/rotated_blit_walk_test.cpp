// Which source pixel lands where in the rotated blit: a coordinate-coded source (each pixel
// holds its own x and y) drawn at angle 0 and scale 1 (against the unscaled blit), turned by a
// quarter and a half turn, scaled, mirrored, clipped, far from the origin and taller than the
// old row tables.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <random>
#include <utility>

#include "softrender/rotated/blit_rotated.h"
#include "softrender/unscaled/blit_unscaled.h"
#include "softrender/rotated/rotated_blit_plan.h"
#include "tests/softrender/reference_model_rotated.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

constexpr uint32_t kSentinel = 0x00ABCDEFu;

// Pixel (x, y) of a coded source: bit 31 set, y in bits 14..27, x in bits 0..13.
uint32_t Code(int x, int y) { return 0x80000000u | (static_cast<uint32_t>(y) << 14) | static_cast<uint32_t>(x); }

void FillCoded(TestImage& src) {
    for (int y = 0; y < src->height; ++y) {
        for (int x = 0; x < src->width; ++x) src.Set(x, y, Code(x, y));
    }
}

// The source pixel that should land on destination (x, y), or nothing.
using Mapping = std::function<std::optional<std::pair<int, int>>(int x, int y)>;

class RotatedBlitWalkTest : public SoftRenderTest {
protected:
    // Every destination pixel inside the draw area holds the code of its mapped source pixel
    // when that lies inside the source, and every other pixel is untouched.
    static void ExpectMapping(const TestImage& dst, const TestImage& src, const RECT& area,
                              const Mapping& mapping) {
        int drawn = 0;
        for (int y = 0; y < dst.get()->height; ++y) {
            for (int x = 0; x < dst.get()->width; ++x) {
                uint32_t want = kSentinel;
                const bool inside = x >= area.left && x < area.right && y >= area.top &&
                                    y < area.bottom;
                if (const auto s = mapping(x, y); inside && s && s->first >= 0 &&
                                                  s->first < src.get()->width && s->second >= 0 &&
                                                  s->second < src.get()->height) {
                    want = Code(s->first, s->second);
                    ++drawn;
                }
                ASSERT_EQ(dst.Get(x, y), want) << "at (" << x << ", " << y << ")";
            }
        }
        EXPECT_GT(drawn, 0);
    }

    static int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
};

TEST_F(RotatedBlitWalkTest, AngleZeroScaleOneMatchesTheUnscaledBlit) {
    struct Kind {
        const char* name;
        int format, paletted;
        int mode, param;
    };
    const Kind kinds[] = {
        {"32-bit copy", 1, 0, 0, 255},       {"32-bit paletted copy", 1, 1, 0, 255},
        {"16-bit copy", 0, 0, 1, 255},       {"16-bit paletted copy", 0, 1, 0, 255},
        {"32-bit add", 1, 0, 2, 100},        {"16-bit multiply", 0, 0, 4, 0},
    };
    std::mt19937 rng(77);
    for (const Kind& kind : kinds) {
        for (int w : {1, 2, 3, 4, 5, 8}) {
            for (int h : {1, 2, 3, 6}) {
                SCOPED_TRACE(::testing::Message() << kind.name << " " << w << "x" << h);
                TestImage src(w, h, kind.format, kind.paletted);
                for (int y = 0; y < h; ++y) {
                    for (int x = 0; x < w; ++x) {
                        src.Set(x, y, kind.paletted ? rng() % 4 : kind.format == 1 ? EdgyWord32(rng) : EdgyWord565(rng));
                    }
                }
                for (int i = 0; i < 256; ++i) {
                    src.SetPalette32(i, EdgyWord32(rng));
                }
                src->paletteCount = 256;
                src->colorKey = kind.paletted ? 1u : src.Get(0, h - 1);
                TestImage dst(12, 10, kind.format);
                for (int y = 0; y < 10; ++y) {
                    for (int x = 0; x < 12; ++x) dst.Set(x, y, kind.format == 1 ? EdgyWord32(rng) : EdgyWord565(rng));
                }
                SetBlend(kind.mode, kind.param);
                SetArea(1, 2, 11, 9);
                for (int transFlag : {0, 1}) {
                    for (int32_t x : {-2, 0, 3, 9}) {
                        const int32_t y = x / 2;
                        TestImage expected(dst);
                        TestImage got(dst);
                        BlitMemImg(expected.get(), src.get(), x, y, transFlag, nullptr, GetDrawState());
                        BlitMemImgRotated(got.get(), src.get(), x + (w >> 1), y + (h >> 1), 0.0f,
                                          1.0f, transFlag, 0, nullptr, GetDrawState());
                        ASSERT_EQ(got.bytes(), expected.bytes()) << "at " << x << " key " << transFlag;
                    }
                }
            }
        }
    }
}

TEST_F(RotatedBlitWalkTest, CodedWalks) {
    struct Case {
        const char* name;
        int w, h;
        float angle, scale;
        int32_t cx, cy;
        RECT area;
        // Source pixel for the offset (ox, oy) from the centre, before the centre pixel
        // (w >> 1, h >> 1) is added.
        std::function<std::pair<int, int>(int ox, int oy)> offset;
    };
    const RECT whole{0, 0, 24, 20};
    const float quarter = static_cast<float>(M_PI / 2);
    const float half = static_cast<float>(M_PI);
    const Case cases[] = {
        {"angle 0, even width: one more column left of the centre", 4, 4, 0.0f, 1.0f, 10, 9, whole,
         [](int ox, int oy) { return std::pair{ox, oy}; }},
        {"angle 0, odd sizes", 5, 3, 0.0f, 1.0f, 10, 9, whole,
         [](int ox, int oy) { return std::pair{ox, oy}; }},
        {"clipped to the draw area", 9, 7, 0.0f, 1.0f, 3, 2, RECT{1, 1, 6, 5},
         [](int ox, int oy) { return std::pair{ox, oy}; }},
        // A step right moves up the source, a line down moves right along it.
        {"quarter turn", 6, 3, quarter, 1.0f, 11, 9, whole,
         [](int ox, int oy) { return std::pair{oy, -ox}; }},
        {"half turn", 5, 4, half, 1.0f, 11, 9, whole,
         [](int ox, int oy) { return std::pair{-ox, -oy}; }},
        {"negative scale", 5, 4, 0.0f, -1.0f, 11, 9, whole,
         [](int ox, int oy) { return std::pair{-ox, -oy}; }},
        {"three quarter turn", 4, 6, -quarter, 1.0f, 11, 9, whole,
         [](int ox, int oy) { return std::pair{-oy, ox}; }},
        {"scale 2", 4, 3, 0.0f, 2.0f, 11, 9, whole,
         [](int ox, int oy) { return std::pair{FloorDiv(ox, 2), FloorDiv(oy, 2)}; }},
        {"scale 0.5", 8, 6, 0.0f, 0.5f, 11, 9, whole,
         [](int ox, int oy) { return std::pair{2 * ox, 2 * oy}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestImage src(c.w, c.h, 1);
        FillCoded(src);
        TestImage dst(24, 20, 1);
        dst.Fill(kSentinel);
        GetDrawState().drawArea = c.area;
        BlitMemImgRotated(dst.get(), src.get(), c.cx, c.cy, c.angle, c.scale, 0, 0, nullptr, GetDrawState());
        ExpectMapping(dst, src, c.area, [&](int x, int y) {
            const auto [sx, sy] = c.offset(x - c.cx, y - c.cy);
            return std::optional{std::pair{sx + (c.w >> 1), sy + (c.h >> 1)}};
        });
    }
}

// TurnFlag hands the draw to the quad draw: the same rectangle with the columns reversed.
TEST_F(RotatedBlitWalkTest, TurnFlagReversesTheColumns) {
    for (int w : {4, 5}) {
        SCOPED_TRACE(::testing::Message() << "width " << w);
        const int h = 4;
        TestImage src(w, h, 1);
        FillCoded(src);
        TestImage dst(24, 20, 1);
        dst.Fill(kSentinel);
        const int32_t cx = 10, cy = 9;
        BlitMemImgRotated(dst.get(), src.get(), cx, cy, 0.0f, 1.0f, 0, 7, nullptr, GetDrawState());
        // Each drawn pixel's column plus its x, and its row minus its y, are the same for all.
        std::optional<int> columnSum, rowShift;
        int drawn = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 24; ++x) {
                const uint32_t v = dst.Get(x, y);
                if (v == kSentinel) continue;
                ASSERT_NE(v & 0x80000000u, 0u) << "at (" << x << ", " << y << ")";
                const int sx = static_cast<int>(v & 0x3FFFu);
                const int sy = static_cast<int>((v >> 14) & 0x3FFFu);
                if (!columnSum) columnSum = sx + x, rowShift = sy - y;
                EXPECT_EQ(sx + x, *columnSum) << "at (" << x << ", " << y << ")";
                EXPECT_EQ(sy - y, *rowShift) << "at (" << x << ", " << y << ")";
                ++drawn;
            }
        }
        // Inside the rectangle of the unmirrored draw, at most its last column and row short.
        EXPECT_GE(drawn, (w - 1) * (h - 1));
        EXPECT_LE(drawn, w * h);
        ASSERT_TRUE(columnSum.has_value());
        const int left = cx - w / 2;  // the corners truncated toward zero
        EXPECT_GE(*columnSum - (w - 1), left - 1);
        EXPECT_LE(*columnSum, left + w);
    }
}

// Positions and sizes the 14.18 fixed point of 32 bits cannot hold, and sources taller than
// 4096 rows: the draw lands where it belongs.
TEST_F(RotatedBlitWalkTest, FarFromTheOriginAndTallSources) {
    {
        SCOPED_TRACE("centre beyond 8191");
        TestImage src(4, 2, 1);
        FillCoded(src);
        TestImage dst(10000, 4, 1);
        dst.Fill(kSentinel);
        SetArea(0, 0, 10000, 4);
        BlitMemImgRotated(dst.get(), src.get(), 9000, 2, 0.0f, 1.0f, 0, 0, nullptr, GetDrawState());
        ExpectMapping(dst, src, RECT{0, 0, 10000, 4},
                      [](int x, int y) { return std::optional{std::pair{x - 9000 + 2, y - 2 + 1}}; });
    }
    {
        SCOPED_TRACE("bottom rows of a source of 5000 rows");
        TestImage src(3, 5000, 1);
        FillCoded(src);
        TestImage dst(8, 8, 1);
        dst.Fill(kSentinel);
        SetArea(0, 0, 8, 8);
        BlitMemImgRotated(dst.get(), src.get(), 3, -2492, 0.0f, 1.0f, 0, 0, nullptr, GetDrawState());
        ExpectMapping(dst, src, RECT{0, 0, 8, 8},
                      [](int x, int y) { return std::optional{std::pair{x - 3 + 1, y + 2492 + 2500}}; });
    }
    {
        // The centre row lies 8191 rows down: the source points of the destination's rows
        // are beyond 2^31 in 14.18.
        SCOPED_TRACE("the tallest source");
        TestImage src(2, kRotatedMaxSourceSide, 1);
        FillCoded(src);
        TestImage dst(8, 8, 1);
        dst.Fill(kSentinel);
        SetArea(0, 0, 8, 8);
        BlitMemImgRotated(dst.get(), src.get(), 3, -8000, 0.0f, 1.0f, 0, 0, nullptr, GetDrawState());
        ExpectMapping(dst, src, RECT{0, 0, 8, 8}, [](int x, int y) {
            return std::optional{std::pair{x - 3 + 1, y + 8000 + kRotatedMaxSourceSide / 2}};
        });
    }
}

// A blend image taller than 4096 rows is read through its own rows, at the source's.
TEST_F(RotatedBlitWalkTest, TallBlendImage) {
    std::mt19937 rng(5);
    TestImage src(3, 4500, 1);
    TestImage blend(4, 4600, 2);
    for (int y = 0; y < 4500; ++y) {
        for (int x = 0; x < 3; ++x) src.Set(x, y, EdgyWord32(rng));
    }
    for (int y = 0; y < 4600; ++y) {
        for (int x = 0; x < 4; ++x) blend.Set(x, y, rng() & 0xFF);
    }
    TestImage dst(8, 8, 1);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) dst.Set(x, y, EdgyWord32(rng));
    }
    SetBlend(1, 150);
    const float angle = 0.001f, scale = 1.25f;
    const int32_t cx = 4, cy = -2650;
    const RotatedBlitPlan plan = PlanBlitMemImgRotated(dst.get(), src.get(), cx, cy, angle, scale,
                                                       0, 0, blend.get(), GetDrawState());
    ASSERT_EQ(plan.draw, RotatedDraw::Spans);
    const TestImage before(dst);
    TestImage expected(dst);
    ReferenceRotatedSpans(expected.get(), src.get(),
                          RefRotatedMapping{plan.box, plan.u0, plan.v0, plan.stepU, plan.stepV,
                                            plan.lineU, plan.lineV},
                          0, blend.get(), GetDrawState());
    BlitMemImgRotated(dst.get(), src.get(), cx, cy, angle, scale, 0, 0, blend.get(), GetDrawState());
    EXPECT_EQ(dst.bytes(), expected.bytes());
    EXPECT_NE(dst.bytes(), before.bytes());
}

}  // namespace
