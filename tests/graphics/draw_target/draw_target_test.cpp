// The draw target on both roads: sprites drawn on DirectDraw surfaces (BltFast or a software
// kernel over locked pixels, through work surfaces where the target is in video memory or
// the display's format is not the standard one) and on a software screen, clears, fills, and
// the failures that must leave nothing locked.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_graph/soft_road/blit_graph_2d.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "graphics/draw_graph/soft_road/rotated_graph_soft.h"
#include "softrender/rotated/blit_rotated.h"
#include "graphics/draw_graph/soft_road/stretched_graph_soft.h"
#include "softrender/scaled/blit_scaled.h"
#include "softrender/fill/fill_rect.h"
#include "softrender/triangle/quad_draw.h"
#include "graphics/draw_graph/soft_road/quad_graph_soft.h"
#include "graphics/draw_graph/soft_road/triangle_graph_soft.h"
#include "softrender/triangle/triangle_rasterizer.h"
#include "softrender/unscaled/blit_unscaled.h"
#include "tests/graphics/surfaces/surface_test_support.h"

namespace {

constexpr int32_t kScreenW = 640;
constexpr int32_t kScreenH = 480;

plat::DrawSurface* MakeSurface(plat::DirectDraw* dd, int32_t w, int32_t h, uint32_t memory) {
    plat::SurfaceDesc desc{};
    desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
    desc.width = static_cast<uint32_t>(w);
    desc.height = static_cast<uint32_t>(h);
    desc.caps.caps = plat::DDSCAPS_OFFSCREENPLAIN | memory;
    plat::DrawSurface* surface = nullptr;
    EXPECT_EQ(dd->CreateSurface(&desc, &surface), plat::DD_OK);
    return surface;
}

// Every pixel of a surface, as raw values of its size.
std::vector<uint32_t> SurfacePixels(plat::DrawSurface* surface) {
    plat::SurfaceDesc desc{};
    std::vector<uint32_t> out;
    if (surface->Lock(nullptr, &desc, plat::DDLOCK_WAIT) != plat::DD_OK) return out;
    const uint32_t bytes = desc.pixelFormat.bitCount / 8;
    for (uint32_t y = 0; y < desc.height; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(desc.surface) + y * desc.pitch;
        for (uint32_t x = 0; x < desc.width; ++x) {
            uint32_t v = 0;
            std::memcpy(&v, row + x * bytes, bytes);
            out.push_back(v);
        }
    }
    surface->Unlock(nullptr);
    return out;
}

void FillSurfaceRaw(plat::DrawSurface* surface, uint32_t value) {
    plat::BltFx fx{};
    fx.fillColor = value;
    surface->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &fx);
}

// A MEMIMG of the surface's pixels in the standard format of its depth.
struct ImageCopy {
    MEMIMG image{};
    ImageCopy(const std::vector<uint32_t>& pixels, int32_t w, int32_t h, int bits) {
        InitMemImgPlain(&image, w, h, bits == 16 ? MEMIMG_FORMAT_565 : MEMIMG_FORMAT_32);
        const int bytes = bits / 8;
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                std::memcpy(image.pixels + y * image.pitch + x * bytes, &pixels[y * w + x], bytes);
            }
        }
    }
    ~ImageCopy() { ReleaseMemImg(&image); }
    std::vector<uint32_t> Pixels() const {
        std::vector<uint32_t> out;
        const int bytes = image.colorFormat->bytes;
        for (int32_t y = 0; y < image.height; ++y) {
            for (int32_t x = 0; x < image.width; ++x) {
                uint32_t v = 0;
                std::memcpy(&v, image.pixels + y * image.pitch + x * bytes, bytes);
                out.push_back(v);
            }
        }
        return out;
    }
};

std::vector<std::string> CallsOn(const std::vector<plat::DDrawCall>& calls, uint32_t serial) {
    std::vector<std::string> out;
    for (const plat::DDrawCall& c : calls) {
        if (c.surface == serial) out.push_back(c.op);
    }
    return out;
}

int CountOp(const std::vector<plat::DDrawCall>& calls, const char* op) {
    int n = 0;
    for (const plat::DDrawCall& c : calls) n += std::string(c.op) == op ? 1 : 0;
    return n;
}

// Graph management on a DirectDraw screen: a back surface in video memory, the two work
// surfaces in system memory, the back screen the draw target.
class DirectDrawTargetTest : public SurfaceFixture {
protected:
    void SetUp() override {
        SurfaceFixture::SetUp();
        ResetScreenState();
        // The screen's driver binds targets through the draw target, as the screen module's
        // does; everything else is the absent screen's, a DirectDraw screen with the object.
        screen_ = kAbsentScreen;
        screen_.selectDrawTargetSurface = SelectDrawTargetSurface;
        ScreenSlot().Install(screen_);
        StartScreen(16);
    }
    void TearDown() override {
        StopScreen();
        ResetScreenState();
        SurfaceFixture::TearDown();
    }

