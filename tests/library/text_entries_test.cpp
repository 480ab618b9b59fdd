// Text through the assembled library: a string of ASCII and Shift-JIS characters drawn into a
// graph on every drawing road (software screen, DirectDraw surfaces, the 3D device with a
// texture graph as the target) gives the software screen's pixels, which match a reviewed
// picture; edged, antialiased and blended text agree across the roads too; the public entries
// draw with the default font onto the presented screen and change its type.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/font/font.h"
#include "graphics/font/string_draw.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"
#include "platform/testing/ddraw_test_controls.h"
#include "platform/testing/display_test_controls.h"
#include "platform/window/window_backend.h"
#include "tests/support/draw_road_bounds.h"
#include "tests/support/draw_road_table.h"

namespace {

// "Aソ\" (ソ is 0x83 0x5C: its trail byte is a backslash) and "g" below the baseline.
const char* const kText = "A\x83\x5C\\g";

class TextEntriesTest : public DrawRoadFixture {
protected:
    // Starts the library windowed at 640 x 480: a software screen, or DirectDraw surfaces.
    static void Start(bool softwareScreen, int32_t depth) {
        DrawRoadFixture::StartOnRoad(softwareScreen ? SoftwareScreenRoad(depth)
                                                    : depth == 16 ? kDrawRoads[2] : kDrawRoads[3]);
    }

    // A black drawable graph, made the draw target (a texture graph on the 3D device).
    static HandleValue BlackTarget(int32_t w, int32_t h) {
        SetNewGraphsDrawable(1);
        const HandleValue graph = CreateBlankGraph(w, h, 0);
        SetNewGraphsDrawable(0);
        EXPECT_GE(graph, 0);
        EXPECT_EQ(FillGraph(graph, 0, 0, 0, 255), 0);
        EXPECT_EQ(ApiSetDrawTarget(graph), 0);
        return graph;
    }

    // The graph's pixels as 0xRRGGBB. A texture graph is drawn on the cleared back screen and
    // read from there (the draw target is left as the back screen).
    static std::vector<uint32_t> GraphRgb(HandleValue graph) {
        std::vector<uint32_t> out;
        const GraphRecord* g = GetGraphRecord(graph);
        if (g != nullptr && g->flags.is3D) {
            const int32_t width = g->width, height = g->height;
            EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
            EXPECT_EQ(ApiClearDrawTarget(), 0);
            EXPECT_EQ(BlitGraphAt(0, 0, graph, 0), 0);
            EXPECT_EQ(ApiPresentScreen(), 0);
            return BackColours(RECT{0, 0, width, height});
        }
        const Surface2DRecord* view = g != nullptr ? GetSurface2D(g->surfaces[0]) : nullptr;
        if (view == nullptr) return out;
        int32_t pitch = 0;
        void* pixels = nullptr;
        const PaletteColorFormat* format = nullptr;
        if (LockSurfaceData(view->surfaceData, &pitch, &pixels, 0, nullptr, &format) != 0) return out;
        const int bytes = format->format.bytes;
        for (int32_t y = 0; y < g->height; ++y) {
            for (int32_t x = 0; x < g->width; ++x) {
                uint32_t raw = 0;
                std::memcpy(&raw, static_cast<uint8_t*>(pixels) + y * pitch + x * bytes, bytes);
                int r = 0, gr = 0, b = 0, a = 0;
                ColorFormatPixelToRgba(&format->format, raw, &r, &gr, &b, &a);
                out.push_back(static_cast<uint32_t>(r << 16 | gr << 8 | b));
            }
        }
        UnlockSurfaceData(view->surfaceData, nullptr);
        return out;
    }

    static std::vector<std::string> Art(const std::vector<uint32_t>& rgb, int32_t width) {
        std::vector<std::string> rows;
        for (size_t i = 0; i < rgb.size(); i += static_cast<size_t>(width)) {
            std::string row;
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t v = rgb[i + x];
                row += v == 0 ? '.' : v == 0xFFFFFF ? '#' : v == 0xFF0000 ? 'o' : '+';
            }
            rows.push_back(row);
        }
        return rows;
    }

