// The graph drawing family's own decisions, seen through stand-ins of its back ends: the early
// answers, the corners and rectangles each operation hands on, the draw area narrowed for a
// part of a graph and put back, the bracket rectangles a mask screen receives, the subtract
// emulation on the Direct3D road, and a movie graph's frame and overlay.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "graphics/draw_graph/bracket_rects.h"
#include "graphics/draw_graph/coordinate_math.h"
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/draw_graph/movie_graph_draw.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/screen/screen.h"
#include "tests/graphics/graphs/graph_test_support.h"
#include "base/log.h"
#include "platform/core/clock.h"
#include "tests/support/temp_dir.h"

namespace {

// One call a stand-in received, with the draw state it saw.
struct Call {
    std::string op;
    std::vector<double> args;
    RECT area;
    int32_t areaEmpty;
    int32_t blendMode, blendParam;
    uint32_t bright;
};
std::vector<Call> gCalls;

void Record(const char* op, std::vector<double> args) {
    const DrawState& s = GetDrawState();
    gCalls.push_back(
        Call{op, std::move(args), s.drawArea, s.drawAreaEmpty, s.blendMode, s.blendParam, s.bright});
}

// A one-row destination of the stand-in device: each pixel's R, G, B 0..255. The device
// blends as Direct3D does for the two modes the subtract emulation uses: mode 3 is
// source * (1 - destination), mode 5 is destination + source * alpha (the parameter).
struct DevicePixel {
    int r, g, b;
};
std::vector<DevicePixel> gDevice;
DevicePixel gSourceColor{0, 0, 0};

void DeviceBlend(const RECT& rect, DevicePixel source) {
    const DrawState& s = GetDrawState();
    for (int32_t x = std::max(rect.left, 0); x < std::min<int32_t>(rect.right, gDevice.size());
         ++x) {
        DevicePixel& d = gDevice[x];
        int* dc[3] = {&d.r, &d.g, &d.b};
        const int sc[3] = {source.r, source.g, source.b};
        for (int c = 0; c < 3; ++c) {
            if (s.blendMode == kBlendSubtract) {
                *dc[c] = sc[c] * (255 - *dc[c]) / 255;
            } else if (s.blendMode == kBlendAddByAlpha3D) {
                *dc[c] = std::min(255, *dc[c] + sc[c] * s.blendParam / 255);
            }
        }
    }
}

const GraphDraw3DDriver kRecording3D = {
    .blitGraph3D = [](int32_t x, int32_t y, const GraphRecord* g, int32_t t, int32_t i) {
        Record("at", {double(x), double(y), double(t), double(i)});
        DeviceBlend(RECT{x, y, x + g->width, y + g->height}, gSourceColor);
        return 0;
    },
    .blitGraphStretched3D = [](int32_t x1, int32_t y1, int32_t x2, int32_t y2, const GraphRecord*,
                               int32_t t, int32_t i) {
        Record("stretched", {double(x1), double(y1), double(x2), double(y2), double(t), double(i)});
        return 0;
    },
    .blitGraphRotated3D = [](float x, float y, double scale, double angle, const GraphRecord*,
                             int32_t t, int32_t turn) {
        Record("rotated", {x, y, scale, angle, double(t), double(turn)});
        return 0;
    },
    .blitGraphQuad3D = [](float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                          float y4, const GraphRecord*, int32_t t) {
        Record("quad", {x1, y1, x2, y2, x3, y3, x4, y4, double(t)});
        return 0;
    },
    .fillBox3D = [](int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
        Record("fill", {double(x1), double(y1), double(x2), double(y2), double(colour)});
        DeviceBlend(RECT{x1, y1, x2, y2}, DevicePixel{255, 255, 255});
        return 0;
    },
    .drawString3D = [](int32_t x, int32_t y, const char*, uint32_t colour, HandleValue,
                       uint32_t edgeColour, int vertical) {
        Record("string", {double(x), double(y), double(colour), double(edgeColour),
                          double(vertical)});
        return 0;
    },
};

const MaskBracketDriver kRecordingMask = {
    .beginMaskBracket = [](const RECT* r) {
        Record("mask begin", {double(r->left), double(r->top), double(r->right), double(r->bottom)});
    },
    .endMaskBracket = [](const RECT* r) {
        Record("mask end", {double(r->left), double(r->top), double(r->right), double(r->bottom)});
    },
};

std::vector<double> Args(std::initializer_list<double> a) { return a; }

class DrawGraphFamilyTest : public GraphStateTest {
protected:
    void SetUp() override {
        GraphStateTest::SetUp();
        UseStubSurfaces();
        GraphDraw3DSlot().Install(kRecording3D);
        MaskBracketSlot().Install(kRecordingMask);
        ASSERT_EQ(SetDrawTarget(kDrawTargetBack), 0);
        ASSERT_EQ(SetDrawAreaRect(0, 0, 640, 480), 0);
        gCalls.clear();
        gDevice.clear();
        plat::UseVirtualClock(true);
        GetLogState() = LogState{};
        SetLogDirectory(dir_.str().c_str());
        StartLog();
    }
    void TearDown() override {
        GraphDraw3DSlot().Reset();
        MaskBracketSlot().Reset();
        MovieDrawSlot().Reset();
        GetLogState() = LogState{};
        GraphStateTest::TearDown();
    }