    void StartScreen(int bits) {
        UseDisplay(bits);
        bits_ = bits;
        StartSurfaces();
    }
    static void UseDisplay555() {
        plat::PixelFormat f{};
        f.size = sizeof f;
        f.flags = plat::DDPF_RGB;
        f.bitCount = 16;
        f.redMask = 0x7C00;
        f.greenMask = 0x03E0;
        f.blueMask = 0x001F;
        plat::OverrideDisplayFormat(&f);
    }
    void StartSurfaces() {
        ScreenState& s = GetScreenState();
        s.back = MakeSurface(dd_, kScreenW, kScreenH, plat::DDSCAPS_VIDEOMEMORY);
        s.work = MakeSurface(dd_, kScreenW, kScreenH, plat::DDSCAPS_SYSTEMMEMORY);
        s.work2 = MakeSurface(dd_, kScreenW, kScreenH, plat::DDSCAPS_SYSTEMMEMORY);
        ASSERT_EQ(SetDrawTarget(kDrawTargetBack), 0);
    }
    void StopScreen() {
        ScreenState& s = GetScreenState();
        for (plat::DrawSurface** surface : {&s.back, &s.work, &s.work2}) {
            if (*surface != nullptr) (*surface)->Release();
            *surface = nullptr;
        }
        GetDrawTargetSurface() = DrawTargetSurface{};
    }

    // A graph of w x h whose pixels all differ (none is the colour key 0).
    HandleValue MakeSprite(int32_t w, int32_t h) {
        const HandleValue graph = CreateBlankGraph(w, h, 1);
        EXPECT_GE(graph, 0);
        WriteSprite(graph, 0);
        return graph;
    }
    void WriteSprite(HandleValue graph, uint32_t seed) {
        const HandleValue data = DataHandleOf(graph);
        int32_t pitch = 0;
        void* p = nullptr;
        ASSERT_EQ(LockSurfaceData(data, &pitch, &p, 0, nullptr, nullptr), 0);
        const SurfaceDataRecord* r = GetSurfaceData(data);
        for (int32_t y = 0; y < r->height; ++y) {
            for (int32_t x = 0; x < r->width; ++x) {
                const uint32_t v = bits_ == 16 ? 0x0821u + seed + 0x40u * x + 0x801u * y
                                               : 0x00102030u + seed + 0x0300u * x + 0x050000u * y;
                std::memcpy(static_cast<uint8_t*>(p) + y * pitch + x * (bits_ / 8), &v,
                            bits_ / 8);
            }
        }
        UnlockSurfaceData(data, nullptr);
    }
    std::vector<uint32_t> GraphPixels(HandleValue graph) {
        return SurfacePixels(DataOf(graph)->surface);
    }
    std::vector<uint32_t> BackPixels() { return SurfacePixels(GetScreenState().back); }
    uint32_t Serial(plat::DrawSurface* s) { return plat::SurfaceSerial(s); }

    // The back screen's pixels after the draw, reproduced by the software kernels on an image.
    std::vector<uint32_t> Expected(const std::vector<uint32_t>& before,
                                   void (*draw)(MEMIMG* back, const MEMIMG* sprite),
                                   HandleValue sprite) {
        const SurfaceDataRecord* r = DataOf(sprite);
        ImageCopy back(before, kScreenW, kScreenH, bits_);
        ImageCopy source(GraphPixels(sprite), r->width, r->height, bits_);
        draw(&back.image, &source.image);
        return back.Pixels();
    }

    int bits_ = 16;
    ScreenDriver screen_{};
};

// Texture coordinates short of the sprite's edge.
constexpr int32_t kTriangle[12] = {300, 20, 0, 0, 340, 30, 10, 0, 310, 70, 0, 8};
constexpr int32_t kQuad[8] = {400, 200, 440, 210, 395, 240, 450, 260};

// The graph draws that reach the back screen, each with the same draw on plain images.
struct DrawCase {
    const char* name;
    int (*drawOnScreen)(HandleValue sprite);
    void (*drawOnImage)(MEMIMG* back, const MEMIMG* sprite);
};

const DrawCase kDraws[] = {
    {"unscaled",
     [](HandleValue g) { return BlitGraph2D(30, 40, GetGraphRecord(g), 0, 1); },
     [](MEMIMG* back, const MEMIMG* s) { BlitMemImg(back, s, 30, 40, 0, nullptr, GetDrawState()); }},
    {"unscaled keyed, partly off the left",
     [](HandleValue g) { return BlitGraph2D(-3, 7, GetGraphRecord(g), 1, 1); },
     [](MEMIMG* back, const MEMIMG* s) { BlitMemImg(back, s, -3, 7, 1, nullptr, GetDrawState()); }},
    {"stretched twice",
     [](HandleValue g) {
         return BlitGraphStretchedSoft(100, 50, 124, 70, GetGraphRecord(g), 0, 1, kNoHandle);
     },
     [](MEMIMG* back, const MEMIMG* s) {
         BlitMemImgScaled(back, s, RECT{100, 50, 124, 70}, 0, nullptr, GetDrawState());
     }},
    {"stretched and mirrored",
     [](HandleValue g) {
         return BlitGraphStretchedSoft(60, 10, 40, 30, GetGraphRecord(g), 1, 1, kNoHandle);
     },
     [](MEMIMG* back, const MEMIMG* s) {
         BlitMemImgScaled(back, s, RECT{60, 10, 40, 30}, 1, nullptr, GetDrawState());
     }},
    {"rotated",
     [](HandleValue g) {
         return BlitGraphRotatedSoft(200.0f, 120.0f, 1.5, 0.7, GetGraphRecord(g), 0, 0);
     },
     [](MEMIMG* back, const MEMIMG* s) {
         BlitMemImgRotated(back, s, 200, 120, 0.7f, 1.5f, 0, 0, nullptr, GetDrawState());
     }},
    {"triangle",
     [](HandleValue g) { return DrawGraphTriangleSoft(kTriangle, GetGraphRecord(g), 0, 0); },
     [](MEMIMG* back, const MEMIMG* s) {
         RasterizeMemImgTriangle(back, s, kTriangle, 0, nullptr, 0, GetDrawState());
     }},
    {"quad",
     [](HandleValue g) {
         return DrawGraphQuadSoft(kQuad[0], kQuad[1], kQuad[2], kQuad[3], kQuad[4], kQuad[5],
                                  kQuad[6], kQuad[7], GetGraphRecord(g), 1);
     },
     [](MEMIMG* back, const MEMIMG* s) { DrawMemImgQuad(back, s, kQuad, 1, nullptr, GetDrawState()); }},
};

