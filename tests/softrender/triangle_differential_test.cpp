// Every span loop of the triangle rasteriser, and the quads built on it, against the reference
// model on seeded random images, triangles and draw areas, with UseMmx 0 and 1.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "softrender/triangle/quad_draw.h"
#include "softrender/triangle/triangle_plan.h"
#include "softrender/triangle/triangle_rasterizer.h"
#include "tests/softrender/reference_model_triangle.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

constexpr int kTrialsPerCall = 3;

std::string KeyName(int key) {
    const LoopKey k = DecodeLoopKey(key);
    static const char* kSources[] = {"paletted", "direct", "direct+alpha"};
    return std::string(k.format == 1 ? "32-bit " : "16-bit ") +
           kSources[static_cast<int>(k.source)] + " mode " + std::to_string(k.mode) +
           (k.blend ? " blend" : "") + (k.bright ? " bright" : "") + (k.key ? " key" : "");
}

// (mode, parameter) pairs of the draw state at which a key's loop runs.
std::vector<std::pair<int, int>> CallsFor(const LoopKey& k) {
    switch (k.mode) {
        case 0:
            return {{0, 0}, {0, 77}, {1, 255}};
        case 1:
            return {{1, 1}, {1, 128}, {1, 254}};
        case 2:
            return {{2, 1}, {2, 200}, {2, 255}};
        case 3:
            if (k.source == SourceKind::Paletted) return {{3, 0}, {3, 100}, {3, 255}};
            return {{3, 1}, {3, 100}, {3, 255}};
        default:
            return {{4, 0}, {4, 255}};
    }
}

uint32_t RandomBright(std::mt19937& rng) {
    uint32_t b;
    do {
        b = EdgyByte(rng) | (EdgyByte(rng) << 8) | (EdgyByte(rng) << 16);
    } while (b == 0xFFFFFFu);
    return b;
}

// A random source of the key's kind, its colour key often equal to one of its pixels.
TestImage RandomSource(const LoopKey& k, std::mt19937& rng) {
    const int w = 1 + static_cast<int>(rng() % 9), h = 1 + static_cast<int>(rng() % 9);
    const bool paletted = k.source == SourceKind::Paletted;
    const bool alpha = k.source == SourceKind::DirectAlpha;
    TestImage src(w, h, k.format, paletted ? 1 : 0, alpha ? 1 : 0,
                  static_cast<int>(rng() % 2) * 16);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (paletted) {
                src.Set(x, y, rng() % 4 == 0 ? rng() % 4 : rng() & 0xFFu);
            } else if (k.format == 1) {
                src.Set(x, y, EdgyWord32(rng));
            } else {
                // 16-bit with alpha: colour in bytes 0-1, alpha in byte 2, byte 3 unread.
                src.Set(x, y,
                        alpha ? EdgyWord565(rng) | (EdgyByte(rng) << 16) | ((rng() & 0xFFu) << 24)
                              : EdgyWord565(rng));
            }
        }
    }
    if (paletted) {
        // Entries past the count hold rubbish that must never be drawn.
        src->paletteCount = rng() % 3 == 0 ? static_cast<int>(rng() % 257) : 256;
        for (int i = 0; i < 256; ++i) {
            if (k.format == 1) {
                src.SetPalette32(i, EdgyWord32(rng));
            } else {
                src.SetPalette16(i, static_cast<uint16_t>(EdgyWord565(rng)));
            }
        }
    }
    const uint32_t some = src.Get(static_cast<int>(rng() % w), static_cast<int>(rng() % h));
    const uint32_t keys[] = {paletted ? (some & 0xFFu) : (k.format == 0 ? some & 0xFFFFu : some),
                             static_cast<uint32_t>(rng() & 0xFFu), EdgyWord32(rng),
                             0x10000u | (some & 0xFFFFu)};
    src->colorKey = keys[rng() % 4];
    return src;
}

// Vertices over a destination of about 20 x 16 pixels, reaching past every side, with
// texture coordinates around the source (some outside it).
void RandomTriangle(std::mt19937& rng, int w, int h, int32_t* v) {
    for (int i = 0; i < 3; ++i) {
        v[4 * i] = static_cast<int32_t>(rng() % 30) - 5;
        v[4 * i + 1] = static_cast<int32_t>(rng() % 26) - 5;
        v[4 * i + 2] = static_cast<int32_t>(rng() % (w + 5)) - 2;
        v[4 * i + 3] = static_cast<int32_t>(rng() % (h + 5)) - 2;
    }
}

// Texture coordinates that follow the pixels one to one (u = x - ox, v = y - oy), or mirrored
// in x, as axis-aligned and mirrored quads give them.
void AlignMapping(std::mt19937& rng, int32_t* v) {
    const int32_t ox = static_cast<int32_t>(rng() % 7) - 3,
                  oy = static_cast<int32_t>(rng() % 7) - 3;
    const bool mirrored = rng() % 2 != 0;
    for (int i = 0; i < 3; ++i) {
        v[4 * i + 2] = mirrored ? ox - v[4 * i] + 8 : v[4 * i] - ox;
        v[4 * i + 3] = v[4 * i + 1] - oy;
    }
}

