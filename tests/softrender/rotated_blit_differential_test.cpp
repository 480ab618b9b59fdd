// Every span loop of the rotated blit against the reference model, on seeded random small
// images, angles, scales, centres and draw areas, with UseMmx 0 and 1 (the rotated blit has no
// packed-byte path, so both must give the reference's result) and with the AVX2 runs on
// (where the processor has them) and off; and sprite-sized 32-bit copies, whose long runs the
// AVX2 runs draw eight pixels at a time.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "softrender/rotated/blit_rotated.h"
#include "softrender/rotated/rotated_blit_plan.h"
#include "softrender/rotated/rotated_span_loops.h"
#include "softrender/rotated/rotated_span_table.h"
#include "softrender/rules/simd_width.h"
#include "tests/softrender/reference_model_rotated.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

constexpr int kCasesPerLoop = 4;

std::string KeyName(int key) {
    const RotatedLoopKey k = DecodeRotatedLoopKey(key);
    return std::string(k.format == 1 ? "32-bit " : "16-bit ") +
           (k.paletted ? "paletted" : k.alpha ? "direct+alpha" : "direct") + " mode " +
           std::to_string(k.mode) + (k.blend ? " blend" : "") + (k.bright ? " bright" : "") +
           (k.key ? " key" : "");
}

// Random content of a source: single pixels or runs of one value, keys and alpha levels that
// favour the edges.
void FillSource(TestImage& src, const RotatedLoopKey& k, std::mt19937& rng) {
    const bool runs = rng() % 2 == 0;
    auto randomPixel = [&]() -> uint32_t {
        if (k.paletted) return rng() % 8 == 0 ? rng() % 4 : rng() & 0xFFu;
        const uint32_t a = rng() % 3 == 0 ? 0u : rng() % 2 ? 255u : EdgyByte(rng);
        if (k.format == 1) {
            const uint32_t v = EdgyWord32(rng);
            return k.alpha ? (v & 0xFFFFFFu) | (a << 24) : v;
        }
        if (k.alpha) return EdgyWord565(rng) | (a << 16) | (EdgyByte(rng) << 24);
        return EdgyWord565(rng);
    };
    uint32_t value = 0;
    for (int y = 0; y < src->height; ++y) {
        int left = 0;
        for (int x = 0; x < src->width; ++x) {
            if (!runs || left-- <= 0) {
                value = randomPixel();
                left = static_cast<int>(rng() % 6);
            }
            src.Set(x, y, value);
        }
    }
    if (k.paletted) {
        for (int i = 0; i < 256; ++i) {
            if (k.format == 1) {
                src.SetPalette32(i, EdgyWord32(rng));
            } else {
                src.SetPalette16(i, static_cast<uint16_t>(EdgyWord565(rng)));
            }
        }
        const int counts[] = {256, 0, 17, 300};
        src->paletteCount = counts[rng() % 4];
        src->colorKey = rng() % 5 == 0 ? 256u + rng() % 4 : rng() % 4;
    } else {
        src->colorKey = src.Get(static_cast<int>(rng() % src->width),
                                static_cast<int>(rng() % src->height));
        if (k.format == 0) {
            src->colorKey &= 0xFFFFu;
            if (rng() % 2 == 0) src->colorKey |= 0x10000u;  // matches no 16-bit pixel
        }
    }
}