TEST_F(DirectDrawTargetTest, EveryGraphDrawLandsAtItsPixelsOnSixteenAndThirtyTwoBitSurfaces) {
    for (int bits : {16, 32}) {
        StopScreen();
        StartScreen(bits);
        for (const DrawCase& c : kDraws) {
            SCOPED_TRACE(std::to_string(bits) + " bits, " + c.name);
            const HandleValue sprite = MakeSprite(12, 10);
            FillSurfaceRaw(GetScreenState().back, bits == 16 ? 0x1234 : 0x00445566);
            // What an earlier draw left in the work surfaces must not stand in for pixels.
            FillSurfaceRaw(GetScreenState().work, 0x5A5A5A5A);
            FillSurfaceRaw(GetScreenState().work2, 0x5A5A5A5A);
            const std::vector<uint32_t> before = BackPixels();
            ASSERT_EQ(c.drawOnScreen(sprite), 0);
            const std::vector<uint32_t> after = BackPixels();
            EXPECT_NE(after, before);
            EXPECT_EQ(after, Expected(before, c.drawOnImage, sprite));
            EXPECT_FALSE(GetSoftDrawState().begun);
            DeleteGraphHandle(sprite, 0);
        }
    }
}

TEST_F(DirectDrawTargetTest, AnOpaqueSpriteIsOneBltFastAndABrightOneGoesThroughTheKernel) {
    const HandleValue sprite = MakeSprite(8, 6);
    const uint32_t back = Serial(GetScreenState().back);
    plat::StartDDrawCallLog();
    ASSERT_EQ(BlitGraph2D(20, 30, GetGraphRecord(sprite), 1, 1), 0);
    std::vector<plat::DDrawCall> calls = plat::TakeDDrawCallLog();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_STREQ(calls[0].op, "BltFast");
    EXPECT_EQ(calls[0].surface, back);
    EXPECT_EQ(calls[0].flags, plat::DDBLTFAST_SRCCOLORKEY | plat::DDBLTFAST_WAIT);

    // The stretched draw at the graph's own size, not mirrored, is the same single BltFast.
    ASSERT_EQ(BlitGraphStretchedSoft(40, 50, 48, 56, GetGraphRecord(sprite), 0, 1, kNoHandle), 0);
    calls = plat::TakeDDrawCallLog();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_STREQ(calls[0].op, "BltFast");
    EXPECT_EQ(calls[0].flags, plat::DDBLTFAST_NOCOLORKEY | plat::DDBLTFAST_WAIT);
    EXPECT_EQ(calls[0].rect.left, 40);
    EXPECT_EQ(calls[0].rect.top, 50);

    SetBrightRGB(255, 128, 255);
    const std::vector<uint32_t> before = BackPixels();
    plat::TakeDDrawCallLog();
    ASSERT_EQ(BlitGraph2D(20, 30, GetGraphRecord(sprite), 1, 1), 0);
    calls = plat::TakeDDrawCallLog();
    plat::StopDDrawCallLog();
    // The back screen is locked at exactly the sprite's rectangle; no BltFast reaches it.
    EXPECT_EQ(CallsOn(calls, back), (std::vector<std::string>{"Lock", "Unlock"}));
    for (const plat::DDrawCall& c : calls) {
        if (c.surface == back && std::string(c.op) == "Lock") {
            EXPECT_EQ(c.rect.left, 20);
            EXPECT_EQ(c.rect.top, 30);
            EXPECT_EQ(c.rect.right, 28);
            EXPECT_EQ(c.rect.bottom, 36);
        }
    }
    const std::vector<uint32_t> after = BackPixels();
    EXPECT_EQ(after, Expected(before, [](MEMIMG* b, const MEMIMG* s) {
                  BlitMemImg(b, s, 20, 30, 1, nullptr, GetDrawState());
              }, sprite));
    EXPECT_NE(after, before);
}

