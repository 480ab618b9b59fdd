// The screen's colours on every road, after the shipped start-up: ApiGetScreenPixelFormat
// describes a pixel of the road's depth, ApiMakeScreenColor makes the value that format gives
// each colour (the same colour bits on every road of a depth), GetScreenColorRGB reads it
// back, and a box filled with it, text drawn in it and the cleared screen show that colour in
// the back screen and in the presented picture.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/d3d/graph_draw_3d.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/screen/screen.h"
#include "softrender/records/color_format.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 64, kH = 32;

struct ColourCase {
    uint8_t r, g, b;
};
const ColourCase kColours[] = {
    {255, 255, 255}, {255, 0, 0},   {0, 255, 0}, {0, 0, 255},
    {200, 100, 50},  {7, 130, 249}, {0, 0, 0},
};

// The colour a depth holds of (r, g, b): each channel cut to its bits and widened back to
// 0..255 by its width, as the back screen's reader and GetScreenColorRGB widen it.
uint32_t Held(const ColourCase& c, int32_t depth) {
    if (depth == 32) return uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b;
    const uint32_t r = (c.r >> 3) * 255u / 31, g = (c.g >> 2) * 255u / 63,
                   b = (c.b >> 3) * 255u / 31;
    return r << 16 | g << 8 | b;
}

int FillBoxOnRoad(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
    return IsUsing3DDevice() ? FillBox3D(x1, y1, x2, y2, colour)
                             : FillBoxSoft(x1, y1, x2, y2, colour);
}

class ScreenColourRoadsTest : public DrawRoadFixture {};

TEST_P(ScreenColourRoadsTest, ScreenColoursMatchTheScreensFormatAndShowAsMade) {
    StartOnRoad(kW, kH);
    const int32_t depth = GetParam().depth;
    const SurfacePixelFormat* format = ApiGetScreenPixelFormat();
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->rgbBitCount, static_cast<uint32_t>(depth));
    if (depth == 16) {
        EXPECT_EQ(format->redMask, 0xF800u);
        EXPECT_EQ(format->greenMask, 0x07E0u);
        EXPECT_EQ(format->blueMask, 0x001Fu);
    } else {
        EXPECT_EQ(format->redMask, 0xFF0000u);
        EXPECT_EQ(format->greenMask, 0x00FF00u);
        EXPECT_EQ(format->blueMask, 0x0000FFu);
    }

    ASSERT_EQ(ApiSetDrawTarget(-2), 0);
    ASSERT_EQ(ApiClearDrawTarget(), 0);
    int32_t x = 0;
    for (const ColourCase& c : kColours) {
        SCOPED_TRACE(testing::Message() << int{c.r} << "," << int{c.g} << "," << int{c.b});
        const uint32_t value = ApiMakeScreenColor(c.r, c.g, c.b);
        const uint32_t colourBits = format->redMask | format->greenMask | format->blueMask;
        // The value is the colour cut to the screen format's channels.
        const uint32_t packed =
            depth == 16 ? uint32_t{c.r} >> 3 << 11 | uint32_t{c.g} >> 2 << 5 | uint32_t{c.b} >> 3
                        : uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b;
        EXPECT_EQ(value & colourBits, packed) << std::hex << value;
        // Read back, each channel widened to 0..255 by its width.
        const int32_t wide = depth == 16 ? 31 : 255, wideG = depth == 16 ? 63 : 255;
        int32_t r = -1, g = -1, b = -1;
        EXPECT_EQ(GetScreenColorRGB(value, &r, &g, &b), 0);
        EXPECT_EQ(r, (c.r >> (depth == 16 ? 3 : 0)) * 255 / wide);
        EXPECT_EQ(g, (c.g >> (depth == 16 ? 2 : 0)) * 255 / wideG);
        EXPECT_EQ(b, (c.b >> (depth == 16 ? 3 : 0)) * 255 / wide);
        EXPECT_EQ(FillBoxOnRoad(x, 0, x + 8, 8, value), 0);
        x += 8;
    }
    // Text in a made colour: its pixels are that colour or the background, nothing else.
    const uint32_t textColour = ApiMakeScreenColor(200, 100, 50);
    ASSERT_EQ(ApiDrawTextDefaultFont(2, 12, "Hm", textColour, textColour), 0);
    ASSERT_EQ(ApiPresentScreen(), 0);

    const std::vector<uint32_t> back = BackColours(RECT{0, 0, kW, kH});
    ASSERT_EQ(back.size(), static_cast<size_t>(kW * kH));
    x = 0;
    for (const ColourCase& c : kColours) {
        for (int32_t y = 0; y < 8; ++y) {
            for (int32_t i = 0; i < 8; ++i) {
                ASSERT_EQ(back[static_cast<size_t>(y * kW + x + i)], Held(c, depth))
                    << int{c.r} << "," << int{c.g} << "," << int{c.b} << " at " << x + i << ","
                    << y;
            }
        }
        x += 8;
    }
    int textPixels = 0;
    for (int32_t y = 8; y < kH; ++y) {
        for (int32_t i = 0; i < kW; ++i) {
            const uint32_t p = back[static_cast<size_t>(y * kW + i)];
            EXPECT_TRUE(p == 0 || p == Held({200, 100, 50}, depth)) << std::hex << p;
            textPixels += p != 0 ? 1 : 0;
        }
    }
    EXPECT_GT(textPixels, 20);
    // The window shows the back screen.
    const plat::ShownPicture shown = Shown();
    ASSERT_GE(shown.width, kW);
    ASSERT_GE(shown.height, kH);
    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t i = 0; i < kW; ++i) {
            ASSERT_EQ(shown.pixels[static_cast<size_t>(y * shown.width + i)],
                      back[static_cast<size_t>(y * kW + i)])
                << i << "," << y;
        }
    }
}

INSTANTIATE_ON_DRAW_ROADS(ScreenColourRoadsTest);

}  // namespace
