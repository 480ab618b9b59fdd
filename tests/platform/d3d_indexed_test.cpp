// The 3D device's indexed drawing: the same pixels as the vertices drawn in index order, the
// flat colour from the vertex a triangle's first index names, repeated indices joining strip
// pieces without a stray triangle, and the refusals (indices out of range among them).
#include <gtest/gtest.h>

#include <vector>

#include "tests/platform/d3d_fixture.h"

namespace {

using plat::D3D_OK;

using D3DIndexedTest = D3DFixture;

constexpr uint32_t kW = 12, kH = 8;

// Six vertices in distinct colours, spread over the target.
const std::vector<ColorVertex> kVertices = {
    {0.5f, 0.5f, 0, 1, 0xFF102030}, {9.5f, 1.0f, 0, 1, 0xFF405060},
    {1.0f, 7.5f, 0, 1, 0xFF708090}, {11.0f, 6.5f, 0, 1, 0xFFA0B0C0},
    {5.5f, 3.0f, 0, 1, 0xFFD0E0F0}, {3.0f, 5.0f, 0, 1, 0xFF0F1F2F},
};

std::vector<ColorVertex> InIndexOrder(const std::vector<uint16_t>& indices) {
    std::vector<ColorVertex> out;
    for (uint16_t i : indices) out.push_back(kVertices[i]);
    return out;
}

TEST_F(D3DIndexedTest, IndexedDrawsMatchTheVerticesDrawnInIndexOrder) {
    struct Case {
        const char* name;
        plat::PrimitiveType type;
        std::vector<uint16_t> indices;
    };
    const Case cases[] = {
        {"list", plat::D3DPT_TRIANGLELIST, {4, 0, 1, 2, 5, 3, 1, 3, 4}},
        {"strip", plat::D3DPT_TRIANGLESTRIP, {0, 2, 4, 5, 1, 3}},
        {"fan", plat::D3DPT_TRIANGLEFAN, {4, 0, 1, 3, 2, 0}},
    };
    for (const Case& c : cases) {
        for (uint32_t shade : {plat::D3DSHADE_FLAT, plat::D3DSHADE_GOURAUD}) {
            SCOPED_TRACE(testing::Message() << c.name << " shade " << shade);
            plat::DrawSurface* indexed = MakeTarget(kW, kH);
            plat::DrawSurface* plain = MakeTarget(kW, kH);
            plat::Direct3DDevice* di = MakeDevice(indexed);
            plat::Direct3DDevice* dp = MakeDevice(plain);
            di->SetRenderState(plat::D3DRENDERSTATE_SHADEMODE, shade);
            dp->SetRenderState(plat::D3DRENDERSTATE_SHADEMODE, shade);
            ASSERT_EQ(di->BeginScene(), D3D_OK);
            EXPECT_EQ(di->DrawIndexedPrimitive(c.type, kColorFvf, kVertices.data(),
                                               static_cast<uint32_t>(kVertices.size()),
                                               c.indices.data(),
                                               static_cast<uint32_t>(c.indices.size()), 0),
                      D3D_OK);
            ASSERT_EQ(di->EndScene(), D3D_OK);
            Draw(dp, c.type, kColorFvf, InIndexOrder(c.indices));
            const std::vector<uint32_t> got = ReadAll(indexed);
            EXPECT_EQ(got, ReadAll(plain));
            EXPECT_NE(got, std::vector<uint32_t>(kW * kH, 0u));
        }
    }
}

TEST_F(D3DIndexedTest, RepeatedIndicesJoinStripPiecesWithoutAStrayTriangle) {
    // Two 3 × 3 squares with a gap of three columns; the joining triangles (3, 3, 4), (3, 4, 4)
    // and their neighbours repeat an index and must draw nothing.
    const std::vector<ColorVertex> v = {
        {-0.5f, -0.5f, 0, 1, 0xFFFFFFFF}, {-0.5f, 2.5f, 0, 1, 0xFFFFFFFF},
        {2.5f, -0.5f, 0, 1, 0xFFFFFFFF},  {2.5f, 2.5f, 0, 1, 0xFFFFFFFF},
        {5.5f, 0.5f, 0, 1, 0xFFFFFFFF},   {5.5f, 3.5f, 0, 1, 0xFFFFFFFF},
        {8.5f, 0.5f, 0, 1, 0xFFFFFFFF},   {8.5f, 3.5f, 0, 1, 0xFFFFFFFF},
    };
    const std::vector<uint16_t> indices = {0, 1, 2, 3, 3, 4, 4, 5, 6, 7};
    plat::DrawSurface* target = MakeTarget(kW, kH);
    plat::Direct3DDevice* d = MakeDevice(target);
    ASSERT_EQ(d->BeginScene(), D3D_OK);
    EXPECT_EQ(d->DrawIndexedPrimitive(plat::D3DPT_TRIANGLESTRIP, kColorFvf, v.data(),
                                      static_cast<uint32_t>(v.size()), indices.data(),
                                      static_cast<uint32_t>(indices.size()), 0),
              D3D_OK);
    ASSERT_EQ(d->EndScene(), D3D_OK);
    const std::vector<uint32_t> got = ReadAll(target);
    for (uint32_t y = 0; y < kH; ++y) {
        for (uint32_t x = 0; x < kW; ++x) {
            const bool first = x < 3 && y < 3;
            const bool second = x >= 6 && x < 9 && y >= 1 && y < 4;
            EXPECT_EQ(got[y * kW + x], first || second ? 0xFFFFFFu : 0u) << x << "," << y;
        }
    }
}

TEST_F(D3DIndexedTest, RefusedCallsDrawNothingAndAreLogged) {
    plat::DrawSurface* target = MakeTarget(kW, kH);
    plat::Direct3DDevice* d = MakeDevice(target);
    const std::vector<uint16_t> ok = {0, 1, 2};
    const std::vector<uint16_t> past = {0, 1, 6};  // 6 == the vertex count
    const std::vector<uint16_t> four = {0, 1, 2, 3};
    const uint32_t n = static_cast<uint32_t>(kVertices.size());
    EXPECT_EQ(d->DrawIndexedPrimitive(plat::D3DPT_TRIANGLELIST, kColorFvf, kVertices.data(), n,
                                      ok.data(), 3, 0),
              plat::D3DERR_SCENE_NOT_IN_SCENE);
    ASSERT_EQ(d->BeginScene(), D3D_OK);
    plat::StartD3DCallLog();
    struct Case {
        const char* name;
        plat::PrimitiveType type;
        uint32_t fvf;
        const void* vertices;
        uint32_t vertexCount;
        const uint16_t* indices;
        uint32_t indexCount;
        plat::DDResult expected;
    };
    const Case cases[] = {
        {"index at the vertex count", plat::D3DPT_TRIANGLELIST, kColorFvf, kVertices.data(), n,
         past.data(), 3, plat::DDERR_INVALIDPARAMS},
        {"index past fewer vertices", plat::D3DPT_TRIANGLEFAN, kColorFvf, kVertices.data(), 2,
         ok.data(), 3, plat::DDERR_INVALIDPARAMS},
        {"no vertices at all", plat::D3DPT_TRIANGLESTRIP, kColorFvf, kVertices.data(), 0,
         ok.data(), 3, plat::DDERR_INVALIDPARAMS},
        {"null indices", plat::D3DPT_TRIANGLELIST, kColorFvf, kVertices.data(), n, nullptr, 3,
         plat::DDERR_INVALIDPARAMS},
        {"null vertices", plat::D3DPT_TRIANGLELIST, kColorFvf, nullptr, n, ok.data(), 3,
         plat::DDERR_INVALIDPARAMS},
        {"list not of whole triangles", plat::D3DPT_TRIANGLELIST, kColorFvf, kVertices.data(), n,
         four.data(), 4, plat::D3DERR_INVALIDVERTEXCOUNT},
        {"strip of two indices", plat::D3DPT_TRIANGLESTRIP, kColorFvf, kVertices.data(), n,
         ok.data(), 2, plat::D3DERR_INVALIDVERTEXCOUNT},
        {"lines", plat::D3DPT_LINELIST, kColorFvf, kVertices.data(), n, four.data(), 4,
         plat::D3DERR_INVALIDPRIMITIVETYPE},
        {"untransformed", plat::D3DPT_TRIANGLELIST, plat::D3DFVF_XYZ | plat::D3DFVF_DIFFUSE,
         kVertices.data(), n, ok.data(), 3, plat::D3DERR_INVALIDVERTEXTYPE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(d->DrawIndexedPrimitive(c.type, c.fvf, c.vertices, c.vertexCount, c.indices,
                                          c.indexCount, 0),
                  c.expected);
        const std::vector<plat::D3DCall> calls = plat::TakeD3DCallLog();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_STREQ(calls[0].op, "DrawIndexedPrimitive");
        EXPECT_EQ(calls[0].a, c.type);
        EXPECT_EQ(calls[0].b, c.fvf);
        EXPECT_EQ(calls[0].c, c.indexCount);
        EXPECT_EQ(calls[0].result, c.expected);
    }
    ASSERT_EQ(d->EndScene(), D3D_OK);
    plat::StopD3DCallLog();
    EXPECT_EQ(ReadAll(target), std::vector<uint32_t>(kW * kH, 0u));
}

}  // namespace