class RotatedBlitDifferentialTest : public SoftRenderTest {
protected:
    // One random case that should reach the key; false when the call drew nothing.
    bool RunCase(int key, int useMmx, std::mt19937& rng) {
        const RotatedLoopKey k = DecodeRotatedLoopKey(key);
        const int sw = 1 + static_cast<int>(rng() % 14);
        const int sh = 1 + static_cast<int>(rng() % 14);
        TestImage src(sw, sh, k.format, k.paletted ? 1 : 0, k.alpha ? 1 : 0,
                      static_cast<int>(rng() % 2) * 16);
        FillSource(src, k, rng);
        const int dw = 4 + static_cast<int>(rng() % 36);
        const int dh = 4 + static_cast<int>(rng() % 30);
        TestImage dst(dw, dh, k.format, 0, 0, static_cast<int>(rng() % 2) * 16);
        for (int y = 0; y < dh; ++y) {
            for (int x = 0; x < dw; ++x) {
                dst.Set(x, y, k.format == 1 ? EdgyWord32(rng) : EdgyWord565(rng));
            }
        }
        std::unique_ptr<TestImage> blend;
        if (k.blend) {
            blend = std::make_unique<TestImage>(sw + static_cast<int>(rng() % 3),
                                                sh + static_cast<int>(rng() % 3), 2);
            for (int y = 0; y < (*blend)->height; ++y) {
                for (int x = 0; x < (*blend)->width; ++x) blend->Set(x, y, rng() & 0xFFu);
            }
        }
        for (int i = 0; i < 256; ++i) BlendWeightMap[i] = static_cast<uint8_t>(EdgyByte(rng));

        DrawState& state = GetDrawState();
        state.blendMode = k.mode;
        state.blendParam = static_cast<int>(rng() % 256);
        if (k.mode == 0 && rng() % 2) state.blendMode = 1, state.blendParam = 255;
        if (k.mode == 1) state.blendParam = 1 + static_cast<int>(rng() % 254);
        if (k.mode == 2 || (k.mode == 3 && !k.paletted)) {
            state.blendParam = 1 + static_cast<int>(rng() % 255);
        }
        if (k.mode == 3 && rng() % 4 == 0) state.blendParam = k.paletted ? 0 : 255;
        state.bright = 0xFFFFFF;
        if (k.bright) {
            do state.bright = rng() % 3 ? rng() & 0xFFFFFFu : 0xFFFFFEu;
            while (state.bright == 0xFFFFFF);
        }
        state.bright |= (rng() & 0xFFu) << 24;  // not part of the bright
        if (rng() % 3 == 0) {
            state.drawArea = RECT{0, 0, dw, dh};
        } else {
            state.drawArea = RECT{static_cast<int32_t>(rng() % 6) - 2,
                                  static_cast<int32_t>(rng() % 6) - 2,
                                  dw - static_cast<int32_t>(rng() % 8) + 2,
                                  dh - static_cast<int32_t>(rng() % 8) + 2};
        }
        const int32_t cx = static_cast<int32_t>(rng() % (dw + 8)) - 4;
        const int32_t cy = static_cast<int32_t>(rng() % (dh + 8)) - 4;
        float angle = static_cast<float>(static_cast<double>(rng()) / 4294967296.0 * 14.0 - 7.0);
        if (rng() % 4 == 0) angle = static_cast<float>(M_PI / 2 * (rng() % 5));
        float scale = static_cast<float>(0.3 + static_cast<double>(rng() % 1000) / 400.0);
        if (rng() % 4 == 0) scale = -scale;
        if (rng() % 5 == 0) scale = 1.0f;
        const int32_t transFlag = k.key ? (rng() % 2 ? 1 : -3) : 0;
        const MEMIMG* blendImage = blend ? blend->get() : nullptr;

        const RotatedBlitPlan plan = PlanBlitMemImgRotated(dst.get(), src.get(), cx, cy, angle,
                                                           scale, transFlag, 0, blendImage, state);
        TestImage expected(dst);
        if (plan.draw == RotatedDraw::Spans) {
            EXPECT_EQ(plan.loop, key) << KeyName(key);
            const RefRotatedMapping mapping{plan.box,   plan.u0,    plan.v0,   plan.stepU,
                                            plan.stepV, plan.lineU, plan.lineV};
            ReferenceRotatedSpans(expected.get(), src.get(), mapping, transFlag, blendImage, state);
        }
        UseMmx = useMmx;
        BlitMemImgRotated(dst.get(), src.get(), cx, cy, angle, scale, transFlag, 0, blendImage, GetDrawState());
        if (dst.bytes() != expected.bytes()) {
            for (int py = 0; py < dh; ++py) {
                for (int px = 0; px < dw; ++px) {
                    if (dst.Get(px, py) != expected.Get(px, py)) {
                        ADD_FAILURE() << KeyName(key) << " useMmx " << useMmx << " wide "
                                      << WideStepsActive() << " mode "
                                      << state.blendMode << " p " << state.blendParam
                                      << " angle " << angle << " scale " << scale << " at ("
                                      << px << ", " << py << "): got " << std::hex
                                      << dst.Get(px, py) << " want " << expected.Get(px, py);
                        return true;
                    }
                }
            }
            ADD_FAILURE() << KeyName(key) << ": bytes outside the pixels differ";
        }
        return plan.draw == RotatedDraw::Spans;
    }
};

