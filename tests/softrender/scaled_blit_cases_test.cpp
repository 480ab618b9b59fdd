// The scaled blit's exact cases: the hand-over to the unscaled blit, the refusals (with those
// added to the kernel), and the limits of the 16.16 stepping that once overflowed or divided
// by zero, one table row each.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <memory>

#include "softrender/scaled/blit_scaled.h"
#include "softrender/unscaled/blit_unscaled.h"
#include "softrender/scaled/scaled_blit_plan.h"
#include "tests/softrender/reference_model_scaled.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

class ScaledBlitCasesTest : public SoftRenderTest {};

TEST_F(ScaledBlitCasesTest, Cases) {
    struct Images {
        int dstFormat = 1, dstPaletted = 0, dstAlpha = 0;
        int srcFormat = 1, srcWidth = 4, srcHeight = 3;
        int blendWidth = 0, blendHeight = 0;
    };
    struct Case {
        const char* name;
        Images images;
        RECT rect;
        int mode, param;
        // What the destination must hold afterwards, given the source, the destination before
        // and the blend image (null when none); null: untouched.
        std::function<void(TestImage& expected, TestImage& src, const MEMIMG* blend)> expect;
    };
    // The half-average of the unscaled blit's mode 1 at parameter 128 clears the fourth byte;
    // the scaled rule keeps it: a same-size draw shows which kernel drew.
    auto unscaledAt = [](int32_t x, int32_t y) {
        return [x, y](TestImage& expected, TestImage& src, const MEMIMG* blend) {
            BlitMemImg(expected.get(), src.get(), x, y, 0, blend, GetDrawState());
        };
    };
    auto scaledReference = [](RECT rect) {
        return [rect](TestImage& expected, TestImage& src, const MEMIMG* blend) {
            ReferenceBlitMemImgScaled(expected.get(), src.get(), rect, 0, blend, GetDrawState(), 0);
        };
    };
    Images d16;
    d16.dstFormat = d16.srcFormat = 0;
    Images formatsDiffer;
    formatsDiffer.srcFormat = 0;
    Images palettedDst;
    palettedDst.dstPaletted = 1;
    Images alphaDst;
    alphaDst.dstAlpha = 1;
    Images raw;
    raw.dstFormat = raw.srcFormat = 2;
    Images emptySource;
    emptySource.srcWidth = 0;
    Images widest;
    widest.srcWidth = kScaledMaxSourceSide, widest.srcHeight = 1;
    Images tooWide;
    tooWide.srcWidth = kScaledMaxSourceSide + 1, tooWide.srcHeight = 1;
    Images smallBlend;
    smallBlend.blendWidth = 4, smallBlend.blendHeight = 2;
    Images coveringBlend;
    coveringBlend.blendWidth = 4, coveringBlend.blendHeight = 3;
    Images longRow;
    longRow.srcWidth = 40000, longRow.srcHeight = 1;
    const Case cases[] = {
        {"same size goes to the unscaled blit", {}, {2, 1, 6, 4}, 1, 128, unscaledAt(2, 1)},
        {"16-bit same size goes to the unscaled blit", d16, {2, 1, 6, 4}, 1, 128, unscaledAt(2, 1)},
        {"same size mirrored is scaled", {}, {6, 1, 2, 4}, 1, 128, scaledReference({6, 1, 2, 4})},
        {"same size mirrored vertically is scaled", {}, {2, 4, 6, 1}, 1, 128, scaledReference({2, 4, 6, 1})},
        {"enlarged", {}, {1, 1, 10, 8}, 1, 128, scaledReference({1, 1, 10, 8})},
        {"mode 1 at 255 is the copy", {}, {1, 1, 10, 8}, 1, 255, scaledReference({1, 1, 10, 8})},
        {"left equal to right", {}, {3, 1, 3, 8}, 0, 255, nullptr},
        {"top equal to bottom", {}, {1, 5, 10, 5}, 0, 255, nullptr},
        {"mode 5", {}, {1, 1, 10, 8}, 5, 255, nullptr},
        {"mode 2 at 0", {}, {1, 1, 10, 8}, 2, 0, nullptr},
        {"formats differ", formatsDiffer, {1, 1, 10, 8}, 0, 255, nullptr},
        {"paletted destination", palettedDst, {1, 1, 10, 8}, 0, 255, nullptr},
        {"destination with alpha", alphaDst, {1, 1, 10, 8}, 0, 255, nullptr},
        {"raw format", raw, {1, 1, 10, 8}, 0, 255, nullptr},
        {"empty source", emptySource, {1, 1, 10, 8}, 0, 255, nullptr},
        {"blend image lower than the source", smallBlend, {1, 1, 10, 8}, 0, 255, nullptr},
        {"blend image as large as the source", coveringBlend, {1, 1, 10, 8}, 1, 99, scaledReference({1, 1, 10, 8})},
        // 65536 columns onto one pixel: a step of 1 reads column 0.
        {"the widest source onto one pixel", widest, {3, 3, 4, 4}, 0, 255, scaledReference({3, 3, 4, 4})},
        // One more column would make the step 0 (a division by zero, then a walk that never
        // ends), and wider sources could read past their last column.
        {"a source too wide for the steps", tooWide, {3, 3, 4, 4}, 0, 255, nullptr},
        // 40000 pixels clipped off on the left: (offset << 16) needs more than 32 bits.
        {"a large part clipped off", longRow, {-40000, 2, 40, 3}, 0, 255, scaledReference({-40000, 2, 40, 3})},
        {"a large part clipped off, mirrored", longRow, {40, 2, -40000, 3}, 0, 255, scaledReference({40, 2, -40000, 3})},
    };
    std::mt19937 rng(9);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Images& im = c.images;
        TestImage src(im.srcWidth, im.srcHeight, im.srcFormat);
        for (int y = 0; y < im.srcHeight; ++y) {
            for (int x = 0; x < im.srcWidth; ++x) src.Set(x, y, im.srcFormat == 1 ? EdgyWord32(rng) : EdgyWord565(rng));
        }
        TestImage dst(48, 12, im.dstFormat, im.dstPaletted, im.dstAlpha);
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 48; ++x) dst.Set(x, y, im.dstFormat == 1 ? EdgyWord32(rng) : EdgyWord565(rng));
        }
        std::unique_ptr<TestImage> blend;
        if (im.blendWidth > 0) {
            blend = std::make_unique<TestImage>(im.blendWidth, im.blendHeight, 2);
            for (int y = 0; y < im.blendHeight; ++y) {
                for (int x = 0; x < im.blendWidth; ++x) blend->Set(x, y, rng() & 0xFF);
            }
        }
        const MEMIMG* blendImage = blend ? blend->get() : nullptr;
        SetBlend(c.mode, c.param);
        TestImage expected(dst);
        if (c.expect) c.expect(expected, src, blendImage);
        BlitMemImgScaled(dst.get(), src.get(), c.rect, 0, blendImage, GetDrawState());
        EXPECT_EQ(dst.bytes(), expected.bytes());
    }
}