TEST_F(DirectDrawTargetTest, ADerivedGraphOnTheLockRoadReadsExactlyItsOwnRectangle) {
    const HandleValue parent = MakeSprite(40, 30);
    const HandleValue part = DeriveGraph(8, 4, 10, 6, parent);
    ASSERT_GE(part, 0);
    // Added onto black: the result is the source pixels themselves.
    FillSurfaceRaw(GetScreenState().back, 0);
    SetBlendState(kBlendAdd, 255);
    const uint32_t work2 = Serial(GetScreenState().work2);
    plat::StartDDrawCallLog();
    ASSERT_EQ(BlitGraph2D(100, 200, GetGraphRecord(part), 0, 1), 0);
    const std::vector<plat::DDrawCall> calls = plat::TakeDDrawCallLog();
    plat::StopDDrawCallLog();
    // The video-memory source goes through the second work surface: its rectangle only.
    EXPECT_EQ(CallsOn(calls, work2), (std::vector<std::string>{"BltFast", "Lock", "Unlock"}));

    // The same draw of the derived rectangle on plain images: every pixel of the parent
    // differs, so reading any other rectangle would show.
    ImageCopy expected(std::vector<uint32_t>(kScreenW * kScreenH, 0), kScreenW, kScreenH, 16);
    ImageCopy parentImage(GraphPixels(parent), 40, 30, 16);
    MEMIMG view{};
    InitMemImgView(&view, &parentImage.image, 8, 4, 10, 6);
    BlitMemImg(&expected.image, &view, 100, 200, 0, nullptr, GetDrawState());
    const std::vector<uint32_t> back = BackPixels();
    EXPECT_EQ(back, expected.Pixels());
    EXPECT_NE(back[200 * kScreenW + 100], 0u);
    EXPECT_EQ(back[200 * kScreenW + 110], 0u);
    EXPECT_EQ(back[206 * kScreenW + 100], 0u);
}

TEST_F(DirectDrawTargetTest, WorkSurfaceCopiesByGdiOrByBltFastGiveTheSamePicture) {
    const HandleValue sprite = MakeSprite(12, 10);
    SetBlendState(kBlendAlpha, 128);  // a blended draw on the video-memory back screen
    std::vector<uint32_t> results[2];
    for (int gdi : {0, 1}) {
        SCOPED_TRACE(gdi);
        GetScreenState().preferGdiCopy = gdi;
        FillSurfaceRaw(GetScreenState().back, 0x39E7);
        const uint32_t work = Serial(GetScreenState().work);
        plat::StartDDrawCallLog();
        ASSERT_EQ(BlitGraph2D(33, 44, GetGraphRecord(sprite), 0, 1), 0);
        const std::vector<plat::DDrawCall> calls = plat::TakeDDrawCallLog();
        plat::StopDDrawCallLog();
        const std::vector<std::string> onWork = CallsOn(calls, work);
        EXPECT_EQ(onWork.front(), gdi ? "GetDC" : "BltFast");
        // The target into work and back, the source into work2: two DCs for each copy.
        EXPECT_EQ(CountOp(calls, "GetDC"), gdi ? 6 : 0);
        results[gdi] = BackPixels();
    }
    GetScreenState().preferGdiCopy = 0;
    EXPECT_EQ(results[0], results[1]);
    const std::vector<uint32_t> before(kScreenW * kScreenH, 0x39E7);
    EXPECT_EQ(results[0], Expected(before, [](MEMIMG* b, const MEMIMG* s) {
                  BlitMemImg(b, s, 33, 44, 0, nullptr, GetDrawState());
              }, sprite));
}

TEST_F(DirectDrawTargetTest, AClippedAwaySpriteReturnsZeroAndTouchesNoSurface) {
    const HandleValue sprite = MakeSprite(8, 6);
    SetBrightRGB(10, 20, 30);
    plat::StartDDrawCallLog();
    EXPECT_EQ(BlitGraph2D(700, 10, GetGraphRecord(sprite), 0, 1), 0);
    EXPECT_EQ(BlitGraph2D(-8, 10, GetGraphRecord(sprite), 0, 1), 0);
    EXPECT_TRUE(plat::TakeDDrawCallLog().empty());
    plat::StopDDrawCallLog();
}

TEST_F(DirectDrawTargetTest, EveryLockFailureLeavesNothingLockedOrBegun) {
    struct FailureCase {
        const char* name;
        void (*arrange)(plat::DrawSurface* source);
        void (*release)(plat::DrawSurface* source);
    };
    static plat::DeviceContext* heldDC = nullptr;
    const FailureCase cases[] = {
        {"the destination lock fails", [](plat::DrawSurface*) { plat::FailNextSurfaceLocks(1); },
         [](plat::DrawSurface*) {}},
        {"the source is busy after the destination was locked",
         [](plat::DrawSurface* source) { ASSERT_EQ(source->GetDC(&heldDC), plat::DD_OK); },
         [](plat::DrawSurface* source) { source->ReleaseDC(heldDC); }},
        {"the work-surface lock fails",
         [](plat::DrawSurface*) {
             SetBlendState(kBlendAlpha, 100);  // the video-memory target goes through work
             plat::FailNextSurfaceLocks(1);
         },
         [](plat::DrawSurface*) {}},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetBlendState(kBlendNone, 255);
        SetBrightRGB(200, 200, 200);
        const HandleValue sprite = MakeSprite(8, 6);
        plat::DrawSurface* source = DataOf(sprite)->surface;
        FillSurfaceRaw(GetScreenState().back, 0x1111);
        const std::vector<uint32_t> before = BackPixels();
        const RECT area = GetDrawState().drawArea;
        c.arrange(source);
        EXPECT_EQ(BlitGraph2D(5, 5, GetGraphRecord(sprite), 0, 1), -1);
        c.release(source);
        EXPECT_FALSE(GetSoftDrawState().begun);
        EXPECT_EQ(GetDrawState().drawArea.right, area.right);
        EXPECT_EQ(GetDrawState().drawArea.bottom, area.bottom);
        // Every surface can be locked again: none was left locked.
        for (plat::DrawSurface* s : {GetScreenState().back, GetScreenState().work,
                                     GetScreenState().work2, source}) {
            plat::SurfaceDesc desc{};
            ASSERT_EQ(s->Lock(nullptr, &desc, plat::DDLOCK_WAIT), plat::DD_OK);
            s->Unlock(nullptr);
        }
        EXPECT_EQ(BackPixels(), before);
        DeleteGraphHandle(sprite, 0);
    }
}

