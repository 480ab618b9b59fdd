// Every loop of the unscaled blit against the reference model, on seeded random images and
// positions, with UseMmx 0 and 1 wherever the loop is reached with either, and with the AVX2
// row steps on (where the processor has them) and off.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "softrender/rules/simd_width.h"
#include "softrender/unscaled/blit_plan.h"
#include "softrender/unscaled/blit_unscaled.h"
#include "softrender/unscaled/blit_unscaled_table.h"
#include "tests/softrender/reference_model.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

constexpr int kSeedsPerLoop = 6;

std::string KeyName(int key) {
    const LoopKey k = DecodeLoopKey(key);
    static const char* kSources[] = {"paletted", "direct", "direct+alpha"};
    static const char* kSpecial[] = {"", " shortcut", " packed"};
    return std::string(k.format == 1 ? "32-bit " : "16-bit ") +
           kSources[static_cast<int>(k.source)] + " mode " + std::to_string(k.mode) +
           (k.blend ? " blend" : "") + (k.bright ? " bright" : "") + (k.key ? " key" : "") +
           kSpecial[static_cast<int>(k.special)];
}

// The call inputs that should reach a key.
struct CallSetup {
    int mode = 0;
    int param = 0;
    uint32_t bright = 0xFFFFFF;
    bool blend = false;
    int transFlag = 0;
};

CallSetup SetupFor(const LoopKey& k, std::mt19937& rng) {
    CallSetup s;
    const bool shortcutEligible =
        !k.blend && !k.bright && k.source != SourceKind::DirectAlpha;
    auto paramExcept = [&](int avoid) {
        int p;
        do {
            p = 1 + static_cast<int>(rng() % 254);
        } while (p == avoid);
        return p;
    };
    if (k.special != LoopSpecial::None) {
        s.mode = k.mode;
        s.param = k.mode == 1 ? 128 : 255;
    } else if (k.mode == 0) {
        if (rng() % 2) {
            s.mode = 1;
            s.param = 255;
        } else {
            s.mode = 0;
            s.param = static_cast<int>(rng() % 256);
        }
    } else if (k.mode == 1) {
        s.mode = 1;
        s.param = paramExcept(shortcutEligible ? 128 : -1);
        if (!shortcutEligible && rng() % 4 == 0) s.param = 128;
    } else if (k.mode == 4) {
        s.mode = 4;
        s.param = static_cast<int>(rng() % 256);
    } else {
        s.mode = k.mode;
        s.param = static_cast<int>(1 + rng() % (shortcutEligible ? 254 : 255));
    }
    if (k.bright) {
        do {
            s.bright = rng() & 0xFFFFFFu;
            if (rng() % 3 == 0) s.bright = 0xFFFFFEu;  // one step from white
        } while (s.bright == 0xFFFFFFu);
    } else {
        s.bright = 0xFFFFFFu;
    }
    s.bright |= (rng() & 0xFFu) << 24;  // the fourth byte is not part of the bright
    s.blend = k.blend;
    s.transFlag = k.key ? (rng() % 2 ? 1 : -7) : 0;
    return s;
}

class BlitUnscaledDifferentialTest : public SoftRenderTest {
protected:
    enum class Outcome { Reached, NothingDrawn, OtherLoop };

