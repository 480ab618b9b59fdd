// The graph drawing family on both roads of a screen: a table of draws (at a point, stretched
// and mirrored, turned, rotated, four corners, parts of a graph plain, mirrored, stretched and
// outside the draw area), each in every blend mode, plain and with a bright, drawn on a
// software screen and on DirectDraw surfaces, must give the same picture on both, and the
// picture the software renderer's kernels give when called directly on a plain image.
#include <gtest/gtest.h>

#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "softrender/rotated/blit_rotated.h"
#include "softrender/scaled/blit_scaled.h"
#include "softrender/triangle/quad_draw.h"
#include "softrender/unscaled/blit_unscaled.h"
#include "tests/graphics/surfaces/surface_test_support.h"

namespace {

// A small screen keeps the many whole-screen comparisons quick.
constexpr int32_t kScreenW = 320;
constexpr int32_t kScreenH = 160;
constexpr int32_t kSpriteW = 20;
constexpr int32_t kSpriteH = 12;

// A sprite pixel: varied colours, and the colour key (0) on a diagonal pattern.
uint32_t SpriteValue(int bits, int32_t x, int32_t y) {
    if ((x + 2 * y) % 7 == 0) return 0;
    return bits == 16 ? (0x0841u + 0x0840u * x + 0x2003u * y) & 0xFFFF
                      : 0x00102030u + 0x0B0000u * x + 0x000D07u * y;
}
// A background pixel of the region.
uint32_t BackgroundValue(int bits, int32_t x, int32_t y) {
    return bits == 16 ? (0x18E3u * (x / 8) + 0x0421u * (y / 4)) & 0xFFFF
                      : 0x00303030u + 0x000502u * (x % 37) + 0x070000u * (y % 29);
}

MEMIMG gFront = {};
MEMIMG gBack = {};
int32_t gDepth = 16;

// A draw through the family, and the same draw made by the kernels on plain images.
struct DrawCase {
    const char* name;
    int32_t transFlag;
    int (*onRoad)(HandleValue sprite, int32_t transFlag);
    void (*onImage)(MEMIMG* back, const MEMIMG* sprite, int32_t transFlag);
    bool lands = true;  // the draw changes the picture
};

// The kernels under a draw area narrowed to part, as the part draws narrow it.
template <class Draw>
void WithDrawArea(const RECT& part, Draw draw) {
    DrawState& s = GetDrawState();
    const RECT saved = s.drawArea;
    RECT narrowed = part;
    ClipRectInPlace(&narrowed, &saved);
    s.drawArea = narrowed;
    draw();
    s.drawArea = saved;
}

const DrawCase kDraws[] = {
    {"at a point", 1, [](HandleValue g, int32_t t) { return BlitGraphAt(30, 40, g, t); },
     [](MEMIMG* b, const MEMIMG* s, int32_t t) { BlitMemImg(b, s, 30, 40, t, nullptr, GetDrawState()); }},
    {"at a point, opaque, partly off the top-left", 0,
     [](HandleValue g, int32_t t) { return BlitGraphAt(-5, -3, g, t); },
     [](MEMIMG* b, const MEMIMG* s, int32_t t) { BlitMemImg(b, s, -5, -3, t, nullptr, GetDrawState()); }},
    {"stretched with x1 > x2 (mirrored)", 1,
     [](HandleValue g, int32_t t) { return BlitGraphStretched(130, 10, 90, 34, g, t); },
     [](MEMIMG* b, const MEMIMG* s, int32_t t) {
         BlitMemImgScaled(b, s, RECT{130, 10, 90, 34}, t, nullptr, GetDrawState());
     }},
    {"turned", 1, [](HandleValue g, int32_t t) { return BlitGraphTurned(150, 40, g, t); },
     [](MEMIMG* b, const MEMIMG* s, int32_t t) {
         BlitMemImgScaled(b, s, RECT{150 + kSpriteW, 40, 150, 40 + kSpriteH}, t, nullptr, GetDrawState());
     }},
    {"rotated 0 degrees", 1,
     [](HandleValue g, int32_t t) { return BlitGraphRotated(60.0f, 90.0f, 1.0, 0.0, g, t, 0); },
     [](MEMIMG* b, const MEMIMG* s, int32_t t) {
         BlitMemImgRotated(b, s, 60, 90, 0.0f, 1.0f, t, 0, nullptr, GetDrawState());
     }},
    {"rotated 90 degrees", 1,
     [](HandleValue g, int32_t t) {
         return BlitGraphRotated(100.0f, 80.0f, 1.0, std::numbers::pi / 2, g, t, 0);
     },
     [](MEMIMG* b, const MEMIMG* s, int32_t t) {
         BlitMemImgRotated(b, s, 100, 80, static_cast<float>(std::numbers::pi / 2), 1.0f, t, 0,
                           nullptr, GetDrawState());
     }},
    {"rotated 30 degrees at scale 2, turned", 1,
     [](HandleValue g, int32_t t) {
         return BlitGraphRotated(170.5f, 110.0f, 2.0, std::numbers::pi / 6, g, t, 1);
     },
     [](MEMIMG* b, const MEMIMG* s, int32_t t) {
         BlitMemImgRotated(b, s, 170, 110, static_cast<float>(std::numbers::pi / 6), 2.0f, t, 1,
                           nullptr, GetDrawState());
     }},
    {"four corners", 1,
     [](HandleValue g, int32_t t) {
         return BlitGraphQuad(200.0f, 60.0f, 240.0f, 70.0f, 235.0f, 110.0f, 195.0f, 100.0f, g, t);
     },
     [](MEMIMG* b, const MEMIMG* s, int32_t t) {
         // Corner order of the kernel: top-left, top-right, bottom-left, bottom-right.
         const int32_t corners[8] = {200, 60, 240, 70, 195, 100, 235, 110};
         DrawMemImgQuad(b, s, corners, t, nullptr, GetDrawState());
     }},
    {"part of the graph", 1,
     [](HandleValue g, int32_t t) { return BlitGraphRect(20, 120, 4, 2, 10, 6, g, t, 0); },
     [](MEMIMG* b, const MEMIMG* s, int32_t t) {
         WithDrawArea(RECT{20, 120, 30, 126}, [&] { BlitMemImg(b, s, 16, 118, t, nullptr, GetDrawState()); });
     }},
    {"part of the graph, mirrored", 1,
     [](HandleValue g, int32_t t) { return BlitGraphRect(50, 120, 4, 2, 10, 6, g, t, 1); },
     [](MEMIMG* b, const MEMIMG* s, int32_t t) {
         // The mirrored graph's left edge at 50 - 20 + 4 + 10 = 44.
         WithDrawArea(RECT{50, 120, 60, 126}, [&] {
             BlitMemImgScaled(b, s, RECT{44 + kSpriteW, 118, 44, 118 + kSpriteH}, t, nullptr, GetDrawState());
         });
     }},
    {"part of the graph stretched twice", 1,
     [](HandleValue g, int32_t t) {
         return BlitGraphRectStretched(250, 120, 270, 132, 4, 2, 10, 6, g, t);
     },
     [](MEMIMG* b, const MEMIMG* s, int32_t t) {
         // The whole graph at twice its size, placed so that (4, 2) lands on (250, 120).
         WithDrawArea(RECT{250, 120, 270, 132},
                      [&] { BlitMemImgScaled(b, s, RECT{242, 116, 282, 140}, t, nullptr, GetDrawState()); });
     }},
    {"part of the graph outside the draw area", 1,
     [](HandleValue g, int32_t t) { return BlitGraphRect(700, 10, 0, 0, 10, 6, g, t, 0); },
     [](MEMIMG*, const MEMIMG*, int32_t) {}, false},
};

struct BlendCase {
    int32_t mode, param;
    int32_t r, g, b;  // bright
};

std::vector<BlendCase> BlendCases() {
    std::vector<BlendCase> out;
    for (int32_t mode = kBlendNone; mode <= kBlendMultiply; ++mode) {
        out.push_back({mode, 160, 255, 255, 255});
        out.push_back({mode, 160, 200, 120, 255});
    }
    return out;
}

std::string Name(const DrawCase& d, const BlendCase& b) {
    return std::string(d.name) + ", mode " + std::to_string(b.mode) +
           (b.r == 255 && b.g == 255 ? "" : ", bright");
}

plat::DrawSurface* MakeSurface(plat::DirectDraw* dd, uint32_t memory) {
    plat::SurfaceDesc desc{};
    desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
    desc.width = kScreenW;
    desc.height = kScreenH;
    desc.caps.caps = plat::DDSCAPS_OFFSCREENPLAIN | memory;
    plat::DrawSurface* surface = nullptr;
    EXPECT_EQ(dd->CreateSurface(&desc, &surface), plat::DD_OK);
    return surface;
}

class DrawGraphRoadsTest : public SurfaceFixture {
protected:
    enum class Road { kSoftwareScreen, kDirectDraw };

