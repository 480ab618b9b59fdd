// The graph drawing family on every road, through the shipped start-up: on a small window a
// background graph, then a sprite at a point (keyed, and opaque off the top-left corner),
// stretched and mirrored, turned, rotated (a quarter turn doubled, mirrored unturned, and at an
// odd angle and scale), onto four corners (a doubled rectangle and a free quadrilateral) and
// in parts (plain and stretched). Draws whose pixels follow from the sprite's are checked pixel
// for pixel on each road; every road's whole picture must equal the software screen's of the
// same depth. Blends in each mode with a bright, drawn on the same background, agree with the
// software screen within the roads' stated bounds (they weigh and round blends differently).
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/draw_road_bounds.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 96, kH = 64;          // the window
constexpr int32_t kSpriteW = 8, kSpriteH = 6;

// Every channel 0 or 255, so that every screen and texture format holds it exactly; black,
// the transparent colour, on a diagonal pattern.
uint32_t SpriteColour(int32_t x, int32_t y) {
    if ((x + y) % 5 == 0) return 0;
    return ((x & 1) ? 0xFF0000u : 0) | ((y & 1) ? 0x00FF00u : 0) |
           (((x + y) & 2) ? 0x0000FFu : 0) | (x == 6 ? 0x00FF00u : 0);
}
// The background: yellow and blue 4 x 4 checks, no black.
uint32_t BackgroundColour(int32_t x, int32_t y) {
    return ((x / 4 + y / 4) & 1) ? 0xFFFF00u : 0x0000FFu;
}

// The picture every road must show: the background with the draws whose pixels follow from
// the sprite's; unknown (kFree) where the draw's sampling is only compared across roads.
constexpr uint32_t kFree = 0xFF000000u;

struct Expected {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(kW * kH);
    std::vector<bool> touched = std::vector<bool>(kW * kH, false);  // a draw's place
    Expected() {
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) pixels[y * kW + x] = BackgroundColour(x, y);
        }
    }
    // Screen pixel (x, y) shows sprite pixel (sx, sy); keyed: black leaves the background.
    void Put(int32_t x, int32_t y, int32_t sx, int32_t sy, bool keyed) {
        if (x < 0 || y < 0 || x >= kW || y >= kH) return;
        touched[y * kW + x] = true;
        const uint32_t c = SpriteColour(sx, sy);
        if (!(keyed && c == 0)) pixels[y * kW + x] = c;
    }
    void Free(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        for (int32_t y = y1; y < y2; ++y) {
            for (int32_t x = x1; x < x2; ++x) {
                pixels[y * kW + x] = kFree;
                touched[y * kW + x] = true;
            }
        }
    }
};

// The 3D device places a rotated graph by its own rule: an even-sized graph at an integral
// position is centred on (x - 0.5, y - 0.5) and sampled at pixel centres, where the software
// renderer's rotated kernel samples pixel corners about (x, y). At an integral position the
// sprite's right-angle turns therefore land one pixel to the left on the device. Likewise a
// stretch by a fraction samples pixel centres on the device and pixel corners in the software
// kernel. A free rotation or quadrilateral is split by the device into two triangles with
// their own affine maps: there each pixel shows a colour that the software screen shows
// within one pixel of it, and most pixels are equal.
struct FamilyCase {
    const char* name;
    int (*draw)(HandleValue sprite);
    void (*expect)(Expected& e, int32_t deviceShift);  // deviceShift: 1 on the 3D device
    bool turnedOnDevice = false;  // placed or sampled its own way on the 3D device (deviceShift)
    bool sampledOnDevice = false;  // the device samples its own points (see below)
};