TEST_F(DirectDrawTargetTest, ClearFillsTheBackScreenAndExactlyAGraphTargetsRectangle) {
    FillSurfaceRaw(GetScreenState().back, 0xFFFF);
    ASSERT_EQ(ClearCurrentScreen(), 0);
    EXPECT_EQ(BackPixels(), std::vector<uint32_t>(kScreenW * kScreenH, 0));

    // A derived graph target: its own rectangle of the shared surface, nothing else.
    const HandleValue parent = MakeSprite(16, 12);
    const HandleValue part = DeriveGraph(4, 3, 5, 4, parent);
    const std::vector<uint32_t> before = GraphPixels(parent);
    ASSERT_EQ(SetDrawTarget(part), 0);
    ASSERT_EQ(ClearCurrentScreen(), 0);
    const std::vector<uint32_t> after = GraphPixels(parent);
    for (int32_t y = 0; y < 12; ++y) {
        for (int32_t x = 0; x < 16; ++x) {
            const bool inside = x >= 4 && x < 9 && y >= 3 && y < 7;
            EXPECT_EQ(after[y * 16 + x], inside ? 0u : before[y * 16 + x]) << x << "," << y;
        }
    }
    ASSERT_EQ(SetDrawTarget(kDrawTargetBack), 0);
}

TEST_F(DirectDrawTargetTest, TheBoxFillFillsItsRectangleUnderTheBlendMode) {
    FillSurfaceRaw(GetScreenState().back, 0);
    ASSERT_EQ(FillBoxSoft(10, 20, 4, 12, 0xF800), 0);  // corners in any order
    SetBlendState(kBlendAdd, 255);
    ASSERT_EQ(FillBoxSoft(6, 15, 30, 18, 0x001F), 0);
    EXPECT_EQ(FillBoxSoft(700, 700, 800, 800, 0x001F), 0);  // outside: nothing, no failure
    const std::vector<uint32_t> back = BackPixels();
    EXPECT_EQ(back[12 * kScreenW + 4], 0xF800u);
    EXPECT_EQ(back[16 * kScreenW + 8], 0xF81Fu);
    EXPECT_EQ(back[16 * kScreenW + 20], 0x001Fu);
    EXPECT_EQ(back[11 * kScreenW + 4], 0u);
    EXPECT_EQ(back[20 * kScreenW + 9], 0u);
}

// Displays whose format is not the standard one of their depth (class 1: 5-5-5; class 3: a
// 32-bit display with red and blue swapped), with the conversions to the standard format and
// back that the draw must make on the way through the work surface.
uint32_t SwapRedBlue(uint32_t p) { return (p & 0xFF) << 16 | (p & 0xFF00) | (p >> 16 & 0xFF); }

struct ConvertingDisplay {
    const char* name;
    int bits;
    uint32_t red, green, blue;
    uint32_t used;  // the bits that belong to a channel
    uint32_t (*toStandard)(uint32_t);
    uint32_t (*fromStandard)(uint32_t);
};

const ConvertingDisplay kConvertingDisplays[] = {
    {"5-5-5", 16, 0x7C00, 0x03E0, 0x001F, 0x7FFF,
     [](uint32_t p) {
         const uint32_t g5 = (p >> 5) & 31;
         return (p >> 10 & 31) << 11 | ((g5 << 1) + g5 / 31) << 5 | (p & 31);
     },
     [](uint32_t p) { return (p >> 11 & 31) << 10 | (p >> 6 & 31) << 5 | (p & 31); }},
    {"32-bit blue-green-red", 32, 0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, SwapRedBlue,
     SwapRedBlue},
};