    void TearDown() override {
        StopRoad();
        ResetScreenState();
        SurfaceFixture::TearDown();
    }

    void StartRoad(Road road, int bits) {
        road_ = road;
        bits_ = bits;
        gDepth = bits;
        ResetScreenState();
        UseDisplay(bits);
        screen_ = kAbsentScreen;
        screen_.selectDrawTargetSurface = SelectDrawTargetSurface;
        screen_.getScreenDimensions = [](int32_t* w, int32_t* h) {
            *w = kScreenW;
            *h = kScreenH;
        };
        if (road == Road::kSoftwareScreen) {
            screen_.isNoDirectDraw = [] { return 1; };
            screen_.isScreenSoftwareDrawn = [] { return 1; };
            screen_.getScreenDepth = [] { return gDepth; };
            screen_.screenImage = [](HandleValue target) {
                return target == kDrawTargetFront ? &gFront : &gBack;
            };
            SetDirectDrawObject(nullptr);
            const int format = bits == 16 ? MEMIMG_FORMAT_565 : MEMIMG_FORMAT_32;
            ASSERT_EQ(InitMemImgPlain(&gBack, kScreenW, kScreenH, format), 0);
            ASSERT_EQ(InitMemImgPlain(&gFront, kScreenW, kScreenH, format), 0);
        } else {
            SetDirectDrawObject(dd_);
            ScreenState& s = GetScreenState();
            s.back = MakeSurface(dd_, plat::DDSCAPS_VIDEOMEMORY);
            s.work = MakeSurface(dd_, plat::DDSCAPS_SYSTEMMEMORY);
            s.work2 = MakeSurface(dd_, plat::DDSCAPS_SYSTEMMEMORY);
        }
        ScreenSlot().Install(screen_);
        ASSERT_EQ(SetDrawTarget(kDrawTargetBack), 0);
        ASSERT_EQ(SetDrawAreaRect(0, 0, kScreenW, kScreenH), 0);
    }

