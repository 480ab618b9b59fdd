// The 3D device's triangle coverage and shading: pixel centres, the top-left fill rule, shared
// edges covered once, lists / strips / fans, culling, viewport clipping, flat and Gouraud
// colour.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/platform/d3d_fixture.h"

namespace {

using plat::D3D_OK;

using D3DRasterTest = D3DFixture;

constexpr uint32_t kW = 8, kH = 6;

// The pixels of a kW × kH 32-bit target as rows of '#' (value nonzero) and '.'.
std::string Mask(const std::vector<uint32_t>& pixels) {
    std::string s;
    for (uint32_t y = 0; y < kH; ++y) {
        for (uint32_t x = 0; x < kW; ++x) s += (pixels[y * kW + x] & 0xFFFFFF) != 0 ? '#' : '.';
        s += '\n';
    }
    return s;
}

struct CoverageCase {
    const char* name;
    float x0, y0, x1, y1, x2, y2;
    const char* expected;  // kH rows of kW
};

const CoverageCase kCoverage[] = {
    {"on pixel centres: top and left edges in, the slanted edge out", 0, 0, 4, 0, 0, 4,
     "####....\n"
     "###.....\n"
     "##......\n"
     "#.......\n"
     "........\n"
     "........\n"},
    {"on the half-pixel grid: centres on the slanted edge stay out", -0.5f, -0.5f, 3.5f, -0.5f,
     -0.5f, 3.5f,
     "###.....\n"
     "##......\n"
     "#.......\n"
     "........\n"
     "........\n"
     "........\n"},
    {"counter-clockwise winding covers the same pixels", 1, 1, 1, 3, 5, 1,
     "........\n"
     ".####...\n"
     ".##.....\n"
     "........\n"
     "........\n"
     "........\n"},
    {"bottom edge and right-hand diagonal are left out", 0, 0, 4, 4, 0, 4,
     "........\n"
     "#.......\n"
     "##......\n"
     "###.....\n"
     "........\n"
     "........\n"},
    {"a sliver between centres covers nothing", 0.2f, 0.2f, 0.8f, 0.2f, 0.2f, 0.8f,
     "........\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"},
    {"parts outside the target are cut off", -3, -3, 4, -3, -3, 4,
     "#.......\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"},
};

TEST_F(D3DRasterTest, TrianglesCoverExactlyTheExpectedPixels) {
    for (const CoverageCase& c : kCoverage) {
        SCOPED_TRACE(c.name);
        plat::DrawSurface* target = MakeTarget(kW, kH);
        plat::Direct3DDevice* d = MakeDevice(target);
        const std::vector<ColorVertex> v = {{c.x0, c.y0, 0, 1, 0xFFFFFFFF},
                                            {c.x1, c.y1, 0, 1, 0xFFFFFFFF},
                                            {c.x2, c.y2, 0, 1, 0xFFFFFFFF}};
        Draw(d, plat::D3DPT_TRIANGLELIST, kColorFvf, v);
        EXPECT_EQ(Mask(ReadAll(target)), c.expected);
    }
}

// Counts coverage: every draw adds 0x10 to each channel (ONE / ONE).
void CountCoverage(plat::Direct3DDevice* d) {
    d->SetRenderState(plat::D3DRENDERSTATE_ALPHABLENDENABLE, 1);
    d->SetRenderState(plat::D3DRENDERSTATE_SRCBLEND, plat::D3DBLEND_ONE);
    d->SetRenderState(plat::D3DRENDERSTATE_DESTBLEND, plat::D3DBLEND_ONE);
}

struct QuadCase {
    float x0, y0, x1, y1;
};

TEST_F(D3DRasterTest, TheTwoTrianglesOfAQuadCoverEachPixelOnce) {
    const QuadCase quads[] = {{0.5f, 0.5f, 5.5f, 3.5f}, {-0.5f, -0.5f, 3.5f, 3.5f},
                              {1, 1, 4, 5}, {0.3f, 1.7f, 6.2f, 4.1f}, {2.25f, 0.75f, 7.75f, 5.25f}};
    // The four ways of splitting: list along either diagonal, a strip and a fan.
    for (const QuadCase& q : quads) {
        const ColorVertex tl = {q.x0, q.y0, 0, 1, 0xFF101010}, tr = {q.x1, q.y0, 0, 1, 0xFF101010};
        const ColorVertex bl = {q.x0, q.y1, 0, 1, 0xFF101010}, br = {q.x1, q.y1, 0, 1, 0xFF101010};
        struct Split {
            plat::PrimitiveType type;
            std::vector<ColorVertex> v;
        };
        const Split splits[] = {{plat::D3DPT_TRIANGLELIST, {tl, tr, bl, br, bl, tr}},
                                {plat::D3DPT_TRIANGLELIST, {tl, tr, br, tl, br, bl}},
                                {plat::D3DPT_TRIANGLESTRIP, {tl, tr, bl, br}},
                                {plat::D3DPT_TRIANGLEFAN, {tl, tr, br, bl}}};
        for (const Split& split : splits) {
            SCOPED_TRACE(testing::Message() << q.x0 << "," << q.y0 << " - " << q.x1 << ","
                                            << q.y1 << " type " << split.type);
            plat::DrawSurface* target = MakeTarget(kW, kH);
            plat::Direct3DDevice* d = MakeDevice(target);
            CountCoverage(d);
            Draw(d, split.type, kColorFvf, split.v);
            const std::vector<uint32_t> got = ReadAll(target);
            for (uint32_t y = 0; y < kH; ++y) {
                for (uint32_t x = 0; x < kW; ++x) {
                    // Centre (x, y) inside [x0, x1) × [y0, y1): the top and left sides count.
                    const bool in = x >= q.x0 && x < q.x1 && y >= q.y0 && y < q.y1;
                    EXPECT_EQ(got[y * kW + x], in ? 0x101010u : 0u) << x << "," << y;
                }
            }
        }
    }
}

TEST_F(D3DRasterTest, AFanAroundACentreLeavesNoGapAndNoOverlap) {
    // Six triangles around (16, 16), corners on a circle of radius 12 (shared edges in all
    // directions). Every pixel clearly inside the hexagon is covered exactly once.
    constexpr uint32_t kSide = 32;
    plat::DrawSurface* target = MakeTarget(kSide, kSide);
    plat::Direct3DDevice* d = MakeDevice(target);
    CountCoverage(d);
    std::vector<ColorVertex> fan = {{16.3f, 15.8f, 0, 1, 0xFF101010}};
    float cx[7], cy[7];
    for (int i = 0; i <= 6; ++i) {
        const double a = 0.3 + i * 3.14159265358979 / 3;
        cx[i] = static_cast<float>(16.3 + 12 * std::cos(a));
        cy[i] = static_cast<float>(15.8 + 12 * std::sin(a));
        fan.push_back({cx[i % 6], cy[i % 6], 0, 1, 0xFF101010});
    }
    Draw(d, plat::D3DPT_TRIANGLEFAN, kColorFvf, fan);
    const std::vector<uint32_t> got = ReadAll(target);
    int inside = 0;
    for (uint32_t y = 0; y < kSide; ++y) {
        for (uint32_t x = 0; x < kSide; ++x) {
            const uint32_t v = got[y * kSide + x];
            EXPECT_TRUE(v == 0 || v == 0x101010u) << x << "," << y << " covered twice";
            // Distance inside every hexagon side.
            bool clearlyInside = true;
            for (int i = 0; i < 6; ++i) {
                const double ex = cx[i + 1] - cx[i], ey = cy[i + 1] - cy[i];
                const double cross = ex * (y - cy[i]) - ey * (x - cx[i]);
                if (cross / std::hypot(ex, ey) < 0.01) clearlyInside = false;
            }
            if (clearlyInside) {
                ++inside;
                EXPECT_EQ(v, 0x101010u) << x << "," << y << " left out";
            }
        }
    }
    EXPECT_GT(inside, 300);
}

TEST_F(D3DRasterTest, CullingDropsTheWindingItNames) {
    const std::vector<ColorVertex> clockwise = {
        {0, 0, 0, 1, 0xFFFFFFFF}, {4, 0, 0, 1, 0xFFFFFFFF}, {0, 4, 0, 1, 0xFFFFFFFF}};
    const std::vector<ColorVertex> counter = {clockwise[0], clockwise[2], clockwise[1]};
    struct Case {
        uint32_t cull;
        bool clockwiseDrawn, counterDrawn;
    };
    for (const Case c : {Case{plat::D3DCULL_NONE, true, true}, Case{plat::D3DCULL_CW, false, true},
                         Case{plat::D3DCULL_CCW, true, false}}) {
        for (const bool cw : {true, false}) {
            plat::DrawSurface* target = MakeTarget(kW, kH);
            plat::Direct3DDevice* d = MakeDevice(target);
            d->SetRenderState(plat::D3DRENDERSTATE_CULLMODE, c.cull);
            Draw(d, plat::D3DPT_TRIANGLELIST, kColorFvf, cw ? clockwise : counter);
            EXPECT_EQ(ReadAll(target)[0] != 0, cw ? c.clockwiseDrawn : c.counterDrawn)
                << "cull " << c.cull << " clockwise " << cw;
        }
    }
}

TEST_F(D3DRasterTest, TheViewportClipsTriangles) {
    plat::DrawSurface* target = MakeTarget(kW, kH);
    plat::Direct3DDevice* d = MakeDevice(target);
    const plat::Viewport vp = {2, 1, 3, 2, 0, 1};
    ASSERT_EQ(d->SetViewport(&vp), D3D_OK);
    Draw(d, plat::D3DPT_TRIANGLELIST, kColorFvf, Quad(-10, -10, 20, 20, 0xFFFFFFFF));
    EXPECT_EQ(Mask(ReadAll(target)),
              "........\n"
              "..###...\n"
              "..###...\n"
              "........\n"
              "........\n"
              "........\n");
}

TEST_F(D3DRasterTest, GouraudInterpolatesAndRoundsEachChannel) {
    // Left side blue, right side red, alpha 255: pixel x has red = round(255 x / 8).
    plat::DrawSurface* target = MakeTarget(kW, kH);
    plat::Direct3DDevice* d = MakeDevice(target);
    const uint32_t l = 0xFF0000FF, r = 0xFFFF0000;
    const std::vector<ColorVertex> v = {{0, 0, 0, 1, l}, {8, 0, 0, 1, r}, {0, 6, 0, 1, l},
                                        {8, 6, 0, 1, r}, {0, 6, 0, 1, l}, {8, 0, 0, 1, r}};
    Draw(d, plat::D3DPT_TRIANGLELIST, kColorFvf, v);
    const std::vector<uint32_t> got = ReadAll(target);
    for (uint32_t y = 0; y < kH; ++y) {
        for (uint32_t x = 0; x < kW; ++x) {
            const auto red = static_cast<uint32_t>(std::floor(255.0 * x / 8 + 0.5));
            const auto blue = static_cast<uint32_t>(std::floor(255.0 * (8 - x) / 8 + 0.5));
            EXPECT_EQ(got[y * kW + x], (red << 16) | blue) << x << "," << y;
        }
    }
    // Known values: x = 1 gives 32 and 223, x = 4 gives 128 and 128 (127.5 rounds up).
    EXPECT_EQ(got[1], 0x2000DFu);
    EXPECT_EQ(got[4], 0x800080u);
}

TEST_F(D3DRasterTest, GouraudOnA565TargetTruncatesToTheChannelWidths) {
    plat::DrawSurface* target = MakeTarget(kW, kH, Rgb565());
    plat::Direct3DDevice* d = MakeDevice(target);
    // Green from 0 at y = 0 to 255 at y = 5: row y has 51 y, narrowed to 6 bits.
    const uint32_t t = 0xFF000000, b = 0xFF00FF00;
    const std::vector<ColorVertex> v = {{0, 0, 0, 1, t}, {8, 0, 0, 1, t}, {0, 5, 0, 1, b},
                                        {8, 5, 0, 1, b}, {0, 5, 0, 1, b}, {8, 0, 0, 1, t}};
    Draw(d, plat::D3DPT_TRIANGLELIST, kColorFvf, v);
    const std::vector<uint32_t> got = ReadAll(target);
    for (uint32_t y = 0; y < 5; ++y) {
        EXPECT_EQ(got[y * kW + 3], ((51 * y) >> 2) << 5) << y;
    }
    EXPECT_EQ(got[5 * kW + 3], 0u);  // the bottom edge's row is left out
}

TEST_F(D3DRasterTest, FlatShadingTakesEachTrianglesFirstVertex) {
    const uint32_t a = 0xFF000011, b = 0xFF002200, c = 0xFF330000, e = 0xFF444444;
    // One quad, left triangle (covers (1, 1)) and right triangle (covers (4, 3)).
    const ColorVertex tl = {0, 0, 0, 1, a}, tr = {6, 0, 0, 1, b};
    const ColorVertex bl = {0, 5, 0, 1, c}, br = {6, 5, 0, 1, e};
    struct Case {
        plat::PrimitiveType type;
        std::vector<ColorVertex> v;
        uint32_t first, second;
    };
    const Case cases[] = {
        {plat::D3DPT_TRIANGLELIST, {tl, tr, bl, br, bl, tr}, a, e},
        {plat::D3DPT_TRIANGLESTRIP, {tl, tr, bl, br}, a, b},  // triangle i: vertex i
        {plat::D3DPT_TRIANGLEFAN, {bl, tl, tr, br}, a, b},    // triangle i: vertex i + 1
    };
    for (const Case& k : cases) {
        plat::DrawSurface* target = MakeTarget(kW, kH);
        plat::Direct3DDevice* d = MakeDevice(target);
        d->SetRenderState(plat::D3DRENDERSTATE_SHADEMODE, plat::D3DSHADE_FLAT);
        Draw(d, k.type, kColorFvf, k.v);
        const std::vector<uint32_t> got = ReadAll(target);
        EXPECT_EQ(got[1 * kW + 1], k.first & 0xFFFFFF) << "type " << k.type;
        EXPECT_EQ(got[3 * kW + 4], k.second & 0xFFFFFF) << "type " << k.type;
    }
}

TEST_F(D3DRasterTest, VerticesWithoutDiffuseAreWhite) {
    plat::DrawSurface* target = MakeTarget(kW, kH, Rgb565());
    plat::Direct3DDevice* d = MakeDevice(target);
    struct Plain {
        float x, y, z, rhw;
    };
    const std::vector<Plain> v = {{0, 0, 0, 1}, {3, 0, 0, 1}, {0, 3, 0, 1}};
    Draw(d, plat::D3DPT_TRIANGLELIST, plat::D3DFVF_XYZRHW, v);
    EXPECT_EQ(ReadAll(target)[0], 0xFFFFu);
}

}  // namespace