void RandomArea(std::mt19937& rng, const MEMIMG& dst) {
    DrawState& s = GetDrawState();
    if (rng() % 3 == 0) {
        s.drawArea = RECT{0, 0, dst.width, dst.height};
    } else {
        const int32_t l = static_cast<int32_t>(rng() % 6), t = static_cast<int32_t>(rng() % 6);
        s.drawArea = RECT{l, t, l + 4 + static_cast<int32_t>(rng() % (dst.width - l - 3)),
                          t + 4 + static_cast<int32_t>(rng() % (dst.height - t - 3))};
    }
}

void RandomWeights(std::mt19937& rng) {
    for (int i = 0; i < 256; ++i) {
        BlendWeightMap[i] = static_cast<uint8_t>(rng() % 3 == 0 ? EdgyByte(rng) : i);
    }
}

TestImage RandomDestination(int format, std::mt19937& rng) {
    TestImage dst(20, 16, format);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 20; ++x)
            dst.Set(x, y, format == 1 ? EdgyWord32(rng) : EdgyWord565(rng));
    }
    return dst;
}

// The first differing pixel, for the failure message.
std::string FirstDifference(const TestImage& got, const TestImage& want) {
    for (int y = 0; y < got.get()->height; ++y) {
        for (int x = 0; x < got.get()->width; ++x) {
            if (got.Get(x, y) != want.Get(x, y)) {
                char text[96];
                std::snprintf(text, sizeof(text), "pixel (%d, %d): 0x%08X, reference 0x%08X", x, y,
                              got.Get(x, y), want.Get(x, y));
                return text;
            }
        }
    }
    return "";
}

class TriangleDifferentialTest : public SoftRenderTest {};

TEST_F(TriangleDifferentialTest, EveryTexturedLoopMatchesTheReference) {
    int loops = 0;
    for (int key = 0; key < kLoopKeyCount; ++key) {
        if (!DescribeTriangleSpanLoop(key).valid) continue;
        ++loops;
        const LoopKey k = DecodeLoopKey(key);
        std::mt19937 rng(static_cast<uint32_t>(key) * 7919u + 17u);
        for (const auto& [mode, param] : CallsFor(k)) {
            const uint32_t bright = k.bright ? RandomBright(rng) : 0xFFFFFFu;
            SetBlend(mode, param);
            SetBright(bright);
            ASSERT_EQ(SelectTriangleSpanLoop(k.format, k.source, mode, param, k.blend, bright,
                                             k.key ? 1 : 0),
                      key)
                << KeyName(key);
            for (int trial = 0; trial < kTrialsPerCall; ++trial) {
                RandomWeights(rng);
                TestImage src = RandomSource(k, rng);
                TestImage blend(src->width + static_cast<int>(rng() % 3),
                                src->height + static_cast<int>(rng() % 3), 1, 1);
                for (int y = 0; y < blend->height; ++y) {
                    for (int x = 0; x < blend->width; ++x) blend.Set(x, y, EdgyByte(rng));
                }
                TestImage dst = RandomDestination(k.format, rng);
                RandomArea(rng, *dst.get());
                int32_t v[12];
                RandomTriangle(rng, src->width, src->height, v);
                if (trial == 0) AlignMapping(rng, v);
                const int32_t transFlag = k.key ? static_cast<int32_t>(1 + rng() % 3) : 0;
                const uint32_t colour = EdgyWord32(rng);  // not used with a source
                for (int mmx = 0; mmx < 2; ++mmx) {
                    UseMmx = mmx;
                    TestImage want = dst;
                    TestImage got = dst;
                    ReferenceRasterizeTriangle(want.get(), src.get(), v, transFlag,
                                               k.blend ? blend.get() : nullptr, colour,
                                               GetDrawState());
                    RasterizeMemImgTriangle(got.get(), src.get(), v, transFlag,
                                            k.blend ? blend.get() : nullptr, colour, GetDrawState());
                    ASSERT_EQ(got.bytes(), want.bytes())
                        << KeyName(key) << ", mode " << mode << " p " << param << ", trial "
                        << trial << ", UseMmx " << mmx << ": " << FirstDifference(got, want);
                }
            }
        }
    }
    // 40 paletted and 80 direct loops per destination format.
    EXPECT_EQ(loops, 240);
}

