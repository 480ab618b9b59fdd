// Multiplying ignores the blend parameter on every road: at parameter 0 an opaque graph drawn
// with the transparent flag still multiplies a grey background, at a point, stretched,
// rotated, onto four corners, as a divided graph and as a graph derived from a larger one,
// and every road's colours agree with the software screen's within the roads' bound. Where
// the software screen draws the graph as two triangles (onto four corners, or mirrored by the
// rotation) it blends the diagonal they share twice; the device blends it once.
#include <gtest/gtest.h>

#include <numbers>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/graphs/graph_handle_table.h"
#include "tests/support/bmp_file.h"
#include "tests/support/draw_road_bounds.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 112, kH = 24;
constexpr uint32_t kGrey = 0x808080u;
constexpr uint32_t kColour = 0xD82C64u;  // no black: nothing of it is the transparent colour
constexpr int32_t kGraphW = 6, kGraphH = 8;

struct Handles {
    int graph;    // 6 x 8, loaded
    int divided;  // a 6 x 8 piece of a 12 x 16 picture loaded divided
    int derived;  // a 6 x 8 part of a 12 x 16 graph
};

struct DrawKind {
    const char* name;
    int (*draw)(const Handles& h);
    RECT box;            // where the draw lands on the software screen
    bool placedOwnWay;   // the device places it differently (an even-sized graph rotated)
    bool diagonalTwice = false;  // the software screen blends the two triangles' shared
                                 // diagonal twice; the device once
};

const DrawKind kKinds[] = {
    {"at a point", [](const Handles& h) { return ApiDrawGraphAt(2, 2, h.graph, 1); },
     RECT{2, 2, 8, 10}, false},
    {"stretched twice",
     [](const Handles& h) { return BlitGraphStretched(11, 2, 23, 18, h.graph, 1); },
     RECT{11, 2, 23, 18}, false},
    {"rotated a quarter",
     [](const Handles& h) {
         return ApiDrawGraphRotatedInt(31, 10, 1.0, std::numbers::pi / 2, h.graph, 1, 0);
     },
     RECT{25, 4, 37, 16}, true},
    {"onto four corners, doubled",
     [](const Handles& h) { return BlitGraphQuad(39, 2, 51, 2, 51, 18, 39, 18, h.graph, 1); },
     RECT{39, 2, 51, 18}, false, true},
    {"divided, at a point", [](const Handles& h) { return ApiDrawGraphAt(54, 2, h.divided, 1); },
     RECT{54, 2, 60, 10}, false},
    {"divided, stretched twice",
     [](const Handles& h) { return BlitGraphStretched(62, 2, 74, 18, h.divided, 1); },
     RECT{62, 2, 74, 18}, false},
    {"derived, at a point", [](const Handles& h) { return ApiDrawGraphAt(76, 2, h.derived, 1); },
     RECT{76, 2, 82, 10}, false},
    {"derived, rotated unturned",
     [](const Handles& h) { return ApiDrawGraphRotatedInt(89, 14, 1.0, 0.0, h.derived, 1, 0); },
     RECT{84, 8, 94, 20}, true},
    {"rotated unturned, mirrored",
     [](const Handles& h) {
         return ApiDrawGraphRotatedInt(103, 10, 1.0, 0.0, h.graph, 1, 1);
     },
     RECT{97, 4, 109, 16}, true, true},
};

class MultiplyParamZeroRoadsTest : public DrawRoadFixture {
protected:
    // The back screen after the grey background and every kind drawn multiplying at 0.
    std::vector<uint32_t> DrawKinds(const DrawRoad& road) {
        StartOnRoad(road, kW, kH);
        EXPECT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        const int back = ApiLoadGraphFromPath(Path("grey.bmp").c_str(), 0);
        Handles h{};
        h.graph = ApiLoadGraphFromPath(Path("graph.bmp").c_str(), 0);
        int pieces[4] = {-1, -1, -1, -1};
        EXPECT_EQ(ApiLoadDivGraphFromPath(Path("large.bmp").c_str(), 4, 2, 2, kGraphW, kGraphH,
                                          pieces, 0),
                  0);
        h.divided = pieces[3];
        const int large = ApiLoadGraphFromPath(Path("large.bmp").c_str(), 0);
        h.derived = DeriveGraph(kGraphW, 0, kGraphW, kGraphH, large);
        EXPECT_GE(h.graph, 0);
        EXPECT_GE(h.divided, 0);
        EXPECT_GE(h.derived, 0);
        EXPECT_EQ(GetGraphRecord(h.graph)->flags.is3D, road.direct3D ? 1 : 0);
        EXPECT_EQ(ApiDrawGraphAt(0, 0, back, 0), 0);
        EXPECT_EQ(ApiSetBlendMode(kBlendMultiply, 0), 0);
        for (const DrawKind& kind : kKinds) EXPECT_EQ(kind.draw(h), 0) << kind.name;
        EXPECT_EQ(ApiSetBlendMode(kBlendNone, 255), 0);
        EXPECT_EQ(ApiPresentScreen(), 0);
        std::vector<uint32_t> out = BackColours(RECT{0, 0, kW, kH});
        StopRoad();
        return out;
    }
};

