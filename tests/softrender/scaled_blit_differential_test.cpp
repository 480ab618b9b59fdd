// Every stepping loop of the scaled blit against the reference model, on seeded random small
// images and rectangles (enlarged, shrunk, mirrored, clipped), with UseMmx 0 and 1 wherever
// the loop is reached with either.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "softrender/scaled/blit_scaled.h"
#include "softrender/scaled/scaled_blit_plan.h"
#include "softrender/scaled/scaled_blit_table.h"
#include "softrender/scaled/scaled_pixel_loops.h"
#include "tests/softrender/reference_model_scaled.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

constexpr int kCasesPerLoop = 4;

std::string KeyName(int key) {
    const LoopKey k = DecodeLoopKey(key);
    static const char* kSources[] = {"paletted", "direct", "direct+alpha"};
    static const char* kSpecial[] = {"", " full parameter", " packed"};
    return std::string(k.format == 1 ? "32-bit " : "16-bit ") +
           kSources[static_cast<int>(k.source)] + " mode " + std::to_string(k.mode) +
           (k.blend ? " blend" : "") + (k.bright ? " bright" : "") + (k.key ? " key" : "") +
           kSpecial[static_cast<int>(k.special)];
}

class ScaledBlitDifferentialTest : public SoftRenderTest {
protected:
    enum class Outcome { Drawn, NothingDrawn, OtherLoop };