    // Draws with a font of the type into a 56 x 20 graph at (2, 1); the graph's pixels.
    static std::vector<uint32_t> DrawOnRoad(const DrawRoad& road, int32_t type, int blendMode) {
        std::vector<uint32_t> out;
        DrawRoadFixture::StartOnRoad(road);
        if (HasFatalFailure()) return out;
        const HandleValue font = CreateFontToHandle(nullptr, 16, 6, type, -1, -1, 0, -1, -1);
        EXPECT_GE(font, 0);
        const HandleValue target = BlackTarget(56, 20);
        ApiSetBlendMode(blendMode, blendMode == kBlendAlpha ? 128 : 255);
        EXPECT_EQ(DrawTextWithFont(2, 1, kText, MakeScreenColor(255, 255, 255), font,
                                   MakeScreenColor(255, 0, 0), 0),
                  0);
        ApiSetBlendMode(kBlendNone, 0);
        out = GraphRgb(target);
        EXPECT_EQ(out.size(), 56u * 20u);
        EXPECT_EQ(ApiTermLibrary(), 0);
        ResetScreenState();
        return out;
    }
};

class TextRoadsTest : public TextEntriesTest {};

TEST_P(TextRoadsTest, MixedTextIsTheSameOnEveryRoadAndMatchesItsPicture) {
    const std::vector<uint32_t> software =
        DrawOnRoad(SoftwareScreenRoad(GetParam().depth), 0, kBlendNone);
    const std::vector<uint32_t> surfaces = DrawOnRoad(GetParam(), 0, kBlendNone);
    ASSERT_EQ(software.size(), 56u * 20u);
    EXPECT_EQ(software, surfaces);
    // Reviewed as text art: A, the katakana so, the yen sign that 0x5C is in Shift-JIS, and g
    // with its descender.
    const std::vector<std::string> expected = {
        "........................................................",
        "........................................................",
        "........................................................",
        ".....###...............#....##...###....................",
        ".....###......###......##...###..##.....................",
        ".....####......##.....###....##.##......................",
        ".....####......###....##......####.....#####............",
        "....##.##.......##....##....#######...##..##............",
        "....##.###...........##........##....##...##............",
        "....######..........###.....#######..##...##............",
        "...###..##..........##.........##.....##.###............",
        "...##...##........###..........##......#####............",
        "...##...###......###...........##.........##............",
        "................###...................##..##............",
        "......................................#####.............",
        "........................................................",
        "........................................................",
        "........................................................",
        "........................................................",
        "........................................................",
    };
    EXPECT_EQ(Art(software, 56), expected);
    EXPECT_EQ(Art(surfaces, 56), expected);
}