TEST_F(TriangleDifferentialTest, EveryFlatLoopMatchesTheReference) {
    std::mt19937 rng(4242);
    for (int format = 0; format < 2; ++format) {
        for (int mode = 0; mode < 5; ++mode) {
            for (int param : {0, 1, 128, 254, 255}) {
                for (int trial = 0; trial < 4; ++trial) {
                    SetBlend(mode, param);
                    SetBright(trial % 2 ? RandomBright(rng) : 0xFFFFFFu);
                    TestImage dst = RandomDestination(format, rng);
                    RandomArea(rng, *dst.get());
                    TestImage blend(20, 16, 1, 1);
                    int32_t v[12];
                    RandomTriangle(rng, 8, 8, v);
                    // A 16-bit colour with rubbish above its low 16 bits.
                    const uint32_t colour = EdgyWord32(rng);
                    for (int mmx = 0; mmx < 2; ++mmx) {
                        UseMmx = mmx;
                        TestImage want = dst;
                        TestImage got = dst;
                        ReferenceRasterizeTriangle(want.get(), nullptr, v, 0, nullptr, colour,
                                                   GetDrawState());
                        // The colour key flag and a blend image play no part without a source.
                        RasterizeMemImgTriangle(got.get(), nullptr, v, trial % 2, blend.get(),
                                                colour, GetDrawState());
                        ASSERT_EQ(got.bytes(), want.bytes())
                            << "format " << format << " mode " << mode << " p " << param
                            << " trial " << trial << ": " << FirstDifference(got, want);
                    }
                }
            }
        }
    }
}

TEST_F(TriangleDifferentialTest, SpansLongerThanOneGatherMatchTheReference) {
    // Spans of several hundred pixels, magnified (texels gathered in pieces), one to one
    // (texels read in place) and shrunk.
    std::mt19937 rng(7);
    for (int key = 0; key < kLoopKeyCount; ++key) {
        if (!DescribeTriangleSpanLoop(key).valid) continue;
        const LoopKey k = DecodeLoopKey(key);
        const auto [mode, param] = CallsFor(k)[1];
        SetBlend(mode, param);
        SetBright(k.bright ? RandomBright(rng) : 0xFFFFFFu);
        RandomWeights(rng);
        LoopKey wide = k;
        TestImage src = RandomSource(wide, rng);
        TestImage big(300, 3, k.format, src->paletted, src->alpha);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 300; ++x) big.Set(x, y, src.Get(x % src->width, y % src->height));
        }
        big->colorKey = src->colorKey;
        big->paletteCount = src->paletteCount;
        std::memcpy(big->paletteData, src->paletteData, sizeof(big->paletteData));
        TestImage blend(300, 3, 1, 1);
        for (int x = 0; x < 300; ++x) blend.Set(x, 1, EdgyByte(rng));
        TestImage dst(700, 3, k.format);
        for (int x = 0; x < 700; ++x)
            dst.Set(x, 1, k.format == 1 ? EdgyWord32(rng) : EdgyWord565(rng));
        SetArea(0, 0, 700, 3);
        // A tall triangle whose line 1 runs from pixel 0 to pixel 301, u = x * U / 900 and v
        // the same along the line: texels magnified twice, one to one, shrunk twice.
        for (const int32_t w : {450, 900, 1800}) {
            const int32_t v[12] = {0, -200, 0, 0, 900, 400, w, 3, 0, 400, 0, 3};
            TestImage want = dst;
            TestImage got = dst;
            ReferenceRasterizeTriangle(want.get(), big.get(), v, k.key ? 1 : 0,
                                       k.blend ? blend.get() : nullptr, 0, GetDrawState());
            RasterizeMemImgTriangle(got.get(), big.get(), v, k.key ? 1 : 0,
                                    k.blend ? blend.get() : nullptr, 0, GetDrawState());
            ASSERT_EQ(got.bytes(), want.bytes())
                << KeyName(key) << ", width " << w << ": " << FirstDifference(got, want);
        }
    }
}

TEST_F(TriangleDifferentialTest, QuadsMatchTheReference) {
    std::mt19937 rng(99);
    for (int trial = 0; trial < 120; ++trial) {
        LoopKey k;
        k.format = static_cast<int>(rng() % 2);
        k.source = static_cast<SourceKind>(rng() % 3);
        k.key = rng() % 2 != 0;
        const int mode = static_cast<int>(rng() % 5);
        SetBlend(mode, static_cast<int>(EdgyByte(rng)));
        SetBright(rng() % 2 ? 0xFFFFFFu : RandomBright(rng));
        TestImage src = RandomSource(k, rng);
        TestImage dst = RandomDestination(k.format, rng);
        RandomArea(rng, *dst.get());
        int32_t c[8];
        for (int i = 0; i < 4; ++i) {
            c[2 * i] = static_cast<int32_t>(rng() % 34) - 8;
            c[2 * i + 1] = static_cast<int32_t>(rng() % 30) - 8;
        }
        TestImage want = dst;
        TestImage got = dst;
        ReferenceDrawQuad(want.get(), src.get(), c, k.key ? 1 : 0, nullptr, GetDrawState());
        DrawMemImgQuad(got.get(), src.get(), c, k.key ? 1 : 0, nullptr, GetDrawState());
        ASSERT_EQ(got.bytes(), want.bytes())
            << "trial " << trial << ": " << FirstDifference(got, want);
    }
}

}  // namespace