TEST_F(RotatedBlitDifferentialTest, EveryLoopMatchesTheReference) {
    int loops = 0;
    for (int key = 0; key < kRotatedLoopKeyCount; ++key) {
        const bool valid = DescribeRotatedSpanLoop(key).valid;
        ASSERT_EQ(FindRotatedSpanLoop(key) != nullptr, valid) << KeyName(key);
        if (!valid) continue;
        ++loops;
        std::mt19937 rng(static_cast<uint32_t>(key) * 104729u + 5u);
        for (const bool wide : {true, false}) {
            const bool before = SetWideStepsActive(wide);
            for (int useMmx = 0; useMmx <= 1; ++useMmx) {
                int drawn = 0;
                for (int attempt = 0; attempt < 4 * kCasesPerLoop && drawn < kCasesPerLoop;
                     ++attempt) {
                    if (RunCase(key, useMmx, rng)) ++drawn;
                }
                EXPECT_EQ(drawn, kCasesPerLoop) << KeyName(key) << " was seldom reached"
                                                << (wide ? " (wide steps)" : "");
            }
            SetWideStepsActive(before);
        }
        if (HasFailure()) return;
    }
    // Per pixel format: 5 modes of 16 direct loops and of 8 paletted loops.
    EXPECT_EQ(loops, 2 * 5 * (16 + 8));
}

// Sprite-sized copies with and without colour key, 32-bit and 16-bit, at angles that give long
// runs, steep runs and runs along the axes, on sources with a tight and a wide pitch, against
// the reference with the AVX2 runs on and off.
TEST_F(RotatedBlitDifferentialTest, LongCopyRunsMatchTheReference) {
    struct Case {
        float angle, scale;
        int32_t transFlag;
    };
    const Case cases[] = {
        {0.0f, 1.0f, 1},    {0.3f, 1.0f, 1},   {1.2f, 1.7f, 1},  {-2.5f, 0.8f, 0},
        {3.14159f, 2.5f, 1}, {4.71239f, 1.0f, 0}, {5.9f, -1.3f, 1}, {0.05f, 3.0f, 1},
    };
    std::mt19937 rng(77);
    for (const int format : {1, 0}) {
        for (const int extraPitch : {0, 48}) {
            const uint32_t key = format == 1 ? 0x00FF00FFu : 0xF81Fu;
            TestImage src(40, 37, format, 0, 0, extraPitch);
            for (int y = 0; y < 37; ++y) {
                for (int x = 0; x < 40; ++x) {
                    const bool keyed = ((x / 3) + (y / 5)) % 3 == 0 || rng() % 7 == 0;
                    src.Set(x, y, keyed ? key : format == 1 ? EdgyWord32(rng) : EdgyWord565(rng));
                }
            }
            src->colorKey = key;
            DrawState& state = GetDrawState();
            state.blendMode = 0;
            state.blendParam = 255;
            state.bright = 0xFFFFFF;
            state.drawArea = RECT{0, 0, 160, 140};
            for (const Case& c : cases) {
                for (const bool wide : {true, false}) {
                    TestImage dst(160, 140, format);
                    for (int y = 0; y < 140; ++y) {
                        for (int x = 0; x < 160; ++x) {
                            dst.Set(x, y, format == 1 ? EdgyWord32(rng) : EdgyWord565(rng));
                        }
                    }
                    const RotatedBlitPlan plan =
                        PlanBlitMemImgRotated(dst.get(), src.get(), 80, 70, c.angle, c.scale,
                                              c.transFlag, 0, nullptr, state);
                    ASSERT_EQ(plan.draw, RotatedDraw::Spans);
                    const TestImage original(dst);
                    TestImage expected(dst);
                    const RefRotatedMapping mapping{plan.box,   plan.u0,    plan.v0,   plan.stepU,
                                                    plan.stepV, plan.lineU, plan.lineV};
                    ReferenceRotatedSpans(expected.get(), src.get(), mapping, c.transFlag, nullptr,
                                          state);
                    ASSERT_NE(expected.bytes(), original.bytes()) << "the case draws nothing";
                    const bool before = SetWideStepsActive(wide);
                    BlitMemImgRotated(dst.get(), src.get(), 80, 70, c.angle, c.scale, c.transFlag,
                                      0, nullptr, GetDrawState());
                    SetWideStepsActive(before);
                    EXPECT_TRUE(dst.bytes() == expected.bytes())
                        << "format " << format << " pitch +" << extraPitch << " angle "
                        << c.angle << " scale " << c.scale << " key " << c.transFlag << " wide "
                        << wide;
                }
            }
        }
    }
}

}  // namespace
