// Draws through a mask screen on every road of the started library (software screen,
// DirectDraw surfaces, the 3D device; 16 and 32 bits): a mask over part of the picture with a
// hole in it, and each kind of graph draw (at a point, stretched, rotated, onto four corners,
// blended, subtracted, text) made once without the mask and once through it. Where the mask
// lets drawing through the picture is the unmasked one, everywhere else the background stays,
// and the draw changes pixels on both sides of the mask's edge, so that a draw that ignored
// the mask would show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/d3d/device.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/font/string_draw.h"
#include "graphics/mask/mask_screen.h"
#include "platform/ddraw/ddraw.h"
#include "tests/graphics/d3d/d3d_draw_test_support.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr RECT kRegion{0, 0, 128, 80};

uint32_t BackgroundColour(int32_t x, int32_t y) {
    return 0x406080u + 0x030000u * static_cast<uint32_t>(x % 32) +
           0x000204u * static_cast<uint32_t>(y % 20);
}
// Varied colours with black on a diagonal pattern.
uint32_t SpriteColour(int32_t x, int32_t y) {
    if ((x + 2 * y) % 7 == 0) return 0;
    return 0xF01010u - 0x060000u * static_cast<uint32_t>(x) + 0x000A07u * static_cast<uint32_t>(y);
}

struct DrawCase {
    const char* name;
    int (*draw)(HandleValue sprite);
};
const DrawCase kDraws[] = {
    {"at a point", [](HandleValue g) { return BlitGraphAt(24, 14, g, 0); }},
    {"stretched", [](HandleValue g) { return BlitGraphStretched(10, 6, 90, 58, g, 0); }},
    {"rotated", [](HandleValue g) { return BlitGraphRotated(48.0f, 32.0f, 1.5, 0.5, g, 0, 0); }},
    {"four corners",
     [](HandleValue g) { return BlitGraphQuad(14, 8, 84, 14, 76, 56, 20, 50, g, 0); }},
    {"stretched, half blended",
     [](HandleValue g) {
         EXPECT_EQ(SetBlendState(kBlendAlpha, 128), 0);
         const int result = BlitGraphStretched(10, 6, 90, 58, g, 0);
         EXPECT_EQ(SetBlendState(kBlendNone, 255), 0);
         return result;
     }},
    {"subtracted",
     [](HandleValue g) {
         EXPECT_EQ(SetBlendState(kBlendSubtract, 255), 0);
         const int result = BlitGraphAt(24, 14, g, 0);
         EXPECT_EQ(SetBlendState(kBlendNone, 255), 0);
         return result;
     }},
    {"text",
     [](HandleValue) {
         return DrawTextDefaultFont(16, 18, "MWMWMW", MakeScreenColor(255, 255, 255), 0);
     }},
};

// The mask: drawing shows through (20, 10)-(70, 50) except for the hole (35, 20)-(45, 30).
bool Through(int32_t x, int32_t y) {
    const bool hole = x >= 35 && x < 45 && y >= 20 && y < 30;
    return x >= 20 && x < 70 && y >= 10 && y < 50 && !hole;
}