TEST_P(TextRoadsTest, EdgedAntialiasedAndBlendedTextAgreeAcrossTheRoads) {
    struct Case {
        const char* name;
        int32_t type;
        int blend;
    };
    const Case cases[] = {
        {"edged", 1, kBlendNone},
        {"antialiased", 2, kBlendNone},
        {"antialiased with edge", 3, kBlendNone},
        {"half-blended", 0, kBlendAlpha},
        {"added", 1, kBlendAdd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint32_t> software =
            DrawOnRoad(SoftwareScreenRoad(GetParam().depth), c.type, c.blend);
        const std::vector<uint32_t> surfaces = DrawOnRoad(GetParam(), c.type, c.blend);
        ASSERT_EQ(software.size(), 56u * 20u);
        if (!GetParam().direct3D || (c.type == 1 && c.blend == kBlendNone)) {
            EXPECT_EQ(software, surfaces);
        } else {
            // Blends within the roads' stated bound (tests/support/draw_road_bounds.h); the
            // device's glyph textures hold 16 levels of coverage that reach full white where
            // the software cache's top level is 15/16: plain antialiased text within one
            // level, 17. Antialiased edged text is drawn by the device in two passes (edge,
            // then glyph) whose mixed borders differ more: there the lit pixels are the same.
            const bool edged = c.type == 3;
            const int32_t tolerance =
                c.type >= 2 ? 17
                            : road_bounds::BlendSteps(GetParam(), c.blend,
                                                      c.blend == kBlendAlpha ? 128 : 255, false);
            int differing = 0;
            for (size_t i = 0; i < software.size(); ++i) {
                const bool wrong = edged ? (software[i] != 0) != (surfaces[i] != 0)
                                         : ChannelDifference(software[i], surfaces[i]) > tolerance;
                if (wrong && ++differing <= 3) {
                    ADD_FAILURE() << "at " << i % 56 << "," << i / 56 << ": software " << std::hex
                                  << software[i] << ", drawn " << surfaces[i];
                }
            }
            EXPECT_EQ(differing, 0);
        }
        int lit = 0, white = 0, red = 0;
        for (uint32_t v : software) {
            lit += v != 0;
            white += v == 0xFFFFFF;
            red += v == 0xFF0000;
        }
        EXPECT_GT(lit, 40);
        if (c.type == 1 && c.blend == kBlendNone) {
            EXPECT_GT(white, 20);
            EXPECT_GT(red, 40);
            EXPECT_EQ(white + red, lit);
        }
        if (c.type >= 2 || c.blend == kBlendAlpha) {
            EXPECT_LT(white, lit);  // coverage or the blend leaves in-between colours
        }
    }
}

TEST_F(TextEntriesTest, OnA555DisplayTheColoursAreTheSameAsOnTheSoftwareScreen) {
    plat::PixelFormat f{};
    f.size = sizeof f;
    f.flags = plat::DDPF_RGB;
    f.bitCount = 16;
    f.redMask = 0x7C00;
    f.greenMask = 0x03E0;
    f.blueMask = 0x001F;
    for (int blend : {kBlendNone, kBlendAdd}) {
        SCOPED_TRACE(blend);
        const std::vector<uint32_t> software = DrawOnRoad(SoftwareScreenRoad(16), 1, blend);
        plat::OverrideDisplayFormat(&f);
        const std::vector<uint32_t> surfaces = DrawOnRoad(kDrawRoads[2], 1, blend);
        plat::OverrideDisplayFormat(nullptr);
        ASSERT_EQ(software.size(), surfaces.size());
        // Plain text is written in the graph's own format: exact. Blended text goes through the
        // blend kernel on pixels converted from 5-5-5 and back: within a 5-bit step.
        const int tolerance = blend == kBlendNone ? 0 : 8;
        int differing = 0;
        for (size_t i = 0; i < software.size(); ++i) {
            for (int shift : {0, 8, 16}) {
                const int a = static_cast<int>((software[i] >> shift) & 0xFF);
                const int b = static_cast<int>((surfaces[i] >> shift) & 0xFF);
                differing += std::abs(a - b) > tolerance;
            }
        }
        EXPECT_EQ(differing, 0);
    }
}

TEST_F(TextEntriesTest, TheDefaultFontEntryDrawsOntoThePresentedScreen) {
    Start(true, 16);
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    ASSERT_EQ(ApiClearDrawTarget(), 0);
    ASSERT_EQ(ApiDrawTextDefaultFont(100, 200, "\x8F\x89\x8A\xFA\x89\xBB" /* 初期化 */,
                                     ApiMakeScreenColor(255, 255, 255), 0),
              0);
    ASSERT_EQ(ApiPresentScreen(), 0);
    plat::ShownPicture shown;
    ASSERT_TRUE(plat::GetShownPicture(&shown, GetWindowData().window.handle));
    ASSERT_GE(shown.width, 640);
    const int32_t line = GetFontRecord(GetDefaultFontHandle())->lineHeight;
    int inside = 0, outside = 0;
    for (int32_t y = 0; y < 480; ++y) {
        for (int32_t x = 0; x < 640; ++x) {
            const uint32_t v = shown.pixels[static_cast<size_t>(y) * shown.width + x];
            const bool inLine = x >= 100 && x < 100 + 3 * 16 && y >= 200 && y < 200 + line;
            if (v == 0x00FFFFFF) (inLine ? inside : outside) += 1;
        }
    }
    EXPECT_GT(inside, 40);
    EXPECT_EQ(outside, 0);

    // The type entry re-makes the default font; a type outside 0..3 is refused.
    EXPECT_EQ(GetFontRecord(GetDefaultFontHandle())->type, kFontTypeNormal);
    EXPECT_EQ(ApiSetDefaultFontType(1), 0);
    EXPECT_EQ(GetFontRecord(GetDefaultFontHandle())->type, kFontTypeEdge);
    EXPECT_EQ(ApiSetDefaultFontType(4), -1);
    EXPECT_EQ(ApiTermLibrary(), 0);
}

TEST_F(TextEntriesTest, NothingToDrawAndBadFontsAreAnsweredWithoutDrawing) {
    Start(true, 16);
    const HandleValue target = BlackTarget(32, 20);
    const uint32_t white = MakeScreenColor(255, 255, 255);
    EXPECT_EQ(ApiDrawTextDefaultFont(0, 0, "", white, 0), 0);
    EXPECT_EQ(ApiDrawTextDefaultFont(0, 0, nullptr, white, 0), 0);
    EXPECT_EQ(DrawTextWithFont(0, 0, "A", white, 0x20001234, 0, 0), -1);
    EXPECT_TRUE(LogHas("フォントハンドル値が異常です"));
    for (uint32_t v : GraphRgb(target)) ASSERT_EQ(v, 0u);
    // On the front of a software screen a line starting at the draw area's right edge is empty.
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetFront), 0);
    EXPECT_EQ(ApiDrawTextDefaultFont(640, 0, "A", white, 0), 0);
    EXPECT_EQ(ApiTermLibrary(), 0);
}

INSTANTIATE_ON_DRAW_ROADS(TextRoadsTest);

}  // namespace
