// The rectangle fill: its per-call decisions, its exact cases, and every loop against the
// reference model on seeded random images.
#include "softrender/fill/fill_rect.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "softrender/fill/fill_plan.h"
#include "tests/softrender/reference_model.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

class FillRectTest : public SoftRenderTest {};

TEST_F(FillRectTest, DecisionsPerCall) {
    struct Case {
        const char* name;
        int format, paletted, alpha;
        int mode, param;
        uint32_t bright;
        RECT rect;
        uint32_t color;
        int loop;  // -1: nothing filled
        RECT area;
        uint32_t planColor;
    };
    const uint32_t w = 0xFFFFFF;
    const Case cases[] = {
        {"paletted", 1, 1, 0, 0, 0, w, {0, 0, 4, 4}, 1, -1, {}, 0},
        {"alpha channel", 1, 0, 1, 0, 0, w, {0, 0, 4, 4}, 1, -1, {}, 0},
        {"raw format", 2, 0, 0, 0, 0, w, {0, 0, 4, 4}, 1, -1, {}, 0},
        {"mode 5", 1, 0, 0, 5, 100, w, {0, 0, 4, 4}, 1, -1, {}, 0},
        {"mode 1 at 0", 1, 0, 0, 1, 0, w, {0, 0, 4, 4}, 1, -1, {}, 0},
        {"mode 2 at 0", 0, 0, 0, 2, 0, w, {0, 0, 4, 4}, 1, -1, {}, 0},
        {"mode 3 at 0", 1, 0, 0, 3, 0, w, {0, 0, 4, 4}, 1, -1, {}, 0},
        {"mode 4 at 0", 1, 0, 0, 4, 0, w, {0, 0, 4, 4}, 1, 9, {0, 0, 4, 4}, 1},
        {"mode 1 at 255 copies", 0, 0, 0, 1, 255, w, {0, 0, 4, 4}, 1, 0, {0, 0, 4, 4}, 1},
        {"corners in any order", 1, 0, 0, 0, 0, w, {5, 6, 1, 2}, 1, 5, {1, 2, 5, 6}, 1},
        {"equal left and right", 1, 0, 0, 0, 0, w, {3, 0, 3, 9}, 1, -1, {}, 0},
        {"outside the draw area", 1, 0, 0, 0, 0, w, {20, 0, 30, 9}, 1, -1, {}, 0},
        {"clipped to the area", 1, 0, 0, 0, 0, w, {-5, -5, 50, 50}, 1, 5, {0, 0, 16, 12}, 1},
        {"extreme corners", 1, 0, 0, 0, 0, w, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, 1, 5, {0, 0, 16, 12}, 1},
        {"16-bit colour keeps its low 16 bits", 0, 0, 0, 0, 0, w, {0, 0, 4, 4}, 0xABCD1234, 0, {0, 0, 4, 4}, 0x1234},
        {"bright on a 32-bit colour", 1, 0, 0, 0, 0, 0xFFFFFE, {0, 0, 4, 4}, 0x7FFFFFFF, 5, {0, 0, 4, 4}, 0x7FFEFEFD},
        {"bright on a 16-bit colour", 0, 0, 0, 0, 0, 0x80FF00, {0, 0, 4, 4}, 0xFFFF, 0, {0, 0, 4, 4}, Rgb565(15, 62, 0)},
        {"white bright keeps the colour exact", 1, 0, 0, 0, 0, 0x12FFFFFF, {0, 0, 4, 4}, 0x00FFFFFF, 5, {0, 0, 4, 4}, 0x00FFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestImage dst(16, 12, c.format, c.paletted, c.alpha);
        SetBlend(c.mode, c.param);
        SetBright(c.bright);
        SetArea(-100, -100, 100, 100);  // beyond the image: limited to it
        const FillPlan plan = PlanFillMemImgRect(dst.get(), &c.rect, c.color, GetDrawState());
        EXPECT_EQ(plan.loop, c.loop);
        if (c.loop < 0) continue;
        EXPECT_EQ(plan.area.left, c.area.left);
        EXPECT_EQ(plan.area.top, c.area.top);
        EXPECT_EQ(plan.area.right, c.area.right);
        EXPECT_EQ(plan.area.bottom, c.area.bottom);
        EXPECT_EQ(plan.color, c.planColor);
    }
}

// One colour on one destination pixel.
TEST_F(FillRectTest, ExactCases) {
    struct Case {
        const char* name;
        int format;
        int mode, param;
        uint32_t bright;
        uint32_t color, dst, expected;
    };
    const uint32_t w = 0xFFFFFF;
    const Case cases[] = {
        {"mode 1 at 255 writes the colour", 1, 1, 255, w, 0x12345678, 0, 0x12345678},
        {"mode 1 at 0 changes nothing", 1, 1, 0, w, 0x12345678, 7, 7},
        {"mode 1 at 128 over black", 1, 1, 128, w, Rgb32(255, 255, 255, 9), Rgb32(0, 0, 0, 3), Rgb32(127, 127, 127, 3)},
        {"mode 4 ignores the parameter", 1, 4, 0, w, Rgb32(255, 128, 2), Rgb32(200, 200, 200, 5), Rgb32(199, 100, 1, 5)},
        {"16-bit mode 4 at 0", 0, 4, 0, w, 0xFFFF, 0xFFFF, Rgb565(30, 62, 30)},
        {"bright one step from white", 1, 0, 0, 0xFFFFFE, Rgb32(255, 255, 255), 0, Rgb32(254, 254, 253)},
        {"32-bit subtract of 0 from black", 1, 3, 255, w, 0, 0, 0x00010100},
        {"16-bit subtract of 0 from white", 0, 3, 255, w, 0, 0xFFFF, 0xFFDF},
        {"16-bit subtract of 0 from black", 0, 3, 255, w, 0, 0, 0x0800},
        {"32-bit add at 255 of 0x808080", 1, 2, 255, w, 0x808080, 0x808080, 0x01FFFFFF},
        {"16-bit add at 255 of 0x0841", 0, 2, 255, w, 0x0841, 0x0841, 0x0882},
        {"32-bit add ignores the packed-byte flag", 1, 2, 255, w, Rgb32(0, 1, 1), Rgb32(0, 1, 1), Rgb32(0, 1, 2)},
        {"16-bit alpha by p / 255", 0, 1, 100, w, 0xFFFF, 0, Rgb565(12, 24, 12)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestImage dst(1, 1, c.format);
        dst.Set(0, 0, c.dst);
        SetBlend(c.mode, c.param);
        SetBright(c.bright);
        UseMmx = 1;
        FillMemImgRect(dst.get(), nullptr, c.color, GetDrawState());
        EXPECT_EQ(dst.Get(0, 0), c.expected) << std::hex << dst.Get(0, 0);
    }
}

// The 16-bit copy stores pairs of pixels and a last odd pixel alone; nothing beyond the
// rectangle changes, and a colour with high bits does not reach the neighbour pixel.
TEST_F(FillRectTest, SixteenBitCopyTouchesOnlyItsPixels) {
    for (int width : {1, 2, 3, 6, 7}) {
        SCOPED_TRACE(width);
        TestImage dst(9, 3, 0);
        dst.Fill(0x5555);
        const RECT rect{1, 1, 1 + width, 2};
        FillMemImgRect(dst.get(), &rect, 0xABCD1234u, GetDrawState());
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 9; ++x) {
                const bool inside = y == 1 && x >= 1 && x < 1 + width;
                EXPECT_EQ(dst.Get(x, y) & 0xFFFFu, inside ? 0x1234u : 0x5555u) << x << ", " << y;
            }
        }
    }
}