TEST_F(DirectDrawTargetTest, AnotherDisplayFormatConvertsThroughTheWorkSurface) {
    for (const ConvertingDisplay& d : kConvertingDisplays) {
        SCOPED_TRACE(d.name);
        StopScreen();
        plat::PixelFormat f{};
        f.size = sizeof f;
        f.flags = plat::DDPF_RGB;
        f.bitCount = static_cast<uint32_t>(d.bits);
        f.redMask = d.red;
        f.greenMask = d.green;
        f.blueMask = d.blue;
        plat::OverrideDisplayFormat(&f);
        bits_ = d.bits;
        StartSurfaces();
        ScreenState& s = GetScreenState();
        // A back screen in system memory: a video-memory sprite is not BltFast's, so the draw
        // takes the kernel, and through a display of another format the work surface.
        s.back->Release();
        s.back = MakeSurface(dd_, kScreenW, kScreenH, plat::DDSCAPS_SYSTEMMEMORY);
        ASSERT_EQ(SetDrawTarget(kDrawTargetBack), 0);
        const HandleValue sprite = MakeSprite(6, 4);
        const std::vector<uint32_t> spritePixels = GraphPixels(sprite);

        FillSurfaceRaw(s.back, 0);
        // A bright on green only: read in the wrong format it would change other channels.
        SetBrightRGB(255, 128, 255);
        const uint32_t work = Serial(s.work);
        const uint32_t back = Serial(s.back);
        plat::StartDDrawCallLog();
        ASSERT_EQ(BlitGraph2D(50, 60, GetGraphRecord(sprite), 0, 1), 0);
        const std::vector<plat::DDrawCall> calls = plat::TakeDDrawCallLog();
        plat::StopDDrawCallLog();
        SetBrightRGB(255, 255, 255);
        EXPECT_EQ(CallsOn(calls, work), (std::vector<std::string>{"BltFast", "Lock", "Unlock"}));
        EXPECT_EQ(CallsOn(calls, back), (std::vector<std::string>{"BltFast"}));  // copied back

        // The same draw in the standard format, converted back.
        std::vector<uint32_t> standard;
        for (uint32_t p : spritePixels) standard.push_back(d.toStandard(p));
        ImageCopy source(standard, 6, 4, d.bits);
        ImageCopy expected(std::vector<uint32_t>(6 * 4, 0), 6, 4, d.bits);
        const RECT area = GetDrawState().drawArea;
        SetBrightRGB(255, 128, 255);
        BlitMemImg(&expected.image, &source.image, 0, 0, 0, nullptr, GetDrawState());
        SetBrightRGB(255, 255, 255);
        GetDrawState().drawArea = area;
        const std::vector<uint32_t> want = expected.Pixels();
        const std::vector<uint32_t> result = BackPixels();
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 6; ++x) {
                const uint32_t drawn = want[y * 6 + x];
                const uint32_t wanted = d.fromStandard(drawn);
                // The format's unused bits may come back set.
                EXPECT_EQ(result[(60 + y) * kScreenW + 50 + x] & d.used, wanted)
                    << x << "," << y;
            }
        }
        EXPECT_EQ(result[60 * kScreenW + 56], 0u);
        DeleteGraphHandle(sprite, 0);
    }
}

TEST_F(DirectDrawTargetTest, ARectangleLargerThanTheWorkSurfaceGoesThroughOneOfItsOwnSize) {
    // A 5-5-5 display: every blended draw converts through a work surface.
    StopScreen();
    UseDisplay555();
    StartSurfaces();
    const HandleValue big = CreateBlankGraph(700, 20, 1);
    ASSERT_GE(big, 0);
    ASSERT_EQ(SetDrawTarget(big), 0);
    const std::vector<uint32_t> before = GraphPixels(big);
    SetBlendState(kBlendAlpha, 128);
    const uint32_t work = Serial(GetScreenState().work);
    const size_t surfaces = plat::LiveSurfaceCount();
    plat::StartDDrawCallLog();
    EXPECT_EQ(FillBoxSoft(0, 0, 700, 20, 0x1234), 0);
    const std::vector<plat::DDrawCall> calls = plat::TakeDDrawCallLog();
    plat::StopDDrawCallLog();
    // The screen-sized work surface is left alone; the one made for the draw is gone after it.
    EXPECT_TRUE(CallsOn(calls, work).empty());
    EXPECT_EQ(CountOp(calls, "CreateSurface"), 1);
    EXPECT_EQ(plat::LiveSurfaceCount(), surfaces);
    // Every pixel of the graph, up to its right edge, took the fill.
    const std::vector<uint32_t> after = GraphPixels(big);
    ASSERT_EQ(after.size(), before.size());
    int unchanged = 0;
    for (size_t i = 0; i < after.size(); ++i) unchanged += after[i] == before[i] ? 1 : 0;
    EXPECT_EQ(unchanged, 0);
    EXPECT_EQ(after[699], after[0]);
    EXPECT_EQ(after[after.size() - 1], after[0]);
    // A rectangle that fits still goes through the screen's work surface, making none.
    plat::StartDDrawCallLog();
    EXPECT_EQ(FillBoxSoft(600, 0, 700, 20, 0x1234), 0);
    const std::vector<plat::DDrawCall> fitting = plat::TakeDDrawCallLog();
    plat::StopDDrawCallLog();
    EXPECT_FALSE(CallsOn(fitting, work).empty());
    EXPECT_EQ(CountOp(fitting, "CreateSurface"), 0);

    // A work surface that cannot be made: a log line, -1, nothing drawn or left locked.
    const std::vector<uint32_t> filled = GraphPixels(big);
    NewLogText();
    plat::FailNextSurfaceCreates(1);
    EXPECT_EQ(FillBoxSoft(0, 0, 700, 20, 0x0841), -1);
    EXPECT_NE(NewLogText().find("作業用サーフェス（700 x 20）の作成に失敗しました"),
              std::string::npos);
    EXPECT_FALSE(GetSoftDrawState().begun);
    EXPECT_EQ(GetDrawState().drawArea.right, 700);
    EXPECT_EQ(GraphPixels(big), filled);
    EXPECT_EQ(plat::LiveSurfaceCount(), surfaces);
    ASSERT_EQ(SetDrawTarget(kDrawTargetBack), 0);
}