const FamilyCase kFamily[] = {
    {"at a point, opaque, partly off the top-left",
     [](HandleValue s) { return BlitGraphAt(-3, -2, s, 0); },
     [](Expected& e, int32_t) {
         for (int y = 0; y < kSpriteH; ++y)
             for (int x = 0; x < kSpriteW; ++x) e.Put(x - 3, y - 2, x, y, false);
     }},
    {"at a point, keyed", [](HandleValue s) { return BlitGraphAt(10, 2, s, 1); },
     [](Expected& e, int32_t) {
         for (int y = 0; y < kSpriteH; ++y)
             for (int x = 0; x < kSpriteW; ++x) e.Put(10 + x, 2 + y, x, y, true);
     }},
    {"stretched twice, mirrored by x1 > x2",
     [](HandleValue s) { return BlitGraphStretched(40, 2, 24, 14, s, 1); },
     [](Expected& e, int32_t) {
         for (int j = 0; j < 12; ++j)
             for (int i = 0; i < 16; ++i) e.Put(24 + i, 2 + j, 7 - i / 2, j / 2, true);
     }},
    {"turned", [](HandleValue s) { return BlitGraphTurned(44, 2, s, 1); },
     [](Expected& e, int32_t) {
         for (int y = 0; y < kSpriteH; ++y)
             for (int x = 0; x < kSpriteW; ++x) e.Put(44 + x, 2 + y, 7 - x, y, true);
     }},
    {"rotated unturned, mirrored",
     [](HandleValue s) { return BlitGraphRotatedInt(60, 8, 1.0, 0.0, s, 0, 1); },
     [](Expected& e, int32_t shift) {
         // Mirrored about the centre (4, 3) that lands on (60, 8).
         for (int y = 0; y < kSpriteH; ++y)
             for (int x = 0; x < kSpriteW; ++x) e.Put(64 - shift - x, 5 + y, x, y, false);
     },
     true},
    {"rotated a quarter at twice the size",
     [](HandleValue s) { return BlitGraphRotatedInt(82, 16, 2.0, std::numbers::pi / 2, s, 0, 0); },
     [](Expected& e, int32_t shift) {
         // Sprite pixel (x, y) is the 2 x 2 block at (87 - 2y, 8 + 2x).
         for (int y = 0; y < kSpriteH; ++y)
             for (int x = 0; x < kSpriteW; ++x)
                 for (int d = 0; d < 4; ++d)
                     e.Put(87 - shift - 2 * y + d % 2, 8 + 2 * x + d / 2, x, y, false);
     },
     true},
    {"four corners on a doubled rectangle",
     [](HandleValue s) { return BlitGraphQuad(2, 24, 18, 24, 18, 36, 2, 36, s, 1); },
     [](Expected& e, int32_t) {
         for (int j = 0; j < 12; ++j)
             for (int i = 0; i < 16; ++i) e.Put(2 + i, 24 + j, i / 2, j / 2, true);
     }},
    {"part of the graph", [](HandleValue s) { return BlitGraphRect(24, 24, 2, 1, 4, 3, s, 1, 0); },
     [](Expected& e, int32_t) {
         for (int j = 0; j < 3; ++j)
             for (int i = 0; i < 4; ++i) e.Put(24 + i, 24 + j, 2 + i, 1 + j, true);
     }},
    {"part of the graph stretched twice",
     [](HandleValue s) { return BlitGraphRectStretched(32, 24, 40, 30, 2, 1, 4, 3, s, 1); },
     [](Expected& e, int32_t) {
         for (int j = 0; j < 6; ++j)
             for (int i = 0; i < 8; ++i) e.Put(32 + i, 24 + j, 2 + i / 2, 1 + j / 2, true);
     }},
    {"stretched twice across and five thirds down",
     [](HandleValue s) { return BlitGraphStretched(2, 40, 18, 50, s, 1); },
     [](Expected& e, int32_t shift) {
         // Pixel (i, j) shows the sprite pixel under its top-left corner in the software
         // kernel, under its centre on the device (no centre falls on a pixel boundary).
         const double half = shift ? 0.5 : 0.0;
         for (int j = 0; j < 10; ++j)
             for (int i = 0; i < 16; ++i)
                 e.Put(2 + i, 40 + j, static_cast<int>((i + half) / 2),
                       static_cast<int>((j + half) * 6 / 10), true);
     },
     true},
    {"four free corners",
     [](HandleValue s) { return BlitGraphQuad(30, 40, 48, 42, 46, 56, 28, 52, s, 1); },
     [](Expected& e, int32_t) { e.Free(28, 40, 49, 57); },
     false, true},
    {"rotated 30 degrees at one and a half times, between pixels",
     [](HandleValue s) {
         return BlitGraphRotated(70.25f, 46.25f, 1.5, std::numbers::pi / 6, s, 1, 0);
     },
     [](Expected& e, int32_t) { e.Free(60, 36, 81, 57); },
     false, true},
};

class DrawFamilyRoadsTest : public DrawRoadFixture {
protected:
    // The back screen after the background and the family's draws, on the road.
    static std::vector<uint32_t> DrawFamily(const DrawRoad& road) {
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        const HandleValue background = MakeGeneratedGraph(kW, kH, BackgroundColour);
        const HandleValue sprite = MakeGeneratedGraph(kSpriteW, kSpriteH, SpriteColour);
        EXPECT_EQ(GetGraphRecord(sprite)->flags.is3D, road.direct3D ? 1 : 0);
        EXPECT_EQ(BlitGraphAt(0, 0, background, 0), 0);
        for (const FamilyCase& c : kFamily) EXPECT_EQ(c.draw(sprite), 0) << c.name;
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(RECT{0, 0, kW, kH});
        StopRoad();
        return out;
    }
};