class MaskDrawRoadsTest : public DrawRoadFixture {
protected:
    // The back screen with the background alone (in the screen's format).
    static std::vector<uint32_t> BackgroundPicture(HandleValue background) {
        EXPECT_EQ(ApiDrawGraphAt(0, 0, background, 0), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        return BackColours(kRegion);
    }

    // The back screen after the background and the case's draw, with the mask on or off.
    static std::vector<uint32_t> Picture(HandleValue background, HandleValue sprite,
                                         const DrawCase& d, bool masked) {
        EXPECT_EQ(ApiDrawGraphAt(0, 0, background, 0), 0);
        if (masked) {
            EXPECT_EQ(SetMaskEnabled(1), 0);
        }
        EXPECT_EQ(d.draw(sprite), 0);
        if (masked) {
            EXPECT_EQ(SetMaskEnabled(0), 0);
        }
        EXPECT_EQ(ApiPresentScreen(), 0);
        return BackColours(kRegion);
    }
};

TEST_P(MaskDrawRoadsTest, EachDrawShowsExactlyWhereTheMaskLetsItThrough) {
    StartOnRoad();
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    const HandleValue background = MakeGeneratedGraph(128, 80, BackgroundColour);
    const HandleValue sprite = MakeGeneratedGraph(32, 24, SpriteColour);
    EXPECT_EQ(GetGraphRecord(sprite)->flags.is3D, GetParam().direct3D);
    ASSERT_EQ(RequestMaskScreen(1), 0);
    ASSERT_EQ(FillMaskRect(20, 10, 70, 50, 1), 0);
    ASSERT_EQ(FillMaskRect(35, 20, 45, 30, 0), 0);
    const int32_t width = kRegion.right - kRegion.left;
    const std::vector<uint32_t> backdrop = BackgroundPicture(background);
    for (const DrawCase& d : kDraws) {
        SCOPED_TRACE(d.name);
        const std::vector<uint32_t> plain = Picture(background, sprite, d, false);
        const std::vector<uint32_t> masked = Picture(background, sprite, d, true);
        ASSERT_EQ(plain.size(), masked.size());
        int drawnThrough = 0, drawnBlocked = 0, wrong = 0;
        for (int32_t y = kRegion.top; y < kRegion.bottom; ++y) {
            for (int32_t x = kRegion.left; x < kRegion.right; ++x) {
                const size_t i = static_cast<size_t>(y) * width + x;
                const uint32_t old = backdrop[i];
                const bool through = Through(x, y);
                if (plain[i] != old) ++(through ? drawnThrough : drawnBlocked);
                const uint32_t expected = through ? plain[i] : old;
                if (masked[i] != expected && ++wrong <= 3) {
                    ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << masked[i]
                                  << " expected " << expected << (through ? " (through)" : "");
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        // The draw reaches both sides of the mask's edge and the hole.
        EXPECT_GT(drawnThrough, 0);
        EXPECT_GT(drawnBlocked, 0);
    }
    StopRoad();
}

// The mask stays on across a change of draw target: the device draws into the mask screen
// again afterwards, and a draw is masked as before.
TEST_P(MaskDrawRoadsTest, TheMaskHoldsAcrossAChangeOfDrawTarget) {
    StartOnRoad();
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    const HandleValue background = MakeGeneratedGraph(128, 80, BackgroundColour);
    const HandleValue sprite = MakeGeneratedGraph(32, 24, SpriteColour);
    ASSERT_EQ(RequestMaskScreen(1), 0);
    ASSERT_EQ(FillMaskRect(20, 10, 70, 50, 1), 0);
    ASSERT_EQ(FillMaskRect(35, 20, 45, 30, 0), 0);
    const auto picture = [&](bool masked) {
        EXPECT_EQ(ApiDrawGraphAt(0, 0, background, 0), 0);
        if (masked) {
            EXPECT_EQ(SetMaskEnabled(1), 0);
        }
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        EXPECT_EQ(BlitGraphStretched(0, 0, 128, 80, sprite, 0), 0);
        if (masked) {
            EXPECT_EQ(SetMaskEnabled(0), 0);
        }
        EXPECT_EQ(ApiPresentScreen(), 0);
        return BackColours(kRegion);
    };
    const std::vector<uint32_t> backdrop = BackgroundPicture(background);
    const std::vector<uint32_t> plain = picture(false);
    const std::vector<uint32_t> masked = picture(true);
    int wrong = 0, drawnThrough = 0;
    for (int32_t y = 0; y < 80; ++y) {
        for (int32_t x = 0; x < 128; ++x) {
            const size_t i = static_cast<size_t>(y) * 128 + x;
            const bool through = Through(x, y);
            if (through && plain[i] != backdrop[i]) ++drawnThrough;
            wrong += masked[i] != (through ? plain[i] : backdrop[i]);
        }
    }
    EXPECT_GT(drawnThrough, 0);
    EXPECT_EQ(wrong, 0);
    StopRoad();
}

INSTANTIATE_ON_DRAW_ROADS(MaskDrawRoadsTest);

// A mask screen the device refuses as its render target: switching the mask on fails with a
// log line and leaves it off, instead of letting 3D draws pass the mask.
class MaskRenderTargetTest : public Direct3DDrawFixture {};

TEST_F(MaskRenderTargetTest, AMaskScreenTheDeviceRefusesLeavesTheMaskOffAndSaysSo) {
    Start(true);
    ASSERT_EQ(RequestMaskScreen(1), 0);
    MaskState& m = GetMaskState();
    ASSERT_NE(m.surface, nullptr);
    // In place of the mask screen, a surface the device cannot draw into.
    plat::SurfaceDesc desc{};
    desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
    desc.width = 640;
    desc.height = 480;
    desc.caps.caps = plat::DDSCAPS_OFFSCREENPLAIN;
    plat::DrawSurface* plain = nullptr;
    ASSERT_EQ(GetScreenState().directDraw->CreateSurface(&desc, &plain), plat::DD_OK);
    plat::DrawSurface* own = m.surface;
    m.surface = plain;
    EXPECT_EQ(SetMaskEnabled(1), -1);
    EXPECT_EQ(GetDrawState().maskActive, 0);
    EXPECT_EQ(GetMaskEnabled(), 0);
    EXPECT_TRUE(LogHas("マスク用サーフェスを描画先にできませんでした"));
    // The device still draws into the back screen.
    EXPECT_EQ(CurrentDevice3DRecord()->currentTarget, GetScreenState().back);
    m.surface = own;
    plain->Release();
    EXPECT_EQ(SetMaskEnabled(1), 0);
    EXPECT_EQ(CurrentDevice3DRecord()->currentTarget, own);
    EXPECT_EQ(SetMaskEnabled(0), 0);
    EXPECT_EQ(CurrentDevice3DRecord()->currentTarget, GetScreenState().back);
    Stop();
}

}  // namespace
