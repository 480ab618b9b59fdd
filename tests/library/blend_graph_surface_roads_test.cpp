// A blend graph on every road, through the shipped start-up. The software draws read a blend
// graph from its software image; on a screen in DirectDraw surfaces a plain graph holds its
// pixels in a DirectDraw surface and has none, so that those draws leave it out and show the
// whole graph, and the log says so once for each blend graph a draw meets. A graph with an
// alpha channel is a software image on every road: as a blend graph it weights the draws on
// DirectDraw surfaces as it does on the software screen. The software screen and the 3D device
// weight the draws by either blend graph.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 64, kH = 32;  // the window
const RECT kScreen{0, 0, kW, kH};
constexpr int32_t kGraphW = 16, kGraphH = 8;
const RECT kAtPlace{4, 4, 4 + kGraphW, 4 + kGraphH};  // the unscaled draw
const RECT kStretchPlace{24, 4, 24 + 2 * kGraphW, 4 + 2 * kGraphH};  // the stretch by two
constexpr uint32_t kBackground = 0xFFFF00u;
constexpr int32_t kBorder = 128;

const char kLeftOutLine[] =
    "ブレンドグラフィックが DirectDraw のサーフェスにあるためソフトウエア描画では使えません";

uint32_t GraphColour(int32_t x, int32_t) { return (x & 1) ? 0x0000FFu : 0xFF00FFu; }
uint32_t BackgroundColour(int32_t, int32_t) { return kBackground; }
// Pairs of black and white columns: the software kernels read the blend graph's bytes at the
// source's coordinates, and the 3D device its texels; either way part of the graph is hidden.
uint32_t BlendColour(int32_t x, int32_t) { return (x / 2) & 1 ? 0xFFFFFFu : 0; }

enum class BlendKind { kNone, kPlain, kAlphaChannel };