TEST_P(DrawFamilyRoadsTest, EveryDrawOfTheFamilyGivesTheSoftwareScreensPicture) {
    const std::vector<uint32_t> drawn = DrawFamily(GetParam());
    ASSERT_EQ(drawn.size(), static_cast<size_t>(kW * kH));
    const int32_t shift = GetParam().direct3D ? 1 : 0;

    // Each case's known pixels, case by case so that a failure names the draw.
    for (const FamilyCase& c : kFamily) {
        SCOPED_TRACE(c.name);
        Expected alone;
        c.expect(alone, shift);
        int wrong = 0;
        for (size_t i = 0; i < drawn.size(); ++i) {
            if (!alone.touched[i] || alone.pixels[i] == kFree) continue;
            if (drawn[i] != alone.pixels[i] && ++wrong <= 5) {
                ADD_FAILURE() << "at " << i % kW << "," << i / kW << ": " << std::hex << drawn[i]
                              << " expected " << alone.pixels[i];
            }
        }
        EXPECT_EQ(wrong, 0);
    }
    // The free draws changed their places.
    Expected all;
    for (const FamilyCase& c : kFamily) c.expect(all, shift);
    int freeChanged = 0;
    for (size_t i = 0; i < drawn.size(); ++i) {
        freeChanged += all.pixels[i] == kFree && drawn[i] != Expected().pixels[i] ? 1 : 0;
    }
    EXPECT_GT(freeChanged, 150);

    // The whole picture is the software screen's of the same depth, but for the places of
    // the right-angle turns, which the device draws one pixel to the left (checked above).
    if (!GetParam().softwareScreen) {
        std::vector<uint32_t> soft = DrawFamily(SoftwareScreenRoad(GetParam().depth));
        if (GetParam().direct3D) {
            Expected turned;
            for (const FamilyCase& c : kFamily) {
                if (!c.turnedOnDevice) continue;
                c.expect(turned, 0);
                c.expect(turned, 1);
            }
            for (size_t i = 0; i < soft.size(); ++i) {
                if (turned.touched[i]) soft[i] = drawn[i];
            }
            for (const FamilyCase& c : kFamily) {
                if (!c.sampledOnDevice) continue;
                SCOPED_TRACE(c.name);
                Expected place;
                c.expect(place, 1);
                int inPlace = 0, equal = 0, farOff = 0;
                std::vector<uint32_t> near = soft;
                for (int32_t y = 0; y < kH; ++y) {
                    for (int32_t x = 0; x < kW; ++x) {
                        const size_t i = static_cast<size_t>(y * kW + x);
                        if (!place.touched[i]) continue;
                        ++inPlace;
                        equal += soft[i] == drawn[i] ? 1 : 0;
                        bool found = false;
                        for (int32_t d = 0; d < 9 && !found; ++d) {
                            const int32_t nx = x + d % 3 - 1, ny = y + d / 3 - 1;
                            found = nx >= 0 && ny >= 0 && nx < kW && ny < kH &&
                                    soft[static_cast<size_t>(ny * kW + nx)] == drawn[i];
                        }
                        if (!found && ++farOff <= 5) {
                            ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex
                                          << drawn[i] << " is not within one pixel";
                        }
                        near[i] = drawn[i];
                    }
                }
                EXPECT_EQ(farOff, 0);
                EXPECT_GE(equal * 10, inPlace * 8) << equal << " of " << inPlace;
                soft = near;
            }
        }
        EXPECT_EQ(CountDiffering(soft, drawn, kW), 0);
    }
}

struct BlendCase {
    int32_t mode, param;
};
const BlendCase kBlends[] = {
    {kBlendNone, 255},      {kBlendAlpha, 255}, {kBlendAlpha, 128}, {kBlendAlpha, 40},
    {kBlendAdd, 255},       {kBlendAdd, 100},   {kBlendSubtract, 255}, {kBlendSubtract, 100},
    {kBlendMultiply, 255},
};
struct Bright {
    int32_t r, g, b;
};
const Bright kBrights[] = {{255, 255, 255}, {200, 120, 255}};

constexpr int32_t kBlendW = 112, kBlendH = 80;

