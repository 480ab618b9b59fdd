// The 3D device's per-pixel tests and writes: alpha blend factors in integers on both target
// formats, the alpha test, the Z buffer, and Clear of the target and of Z.
#include <gtest/gtest.h>

#include "tests/platform/d3d_fixture.h"

namespace {

using plat::D3D_OK;

using D3DBlendTest = D3DFixture;

struct BlendCase {
    const char* name;
    bool x8888;  // else 5-6-5
    uint32_t srcBlend, destBlend;
    uint32_t source;  // vertex colour A8R8G8B8
    uint32_t dest;    // target pixel before
    uint32_t result;  // target pixel after
};

// min(255, (s × fs + d × fd + 127) / 255) per channel.
const BlendCase kBlends[] = {
    {"alpha", true, plat::D3DBLEND_SRCALPHA, plat::D3DBLEND_INVSRCALPHA, 0x80FF0000, 0x000000FF,
     0x0080007F},
    {"alpha 255 is the source", true, plat::D3DBLEND_SRCALPHA, plat::D3DBLEND_INVSRCALPHA,
     0xFF123456, 0x00FFFFFF, 0x00123456},
    {"alpha 0 keeps the destination", true, plat::D3DBLEND_SRCALPHA, plat::D3DBLEND_INVSRCALPHA,
     0x00123456, 0x00ABCDEF, 0x00ABCDEF},
    {"one one adds", true, plat::D3DBLEND_ONE, plat::D3DBLEND_ONE, 0xFF804020, 0x00102030,
     0x00906050},
    {"one one saturates", true, plat::D3DBLEND_ONE, plat::D3DBLEND_ONE, 0xFF804020, 0x00A0C0E0,
     0x00FFFFFF},
    {"add with alpha", true, plat::D3DBLEND_SRCALPHA, plat::D3DBLEND_ONE, 0x40FF8000, 0x00101010,
     0x00503010},
    {"multiply", true, plat::D3DBLEND_ZERO, plat::D3DBLEND_SRCCOLOR, 0xFF80FF00, 0x00FF4020,
     0x00804000},
    {"inverse destination", true, plat::D3DBLEND_INVDESTCOLOR, plat::D3DBLEND_ZERO, 0xFFFFFFFF,
     0x00FF8000, 0x00007FFF},
    {"alpha on 5-6-5", false, plat::D3DBLEND_SRCALPHA, plat::D3DBLEND_INVSRCALPHA, 0x80FF0000,
     0x001F, 0x800F},
    {"one one on 5-6-5", false, plat::D3DBLEND_ONE, plat::D3DBLEND_ONE, 0xFF080400, 0x0820,
     0x1040},
};

TEST_F(D3DBlendTest, BlendFactorsGiveTheExpectedPixels) {
    for (const BlendCase& c : kBlends) {
        SCOPED_TRACE(c.name);
        plat::DrawSurface* target = MakeTarget(2, 2, c.x8888 ? Xrgb32() : Rgb565());
        WriteAll(target, std::vector<uint32_t>(4, c.dest));
        plat::Direct3DDevice* d = MakeDevice(target);
        d->SetRenderState(plat::D3DRENDERSTATE_ALPHABLENDENABLE, 1);
        d->SetRenderState(plat::D3DRENDERSTATE_SRCBLEND, c.srcBlend);
        d->SetRenderState(plat::D3DRENDERSTATE_DESTBLEND, c.destBlend);
        Draw(d, plat::D3DPT_TRIANGLELIST, kColorFvf, Quad(-0.5f, -0.5f, 1.5f, 1.5f, c.source));
        EXPECT_EQ(ReadAll(target), std::vector<uint32_t>(4, c.result));
    }
}

TEST_F(D3DBlendTest, WithoutBlendingTheSourceColourIsWrittenWhateverItsAlpha) {
    plat::DrawSurface* target = MakeTarget(1, 1);
    WriteAll(target, {0x00FFFFFF});
    plat::Direct3DDevice* d = MakeDevice(target);
    d->SetRenderState(plat::D3DRENDERSTATE_SRCBLEND, plat::D3DBLEND_SRCALPHA);
    d->SetRenderState(plat::D3DRENDERSTATE_DESTBLEND, plat::D3DBLEND_INVSRCALPHA);
    Draw(d, plat::D3DPT_TRIANGLELIST, kColorFvf, Quad(-0.5f, -0.5f, 0.5f, 0.5f, 0x10204080));
    EXPECT_EQ(ReadAll(target)[0], 0x00204080u);
}

TEST_F(D3DBlendTest, TheAlphaTestComparesWithTheReference) {
    struct Case {
        uint32_t func;
        bool drawn;
    };
    for (const Case c : {Case{plat::D3DCMP_GREATER, false}, Case{plat::D3DCMP_GREATEREQUAL, true},
                         Case{plat::D3DCMP_LESS, false}, Case{plat::D3DCMP_EQUAL, true}}) {
        plat::DrawSurface* target = MakeTarget(1, 1);
        plat::Direct3DDevice* d = MakeDevice(target);
        d->SetRenderState(plat::D3DRENDERSTATE_ALPHATESTENABLE, 1);
        d->SetRenderState(plat::D3DRENDERSTATE_ALPHAREF, 0x40);
        d->SetRenderState(plat::D3DRENDERSTATE_ALPHAFUNC, c.func);
        Draw(d, plat::D3DPT_TRIANGLELIST, kColorFvf, Quad(-0.5f, -0.5f, 0.5f, 0.5f, 0x40ABCDEF));
        EXPECT_EQ(ReadAll(target)[0], c.drawn ? 0xABCDEFu : 0u) << "func " << c.func;
    }
}

TEST_F(D3DBlendTest, TheZBufferKeepsTheNearestAndHonoursZWrite) {
    plat::DrawSurface* target = MakeTarget(2, 1);
    plat::DrawSurface* z = Make(2, 1, plat::DDSCAPS_ZBUFFER | plat::DDSCAPS_SYSTEMMEMORY, Z16());
    ASSERT_EQ(target->AddAttachedSurface(z), plat::DD_OK);
    plat::Direct3DDevice* d = MakeDevice(target);
    uint32_t enabled = 0;
    ASSERT_EQ(d->GetRenderState(plat::D3DRENDERSTATE_ZENABLE, &enabled), D3D_OK);
    EXPECT_EQ(enabled, plat::D3DZB_TRUE);  // a target with a Z buffer starts with Z on
    ASSERT_EQ(d->Clear(0, nullptr, plat::D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(ReadAll(z), (std::vector<uint32_t>{0xFFFF, 0xFFFF}));
    auto draw = [&](uint32_t color, float depth) {
        Draw(d, plat::D3DPT_TRIANGLELIST, kColorFvf, Quad(-0.5f, -0.5f, 1.5f, 0.5f, color, depth));
    };
    draw(0xFF0000AA, 0.5f);
    draw(0xFF0000BB, 0.75f);  // behind: LESSEQUAL fails
    EXPECT_EQ(ReadAll(target), (std::vector<uint32_t>{0xAA, 0xAA}));
    EXPECT_EQ(ReadAll(z), (std::vector<uint32_t>{0x8000, 0x8000}));  // 0.5 × 65535 rounded
    d->SetRenderState(plat::D3DRENDERSTATE_ZWRITEENABLE, 0);
    draw(0xFF0000CC, 0.25f);  // in front, drawn, depth kept
    EXPECT_EQ(ReadAll(target), (std::vector<uint32_t>{0xCC, 0xCC}));
    EXPECT_EQ(ReadAll(z), (std::vector<uint32_t>{0x8000, 0x8000}));
    d->SetRenderState(plat::D3DRENDERSTATE_ZENABLE, plat::D3DZB_FALSE);
    draw(0xFF0000DD, 0.9f);  // no test at all
    EXPECT_EQ(ReadAll(target), (std::vector<uint32_t>{0xDD, 0xDD}));
    ASSERT_EQ(target->DeleteAttachedSurface(0, z), plat::DD_OK);
}

TEST_F(D3DBlendTest, ClearFillsTheViewportOrTheRectanglesInTheTargetsFormat) {
    struct Case {
        const char* name;
        bool x8888;
        uint32_t color;
        uint32_t pixel;  // the colour in the target's format
    };
    const Case cases[] = {{"X8888 drops the alpha", true, 0x80123456, 0x00123456},
                          {"5-6-5 truncates", false, 0xFFFF8040, 0xFC08}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        plat::DrawSurface* target = MakeTarget(4, 3, c.x8888 ? Xrgb32() : Rgb565());
        plat::Direct3DDevice* d = MakeDevice(target);
        ASSERT_EQ(d->Clear(0, nullptr, plat::D3DCLEAR_TARGET, c.color, 0, 0), D3D_OK);
        EXPECT_EQ(ReadAll(target), std::vector<uint32_t>(12, c.pixel));
        // Rectangles are clipped to the viewport (columns 1..3, rows 0..1).
        WriteAll(target, std::vector<uint32_t>(12, 0));
        const plat::Viewport vp = {1, 0, 3, 2, 0, 1};
        ASSERT_EQ(d->SetViewport(&vp), D3D_OK);
        const plat::Rect rects[] = {{0, 0, 2, 3}, {3, 1, 9, 9}};
        ASSERT_EQ(d->Clear(2, rects, plat::D3DCLEAR_TARGET, c.color, 0, 0), D3D_OK);
        const uint32_t p = c.pixel;
        EXPECT_EQ(ReadAll(target),
                  (std::vector<uint32_t>{0, p, 0, 0,  //
                                         0, p, 0, p,  //
                                         0, 0, 0, 0}));
    }
}

TEST_F(D3DBlendTest, ClearRefusesWhatItCannotDo) {
    plat::DrawSurface* target = MakeTarget(2, 2);
    plat::Direct3DDevice* d = MakeDevice(target);
    EXPECT_EQ(d->Clear(0, nullptr, plat::D3DCLEAR_ZBUFFER, 0, 1.0f, 0),
              plat::D3DERR_ZBUFFER_NOTPRESENT);
    EXPECT_EQ(d->Clear(0, nullptr, 0, 0, 1.0f, 0), plat::DDERR_INVALIDPARAMS);
    plat::SurfaceDesc locked;
    ASSERT_EQ(target->Lock(nullptr, &locked, plat::DDLOCK_WAIT), plat::DD_OK);
    EXPECT_EQ(d->Clear(0, nullptr, plat::D3DCLEAR_TARGET, 0xFFFFFFFF, 0, 0),
              plat::DDERR_SURFACEBUSY);
    ASSERT_EQ(d->BeginScene(), D3D_OK);
    EXPECT_EQ(d->DrawPrimitive(plat::D3DPT_TRIANGLELIST, kColorFvf,
                               Quad(0, 0, 2, 2, 0xFFFFFFFF).data(), 6, 0),
              plat::DDERR_SURFACEBUSY);
    ASSERT_EQ(d->EndScene(), D3D_OK);
    ASSERT_EQ(target->Unlock(nullptr), plat::DD_OK);
    EXPECT_EQ(ReadAll(target), std::vector<uint32_t>(4, 0));
}

TEST_F(D3DBlendTest, LostOrLockedSurfacesAreNotDrawnFrom) {
    constexpr uint32_t kVideoTarget =
        plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_3DDEVICE | plat::DDSCAPS_VIDEOMEMORY;
    plat::DrawSurface* target = Make(2, 2, kVideoTarget, Xrgb32());
    plat::DrawSurface* texture = MakeTexture(2, 2, Xrgb32());
    plat::Direct3DDevice* d = MakeDevice(target);
    UseTextureAsIs(d, texture);
    const auto quad = TexQuad(-0.5f, -0.5f, 1.5f, 1.5f);
    plat::SurfaceDesc locked;
    ASSERT_EQ(texture->Lock(nullptr, &locked, plat::DDLOCK_WAIT), plat::DD_OK);
    ASSERT_EQ(d->BeginScene(), D3D_OK);
    EXPECT_EQ(d->DrawPrimitive(plat::D3DPT_TRIANGLELIST, kTexFvf, quad.data(), 6, 0),
              plat::DDERR_SURFACEBUSY);
    ASSERT_EQ(texture->Unlock(nullptr), plat::DD_OK);
    ASSERT_GE(plat::LoseVideoMemorySurfaces(), 1);
    EXPECT_EQ(d->DrawPrimitive(plat::D3DPT_TRIANGLELIST, kTexFvf, quad.data(), 6, 0),
              plat::DDERR_SURFACELOST);
    EXPECT_EQ(d->Clear(0, nullptr, plat::D3DCLEAR_TARGET, 0xFFFFFFFF, 0, 0),
              plat::DDERR_SURFACELOST);
    ASSERT_EQ(target->Restore(), plat::DD_OK);
    EXPECT_EQ(d->DrawPrimitive(plat::D3DPT_TRIANGLELIST, kTexFvf, quad.data(), 6, 0), D3D_OK);
    ASSERT_EQ(d->EndScene(), D3D_OK);
}

}  // namespace