    // A graph held as textures: every draw of it takes the Direct3D road, to the stand-in.
    static HandleValue TextureGraph(int32_t w, int32_t h) {
        const HandleValue g = CreateBlankGraph(w, h, 1);
        EXPECT_GE(g, 0);
        GetGraphRecord(g)->flags.is3D = 1;
        return g;
    }

    ScopedTempDir dir_;
};

TEST_F(DrawGraphFamilyTest, AnEmptyDrawAreaAnswersZeroForAnyHandleBeforeLookingAtIt) {
    const HandleValue valid = TextureGraph(8, 8);
    ASSERT_EQ(SetDrawAreaRect(10, 10, 10, 50), 0);
    ASSERT_EQ(GetDrawState().drawAreaEmpty, 1);
    for (HandleValue g : {valid, kNoHandle, HandleValue{0x12345}}) {
        SCOPED_TRACE(g);
        EXPECT_EQ(BlitGraphAt(1, 2, g, 1), 0);
        EXPECT_EQ(BlitGraphStretched(1, 2, 30, 40, g, 1), 0);
        EXPECT_EQ(BlitGraphRotated(10.0f, 10.0f, 1.0, 0.5, g, 1, 0), 0);
        EXPECT_EQ(BlitGraphRotatedInt(10, 10, 1.0, 0.5, g, 1, 0), 0);
        EXPECT_EQ(BlitGraphQuad(0, 0, 9, 0, 9, 9, 0, 9, g, 1), 0);
    }
    EXPECT_TRUE(gCalls.empty());

    // With an area, a bad handle is refused by every operation.
    ASSERT_EQ(SetDrawAreaRect(0, 0, 640, 480), 0);
    const HandleValue bad = 0x12345;
    EXPECT_EQ(BlitGraphAt(1, 2, bad, 1), -1);
    EXPECT_EQ(BlitGraphStretched(1, 2, 30, 40, bad, 1), -1);
    EXPECT_EQ(BlitGraphRotated(10.0f, 10.0f, 1.0, 0.5, bad, 1, 0), -1);
    EXPECT_EQ(BlitGraphQuad(0, 0, 9, 0, 9, 9, 0, 9, bad, 1), -1);
    EXPECT_EQ(BlitGraphTurned(1, 2, bad, 1), -1);
    EXPECT_EQ(BlitGraphRect(1, 2, 0, 0, 4, 4, bad, 1, 0), -1);
    EXPECT_EQ(BlitGraphRect(1, 2, 0, 0, 4, 4, bad, 1, 1), -1);
    EXPECT_EQ(BlitGraphRectStretched(1, 2, 9, 9, 0, 0, 4, 4, bad, 1), -1);
    EXPECT_TRUE(gCalls.empty());
    EXPECT_EQ(GetDrawState().drawArea.right, 640);
}

TEST_F(DrawGraphFamilyTest, EachOperationHandsItsCornersOnAsTheBackEndsTakeThem) {
    const HandleValue g = TextureGraph(32, 16);
    struct Case {
        const char* name;
        int (*draw)(HandleValue g);
        const char* op;
        std::vector<double> args;
    };
    const Case cases[] = {
        {"at a point", [](HandleValue h) { return BlitGraphAt(5, 6, h, 1); }, "at",
         Args({5, 6, 1, 1})},
        {"stretched, reversed corners kept", [](HandleValue h) {
             return BlitGraphStretched(40, 30, 10, 20, h, 0);
         }, "stretched", Args({40, 30, 10, 20, 0, 1})},
        {"turned at (10, 20) of a 32 x 16 graph", [](HandleValue h) {
             return BlitGraphTurned(10, 20, h, 1);
         }, "stretched", Args({42, 20, 10, 36, 1, 1})},
        {"rotated from integers", [](HandleValue h) {
             return BlitGraphRotatedInt(7, -3, 2.5, 0.25, h, 1, 1);
         }, "rotated", Args({7, -3, 2.5, 0.25, 1, 1})},
        {"four corners, third and fourth swapped", [](HandleValue h) {
             return BlitGraphQuad(1, 2, 3, 4, 5, 6, 7, 8, h, 1);
         }, "quad", Args({1, 2, 3, 4, 7, 8, 5, 6, 1})},
        {"part, mirrored: the graph's left edge at 50 - 32 + 4 + 10", [](HandleValue h) {
             return BlitGraphRect(50, 120, 4, 2, 10, 6, h, 1, 1);
         }, "stretched", Args({64, 118, 32, 134, 1, 1})},
        {"part stretched twice", [](HandleValue h) {
             return BlitGraphRectStretched(10, 10, 30, 22, 4, 2, 10, 6, h, 1);
         }, "stretched", Args({2, 6, 66, 38, 1, 1})},
        {"part stretched twice, reversed in x", [](HandleValue h) {
             return BlitGraphRectStretched(30, 10, 10, 22, 4, 2, 10, 6, h, 1);
         }, "stretched", Args({38, 6, -26, 38, 1, 1})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gCalls.clear();
        ASSERT_EQ(c.draw(g), 0);
        ASSERT_EQ(gCalls.size(), 1u);
        EXPECT_EQ(gCalls[0].op, c.op);
        EXPECT_EQ(gCalls[0].args, c.args);
    }
}

TEST_F(DrawGraphFamilyTest, APartNarrowsTheDrawAreaForItsOneDrawAndPutsItBack) {
    const HandleValue g = TextureGraph(32, 16);
    ASSERT_EQ(SetDrawAreaRect(0, 0, 300, 200), 0);
    const DrawState before = GetDrawState();

    ASSERT_EQ(BlitGraphRect(250, 190, 4, 2, 100, 100, g, 1, 0), 0);
    ASSERT_EQ(gCalls.size(), 1u);
    EXPECT_EQ(gCalls[0].args, Args({246, 188, 1, 1}));
    const RECT narrowed{250, 190, 300, 200};  // clipped to the area as it was
    EXPECT_EQ(std::vector<int>({gCalls[0].area.left, gCalls[0].area.top, gCalls[0].area.right,
                                gCalls[0].area.bottom}),
              std::vector<int>({narrowed.left, narrowed.top, narrowed.right, narrowed.bottom}));

    ASSERT_EQ(BlitGraphRectStretched(40, 50, 60, 70, 0, 0, 8, 8, g, 1), 0);
    ASSERT_EQ(gCalls.size(), 2u);
    EXPECT_EQ(gCalls[1].area.left, 40);
    EXPECT_EQ(gCalls[1].area.bottom, 70);

    // A part outside the draw area draws nothing and answers 0.
    EXPECT_EQ(BlitGraphRect(400, 10, 0, 0, 10, 6, g, 1, 0), 0);
    EXPECT_EQ(BlitGraphRect(400, 10, 0, 0, 10, 6, g, 1, 1), 0);
    EXPECT_EQ(BlitGraphRectStretched(400, 10, 420, 30, 0, 0, 10, 6, g, 1), 0);
    EXPECT_EQ(gCalls.size(), 2u);

    const DrawState& after = GetDrawState();
    EXPECT_EQ(after.drawArea.left, before.drawArea.left);
    EXPECT_EQ(after.drawArea.top, before.drawArea.top);
    EXPECT_EQ(after.drawArea.right, before.drawArea.right);
    EXPECT_EQ(after.drawArea.bottom, before.drawArea.bottom);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(after.drawAreaF[i], before.drawAreaF[i]);
    EXPECT_EQ(after.drawAreaEmpty, 0);
}

TEST_F(DrawGraphFamilyTest, APartOfNoSizeIsRefusedWithALogLineAndDrawsNothing) {
    const HandleValue g = TextureGraph(32, 16);
    for (const auto& [w, h] : {std::pair{0, 6}, {10, 0}, {-4, 6}, {10, -1}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        EXPECT_EQ(BlitGraphRectStretched(10, 10, 30, 30, 0, 0, w, h, g, 1), -1);
    }
    EXPECT_TRUE(gCalls.empty());
    EXPECT_EQ(GetDrawState().drawArea.right, 640);
    EXPECT_NE(dir_.ReadFile("Log.txt").find("BlitGraphRectStretched"), std::string::npos);
}

TEST_F(DrawGraphFamilyTest, ABlendGraphMissingOrSmallerThanTheGraphRefusesTheDraw) {
    const HandleValue g = TextureGraph(32, 16);
    const HandleValue small = TextureGraph(31, 16);
    const HandleValue large = TextureGraph(32, 20);
    ASSERT_EQ(SelectBlendGraph(small, 0, 0), 0);
    EXPECT_EQ(BlitGraphAt(0, 0, g, 1), -1);
    EXPECT_EQ(BlitGraphRotated(50, 50, 1.0, 0.0, g, 1, 0), -1);
    ASSERT_EQ(SelectBlendGraph(large, 0, 0), 0);
    EXPECT_EQ(BlitGraphAt(0, 0, g, 1), 0);
    DeleteGraphHandle(large, 0);
    EXPECT_EQ(BlitGraphQuad(0, 0, 9, 0, 9, 9, 0, 9, g, 1), -1);
    EXPECT_EQ(gCalls.size(), 1u);
}

TEST_F(DrawGraphFamilyTest, WhileAMaskIsActiveEachDrawIsBracketedByItsRectangle) {
    const HandleValue g = TextureGraph(32, 16);
    GetDrawState().maskActive = 1;
    struct Case {
        const char* name;
        int (*draw)(HandleValue g);
        std::vector<double> rect;
    };
    const Case cases[] = {
        {"at a point", [](HandleValue h) { return BlitGraphAt(5, 6, h, 1); },
         Args({5, 6, 37, 22})},
        {"stretched, put in order", [](HandleValue h) {
             return BlitGraphStretched(40, 30, 10, 20, h, 1);
         }, Args({10, 20, 40, 30})},
        // Corners (84..116, 42..58), 5 pixels wider on each side.
        {"rotated at 0 degrees", [](HandleValue h) {
             return BlitGraphRotated(100.0f, 50.0f, 1.0, 0.0, h, 1, 0);
         }, Args({79, 37, 121, 63})},
        // Turned a quarter and doubled: corners (84..116, 18..82); the centre rounds to
        // (100, 50) from (99.6, 50.4).
        {"rotated 90 degrees at scale 2", [](HandleValue h) {
             return BlitGraphRotated(99.6f, 50.4f, 2.0, std::numbers::pi / 2, h, 1, 0);
         }, Args({79, 13, 121, 87})},
        {"four corners at negative coordinates", [](HandleValue h) {
             return BlitGraphQuad(-10, -20, -5, -20, -5, -3, -10, -3, h, 1);
         }, Args({-10, -20, 0, 0})},
        {"four corners, rounded to the nearest", [](HandleValue h) {
             return BlitGraphQuad(10.4f, 20.6f, 40.5f, 20, 41.5f, 30, 10, 30, h, 1);
         }, Args({10, 20, 42, 30})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gCalls.clear();
        ASSERT_EQ(c.draw(g), 0);
        ASSERT_EQ(gCalls.size(), 3u);
        EXPECT_EQ(gCalls[0].op, "mask begin");
        EXPECT_EQ(gCalls[0].args, c.rect);
        EXPECT_EQ(gCalls[2].op, "mask end");
        EXPECT_EQ(gCalls[2].args, c.rect);
    }
    GetDrawState().maskActive = 0;
    gCalls.clear();
    ASSERT_EQ(BlitGraphAt(5, 6, g, 1), 0);
    EXPECT_EQ(gCalls.size(), 1u);
}

TEST_F(DrawGraphFamilyTest, SubtractOnTheDirect3DRoadIsEmulatedByInvertingAroundAnAdd) {
    const HandleValue g = TextureGraph(2, 1);
    gSourceColor = DevicePixel{40, 100, 255};
    // Black, white and a grey at (0..1), (2..3), (4..5); the graph is drawn over each pair.
    gDevice = {{0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {255, 255, 255}, {120, 60, 30}, {120, 60, 30}};
    ASSERT_EQ(SetBlendState(kBlendSubtract, 255), 0);
    ASSERT_EQ(SetBrightRGB(200, 255, 255), 0);
    for (int32_t x : {0, 2, 4}) ASSERT_EQ(BlitGraphAt(x, 0, g, 1), 0);

    EXPECT_EQ(gDevice[0].r + gDevice[0].g + gDevice[0].b, 0);  // black stays black
    EXPECT_EQ(gDevice[2].r, 255 - 40);                         // white - c
    EXPECT_EQ(gDevice[2].g, 255 - 100);
    EXPECT_EQ(gDevice[2].b, 0);
    EXPECT_EQ(gDevice[4].r, 80);  // d - c, saturating
    EXPECT_EQ(gDevice[4].g, 0);
    EXPECT_EQ(gDevice[5].b, 0);

    // Per draw: a white box at subtract 255 with no bright, the add at the caller's parameter
    // with the caller's bright, and the second box.
    ASSERT_EQ(gCalls.size(), 9u);
    const char* ops[3] = {"fill", "at", "fill"};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(gCalls[i].op, ops[i]);
    EXPECT_EQ(gCalls[0].args, Args({0, 0, 2, 1, double(MakeScreenColor(255, 255, 255))}));
    EXPECT_EQ(gCalls[0].blendMode, kBlendSubtract);
    EXPECT_EQ(gCalls[0].blendParam, 255);
    EXPECT_EQ(gCalls[0].bright, kBrightWhite);
    EXPECT_EQ(gCalls[1].blendMode, kBlendAddByAlpha3D);
    EXPECT_EQ(gCalls[1].bright, 0xC8FFFFu);

    // The state as it was found: subtract, its parameter, its bright.
    EXPECT_EQ(GetDrawState().blendMode, kBlendSubtract);
    EXPECT_EQ(GetDrawState().blendParam, 255);
    EXPECT_EQ(GetDrawState().bright, 0xC8FFFFu);

    // A parameter below 255 weights the add and comes back too.
    gCalls.clear();
    gDevice = {{255, 255, 255}, {255, 255, 255}};
    ASSERT_EQ(SetBlendState(kBlendSubtract, 51), 0);
    ASSERT_EQ(BlitGraphAt(0, 0, g, 1), 0);
    EXPECT_EQ(gDevice[0].g, 255 - 100 * 51 / 255);
    EXPECT_EQ(gCalls[1].blendParam, 51);
    EXPECT_EQ(GetDrawState().blendParam, 51);
    EXPECT_EQ(GetDrawState().blendMode, kBlendSubtract);
}

// A movie of 160 x 120 shown through an overlay (handle 7), and one drawn into its graph
// (handle 8); the stand-in records the frame updates and overlay placements.
const MovieDrawDriver kRecordingMovies = {
    .getMovieFacts = [](HandleValue movie, MovieOverlayFacts* out) {
        if (movie != 7 && movie != 8) return 0;
        *out = MovieOverlayFacts{160, 120, movie == 7 ? 1 : 0};
        return 1;
    },
    .updateMovieFrame = [](HandleValue graph) { Record("frame", {double(graph)}); },
    .updateOverlay = [](HandleValue movie, const RECT* source, const RECT* dest, int show) {
        Record("overlay", {double(movie), double(source->left), double(source->top),
                           double(source->right), double(source->bottom), double(dest->left),
                           double(dest->top), double(dest->right), double(dest->bottom),
                           double(show)});
    },
};

TEST_F(DrawGraphFamilyTest, AMovieGraphsFrameIsUpdatedAndAnOverlayMovieIsPlacedNotDrawn) {
    MovieDrawSlot().Install(kRecordingMovies);
    const HandleValue g = TextureGraph(160, 120);
    GetGraphRecord(g)->movie = 7;
    // At (600, 10): the overlay is cut at the screen's right edge, and so is its source.
    EXPECT_EQ(BlitGraphAt(600, 10, g, 1), -1);
    ASSERT_EQ(gCalls.size(), 2u);
    EXPECT_EQ(gCalls[0].op, "frame");
    EXPECT_EQ(gCalls[0].args, Args({double(g)}));
    EXPECT_EQ(gCalls[1].args, Args({7, 0, 0, 40, 120, 600, 10, 640, 130, 1}));
    // Stretched to twice the size from (-20, 0): the left cut of 20 is 10 source pixels.
    gCalls.clear();
    EXPECT_EQ(BlitGraphStretched(-20, 0, 300, 240, g, 1), -1);
    ASSERT_EQ(gCalls.size(), 2u);
    EXPECT_EQ(gCalls[1].args, Args({7, 10, 0, 160, 120, 0, 0, 300, 240, 1}));
    // The rotated and four-corner draws only bring the frame up to date, then draw.
    gCalls.clear();
    EXPECT_EQ(BlitGraphRotated(100, 100, 1.0, 0.0, g, 1, 0), 0);
    EXPECT_EQ(BlitGraphQuad(0, 0, 9, 0, 9, 9, 0, 9, g, 1), 0);
    ASSERT_EQ(gCalls.size(), 4u);
    EXPECT_EQ(gCalls[0].op, "frame");
    EXPECT_EQ(gCalls[1].op, "rotated");
    EXPECT_EQ(gCalls[2].op, "frame");
    EXPECT_EQ(gCalls[3].op, "quad");
    // A movie drawn into its graph is drawn like any graph.
    gCalls.clear();
    GetGraphRecord(g)->movie = 8;
    EXPECT_EQ(BlitGraphAt(0, 0, g, 1), 0);
    ASSERT_EQ(gCalls.size(), 2u);
    EXPECT_EQ(gCalls[1].op, "at");
}

TEST(MovieOverlayPlace, TheOverlayIsClippedToTheScreenAndAlignedAsTheHardwareAsks) {
    struct Case {
        const char* name;
        int32_t scale, x, y;
        uint32_t caps, boundarySrc, sizeSrc, boundaryDest, sizeDest;
        int placed;
        RECT source, dest;
    };
    const RECT screen{100, 50, 740, 530};  // the window's client area on the desktop
    const Case cases[] = {
        {"inside, no alignment", 1, 10, 20, 0, 0, 0, 0, 0, 1, {0, 0, 160, 120},
         {110, 70, 270, 190}},
        {"cut on the left and top, doubled", 2, -21, -10, 0, 0, 0, 0, 0, 1, {10, 5, 160, 120},
         {100, 50, 399, 280}},
        // Cut by 6 on the left: the left goes down to 4 and the kept width of 152 loses
        // 152 % 6 = 2 on the right.
        {"source boundary 4 and size 6", 1, -6, 0,
         plat::DDCAPS_ALIGNBOUNDARYSRC | plat::DDCAPS_ALIGNSIZESRC, 4, 6, 0, 0, 1,
         {4, 0, 158, 120}, {100, 50, 254, 170}},
        // The left goes down from 103 to 96, the width of 153 loses 153 % 16 = 9.
        {"destination boundary 8 and size 16", 1, 3, 0,
         plat::DDCAPS_ALIGNBOUNDARYDEST | plat::DDCAPS_ALIGNSIZEDEST, 0, 0, 8, 16, 1,
         {0, 0, 160, 120}, {96, 50, 254, 170}},
        {"zero alignment values are skipped", 1, 3, 0, plat::DDCAPS_ALIGNBOUNDARYDEST, 0, 0, 0,
         0, 1, {0, 0, 160, 120}, {103, 50, 263, 170}},
        {"wholly off the screen", 1, 700, 0, 0, 0, 0, 0, 0, 0, {}, {}},
        {"a scale of 0 places nothing", 0, 0, 0, 0, 0, 0, 0, 0, 0, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        plat::DDCaps caps{};
        caps.caps = c.caps;
        caps.alignBoundarySrc = c.boundarySrc;
        caps.alignSizeSrc = c.sizeSrc;
        caps.alignBoundaryDest = c.boundaryDest;
        caps.alignSizeDest = c.sizeDest;
        MovieOverlayPlace place{};
        ASSERT_EQ(PlaceMovieOverlay(c.scale, c.x, c.y, 160, 120, screen, caps, &place), c.placed);
        if (!c.placed) continue;
        const RECT* got[2] = {&place.source, &place.dest};
        const RECT* want[2] = {&c.source, &c.dest};
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(std::vector<int>({got[i]->left, got[i]->top, got[i]->right, got[i]->bottom}),
                      std::vector<int>({want[i]->left, want[i]->top, want[i]->right,
                                        want[i]->bottom}))
                << (i == 0 ? "source" : "dest");
        }
    }
}

TEST(DrawGraphCoordinates, RoundToNearestTakesHalvesToEvenAndSaturates) {
    const std::pair<double, int32_t> cases[] = {
        {0.5, 0},         {1.5, 2},        {2.5, 2},        {-0.5, 0},
        {-1.5, -2},       {2.4999, 2},     {-2.6, -3},      {1e12, INT32_MAX},
        {-1e12, INT32_MIN}, {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& [v, want] : cases) EXPECT_EQ(RoundToNearestInt(v), want) << v;
    EXPECT_EQ(AddSaturated(INT32_MAX - 3, 10), INT32_MAX);
    EXPECT_EQ(AddSaturated(-5, 10), 5);
}

}  // namespace