    void StopRoad() {
        DeleteAllGraphs(0);
        ScreenState& s = GetScreenState();
        for (plat::DrawSurface** surface : {&s.back, &s.work, &s.work2}) {
            if (*surface != nullptr) (*surface)->Release();
            *surface = nullptr;
        }
        GetDrawTargetSurface() = DrawTargetSurface{};
        for (MEMIMG* image : {&gFront, &gBack}) {
            ReleaseMemImg(image);
            std::memset(image, 0, sizeof *image);
        }
        SetDirectDrawObject(dd_);
    }

    // Every pixel of the back screen, at the pixel's size.
    std::vector<uint32_t> ReadBack() {
        std::vector<uint32_t> out(static_cast<size_t>(kScreenW) * kScreenH);
        const int bytes = bits_ / 8;
        const uint8_t* pixels = gBack.pixels;
        int32_t pitch = gBack.pitch;
        plat::SurfaceDesc desc{};
        plat::DrawSurface* back = GetScreenState().back;
        if (road_ == Road::kDirectDraw) {
            EXPECT_EQ(back->Lock(nullptr, &desc, plat::DDLOCK_WAIT), plat::DD_OK);
            pixels = static_cast<const uint8_t*>(desc.surface);
            pitch = static_cast<int32_t>(desc.pitch);
        }
        for (int32_t y = 0; y < kScreenH; ++y) {
            for (int32_t x = 0; x < kScreenW; ++x) {
                std::memcpy(&out[y * kScreenW + x], pixels + y * pitch + x * bytes, bytes);
            }
        }
        if (road_ == Road::kDirectDraw) back->Unlock(nullptr);
        return out;
    }

    // The background under every draw.
    void WriteBackground() {
        const int bytes = bits_ / 8;
        uint8_t* pixels = gBack.pixels;
        int32_t pitch = gBack.pitch;
        plat::SurfaceDesc desc{};
        plat::DrawSurface* back = GetScreenState().back;
        if (road_ == Road::kDirectDraw) {
            ASSERT_EQ(back->Lock(nullptr, &desc, plat::DDLOCK_WAIT), plat::DD_OK);
            pixels = static_cast<uint8_t*>(desc.surface);
            pitch = static_cast<int32_t>(desc.pitch);
        }
        for (int32_t y = 0; y < kScreenH; ++y) {
            for (int32_t x = 0; x < kScreenW; ++x) {
                const uint32_t v = BackgroundValue(bits_, x, y);
                std::memcpy(pixels + y * pitch + x * bytes, &v, bytes);
            }
        }
        if (road_ == Road::kDirectDraw) back->Unlock(nullptr);
    }