// The columns read beyond 32768 pixels from the unclipped edge follow the sampling formula.
TEST_F(ScaledBlitCasesTest, FarColumnsFollowTheFormula) {
    TestImage src(40000, 1, 1);
    for (int x = 0; x < 40000; ++x) src.Set(x, 0, 0x01000000u | static_cast<uint32_t>(x));
    TestImage dst(40, 1, 1);
    BlitMemImgScaled(dst.get(), src.get(), RECT{-40000, 0, 40, 1}, 0, nullptr, GetDrawState());
    const int64_t step = (int64_t{40040} << 16) / 40000;
    for (int x = 0; x < 40; ++x) {
        EXPECT_EQ(dst.Get(x, 0), 0x01000000u | static_cast<uint32_t>(ReferenceScaledSample(
                                                   40000 + x, 40000, step, 40000, true, false)))
            << "at " << x;
    }
    // Columns near 39960: not those of a wrapped offset.
    EXPECT_GT(dst.Get(0, 0) & 0xFFFFFFu, 39900u);
}

}  // namespace

namespace {

// Rows wider than the strip of columns worked out at a time continue the stepping across the
// strips.
TEST_F(ScaledBlitCasesTest, RowsWiderThanAStrip) {
    std::mt19937 rng(21);
    TestImage src(1500, 3, 1);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 1500; ++x) src.Set(x, y, EdgyWord32(rng));
    }
    src->colorKey = src.Get(7, 1);
    for (const RECT rect : {RECT{-100, 0, 4600, 4}, RECT{4600, 4, -100, 0}, RECT{1, 0, 4501, 2}}) {
        for (int mode : {0, 2}) {
            for (int transFlag : {0, 1}) {
                SCOPED_TRACE(::testing::Message() << "mode " << mode << " key " << transFlag
                                                  << " from " << rect.left);
                TestImage dst(4700, 4, 1);
                SetArea(0, 0, 4700, 4);
                SetBlend(mode, 200);
                TestImage expected(dst);
                ReferenceBlitMemImgScaled(expected.get(), src.get(), rect, transFlag, nullptr,
                                          GetDrawState(), 0);
                BlitMemImgScaled(dst.get(), src.get(), rect, transFlag, nullptr, GetDrawState());
                EXPECT_EQ(dst.bytes(), expected.bytes());
            }
        }
    }
}

}  // namespace