TEST_F(DirectDrawTargetTest, AGraphTallerThanTheScreenIsReadWhole) {
    // A graph in video memory is read through a work surface; this one does not fit the
    // screen's second one, so a surface of its own size is made for each draw.
    for (int bits : {16, 32}) {
        SCOPED_TRACE(bits);
        StopScreen();
        StartScreen(bits);
        const HandleValue tall = MakeSprite(12, kScreenH + 150);
        ASSERT_EQ(DataOf(tall)->softImage, 0);
        for (const DrawCase& c : kDraws) {
            SCOPED_TRACE(c.name);
            FillSurfaceRaw(GetScreenState().back, 0x0101);
            const std::vector<uint32_t> before = BackPixels();
            const size_t surfaces = plat::LiveSurfaceCount();
            EXPECT_EQ(c.drawOnScreen(tall), 0);
            EXPECT_EQ(plat::LiveSurfaceCount(), surfaces);
            const std::vector<uint32_t> want = Expected(before, c.drawOnImage, tall);
            EXPECT_NE(want, before);
            EXPECT_EQ(BackPixels(), want);
        }
        DeleteGraphHandle(tall, 0);
    }
}

// ---- The software screen ------------------------------------------------------------------

MEMIMG gFront = {};
MEMIMG gBack = {};
int Yes() { return 1; }
int32_t gDepth = 16;
int32_t Depth() { return gDepth; }
MEMIMG* SoftScreenImage(HandleValue target) {
    return target == kDrawTargetFront ? &gFront : &gBack;
}

class SoftwareScreenTargetTest : public SurfaceFixture {
protected:
    void SetUp() override {
        SurfaceFixture::SetUp();
        screen_ = kAbsentScreen;
        screen_.isNoDirectDraw = Yes;
        screen_.isScreenSoftwareDrawn = Yes;
        screen_.screenImage = SoftScreenImage;
        screen_.getScreenDepth = Depth;
        screen_.selectDrawTargetSurface = SelectDrawTargetSurface;
        ScreenSlot().Install(screen_);
        SetDirectDrawObject(nullptr);
    }
    void TearDown() override {
        ReleaseMemImg(&gFront);
        ReleaseMemImg(&gBack);
        std::memset(&gFront, 0, sizeof gFront);
        std::memset(&gBack, 0, sizeof gBack);
        SetDirectDrawObject(dd_);
        SurfaceFixture::TearDown();
    }
    ScreenDriver screen_{};
};

TEST_F(SoftwareScreenTargetTest, SpritesLandOnTheBackImageAndBeginAndEndDoNothing) {
    for (int format : {MEMIMG_FORMAT_565, MEMIMG_FORMAT_32}) {
        SCOPED_TRACE(format);
        gDepth = format == MEMIMG_FORMAT_565 ? 16 : 32;
        ReleaseMemImg(&gBack);
        std::memset(&gBack, 0, sizeof gBack);
        ASSERT_EQ(InitMemImgPlain(&gBack, kScreenW, kScreenH, format), 0);
        FillMemImgRaw(&gBack, nullptr, 0);
        ASSERT_EQ(SetDrawTarget(kDrawTargetBack), 0);
        EXPECT_EQ(GetDrawTargetSurface().image, &gBack);

        const HandleValue sprite = CreateBlankGraph(6, 5, 1);
        MEMIMG* image = &DataOf(sprite)->image;
        ASSERT_EQ(image->pixelFormat, format);
        for (int32_t y = 0; y < image->height; ++y) {
            for (int32_t x = 0; x < image->width; ++x) {
                const RECT one{x, y, x + 1, y + 1};
                FillMemImgRaw(image, &one, 0x0841u * static_cast<uint32_t>(x + 1) + 0x100u * y);
            }
        }
        MEMIMG expected{};
        InitMemImgPlain(&expected, kScreenW, kScreenH, gBack.pixelFormat);
        FillMemImgRaw(&expected, nullptr, 0);
        BlitMemImg(&expected, image, 7, 9, 0, nullptr, GetDrawState());
        ASSERT_EQ(BlitGraph2D(7, 9, GetGraphRecord(sprite), 0, 1), 0);
        EXPECT_EQ(std::memcmp(expected.pixels, gBack.pixels,
                              static_cast<size_t>(gBack.pitch) * kScreenH),
                  0);
        ReleaseMemImg(&expected);

        const RECT r{0, 0, 4, 4};
        EXPECT_EQ(BeginSoftDraw(nullptr, 0, nullptr, &r, 0, nullptr, nullptr), 0);
        EXPECT_FALSE(GetSoftDrawState().begun);
        EXPECT_EQ(EndSoftDraw(), 0);

        // The clear stores the background in the image's own format.
        FillMemImgRaw(&gBack, nullptr, 0x1234);
        ASSERT_EQ(ClearCurrentScreen(), 0);
        MEMIMG black{};
        InitMemImgPlain(&black, kScreenW, kScreenH, gBack.pixelFormat);
        FillMemImgRaw(&black, nullptr, ColorFormatRgbaToPixel(gBack.colorFormat, 0, 0, 0, 255));
        EXPECT_EQ(std::memcmp(black.pixels, gBack.pixels,
                              static_cast<size_t>(gBack.pitch) * kScreenH),
                  0);
        ReleaseMemImg(&black);
        DeleteGraphHandle(sprite, 0);
    }
}

