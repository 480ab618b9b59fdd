// The rotated blit's per-call decisions: refusals (with the mended limits of the fixed point,
// the row tables and the blend image), the hand-over of mirrored draws, the exact set-up of
// the inverse mapping, and the choice of span loop, one table row per decision.
#include "softrender/rotated/rotated_blit_plan.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <memory>

#include "softrender/rotated/rotated_span_loops.h"
#include "base/number_routines.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kQuarterTurn = static_cast<float>(M_PI / 2);

struct Images {
    int dstFormat = 1, dstPaletted = 0, dstAlpha = 0;
    int srcFormat = 1, srcPaletted = 0, srcAlpha = 0;
    int srcWidth = 4, srcHeight = 4;
    int dstWidth = 32, dstHeight = 32;
    int blendWidth = 0, blendHeight = 0;  // 0: no blend image
};

struct Call {
    int32_t cx = 10, cy = 10;
    float angle = 0.0f;
    float scale = 1.0f;
    int32_t turnFlag = 0;
    int mode = 0, param = 255;
};

class RotatedBlitPlanTest : public SoftRenderTest {
protected:
    RotatedBlitPlan Plan(const Images& im, const Call& call) {
        TestImage dst(im.dstWidth, im.dstHeight, im.dstFormat, im.dstPaletted, im.dstAlpha);
        TestImage src(im.srcWidth, im.srcHeight, im.srcFormat, im.srcPaletted, im.srcAlpha);
        std::unique_ptr<TestImage> blend;
        if (im.blendWidth > 0) blend = std::make_unique<TestImage>(im.blendWidth, im.blendHeight, 2);
        DrawState& state = GetDrawState();
        state.blendMode = call.mode;
        state.blendParam = call.param;
        state.drawArea = RECT{0, 0, im.dstWidth, im.dstHeight};
        return PlanBlitMemImgRotated(dst.get(), src.get(), call.cx, call.cy, call.angle,
                                     call.scale, 0, call.turnFlag, blend ? blend->get() : nullptr,
                                     state);
    }
};

TEST_F(RotatedBlitPlanTest, RefusalsAndLimits) {
    struct Case {
        const char* name;
        Images images;
        Call call;
        RotatedDraw expected;
    };
    const RotatedDraw nothing = RotatedDraw::Nothing, spans = RotatedDraw::Spans,
                      mirrored = RotatedDraw::Mirrored;
    Images d16;
    d16.dstFormat = d16.srcFormat = 0;
    Images pal = d16;
    pal.srcPaletted = 1;
    Images formatsDiffer;
    formatsDiffer.srcFormat = 0;
    Images palettedDst;
    palettedDst.dstPaletted = 1;
    Images alphaDst;
    alphaDst.dstAlpha = 1;
    Images raw;
    raw.dstFormat = raw.srcFormat = 2;
    Images narrowBlend;
    narrowBlend.blendWidth = 3, narrowBlend.blendHeight = 4;
    Images lowBlend;
    lowBlend.blendWidth = 4, lowBlend.blendHeight = 3;
    Images coveringBlend;
    coveringBlend.blendWidth = 4, coveringBlend.blendHeight = 4;
    Images tallest;
    tallest.srcWidth = 1, tallest.srcHeight = kRotatedMaxSourceSide;
    Images tooTall = tallest;
    tooTall.srcHeight = kRotatedMaxSourceSide + 1;
    Images tooWide = tallest;
    tooWide.srcWidth = kRotatedMaxSourceSide + 1, tooWide.srcHeight = 1;
    Images wideDst;
    wideDst.dstWidth = 10000, wideDst.dstHeight = 4;

    auto with = [](Call c, auto change) {
        change(c);
        return c;
    };
    const Call plain;
    const Case cases[] = {
        {"plain call", {}, plain, spans},
        {"16-bit", d16, plain, spans},
        {"16-bit paletted", pal, plain, spans},
        {"formats differ", formatsDiffer, plain, nothing},
        {"formats differ, mirrored", formatsDiffer, with(plain, [](Call& c) { c.turnFlag = 1; }), nothing},
        {"paletted destination", palettedDst, plain, nothing},
        {"destination with alpha", alphaDst, plain, nothing},
        {"raw format", raw, plain, nothing},
        {"blend image narrower than the source", narrowBlend, plain, nothing},
        {"blend image lower than the source", lowBlend, plain, nothing},
        {"blend image as large as the source", coveringBlend, plain, spans},
        {"scale 0", {}, with(plain, [](Call& c) { c.scale = 0.0f; }), nothing},
        {"scale -0", {}, with(plain, [](Call& c) { c.scale = -0.0f; }), nothing},
        {"scale 0, mirrored", {}, with(plain, [](Call& c) { c.scale = 0.0f, c.turnFlag = 1; }), nothing},
        {"scale NaN", {}, with(plain, [](Call& c) { c.scale = kNaN; }), nothing},
        {"scale infinite", {}, with(plain, [](Call& c) { c.scale = -kInf; }), nothing},
        {"angle NaN", {}, with(plain, [](Call& c) { c.angle = kNaN; }), nothing},
        {"angle infinite, mirrored", {}, with(plain, [](Call& c) { c.angle = kInf, c.turnFlag = 1; }), nothing},
        {"negative scale", {}, with(plain, [](Call& c) { c.scale = -1.5f; }), spans},
        {"mirrored", {}, with(plain, [](Call& c) { c.turnFlag = -2; }), mirrored},
        {"mode 5 mirrored goes to the quad", {}, with(plain, [](Call& c) { c.turnFlag = 1, c.mode = 5; }), mirrored},
        {"mode 5", {}, with(plain, [](Call& c) { c.mode = 5; }), nothing},
        {"mode 2 at 0", {}, with(plain, [](Call& c) { c.mode = 2, c.param = 0; }), nothing},
        {"box outside the draw area", {}, with(plain, [](Call& c) { c.cx = -7; }), nothing},
        {"box touching the draw area", {}, with(plain, [](Call& c) { c.cx = -5; }), spans},
        // 14.18 holds positions below 8192: the set-up is made in 64 bits instead.
        {"centre beyond 8191 on a wide destination", wideDst, with(plain, [](Call& c) { c.cx = 9000, c.cy = 2; }), spans},
        {"centre at the largest integer", {}, with(plain, [](Call& c) { c.cx = INT32_MAX; }), nothing},
        {"centre at the least integer", {}, with(plain, [](Call& c) { c.cy = INT32_MIN; }), nothing},
        {"centre at the least integer, mirrored", {}, with(plain, [](Call& c) { c.cy = INT32_MIN, c.turnFlag = 1; }), mirrored},
        // A tiny scale makes steps that leave 32 bits: nothing rather than wrapped samples.
        {"steps beyond 32 bits", {}, with(plain, [](Call& c) { c.scale = 1e-7f; }), nothing},
        {"huge scale", {}, with(plain, [](Call& c) { c.scale = 1e6f; }), spans},
        {"corners beyond 64 bits", {}, with(plain, [](Call& c) { c.scale = 1e30f; }), nothing},
        // The limits width << 18 and height << 18 must fit 32 bits; the row tables hold as
        // many rows as the tallest source taken.
        {"tallest source", tallest, plain, spans},
        {"source too tall", tooTall, plain, nothing},
        {"source too wide", tooWide, plain, nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Plan(c.images, c.call).draw, c.expected);
    }
}