// Mid-level colours, so that every mode changes both source and destination.
uint32_t BlendBackground(int32_t x, int32_t y) {
    return ((x / 3 + y / 3) & 1) ? 0x80C040u : 0x406080u;
}

class BlendRoadsTest : public DrawRoadFixture {
protected:
    // Each blend with each bright, a sprite unscaled and one stretched twice in a cell of the
    // grid (28 x 16 pixels, four to a row).
    static std::vector<uint32_t> DrawBlends(const DrawRoad& road) {
        StartOnRoad(road, kBlendW, kBlendH);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        const auto sprite = [](int32_t x, int32_t y) {
            return (x + y) % 5 == 0 ? 0u : 0x204060u + 0x100000u * x + 0x000C10u * y;
        };
        const HandleValue back = MakeGeneratedGraph(kBlendW, kBlendH, BlendBackground);
        const HandleValue graph = MakeGeneratedGraph(kSpriteW, kSpriteH, sprite);
        EXPECT_EQ(BlitGraphAt(0, 0, back, 0), 0);
        int cell = 0;
        for (const Bright& bright : kBrights) {
            for (const BlendCase& blend : kBlends) {
                const int32_t x = (cell % 4) * 28, y = (cell / 4) * 16;
                EXPECT_EQ(ApiSetBlendMode(blend.mode, blend.param), 0);
                EXPECT_EQ(ApiSetBrightnessRGB(bright.r, bright.g, bright.b), 0);
                EXPECT_EQ(BlitGraphAt(x + 1, y + 2, graph, 1), 0);
                EXPECT_EQ(BlitGraphStretched(x + 10, y + 2, x + 26, y + 14, graph, 1), 0);
                ++cell;
            }
        }
        EXPECT_EQ(ApiSetBlendMode(kBlendNone, 255), 0);
        EXPECT_EQ(ApiSetBrightnessRGB(255, 255, 255), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(RECT{0, 0, kBlendW, kBlendH});
        StopRoad();
        return out;
    }
};

// The roads weigh blends and brights by their own arithmetic: the bound of each cell is the
// roads' stated one for its mode, parameter and bright (tests/support/draw_road_bounds.h).
int32_t BlendTolerance(const DrawRoad& road, const BlendCase& blend, const Bright& bright) {
    const bool brightNotWhite = bright.r < 255 || bright.g < 255 || bright.b < 255;
    return road_bounds::BlendSteps(road, blend.mode, blend.param, brightNotWhite);
}

TEST_P(BlendRoadsTest, BlendsAndBrightsAgreeWithTheSoftwareScreenWithinTheirRounding) {
    const std::vector<uint32_t> drawn = DrawBlends(GetParam());
    const std::vector<uint32_t> soft = DrawBlends(SoftwareScreenRoad(GetParam().depth));
    ASSERT_EQ(drawn.size(), soft.size());
    constexpr int kCells = static_cast<int>(std::size(kBrights) * std::size(kBlends));
    for (int cell = 0; cell < kCells; ++cell) {
        const BlendCase& blend = kBlends[cell % std::size(kBlends)];
        SCOPED_TRACE(testing::Message() << "cell " << cell << ": mode " << blend.mode << " at "
                                        << blend.param << ", bright " << cell / std::size(kBlends));
        const int32_t tolerance =
            BlendTolerance(GetParam(), blend, kBrights[cell / std::size(kBlends)]);
        const int32_t x0 = (cell % 4) * 28, y0 = (cell / 4) * 16;
        int differing = 0, changed = 0;
        for (int32_t y = y0; y < y0 + 16; ++y) {
            for (int32_t x = x0; x < x0 + 28; ++x) {
                const size_t i = static_cast<size_t>(y * kBlendW + x);
                if (ChannelDifference(soft[i], drawn[i]) > tolerance && ++differing <= 3) {
                    ADD_FAILURE() << "at " << x << "," << y << ": software " << std::hex << soft[i]
                                  << ", drawn " << drawn[i];
                }
                // The cell really blended: its sprite pixels differ from the background by
                // more than the 16-bit screen's own rounding of it.
                changed += ChannelDifference(drawn[i], BlendBackground(x, y)) > 6 ? 1 : 0;
            }
        }
        EXPECT_EQ(differing, 0);
        EXPECT_GT(changed, 30);
    }
}

INSTANTIATE_ON_DRAW_ROADS(DrawFamilyRoadsTest);
INSTANTIATE_ON_DRAW_ROADS(BlendRoadsTest);

}  // namespace