TEST_F(FillRectTest, NullRectangleFillsTheDrawAreaPart) {
    TestImage dst(6, 5, 1);
    SetArea(2, 1, 4, 3);
    FillMemImgRect(dst.get(), nullptr, 0x11, GetDrawState());
    TestImage swapped(6, 5, 1);
    const RECT corners{10, 10, -1, -1};
    FillMemImgRect(swapped.get(), &corners, 0x11, GetDrawState());
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 2 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(dst.Get(x, y), inside ? 0x11u : 0u) << x << ", " << y;
        }
    }
    EXPECT_EQ(swapped.bytes(), dst.bytes());
}

TEST_F(FillRectTest, EveryLoopMatchesTheReference) {
    std::mt19937 rng(77);
    for (int n = 0; n < 600; ++n) {
        const int format = static_cast<int>(rng() % 2);
        const int w = 1 + static_cast<int>(rng() % 40), h = 1 + static_cast<int>(rng() % 30);
        TestImage dst(w, h, format, 0, 0, static_cast<int>(rng() % 2) * 16);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) dst.Set(x, y, format ? EdgyWord32(rng) : EdgyWord565(rng));
        }
        const int mode = static_cast<int>(rng() % 6);
        const int param = rng() % 4 ? static_cast<int>(EdgyByte(rng)) : 255;
        uint32_t bright = rng() % 2 ? 0xFFFFFF : rng() & 0xFFFFFF;
        SetBlend(mode, param);
        SetBright(bright);
        SetArea(static_cast<int32_t>(rng() % 8) - 4, static_cast<int32_t>(rng() % 8) - 4,
                w - 4 + static_cast<int32_t>(rng() % 8), h - 4 + static_cast<int32_t>(rng() % 8));
        const RECT rect{static_cast<int32_t>(rng() % (w + 6)) - 3, static_cast<int32_t>(rng() % (h + 6)) - 3,
                        static_cast<int32_t>(rng() % (w + 6)) - 3, static_cast<int32_t>(rng() % (h + 6)) - 3};
        const uint32_t color = rng() % 2 ? EdgyWord32(rng) : EdgyWord565(rng);
        const RECT* r = rng() % 5 == 0 ? nullptr : &rect;
        TestImage expected(dst);
        ReferenceFillMemImgRect(expected.get(), r, color, GetDrawState());
        UseMmx = static_cast<int32_t>(rng() % 2);
        FillMemImgRect(dst.get(), r, color, GetDrawState());
        ASSERT_EQ(dst.bytes(), expected.bytes())
            << "format " << format << " mode " << mode << " p " << param << " bright " << std::hex
            << bright << " colour " << color;
    }
}

}  // namespace