// The inverse mapping: box, start point, steps per pixel and per line, exactly.
TEST_F(RotatedBlitPlanTest, MappingSetUp) {
    struct Case {
        const char* name;
        int width, height;
        float angle, scale;
        RECT box;
        int32_t u0, v0, stepU, stepV, lineU, lineV;
    };
    constexpr int32_t P = 262144;  // one pixel
    const Case cases[] = {
        // Corners at 10 -/+ 2: box 2 wider to the left and top, 4 to the right and bottom.
        {"angle 0, scale 1", 4, 4, 0.0f, 1.0f, {6, 6, 16, 16}, -2 * P, -2 * P, P, 0, 0, P},
        // Corners at 7.5 and 12.5 (truncated to 7 and 12), 8.5 and 11.5.
        {"odd sizes", 5, 3, 0.0f, 1.0f, {5, 6, 16, 15}, -3 * P, -3 * P, P, 0, 0, P},
        {"scale 2", 4, 4, 0.0f, 2.0f, {4, 4, 18, 18}, -P, -P, P / 2, 0, 0, P / 2},
        {"scale -1", 4, 4, 0.0f, -1.0f, {6, 6, 16, 16}, 6 * P, 6 * P, -P, 0, 0, -P},
        // sin 1, cos 0 (in 14.18): a step right moves up the source, a line down moves right.
        {"quarter turn", 4, 2, kQuarterTurn, 1.0f, {7, 6, 15, 16}, -2 * P, 4 * P, 0, -P, P, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Images im;
        im.srcWidth = c.width;
        im.srcHeight = c.height;
        Call call;
        call.angle = c.angle;
        call.scale = c.scale;
        const RotatedBlitPlan plan = Plan(im, call);
        ASSERT_EQ(plan.draw, RotatedDraw::Spans);
        EXPECT_EQ(plan.box.left, c.box.left);
        EXPECT_EQ(plan.box.top, c.box.top);
        EXPECT_EQ(plan.box.right, c.box.right);
        EXPECT_EQ(plan.box.bottom, c.box.bottom);
        EXPECT_EQ(plan.u0, c.u0);
        EXPECT_EQ(plan.v0, c.v0);
        EXPECT_EQ(plan.stepU, c.stepU);
        EXPECT_EQ(plan.stepV, c.stepV);
        EXPECT_EQ(plan.lineU, c.lineU);
        EXPECT_EQ(plan.lineV, c.lineV);
        EXPECT_EQ(plan.uLimit, static_cast<uint32_t>(c.width) * P);
        EXPECT_EQ(plan.vLimit, static_cast<uint32_t>(c.height) * P);
    }
}

// A mirrored draw hands the rotated rectangle's corners to the quad draw as top-right,
// top-left, bottom-right, bottom-left.
TEST_F(RotatedBlitPlanTest, MirroredCorners) {
    struct Case {
        const char* name;
        float angle, scale;
        int32_t quad[8];
    };
    const Case cases[] = {
        {"angle 0", 0.0f, 1.0f, {12, 8, 8, 8, 12, 12, 8, 12}},
        {"scale 2", 0.0f, 2.0f, {14, 6, 6, 6, 14, 14, 6, 14}},
        {"quarter turn", kQuarterTurn, 1.0f, {12, 12, 12, 8, 8, 12, 8, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Call call;
        call.angle = c.angle;
        call.scale = c.scale;
        call.turnFlag = 1;
        const RotatedBlitPlan plan = Plan(Images{}, call);
        ASSERT_EQ(plan.draw, RotatedDraw::Mirrored);
        for (int i = 0; i < 8; ++i) EXPECT_EQ(plan.quad[i], c.quad[i]) << "value " << i;
    }
}

TEST_F(RotatedBlitPlanTest, ChoiceOfLoop) {
    struct Case {
        const char* name;
        int format;
        bool paletted, alpha;
        int mode, param;
        bool blend;
        uint32_t bright;
        int transFlag;
        int expected;  // -1: nothing drawn
    };
    auto key = [](int format, bool paletted, int mode, bool blend, bool bright, bool alpha,
                  bool k) {
        return EncodeRotatedLoopKey(RotatedLoopKey{format, paletted, mode, blend, bright, alpha, k});
    };
    const Case cases[] = {
        {"copy", 1, false, false, 0, 0, false, 0xFFFFFF, 0, key(1, false, 0, false, false, false, false)},
        {"mode 1 at 255 is the copy", 1, false, false, 1, 255, false, 0xFFFFFF, 1, key(1, false, 0, false, false, false, true)},
        {"mode 1 at 0", 1, false, false, 1, 0, false, 0xFFFFFF, 0, -1},
        {"mode 2 at 0", 0, true, false, 2, 0, false, 0xFFFFFF, 0, -1},
        {"mode 3 at 0 from a direct source", 0, false, false, 3, 0, false, 0xFFFFFF, 0, -1},
        {"mode 3 at 0 from a paletted source runs", 1, true, false, 3, 0, false, 0xFFFFFF, 0, key(1, true, 3, false, false, false, false)},
        {"mode 3 at 255 is the general loop", 1, false, false, 3, 255, false, 0xFFFFFF, 0, key(1, false, 3, false, false, false, false)},
        {"mode 4 ignores the parameter", 0, false, true, 4, 0, true, 0x123456, -9, key(0, false, 4, true, true, true, true)},
        {"mode 5", 1, false, false, 5, 100, false, 0xFFFFFF, 0, -1},
        {"negative mode", 1, false, false, -1, 100, false, 0xFFFFFF, 0, -1},
        {"format 2", 2, false, false, 0, 100, false, 0xFFFFFF, 0, -1},
        {"a paletted source has no alpha variant", 1, true, true, 2, 9, false, 0xFFFFFF, 0, key(1, true, 2, false, false, false, false)},
        {"the bright's fourth byte is not read", 1, false, false, 2, 9, false, 0x12FFFFFF, 0, key(1, false, 2, false, false, false, false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SelectRotatedSpanLoop(c.format, c.paletted, c.alpha, c.mode, c.param, c.blend,
                                        c.bright, c.transFlag),
                  c.expected);
    }
    // Every key decodes back to itself, and the variant index follows the order blend image,
    // white bright, alpha, colour key with "yes" first.
    for (int k = 0; k < kRotatedLoopKeyCount; ++k) {
        EXPECT_EQ(EncodeRotatedLoopKey(DecodeRotatedLoopKey(k)), k);
    }
    EXPECT_EQ(RotatedVariantOf(true, false, true, true), 0);
    EXPECT_EQ(RotatedVariantOf(false, true, false, false), 15);
}

// The set-up takes the sine and cosine of -angle from those of the angle: SinCosF must be odd
// and even exactly.
TEST_F(RotatedBlitPlanTest, SineAndCosineOfTheNegatedAngle) {
    for (int i = -2000; i <= 2000; ++i) {
        const float angle = static_cast<float>(i) * 0.00731f;
        float s, c, sn, cn;
        SinCosF(angle, &s, &c);
        SinCosF(-angle, &sn, &cn);
        ASSERT_EQ(sn, -s) << angle;
        ASSERT_EQ(cn, c) << angle;
    }
}

}  // namespace