    Outcome RunCase(int key, int useMmx, std::mt19937& rng) {
        const LoopKey k = DecodeLoopKey(key);
        const bool paletted = k.source == SourceKind::Paletted;
        const bool alpha = k.source == SourceKind::DirectAlpha;
        const int sw = 1 + static_cast<int>(rng() % 16);
        const int sh = 1 + static_cast<int>(rng() % 12);
        TestImage src(sw, sh, k.format, paletted ? 1 : 0, alpha ? 1 : 0,
                      static_cast<int>(rng() % 2) * 16);
        for (int y = 0; y < sh; ++y) {
            for (int x = 0; x < sw; ++x) {
                uint32_t v;
                if (paletted) {
                    v = rng() % 3 == 0 ? rng() % 4 : rng() & 0xFFu;
                } else if (k.format == 1) {
                    v = EdgyWord32(rng);
                    if (alpha && rng() % 2) v = (v & 0xFFFFFFu) | (rng() % 2 ? 0u : 255u) << 24;
                } else {
                    const uint32_t a = rng() % 2 ? (rng() % 2 ? 0u : 255u) : EdgyByte(rng);
                    v = EdgyWord565(rng) | (alpha ? a << 16 | EdgyByte(rng) << 24 : 0u);
                }
                src.Set(x, y, v);
            }
        }
        if (paletted) {
            for (int i = 0; i < 256; ++i) {
                src.SetPalette32(i, EdgyWord32(rng));
                if (k.format == 0) src.SetPalette16(i, static_cast<uint16_t>(EdgyWord565(rng)));
            }
            const int counts[] = {256, 0, 17, 300};
            src->paletteCount = counts[rng() % 4];
            src->colorKey = rng() % 5 == 0 ? 256u : rng() % 4;
        } else {
            src->colorKey = src.Get(static_cast<int>(rng() % sw), static_cast<int>(rng() % sh));
            if (k.format == 0) {
                src->colorKey &= 0xFFFFu;
                if (rng() % 3 == 0) src->colorKey |= 0x10000u;
            }
        }
        const int dw = 2 + static_cast<int>(rng() % 30);
        const int dh = 2 + static_cast<int>(rng() % 24);
        TestImage dst(dw, dh, k.format, 0, 0, static_cast<int>(rng() % 2) * 16);
        for (int y = 0; y < dh; ++y) {
            for (int x = 0; x < dw; ++x) dst.Set(x, y, k.format == 1 ? EdgyWord32(rng) : EdgyWord565(rng));
        }
        std::unique_ptr<TestImage> blend;
        if (k.blend) {
            blend = std::make_unique<TestImage>(sw + static_cast<int>(rng() % 2),
                                                sh + static_cast<int>(rng() % 2), 2);
            for (int y = 0; y < (*blend)->height; ++y) {
                for (int x = 0; x < (*blend)->width; ++x) blend->Set(x, y, rng() & 0xFFu);
            }
        }
        for (int i = 0; i < 256; ++i) BlendWeightMap[i] = static_cast<uint8_t>(EdgyByte(rng));

        DrawState& state = GetDrawState();
        const bool fullEligible = !k.blend && !k.bright && !alpha;
        state.blendMode = k.mode;
        if (k.special != LoopSpecial::None) {
            state.blendParam = 255;
        } else if (k.mode == 0) {
            state.blendParam = static_cast<int>(rng() % 256);
            if (rng() % 2) state.blendMode = 1, state.blendParam = 255;
        } else if (k.mode == 1) {
            state.blendParam = 1 + static_cast<int>(rng() % 254);
        } else if (k.mode == 3) {
            const int lowest = paletted ? 0 : 1;
            state.blendParam = lowest + static_cast<int>(rng() % ((fullEligible ? 255 : 256) - lowest));
        } else if (k.mode == 2) {
            state.blendParam = 1 + static_cast<int>(rng() % 255);
        } else {
            state.blendParam = static_cast<int>(rng() % 256);
        }
        state.bright = 0xFFFFFF;
        if (k.bright) {
            do state.bright = rng() % 3 ? rng() & 0xFFFFFFu : 0xFFFFFEu;
            while (state.bright == 0xFFFFFF);
        }
        if (rng() % 3 == 0) {
            state.drawArea = RECT{0, 0, dw, dh};
        } else {
            state.drawArea = RECT{static_cast<int32_t>(rng() % 6) - 2, static_cast<int32_t>(rng() % 6) - 2,
                                  dw - static_cast<int32_t>(rng() % 6) + 2, dh - static_cast<int32_t>(rng() % 6) + 2};
        }
        // A rectangle from a fifth to four times the source, often reaching out of the image;
        // corners swapped to mirror.
        // Shrinking by a simple fraction makes the sample points land exactly on source pixel
        // edges, where the strict loops read one pixel less.
        auto side = [&](int source) {
            switch (rng() % 5) {
                case 0: return source;
                case 1: return source * (2 + static_cast<int>(rng() % 3));
                case 2:
                case 3: {
                    const int parts = 2 + static_cast<int>(rng() % 3);
                    const int kept = 1 + static_cast<int>(rng() % (parts - 1));
                    return source * kept / parts > 0 ? source * kept / parts : 1;
                }
                default: return 1 + static_cast<int>(rng() % (source * 2 + 4));
            }
        };
        const int32_t w = side(sw), h = side(sh);
        const int32_t x = static_cast<int32_t>(rng() % (dw + 4)) - w / 2 - 2;
        const int32_t y = static_cast<int32_t>(rng() % (dh + 4)) - h / 2 - 2;
        RECT rect{x, y, x + w, y + h};
        if (rng() % 3 == 0) std::swap(rect.left, rect.right);
        if (rng() % 3 == 0) std::swap(rect.top, rect.bottom);
        const int32_t transFlag = k.key ? (rng() % 2 ? 1 : 5) : 0;
        const MEMIMG* blendImage = blend ? blend->get() : nullptr;

        const ScaledBlitPlan plan =
            PlanBlitMemImgScaled(dst.get(), src.get(), rect, transFlag, blendImage, state, useMmx);
        if (plan.draw == ScaledDraw::Stepped && plan.loop != key) return Outcome::OtherLoop;
        TestImage expected(dst);
        ReferenceBlitMemImgScaled(expected.get(), src.get(), rect, transFlag, blendImage, state,
                                  useMmx);
        UseMmx = useMmx;
        BlitMemImgScaled(dst.get(), src.get(), rect, transFlag, blendImage, GetDrawState());
        if (dst.bytes() != expected.bytes()) {
            for (int py = 0; py < dh; ++py) {
                for (int px = 0; px < dw; ++px) {
                    if (dst.Get(px, py) != expected.Get(px, py)) {
                        ADD_FAILURE() << KeyName(key) << " useMmx " << useMmx << " mode "
                                      << state.blendMode << " p " << state.blendParam << " rect ("
                                      << rect.left << ", " << rect.top << ", " << rect.right << ", "
                                      << rect.bottom << ") source " << sw << "x" << sh << " at ("
                                      << px << ", " << py << "): got " << std::hex
                                      << dst.Get(px, py) << " want " << expected.Get(px, py);
                        return Outcome::Drawn;
                    }
                }
            }
            ADD_FAILURE() << KeyName(key) << ": bytes outside the pixels differ";
        }
        return plan.draw == ScaledDraw::Stepped ? Outcome::Drawn : Outcome::NothingDrawn;
    }
};

TEST_F(ScaledBlitDifferentialTest, EveryLoopMatchesTheReference) {
    int loops = 0;
    for (int key = 0; key < kLoopKeyCount; ++key) {
        const bool valid = DescribeScaledPixelLoop(key).valid;
        ASSERT_EQ(FindScaledBlitLoop(key) != nullptr, valid) << KeyName(key);
        if (!valid) continue;
        ++loops;
        std::mt19937 rng(static_cast<uint32_t>(key) * 6151u + 3u);
        int drawn = 0;
        for (int useMmx = 0; useMmx <= 1; ++useMmx) {
            int reached = 0;
            for (int attempt = 0; attempt < 4 * kCasesPerLoop && reached < kCasesPerLoop; ++attempt) {
                const Outcome outcome = RunCase(key, useMmx, rng);
                if (outcome == Outcome::OtherLoop) break;  // not reached with this flag
                if (outcome == Outcome::Drawn) ++reached;
            }
            drawn += reached;
        }
        EXPECT_GE(drawn, kCasesPerLoop) << KeyName(key) << " was seldom reached";
        if (HasFailure()) return;
    }
    EXPECT_EQ(loops, (42 + 82) + (44 + 84));
}

}  // namespace
