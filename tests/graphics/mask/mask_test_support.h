// A small screen on either road (a software screen of MEMIMGs, or DirectDraw surfaces) at 16 or
// 32 bits, with a patterned background and a sprite graph that holds black pixels, for the
// mask screen tests.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/mask/mask_screen.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "tests/graphics/surfaces/surface_test_support.h"

namespace mask_test {

constexpr int32_t kScreenW = 96;
constexpr int32_t kScreenH = 64;
constexpr int32_t kSpriteW = 24;
constexpr int32_t kSpriteH = 16;

inline MEMIMG gFront = {};
inline MEMIMG gBack = {};
inline int32_t gDepth = 16;

// A background pixel: never black, varied.
inline uint32_t BackgroundValue(int bits, int32_t x, int32_t y) {
    return bits == 16 ? (((0x18E3u * (1 + x / 8) + 0x0421u * (y / 4)) & 0xFFFF) | 0x0020)
                      : 0x00303030u + 0x000502u * (x % 37) + 0x070000u * (y % 29);
}
// A sprite pixel: pure black on a diagonal pattern, varied colours elsewhere.
inline uint32_t SpriteValue(int bits, int32_t x, int32_t y) {
    if ((x + 2 * y) % 5 == 0) return 0;
    return bits == 16 ? (0x0841u + 0x0840u * x + 0x2003u * y) & 0xFFFF
                      : 0x00102030u + 0x0B0000u * x + 0x000D07u * y;
}

enum class Road { kSoftwareScreen, kDirectDraw };

inline const char* RoadName(Road road) {
    return road == Road::kSoftwareScreen ? "software screen" : "DirectDraw";
}

class MaskRoadFixture : public SurfaceFixture {
protected:
    void TearDown() override {
        StopRoad();
        ResetScreenState();
        SurfaceFixture::TearDown();
    }

    static plat::DrawSurface* MakeSurface(plat::DirectDraw* dd, uint32_t memory) {
        plat::SurfaceDesc desc{};
        desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
        desc.width = kScreenW;
        desc.height = kScreenH;
        desc.caps.caps = plat::DDSCAPS_OFFSCREENPLAIN | memory;
        plat::DrawSurface* surface = nullptr;
        EXPECT_EQ(dd->CreateSurface(&desc, &surface), plat::DD_OK);
        return surface;
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
        screen_.getScreenDepth = [] { return gDepth; };
        if (road == Road::kSoftwareScreen) {
            screen_.isNoDirectDraw = [] { return 1; };
            screen_.isScreenSoftwareDrawn = [] { return 1; };
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
        TermMaskScreen();
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

    // Reads (into out) or writes (from in) every pixel of the back screen.
    void AccessBack(std::vector<uint32_t>* out, const std::vector<uint32_t>* in) {
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
        if (out != nullptr) out->assign(static_cast<size_t>(kScreenW) * kScreenH, 0);
        for (int32_t y = 0; y < kScreenH; ++y) {
            for (int32_t x = 0; x < kScreenW; ++x) {
                uint8_t* p = pixels + y * pitch + x * bytes;
                if (out != nullptr) std::memcpy(&(*out)[y * kScreenW + x], p, bytes);
                if (in != nullptr) std::memcpy(p, &(*in)[y * kScreenW + x], bytes);
            }
        }
        if (road_ == Road::kDirectDraw) back->Unlock(nullptr);
    }
    std::vector<uint32_t> ReadBack() {
        std::vector<uint32_t> out;
        AccessBack(&out, nullptr);
        return out;
    }
    std::vector<uint32_t> Background() const {
        std::vector<uint32_t> out(static_cast<size_t>(kScreenW) * kScreenH);
        for (int32_t y = 0; y < kScreenH; ++y) {
            for (int32_t x = 0; x < kScreenW; ++x) out[y * kScreenW + x] = BackgroundValue(bits_, x, y);
        }
        return out;
    }
    void WriteBack(const std::vector<uint32_t>& pixels) { AccessBack(nullptr, &pixels); }

    // The pixels of a w x h graph's surface data: with fill, each is first set to the
    // background pattern (repeating every screen width and height); with out, read back.
    static void AccessGraphPixels(HandleValue data, int bits, int32_t w, int32_t h,
                                  std::vector<uint32_t>* out, bool fill) {
        int32_t pitch = 0;
        void* p = nullptr;
        const PaletteColorFormat* format = nullptr;
        ASSERT_EQ(LockSurfaceData(data, &pitch, &p, 0, nullptr, &format), 0);
        const int bytes = format->format.bytes;
        if (out != nullptr) out->assign(static_cast<size_t>(w) * h, 0);
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                uint8_t* at = static_cast<uint8_t*>(p) + y * pitch + x * bytes;
                const uint32_t v = BackgroundValue(bits, x % kScreenW, y % kScreenH);
                if (fill) std::memcpy(at, &v, bytes);
                if (out != nullptr) std::memcpy(&(*out)[y * w + x], at, bytes);
            }
        }
        UnlockSurfaceData(data, nullptr);
    }

    // The sprite graph, its pixels in the graph's own format.
    HandleValue MakeSprite() {
        const HandleValue graph = CreateBlankGraph(kSpriteW, kSpriteH, 1);
        EXPECT_GE(graph, 0);
        const HandleValue data = DataHandleOf(graph);
        int32_t pitch = 0;
        void* p = nullptr;
        const PaletteColorFormat* format = nullptr;
        EXPECT_EQ(LockSurfaceData(data, &pitch, &p, 0, nullptr, &format), 0);
        for (int32_t y = 0; y < kSpriteH; ++y) {
            for (int32_t x = 0; x < kSpriteW; ++x) {
                const uint32_t v = SpriteValue(bits_, x, y);
                std::memcpy(static_cast<uint8_t*>(p) + y * pitch + x * (bits_ / 8), &v,
                            bits_ / 8);
            }
        }
        UnlockSurfaceData(data, nullptr);
        return graph;
    }

    // 1 when the mask lets drawing through at (x, y).
    static bool Through(int32_t x, int32_t y, bool reverse) {
        return (GetMaskByte(x, y) != 0) != reverse;
    }

    Road road_ = Road::kSoftwareScreen;
    int bits_ = 16;
    static inline ScreenDriver screen_ = {};
};

}  // namespace mask_test