    // Runs one random case of the key and compares the destination with the reference's.
    Outcome RunCase(int key, const CallSetup& setup, int useMmx, std::mt19937& rng) {
        const LoopKey k = DecodeLoopKey(key);
        const int format = k.format;
        const bool paletted = k.source == SourceKind::Paletted;
        const bool alpha = k.source == SourceKind::DirectAlpha;

        const int sw = 1 + static_cast<int>(rng() % 40);
        const int sh = 1 + static_cast<int>(rng() % 30);
        TestImage src(sw, sh, format, paletted ? 1 : 0, alpha ? 1 : 0,
                      static_cast<int>(rng() % 3) * 16);
        const int dw = 1 + static_cast<int>(rng() % 48);
        const int dh = 1 + static_cast<int>(rng() % 36);
        TestImage dst(dw, dh, format, 0, 0, static_cast<int>(rng() % 2) * 16);

        // Source content: single random pixels, or runs of one value (as sprites have runs
        // of transparent and of opaque pixels) so that whole groups are left out or opaque.
        const bool runs = rng() % 2 == 0;
        auto randomPixel = [&]() -> uint32_t {
            if (paletted) return rng() % 8 == 0 ? rng() % 4 : rng() & 0xFFu;
            if (format == 1) {
                uint32_t v = EdgyWord32(rng);
                if (alpha && runs) v = (v & 0xFFFFFFu) | (rng() % 3 == 0 ? 0u : rng() % 2 ? 255u : EdgyByte(rng)) << 24;
                return v;
            }
            if (alpha) {
                const uint32_t a = runs && rng() % 3 ? (rng() % 2 ? 0u : 255u) : EdgyByte(rng);
                return EdgyWord565(rng) | (a << 16) | (EdgyByte(rng) << 24);
            }
            return EdgyWord565(rng);
        };
        for (int y = 0; y < sh; ++y) {
            uint32_t value = 0;
            int left = 0;
            for (int x = 0; x < sw; ++x) {
                if (!runs) {
                    value = randomPixel();
                } else if (left-- <= 0) {
                    value = randomPixel();
                    left = static_cast<int>(rng() % 12);
                }
                src.Set(x, y, value);
            }
        }
        if (paletted) {
            for (int i = 0; i < 256; ++i) {
                if (format == 1) {
                    src.SetPalette32(i, EdgyWord32(rng));
                } else {
                    src.SetPalette16(i, static_cast<uint16_t>(EdgyWord565(rng)));
                }
            }
            const int counts[] = {256, 0, 17, 300};  // 300: more than the scratch holds
            src->paletteCount = rng() % 2 ? counts[rng() % 4] : static_cast<int>(rng() % 257);
            src->colorKey = rng() % 4;  // indices 0..3 are frequent
        } else {
            // A key that occurs in the image.
            src->colorKey = src.Get(static_cast<int>(rng() % sw), static_cast<int>(rng() % sh));
            if (format == 0) {
                src->colorKey &= 0xFFFFu;
                // Bits above the low 16: only the plain copy ignores them.
                if (rng() % 4 == 0) src->colorKey |= 0x10000u;
            }
        }
        for (int y = 0; y < dh; ++y) {
            for (int x = 0; x < dw; ++x) dst.Set(x, y, format == 1 ? EdgyWord32(rng) : EdgyWord565(rng));
        }

        std::unique_ptr<TestImage> blend;
        if (setup.blend) {
            blend = std::make_unique<TestImage>(sw + static_cast<int>(rng() % 3),
                                                sh + static_cast<int>(rng() % 3), 2);
            for (int y = 0; y < (*blend)->height; ++y) {
                for (int x = 0; x < (*blend)->width; ++x) blend->Set(x, y, rng() & 0xFFu);
            }
        }
        for (int i = 0; i < 256; ++i) BlendWeightMap[i] = static_cast<uint8_t>(EdgyByte(rng));

        DrawState& state = GetDrawState();
        state.blendMode = setup.mode;
        state.blendParam = setup.param;
        state.bright = setup.bright;
        // The area holds the destination's centre; it may reach beyond the image.
        const int32_t cx = dw / 2, cy = dh / 2;
        if (rng() % 3 == 0) {
            state.drawArea = RECT{0, 0, dw, dh};
        } else {
            state.drawArea = RECT{cx - static_cast<int32_t>(rng() % (cx + 3)),
                                  cy - static_cast<int32_t>(rng() % (cy + 3)),
                                  cx + 1 + static_cast<int32_t>(rng() % (dw - cx + 2)),
                                  cy + 1 + static_cast<int32_t>(rng() % (dh - cy + 2))};
        }
        // Mostly covering the centre, sometimes anywhere near the image.
        int32_t x = cx - static_cast<int32_t>(rng() % sw);
        int32_t y = cy - static_cast<int32_t>(rng() % sh);
        if (rng() % 6 == 0) {
            x = static_cast<int32_t>(rng() % (dw + sw + 4)) - sw - 2;
            y = static_cast<int32_t>(rng() % (dh + sh + 4)) - sh - 2;
        }

        const MEMIMG* blendImage = blend ? blend->get() : nullptr;
        const BlitPlan plan =
            PlanBlitMemImg(dst.get(), src.get(), x, y, setup.transFlag, blendImage, state, useMmx);
        if (plan.loop != -1 && plan.loop != key) return Outcome::OtherLoop;

        TestImage expected(dst);
        ReferenceBlitMemImg(expected.get(), src.get(), x, y, setup.transFlag, blendImage, state,
                            useMmx);
        UseMmx = useMmx;
        BlitMemImg(dst.get(), src.get(), x, y, setup.transFlag, blendImage, GetDrawState());
        if (dst.bytes() != expected.bytes()) {
            for (int py = 0; py < dh; ++py) {
                for (int px = 0; px < dw; ++px) {
                    if (dst.Get(px, py) != expected.Get(px, py)) {
                        ADD_FAILURE() << KeyName(key) << " useMmx " << useMmx << " wide "
                                      << WideStepsActive() << " mode "
                                      << setup.mode << " p " << setup.param << " at (" << px
                                      << ", " << py << "): got " << std::hex << dst.Get(px, py)
                                      << " want " << expected.Get(px, py);
                        return Outcome::Reached;
                    }
                }
            }
            ADD_FAILURE() << KeyName(key) << ": bytes outside the pixels differ";
        }
        return plan.loop == key ? Outcome::Reached : Outcome::NothingDrawn;
    }
};

