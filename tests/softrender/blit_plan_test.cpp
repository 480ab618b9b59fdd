// The unscaled blit's per-call decisions: refusals, clipping, parameter exits, short cuts and
// the loop named, one table row per decision.
#include "softrender/unscaled/blit_plan.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "tests/softrender/softrender_test_support.h"

namespace {

struct Images {
    int dstFormat = 1;
    int dstPaletted = 0;
    int dstAlpha = 0;
    int srcFormat = 1;
    int srcPaletted = 0;
    int srcAlpha = 0;
    uint32_t srcKey = 0;
};

struct PlanCase {
    const char* name;
    Images images;
    int mode, param;
    uint32_t bright;
    int transFlag;
    int useMmx;
    int blendWidth;  // 0: no blend image; else a blend image of this width and the source's height
    std::optional<LoopKey> expected;  // nothing: the blit draws nothing
};

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr SourceKind kPal = SourceKind::Paletted;
constexpr SourceKind kDir = SourceKind::Direct;
constexpr SourceKind kAlp = SourceKind::DirectAlpha;
constexpr LoopSpecial kNone = LoopSpecial::None;
constexpr LoopSpecial kCut = LoopSpecial::Shortcut;
constexpr LoopSpecial kPacked = LoopSpecial::Packed;

LoopKey Key(int format, SourceKind source, int mode, bool blend, bool bright, bool key,
            LoopSpecial special) {
    return LoopKey{format, source, mode, blend, bright, key, special};
}

class BlitPlanTest : public SoftRenderTest {};

TEST_F(BlitPlanTest, DecisionsPerCall) {
    const Images d32{}, d16{0, 0, 0, 0, 0, 0, 0};
    const Images pal32{1, 0, 0, 1, 1, 0, 7}, pal16{0, 0, 0, 0, 1, 0, 7};
    const Images alpha32{1, 0, 0, 1, 0, 1, 0}, alpha16{0, 0, 0, 0, 0, 1, 0};
    const PlanCase cases[] = {
        {"formats differ", {1, 0, 0, 0, 0, 0, 0}, 0, 255, kWhite, 0, 0, 0, std::nullopt},
        {"paletted destination", {1, 1, 0, 1, 0, 0, 0}, 0, 255, kWhite, 0, 0, 0, std::nullopt},
        {"destination with alpha", {1, 0, 1, 1, 0, 0, 0}, 0, 255, kWhite, 0, 0, 0, std::nullopt},
        {"raw format", {2, 0, 0, 2, 0, 0, 0}, 0, 255, kWhite, 0, 0, 0, std::nullopt},
        {"blend image narrower than the source", d32, 0, 255, kWhite, 0, 0, 7, std::nullopt},
        {"blend image as wide", d32, 0, 255, kWhite, 0, 0, 8, Key(1, kDir, 0, true, false, false, kNone)},
        {"mode 5", d32, 5, 100, kWhite, 0, 0, 0, std::nullopt},
        {"mode -1", d32, -1, 100, kWhite, 0, 0, 0, std::nullopt},
        {"mode 1 at 0", d32, 1, 0, kWhite, 0, 0, 0, std::nullopt},
        {"mode 2 at 0", d32, 2, 0, kWhite, 0, 0, 0, std::nullopt},
        {"mode 3 at 0", d32, 3, 0, kWhite, 0, 0, 0, std::nullopt},
        {"mode 3 at 0 paletted", pal32, 3, 0, kWhite, 0, 0, 0, std::nullopt},
        {"mode 4 at 0 multiplies", d32, 4, 0, kWhite, 0, 0, 0, Key(1, kDir, 4, false, false, false, kNone)},
        {"mode 0 ignores the parameter", d32, 0, 0, kWhite, 0, 0, 0, Key(1, kDir, 0, false, false, false, kNone)},
        {"mode 1 at 255 is mode 0", d32, 1, 255, kWhite, 1, 0, 0, Key(1, kDir, 0, false, false, true, kNone)},
        {"half-average", d32, 1, 128, kWhite, 0, 0, 0, Key(1, kDir, 1, false, false, false, kCut)},
        {"half-average packed", d32, 1, 128, kWhite, 0, 1, 0, Key(1, kDir, 1, false, false, false, kPacked)},
        {"half-average paletted has no packed leaf", pal32, 1, 128, kWhite, 0, 1, 0, Key(1, kPal, 1, false, false, false, kCut)},
        {"half-average 16-bit has no packed leaf", d16, 1, 128, kWhite, 1, 1, 0, Key(0, kDir, 1, false, false, true, kCut)},
        {"no half-average with a bright", d32, 1, 128, 0xFFFFFE, 0, 0, 0, Key(1, kDir, 1, false, true, false, kNone)},
        {"no half-average with a blend image", d32, 1, 128, kWhite, 0, 0, 8, Key(1, kDir, 1, true, false, false, kNone)},
        {"no half-average from an alpha source", alpha32, 1, 128, kWhite, 0, 0, 0, Key(1, kAlp, 1, false, false, false, kNone)},
        {"mode 1 at 127", d32, 1, 127, kWhite, 0, 1, 0, Key(1, kDir, 1, false, false, false, kNone)},
        {"unscaled add", d32, 2, 255, kWhite, 0, 0, 0, Key(1, kDir, 2, false, false, false, kCut)},
        {"unscaled add packed", d32, 2, 255, kWhite, 0, 1, 0, Key(1, kDir, 2, false, false, false, kPacked)},
        {"unscaled subtract packed paletted", pal32, 3, 255, kWhite, 1, 1, 0, Key(1, kPal, 3, false, false, true, kPacked)},
        {"unscaled subtract 16-bit pairs", d16, 3, 255, kWhite, 0, 1, 0, Key(0, kDir, 3, false, false, false, kCut)},
        {"add at 254", d32, 2, 254, kWhite, 0, 1, 0, Key(1, kDir, 2, false, false, false, kNone)},
        {"add at 255 from an alpha source", alpha32, 2, 255, kWhite, 1, 1, 0, Key(1, kAlp, 2, false, false, true, kNone)},
        {"bright's fourth byte is no colour", d32, 0, 255, 0xAAFFFFFF, 0, 0, 0, Key(1, kDir, 0, false, false, false, kNone)},
        {"bright not white", d32, 0, 255, 0xFFFF7F, 0, 0, 0, Key(1, kDir, 0, false, true, false, kNone)},
        {"paletted key 255 compares", {1, 0, 0, 1, 1, 0, 255}, 0, 255, kWhite, 1, 0, 0, Key(1, kPal, 0, false, false, true, kNone)},
        {"paletted key 256 matches no index", {1, 0, 0, 1, 1, 0, 256}, 0, 255, kWhite, 1, 0, 0, Key(1, kPal, 0, false, false, false, kNone)},
        {"16-bit paletted", pal16, 4, 9, kWhite, 1, 0, 8, Key(0, kPal, 4, true, false, true, kNone)},
        {"alpha source with TransFlag", alpha16, 0, 255, kWhite, 3, 0, 0, Key(0, kAlp, 0, false, false, true, kNone)},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestImage dst(20, 20, c.images.dstFormat, c.images.dstPaletted, c.images.dstAlpha);
        TestImage src(8, 6, c.images.srcFormat, c.images.srcPaletted, c.images.srcAlpha);
        src->colorKey = c.images.srcKey;
        std::optional<TestImage> blend;
        if (c.blendWidth > 0) blend.emplace(c.blendWidth, 6, 2);
        SetBlend(c.mode, c.param);
        SetBright(c.bright);
        const BlitPlan plan = PlanBlitMemImg(dst.get(), src.get(), 3, 4, c.transFlag,
                                             blend ? blend->get() : nullptr, GetDrawState(),
                                             c.useMmx);
        if (!c.expected) {
            EXPECT_EQ(plan.loop, -1);
            continue;
        }
        ASSERT_NE(plan.loop, -1);
        EXPECT_TRUE(DecodeLoopKey(plan.loop) == *c.expected);
        EXPECT_TRUE(DescribeUnscaledBlitLoop(plan.loop).valid);
    }
}

struct ClipCase {
    const char* name;
    RECT drawArea;
    int32_t x, y;
    bool drawn;
    RECT area;
    int32_t sourceX, sourceY;
};

// A 10 x 8 source on a 20 x 16 destination.
TEST_F(BlitPlanTest, ClippingAndSourceOffset) {
    const ClipCase cases[] = {
        {"inside", {0, 0, 20, 16}, 2, 3, true, {2, 3, 12, 11}, 0, 0},
        {"left and top cut", {0, 0, 20, 16}, -4, -1, true, {0, 0, 6, 7}, 4, 1},
        {"right and bottom cut", {0, 0, 20, 16}, 15, 12, true, {15, 12, 20, 16}, 0, 0},
        {"cut by the area", {5, 5, 8, 7}, 2, 3, true, {5, 5, 8, 7}, 3, 2},
        {"wholly left of the area", {5, 5, 20, 16}, -6, 5, false, {}, 0, 0},
        {"wholly below the area", {0, 0, 20, 16}, 0, 16, false, {}, 0, 0},
        {"area beyond the image is limited to it", {-50, -50, 500, 500}, -3, 10, true, {0, 10, 7, 16}, 3, 0},
        {"area outside the image", {30, 0, 40, 16}, 15, 0, false, {}, 0, 0},
        {"inverted area", {10, 10, 5, 5}, 2, 3, false, {}, 0, 0},
        {"far right edge beyond 32 bits", {0, 0, 20, 16}, INT32_MAX - 5, 0, false, {}, 0, 0},
        {"far bottom edge beyond 32 bits", {0, 0, 20, 16}, 0, INT32_MAX - 1, false, {}, 0, 0},
        {"most negative position", {0, 0, 20, 16}, INT32_MIN, INT32_MIN, false, {}, 0, 0},
    };
    for (const ClipCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestImage dst(20, 16, 1);
        TestImage src(10, 8, 1);
        GetDrawState().drawArea = c.drawArea;
        const BlitPlan plan =
            PlanBlitMemImg(dst.get(), src.get(), c.x, c.y, 0, nullptr, GetDrawState(), 0);
        EXPECT_EQ(plan.loop != -1, c.drawn);
        if (!c.drawn) continue;
        EXPECT_EQ(plan.area.left, c.area.left);
        EXPECT_EQ(plan.area.top, c.area.top);
        EXPECT_EQ(plan.area.right, c.area.right);
        EXPECT_EQ(plan.area.bottom, c.area.bottom);
        EXPECT_EQ(plan.sourceX, c.sourceX);
        EXPECT_EQ(plan.sourceY, c.sourceY);
    }
}

// The named differences of the unscaled loops from the general rules.
TEST_F(BlitPlanTest, NamedLoopDescriptions) {
    struct DescCase {
        const char* name;
        LoopKey key;
        PixelOp op;
        Acceptance accept;
        PixelOp opaqueOp;
    };
    const DescCase cases[] = {
        {"alpha ignored by the plain copy", Key(1, kAlp, 0, false, false, false, kNone), PixelOp::CopyWhole, Acceptance::All, PixelOp::None},
        {"alpha weights the copy under a key", Key(1, kAlp, 0, false, false, true, kNone), PixelOp::Interpolate, Acceptance::AlphaSkipZero, PixelOp::CopyWhole},
        {"alpha weights a bright copy", Key(0, kAlp, 0, false, true, false, kNone), PixelOp::Interpolate, Acceptance::All, PixelOp::None},
        {"mode 4 keeps alpha 0", Key(1, kAlp, 4, false, false, true, kNone), PixelOp::Multiply, Acceptance::AlphaKeepZero, PixelOp::Multiply},
        {"16-bit plain alpha reads Blend565Table", Key(0, kDir, 1, false, false, false, kNone), PixelOp::BlendTable565, Acceptance::All, PixelOp::None},
        {"16-bit bright alpha steps by difference", Key(0, kPal, 1, false, true, false, kNone), PixelOp::DifferenceStep, Acceptance::All, PixelOp::None},
        {"16-bit opaque alpha pixels step by difference", Key(0, kAlp, 1, false, false, true, kNone), PixelOp::Interpolate, Acceptance::AlphaSkipZero, PixelOp::DifferenceStep},
        {"16-bit plain copy key on the low 16 bits", Key(0, kDir, 0, false, false, true, kNone), PixelOp::CopyWhole, Acceptance::KeyLow16, PixelOp::None},
        {"16-bit add key on the whole key", Key(0, kDir, 2, false, false, true, kCut), PixelOp::AddUnscaled, Acceptance::KeyWhole, PixelOp::None},
        {"32-bit packed subtract", Key(1, kDir, 3, false, false, false, kPacked), PixelOp::SubtractSaturate, Acceptance::All, PixelOp::None},
    };
    for (const DescCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PixelLoop loop = DescribeUnscaledBlitLoop(EncodeLoopKey(c.key));
        ASSERT_TRUE(loop.valid);
        EXPECT_EQ(loop.rule.op, c.op);
        EXPECT_EQ(loop.accept, c.accept);
        EXPECT_EQ(loop.opaque.op, c.opaqueOp);
    }
    // Keys the blit never names.
    EXPECT_FALSE(DescribeUnscaledBlitLoop(EncodeLoopKey(Key(1, kAlp, 1, false, false, false, kCut))).valid);
    EXPECT_FALSE(DescribeUnscaledBlitLoop(EncodeLoopKey(Key(0, kDir, 2, false, false, false, kPacked))).valid);
    EXPECT_FALSE(DescribeUnscaledBlitLoop(EncodeLoopKey(Key(1, kDir, 4, false, false, false, kCut))).valid);
}

}  // namespace