// A graph whose picture is colour and whose alpha channel is opaque everywhere: a software
// image in every screen mode.
template <class Colour>
HandleValue MakeAlphaGraph(int32_t width, int32_t height, Colour colour) {
    GraphImage image{}, alpha{};
    EXPECT_EQ(InitGraphImageArgb32(width, height, &image), 0);
    EXPECT_EQ(InitGraphImageArgb32(width, height, &alpha), 0);
    BuildColorFormat(&image.colorFormat, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    BuildColorFormat(&alpha.colorFormat, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            SetGraphImagePixel(&image, x, y, (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF, 255);
            SetGraphImagePixel(&alpha, x, y, 255, 255, 255, 255);
        }
    }
    const HandleValue graph = CreateGraphFromGraphImage(&image, &alpha, 1);
    FreeGraphImage(&image);
    FreeGraphImage(&alpha);
    EXPECT_GE(graph, 0);
    return graph;
}

// The surface data behind a graph.
const SurfaceDataRecord* DataOf(HandleValue graph) {
    const GraphRecord* record = GetGraphRecord(graph);
    if (record == nullptr) return nullptr;
    const Surface2DRecord* surface = GetSurface2D(record->surfaces[0]);
    return surface != nullptr ? GetSurfaceData(surface->surfaceData) : nullptr;
}

bool Inside(const RECT& r, int32_t x, int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Background pixels where the graph's draws lie.
int HiddenPixels(const std::vector<uint32_t>& picture) {
    int hidden = 0;
    for (int32_t y = 0; y < kH; ++y) {
        for (int32_t x = 0; x < kW; ++x) {
            if (!Inside(kAtPlace, x, y) && !Inside(kStretchPlace, x, y)) continue;
            hidden += picture[static_cast<size_t>(y * kW + x)] == kBackground ? 1 : 0;
        }
    }
    return hidden;
}

class BlendGraphSurfaceRoadsTest : public DrawRoadFixture {
protected:
    // The graph drawn unscaled and stretched by two on the background, under the blend graph
    // of the kind, on the road: the back screen.
    static std::vector<uint32_t> Draw(const DrawRoad& road, BlendKind kind) {
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        const HandleValue background = MakeGeneratedGraph(kW, kH, BackgroundColour);
        const HandleValue graph = MakeGeneratedGraph(kGraphW, kGraphH, GraphColour);
        const HandleValue blend = kind == BlendKind::kPlain
                                      ? MakeGeneratedGraph(kGraphW, kGraphH, BlendColour)
                                  : kind == BlendKind::kAlphaChannel
                                      ? MakeAlphaGraph(kGraphW, kGraphH, BlendColour)
                                      : kNoHandle;
        if (!road.softwareScreen && !road.direct3D && kind != BlendKind::kNone) {
            // On DirectDraw surfaces the plain graph lies in a surface, the other is a
            // software image.
            const SurfaceDataRecord* data = DataOf(blend);
            EXPECT_NE(data, nullptr);
            if (data != nullptr) {
                EXPECT_EQ(data->surface != nullptr, kind == BlendKind::kPlain);
                EXPECT_EQ(data->image.pixels != nullptr, kind == BlendKind::kAlphaChannel);
            }
        }
        EXPECT_EQ(BlitGraphAt(0, 0, background, 0), 0);
        EXPECT_EQ(SelectBlendGraph(blend, kBorder, 0), 0);
        EXPECT_EQ(BlitGraphAt(kAtPlace.left, kAtPlace.top, graph, 0), 0);
        EXPECT_EQ(BlitGraphStretched(kStretchPlace.left, kStretchPlace.top, kStretchPlace.right,
                                     kStretchPlace.bottom, graph, 0),
                  0);
        EXPECT_EQ(SelectBlendGraph(kNoHandle, 0, 0), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(kScreen);
        StopRoad();
        return out;
    }

    // Lines of the log that say a blend graph was left out.
    int LeftOutLines() const {
        int lines = 0;
        for (const std::string& line : LogLines()) {
            lines += line.find(kLeftOutLine) != std::string::npos ? 1 : 0;
        }
        return lines;
    }

    static bool OnDirectDraw() { return !GetParam().softwareScreen && !GetParam().direct3D; }
};

TEST_P(BlendGraphSurfaceRoadsTest, APlainBlendGraphWeightsTheDrawsExceptInADirectDrawSurface) {
    const std::vector<uint32_t> whole = Draw(GetParam(), BlendKind::kNone);
    ASSERT_EQ(whole.size(), static_cast<size_t>(kW * kH));
    EXPECT_EQ(HiddenPixels(whole), 0);
    EXPECT_EQ(LeftOutLines(), 0);

    const std::vector<uint32_t> blended = Draw(GetParam(), BlendKind::kPlain);
    ASSERT_EQ(blended.size(), whole.size());
    if (OnDirectDraw()) {
        // Both draws show the whole graph; the log says why, once for the two draws.
        EXPECT_EQ(CountDiffering(whole, blended, kW), 0);
        EXPECT_EQ(LeftOutLines(), 1);
    } else {
        EXPECT_GT(HiddenPixels(blended), 0);
        EXPECT_EQ(LeftOutLines(), 0);
    }
}

TEST_P(BlendGraphSurfaceRoadsTest, ABlendGraphWithAnAlphaChannelWeightsTheSoftwareDraws) {
    if (GetParam().direct3D) GTEST_SKIP() << "the 3D device reads the blend texture's alpha";
    const std::vector<uint32_t> blended = Draw(GetParam(), BlendKind::kAlphaChannel);
    ASSERT_EQ(blended.size(), static_cast<size_t>(kW * kH));
    EXPECT_GT(HiddenPixels(blended), 0);
    EXPECT_EQ(LeftOutLines(), 0);
    if (GetParam().softwareScreen) return;  // the software screen is the reference
    const std::vector<uint32_t> soft =
        Draw(SoftwareScreenRoad(GetParam().depth), BlendKind::kAlphaChannel);
    EXPECT_EQ(CountDiffering(soft, blended, kW), 0);
}

INSTANTIATE_ON_DRAW_ROADS(BlendGraphSurfaceRoadsTest);

}  // namespace