TEST_P(MultiplyParamZeroRoadsTest, EveryDrawKindMultipliesAsOnTheSoftwareScreen) {
    WriteBmp24File(Path("grey.bmp"), kW, kH, [](int, int) { return kGrey; });
    WriteBmp24File(Path("graph.bmp"), kGraphW, kGraphH, [](int, int) { return kColour; });
    WriteBmp24File(Path("large.bmp"), 2 * kGraphW, 2 * kGraphH, [](int, int) { return kColour; });
    const std::vector<uint32_t> drawn = DrawKinds(GetParam());
    const std::vector<uint32_t> soft =
        GetParam().softwareScreen ? drawn : DrawKinds(SoftwareScreenRoad(GetParam().depth));
    ASSERT_EQ(drawn.size(), static_cast<size_t>(kW * kH));
    ASSERT_EQ(soft.size(), drawn.size());
    // The background as each road holds it (at 16 bits the device's texture of it is 5-5-5).
    const uint32_t softGrey = soft[0], drawnGrey = drawn[0];
    const int32_t bound = road_bounds::BlendSteps(GetParam(), kBlendMultiply, 0, false);

    // The software screen multiplies: grey × the graph's colour over 256, whatever p.
    if (GetParam().depth == 32) {
        constexpr uint32_t kProduct = ((0xD8u * 0x80u) >> 8) << 16 | ((0x2Cu * 0x80u) >> 8) << 8 |
                                      ((0x64u * 0x80u) >> 8);
        static_assert(kProduct == 0x6C1632u);
        EXPECT_EQ(soft[static_cast<size_t>(2 * kW + 2)], kProduct);
        // The four-corner draw's diagonal, blended twice: the product multiplied again.
        EXPECT_EQ(soft[static_cast<size_t>(3 * kW + 50)], 0x5B0313u);
    }
    // The product of one multiply, as the software screen draws it at a point.
    const uint32_t once = soft[static_cast<size_t>(2 * kW + 2)];
    for (const DrawKind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        const bool ownPlace = kind.placedOwnWay && GetParam().direct3D;
        int softChanged = 0, drawnChanged = 0, differing = 0, softTwice = 0;
        for (int32_t y = kind.box.top; y < kind.box.bottom; ++y) {
            for (int32_t x = kind.box.left; x < kind.box.right; ++x) {
                const size_t i = static_cast<size_t>(y * kW + x);
                softChanged += soft[i] != softGrey ? 1 : 0;
                softTwice += soft[i] != softGrey && soft[i] != once ? 1 : 0;
                drawnChanged += drawn[i] != drawnGrey ? 1 : 0;
                const bool near = ChannelDifference(soft[i], drawn[i]) <= bound ||
                                  (kind.diagonalTwice && ChannelDifference(once, drawn[i]) <= bound);
                if (!ownPlace && !near && ++differing <= 3) {
                    ADD_FAILURE() << "at " << x << "," << y << ": software " << std::hex
                                  << soft[i] << ", drawn " << drawn[i];
                }
            }
        }
        EXPECT_EQ(differing, 0);
        EXPECT_EQ(softTwice > 0, kind.diagonalTwice);
        EXPECT_GE(softChanged, kGraphW * kGraphH);
        EXPECT_EQ(drawnChanged, softChanged);
        // Where the device places the draw its own way, every pixel it changed shows one
        // product.
        if (ownPlace) {
            for (int32_t y = kind.box.top; y < kind.box.bottom; ++y) {
                for (int32_t x = kind.box.left; x < kind.box.right; ++x) {
                    const uint32_t c = drawn[static_cast<size_t>(y * kW + x)];
                    if (c != drawnGrey) {
                        EXPECT_LE(ChannelDifference(c, once), bound)
                            << "at " << x << "," << y << std::hex << ": " << c;
                    }
                }
            }
        }
    }
}

INSTANTIATE_ON_DRAW_ROADS(MultiplyParamZeroRoadsTest);

}  // namespace