TEST(FillMemImgRawTest, StoresTheValueInTheClippedRectangleByPixelSize) {
    struct Case {
        int format;
        uint32_t value;
        uint32_t stored;  // as read back at the pixel's size
    };
    const Case cases[] = {
        {MEMIMG_FORMAT_565, 0xABCD1234, 0x1234},
        {MEMIMG_FORMAT_32, 0xABCD1234, 0xABCD1234},
        {MEMIMG_FORMAT_RAW8, 0x1234, 0x34},
        {MEMIMG_FORMAT_RAW16, 0xFFFF, 0xFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        MEMIMG image{};
        ASSERT_EQ(InitMemImgPlain(&image, 5, 4, c.format), 0);
        const int bytes = image.colorFormat->bytes;
        std::memset(image.pixels, 0, static_cast<size_t>(image.pitch) * 4);
        const RECT r{-2, 1, 3, 9};  // clipped to (0, 1, 3, 4)
        FillMemImgRaw(&image, &r, c.value);
        const RECT empty{2, 2, 2, 3};
        FillMemImgRaw(&image, &empty, 0x5555);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 5; ++x) {
                uint32_t v = 0;
                std::memcpy(&v, image.pixels + y * image.pitch + x * bytes, bytes);
                const bool inside = x < 3 && y >= 1;
                EXPECT_EQ(v, inside ? c.stored : 0u) << x << "," << y;
            }
        }
        ReleaseMemImg(&image);
    }
}

TEST(CopyMemImgToImageTest, CopiesTheRectangleHeldInsideBothImages) {
    MEMIMG source{};
    ASSERT_EQ(InitMemImgPlain(&source, 6, 5, MEMIMG_FORMAT_565), 0);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const uint16_t v = static_cast<uint16_t>((x & 1 ? 0xF800 : 0) | (y & 1 ? 0x001F : 0));
            std::memcpy(source.pixels + y * source.pitch + x * 2, &v, 2);
        }
    }
    struct Case {
        const char* name;
        int32_t x, y, w, h, destX, destY;
        RECT written;  // in the decoded image
    };
    const Case cases[] = {
        {"inside", 1, 1, 3, 2, 2, 0, {2, 0, 5, 2}},
        {"past the source's corner", 4, 3, 10, 10, 0, 0, {0, 0, 2, 2}},
        {"before the image's corner", 0, 0, 6, 5, -2, -3, {0, 0, 4, 2}},
        {"past the image's corner", 0, 0, 6, 5, 6, 2, {6, 2, 8, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GraphImage image{};
        ASSERT_EQ(InitGraphImageRgb24(8, 4, &image), 0);
        FillGraphImage(&image, 1, 2, 3, 255);
        CopyMemImgToImage(&image, &source, c.x, c.y, c.w, c.h, c.destX, c.destY, 0, 0);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 8; ++x) {
                int r = 0, g = 0, b = 0, a = 0;
                GetGraphImagePixel(&image, x, y, &r, &g, &b, &a);
                const bool inside = x >= c.written.left && x < c.written.right &&
                                    y >= c.written.top && y < c.written.bottom;
                if (!inside) {
                    EXPECT_EQ(r * 65536 + g * 256 + b, 0x010203) << x << "," << y;
                    continue;
                }
                const int sx = x - c.destX + c.x;
                const int sy = y - c.destY + c.y;
                EXPECT_EQ(r, sx & 1 ? 255 : 0) << x << "," << y;
                EXPECT_EQ(b, sy & 1 ? 255 : 0) << x << "," << y;
                EXPECT_EQ(g, 0);
            }
        }
        FreeGraphImage(&image);
    }
    // A paletted source copies nothing.
    MEMIMG paletted{};
    ASSERT_EQ(CreateMemImg(&paletted, 2, 2, -1, 0, MEMIMG_FORMAT_565, 1, 0), 0);
    GraphImage image{};
    ASSERT_EQ(InitGraphImageRgb24(2, 2, &image), 0);
    FillGraphImage(&image, 1, 2, 3, 255);
    CopyMemImgToImage(&image, &paletted, 0, 0, 2, 2, 0, 0, 0, 0);
    int r = 0, g = 0, b = 0, a = 0;
    GetGraphImagePixel(&image, 1, 1, &r, &g, &b, &a);
    EXPECT_EQ(r * 65536 + g * 256 + b, 0x010203);
    FreeGraphImage(&image);
    ReleaseMemImg(&paletted);
    ReleaseMemImg(&source);
}

}  // namespace