TEST_F(BlitUnscaledDifferentialTest, EveryLoopMatchesTheReference) {
    int loops = 0;
    for (int key = 0; key < kLoopKeyCount; ++key) {
        if (!DescribeUnscaledBlitLoop(key).valid) continue;
        ++loops;
        const LoopKey k = DecodeLoopKey(key);
        std::mt19937 rng(static_cast<uint32_t>(key) * 7919u + 1u);
        for (const bool wide : {true, false}) {
            const bool before = SetWideStepsActive(wide);
            int ran = 0;
            for (int useMmx = 0; useMmx <= 1; ++useMmx) {
                int reached = 0;
                for (int attempt = 0; attempt < 3 * kSeedsPerLoop && reached < kSeedsPerLoop;
                     ++attempt) {
                    const CallSetup setup = SetupFor(k, rng);
                    const Outcome outcome = RunCase(key, setup, useMmx, rng);
                    if (outcome == Outcome::OtherLoop) break;  // not reached with this flag
                    if (outcome == Outcome::Reached) ++reached;
                }
                ran += reached;
            }
            SetWideStepsActive(before);
            EXPECT_GE(ran, kSeedsPerLoop) << KeyName(key) << " was never reached"
                                          << (wide ? " (wide steps)" : "");
            if (HasFailure()) return;
        }
    }
    EXPECT_EQ(loops, 92 + 50 + 86 + 46);
}

// Per table and mode, the number of distinct loops (mode 1 at parameter 255 runs mode 0's).
TEST_F(BlitUnscaledDifferentialTest, LoopCountsPerTableAndMode) {
    struct Row {
        int format;
        bool paletted;
        int perMode[5];
    };
    const Row rows[] = {
        {1, false, {16, 20, 20, 20, 16}},
        {1, true, {8, 10, 12, 12, 8}},
        {0, false, {16, 18, 18, 18, 16}},
        {0, true, {8, 10, 10, 10, 8}},
    };
    for (const Row& row : rows) {
        int counts[5] = {};
        for (int key = 0; key < kLoopKeyCount; ++key) {
            const LoopKey k = DecodeLoopKey(key);
            const bool paletted = k.source == SourceKind::Paletted;
            if (k.format != row.format || paletted != row.paletted) continue;
            const bool valid = DescribeUnscaledBlitLoop(key).valid;
            EXPECT_EQ(FindUnscaledBlitLoop(key) != nullptr, valid) << KeyName(key);
            if (valid) ++counts[k.mode];
        }
        for (int m = 0; m < 5; ++m) {
            EXPECT_EQ(counts[m], row.perMode[m])
                << (row.format ? "32-bit " : "16-bit ") << (row.paletted ? "paletted" : "direct")
                << " mode " << m;
        }
    }
}

}  // namespace