    // The sprite in the pixels' own format (with its unused bits set, as every load writes
    // them); *pixels and *colorKey receive the values and the graph's transparent value.
    HandleValue MakeSprite(std::vector<uint32_t>* pixels, uint32_t* colorKey) {
        const HandleValue graph = CreateBlankGraph(kSpriteW, kSpriteH, 1);
        EXPECT_GE(graph, 0);
        const HandleValue data = DataHandleOf(graph);
        int32_t pitch = 0;
        void* p = nullptr;
        const PaletteColorFormat* format = nullptr;
        EXPECT_EQ(LockSurfaceData(data, &pitch, &p, 0, nullptr, &format), 0);
        *colorKey = ColorFormatRgbaToPixel(&format->format, 0, 0, 0, 255);
        pixels->clear();
        for (int32_t y = 0; y < kSpriteH; ++y) {
            for (int32_t x = 0; x < kSpriteW; ++x) {
                const uint32_t v = SpriteValue(bits_, x, y) | format->format.noUseMask;
                pixels->push_back(v);
                std::memcpy(static_cast<uint8_t*>(p) + y * pitch + x * (bits_ / 8), &v,
                            bits_ / 8);
            }
        }
        UnlockSurfaceData(data, nullptr);
        return graph;
    }

    // A plain image of the pixels.
    static void ToImage(const std::vector<uint32_t>& pixels, int32_t w, int32_t h, int bits,
                        MEMIMG* image) {
        ASSERT_EQ(InitMemImgPlain(image, w, h, bits == 16 ? MEMIMG_FORMAT_565 : MEMIMG_FORMAT_32),
                  0);
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                std::memcpy(image->pixels + y * image->pitch + x * (bits / 8),
                            &pixels[y * w + x], bits / 8);
            }
        }
    }
    static std::vector<uint32_t> FromImage(const MEMIMG& image, int bits) {
        std::vector<uint32_t> out(static_cast<size_t>(image.width) * image.height);
        for (int32_t y = 0; y < image.height; ++y) {
            for (int32_t x = 0; x < image.width; ++x) {
                std::memcpy(&out[y * image.width + x], image.pixels + y * image.pitch + x * (bits / 8),
                            bits / 8);
            }
        }
        return out;
    }

    // Runs every draw in every blend case on the road; each picture must be the kernels' on
    // plain images. Returns each picture's colour channels, in table order.
    std::vector<std::vector<uint32_t>> DrawTable(Road road, int bits) {
        std::vector<std::vector<uint32_t>> regions;
        StartRoad(road, bits);
        std::vector<uint32_t> spritePixels;
        uint32_t colorKey = 0;
        const HandleValue sprite = MakeSprite(&spritePixels, &colorKey);
        MEMIMG source{};
        ToImage(spritePixels, kSpriteW, kSpriteH, bits, &source);
        source.colorKey = colorKey;
        for (const DrawCase& d : kDraws) {
            for (const BlendCase& b : BlendCases()) {
                SCOPED_TRACE(Name(d, b));
                SetBlendState(b.mode, b.param);
                SetBrightRGB(b.r, b.g, b.b);
                WriteBackground();
                const std::vector<uint32_t> before = ReadBack();
                EXPECT_EQ(d.onRoad(sprite, d.transFlag), 0);
                const std::vector<uint32_t> after = ReadBack();
                EXPECT_EQ(after != before, d.lands);
                EXPECT_EQ(GetDrawState().drawArea.right, kScreenW);
                EXPECT_EQ(GetDrawState().drawAreaEmpty, 0);

                MEMIMG expected{};
                ToImage(before, kScreenW, kScreenH, bits, &expected);
                d.onImage(&expected, &source, d.transFlag);
                const std::vector<uint32_t> want = FromImage(expected, bits);
                size_t first = 0;
                while (first < want.size() && after[first] == want[first]) ++first;
                EXPECT_EQ(first, want.size())
                    << (road == Road::kDirectDraw ? "DirectDraw" : "software screen")
                    << ": differs from the kernels first at (" << first % kScreenW << ", "
                    << first / kScreenW << ")";
                ReleaseMemImg(&expected);

                // The colour channels only: a 32-bit software screen keeps its unused byte.
                std::vector<uint32_t> region;
                for (uint32_t v : after) region.push_back(v & 0xFFFFFF);
                regions.push_back(std::move(region));
            }
        }
        ReleaseMemImg(&source);
        StopRoad();
        return regions;
    }

    Road road_ = Road::kSoftwareScreen;
    int bits_ = 16;
    ScreenDriver screen_{};
};

TEST_F(DrawGraphRoadsTest, EveryDrawInEveryBlendModeGivesTheSamePictureOnBothRoads) {
    for (int bits : {16, 32}) {
        SCOPED_TRACE(std::to_string(bits) + " bits");
        const auto software = DrawTable(Road::kSoftwareScreen, bits);
        const auto directDraw = DrawTable(Road::kDirectDraw, bits);
        ASSERT_EQ(software.size(), directDraw.size());
        size_t i = 0;
        for (const DrawCase& d : kDraws) {
            for (const BlendCase& b : BlendCases()) {
                EXPECT_TRUE(software[i] == directDraw[i]) << Name(d, b) << " differs between roads";
                ++i;
            }
        }
    }
}

}  // namespace
