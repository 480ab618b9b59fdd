// The 3D device's textures: 1:1 reproduction at half-pixel placement, the texture formats,
// colour keys, addressing modes and the stage cascade.
#include <gtest/gtest.h>

#include <numeric>

#include "tests/platform/d3d_fixture.h"

namespace {

using plat::D3D_OK;

using D3DTextureTest = D3DFixture;

TEST_F(D3DTextureTest, AQuadOnTheHalfPixelGridReproducesTheTexture) {
    struct Case {
        const char* name;
        plat::PixelFormat texture, target;
        uint32_t valueMask;  // what of the texel the target keeps
    };
    const Case cases[] = {{"565 on 565", Rgb565(), Rgb565(), 0xFFFF},
                          {"X8888 on X8888", Xrgb32(), Xrgb32(), 0xFFFFFF},
                          {"A8888 on A8888", Argb32(), Argb32(), 0xFFFFFFFF}};
    constexpr uint32_t kTw = 5, kTh = 3, kW = 9, kH = 6, kX = 2, kY = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        plat::DrawSurface* texture = MakeTexture(kTw, kTh, c.texture);
        std::vector<uint32_t> texels(kTw * kTh);
        for (uint32_t i = 0; i < texels.size(); ++i) texels[i] = 0xF1E2D3C4u * (i + 1);
        WriteAll(texture, texels);
        plat::DrawSurface* target = MakeTarget(kW, kH, c.target);
        plat::Direct3DDevice* d = MakeDevice(target);
        UseTextureAsIs(d, texture);
        // A graph drawn at (kX, kY) has its top-left corner at (kX - 0.5, kY - 0.5).
        Draw(d, plat::D3DPT_TRIANGLELIST, kTexFvf,
             TexQuad(kX - 0.5f, kY - 0.5f, kX + kTw - 0.5f, kY + kTh - 0.5f));
        const std::vector<uint32_t> got = ReadAll(target);
        for (uint32_t y = 0; y < kH; ++y) {
            for (uint32_t x = 0; x < kW; ++x) {
                const bool in = x >= kX && x < kX + kTw && y >= kY && y < kY + kTh;
                const uint32_t expected =
                    in ? texels[(y - kY) * kTw + (x - kX)] & c.valueMask : 0u;
                EXPECT_EQ(got[y * kW + x], expected) << x << "," << y;
            }
        }
    }
}

TEST_F(D3DTextureTest, EveryOfferedFormatDecodesToTheSameColour) {
    struct Case {
        const char* name;
        plat::PixelFormat format;
        uint32_t texel0, texel1;
        uint32_t argb0, argb1;
    };
    const Case cases[] = {
        {"5-6-5", Rgb565(), 0xF800, 0x8410, 0xFFFF0000, 0xFF848284},
        {"X1-5-5-5", X1555(), 0x7FFF, 0x801F, 0xFFFFFFFF, 0xFF0000FF},
        {"A1-5-5-5", A1555(), 0x7C00, 0x83E0, 0x00FF0000, 0xFF00FF00},
        {"A4-4-4-4", A4444(), 0x8F00, 0x1234, 0x88FF0000, 0x11223344},
        {"X8-8-8-8", Xrgb32(), 0xAB123456, 0x00FFFFFF, 0xFF123456, 0xFFFFFFFF},
        {"A8-8-8-8", Argb32(), 0xAB123456, 0x00000001, 0xAB123456, 0x00000001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        plat::DrawSurface* texture = MakeTexture(2, 1, c.format);
        WriteAll(texture, {c.texel0, c.texel1});
        plat::DrawSurface* target = MakeTarget(2, 1, Argb32());
        plat::Direct3DDevice* d = MakeDevice(target);
        UseTextureAsIs(d, texture);
        Draw(d, plat::D3DPT_TRIANGLELIST, kTexFvf, TexQuad(-0.5f, -0.5f, 1.5f, 0.5f));
        EXPECT_EQ(ReadAll(target), (std::vector<uint32_t>{c.argb0, c.argb1}));
    }
}

TEST_F(D3DTextureTest, ColourKeyedTexelsDrawNothingOnlyWhenEnabled) {
    struct Case {
        bool enabled;
        plat::ColorKey key;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        {false, {0x001F, 0x001F}, {0x001F, 0xF800, 0x001E, 0x07E0}},
        {true, {0x001F, 0x001F}, {0x1234, 0xF800, 0x001E, 0x07E0}},
        {true, {0x001E, 0x001F}, {0x1234, 0xF800, 0x1234, 0x07E0}},  // a range
    };
    for (const Case& c : cases) {
        plat::DrawSurface* texture = MakeTexture(4, 1, Rgb565());
        WriteAll(texture, {0x001F, 0xF800, 0x001E, 0x07E0});
        ASSERT_EQ(texture->SetColorKey(plat::DDCKEY_SRCBLT, &c.key), plat::DD_OK);
        plat::DrawSurface* target = MakeTarget(4, 1, Rgb565());
        WriteAll(target, std::vector<uint32_t>(4, 0x1234));
        plat::Direct3DDevice* d = MakeDevice(target);
        UseTextureAsIs(d, texture);
        d->SetRenderState(plat::D3DRENDERSTATE_COLORKEYENABLE, c.enabled ? 1 : 0);
        Draw(d, plat::D3DPT_TRIANGLELIST, kTexFvf, TexQuad(-0.5f, -0.5f, 3.5f, 0.5f));
        EXPECT_EQ(ReadAll(target), c.expected) << "enabled " << c.enabled << " low "
                                               << c.key.low;
    }
}

TEST_F(D3DTextureTest, AddressModesClampWrapAndMirror) {
    constexpr uint32_t A = 0x111111, B = 0x222222;
    struct Case {
        uint32_t mode;
        std::vector<uint32_t> expected;
    };
    // Six pixels sample u = -0.75, -0.25, 0.25, 0.75, 1.25, 1.75 of a 2-texel texture.
    const Case cases[] = {{plat::D3DTADDRESS_CLAMP, {A, A, A, B, B, B}},
                          {plat::D3DTADDRESS_WRAP, {A, B, A, B, A, B}},
                          {plat::D3DTADDRESS_MIRROR, {B, A, A, B, B, A}}};
    for (const Case& c : cases) {
        plat::DrawSurface* texture = MakeTexture(2, 1, Xrgb32());
        WriteAll(texture, {A, B});
        plat::DrawSurface* target = MakeTarget(6, 1);
        plat::Direct3DDevice* d = MakeDevice(target);
        UseTextureAsIs(d, texture);
        d->SetTextureStageState(0, plat::D3DTSS_ADDRESS, c.mode);
        auto q = TexQuad(-0.5f, -0.5f, 5.5f, 0.5f);
        for (TexVertex& v : q) v.u = v.u * 3 - 1;  // u from -1 to 2
        Draw(d, plat::D3DPT_TRIANGLELIST, kTexFvf, q);
        EXPECT_EQ(ReadAll(target), c.expected) << "mode " << c.mode;
    }
}

TEST_F(D3DTextureTest, TheDefaultStageModulatesTheTextureWithTheDiffuseColour) {
    plat::DrawSurface* texture = MakeTexture(1, 1, Xrgb32());
    WriteAll(texture, {0x00FF8040});
    plat::DrawSurface* target = MakeTarget(1, 1);
    plat::Direct3DDevice* d = MakeDevice(target);
    ASSERT_EQ(d->SetTexture(0, texture), D3D_OK);
    Draw(d, plat::D3DPT_TRIANGLELIST, kTexFvf, TexQuad(-0.5f, -0.5f, 0.5f, 0.5f, 0xFF808080));
    // (t × d + 127) / 255 per channel: 255 → 128, 128 → 64, 64 → 32.
    EXPECT_EQ(ReadAll(target)[0], 0x804020u);
}

TEST_F(D3DTextureTest, ASecondStageAddsTheTextureFactor) {
    plat::DrawSurface* texture = MakeTexture(1, 1, Xrgb32());
    WriteAll(texture, {0x00F01010});
    plat::DrawSurface* target = MakeTarget(1, 1);
    plat::Direct3DDevice* d = MakeDevice(target);
    UseTextureAsIs(d, texture);
    d->SetRenderState(plat::D3DRENDERSTATE_TEXTUREFACTOR, 0xFF204060);
    d->SetTextureStageState(1, plat::D3DTSS_COLOROP, plat::D3DTOP_ADD);
    d->SetTextureStageState(1, plat::D3DTSS_COLORARG1, plat::D3DTA_CURRENT);
    d->SetTextureStageState(1, plat::D3DTSS_COLORARG2, plat::D3DTA_TFACTOR);
    Draw(d, plat::D3DPT_TRIANGLELIST, kTexFvf, TexQuad(-0.5f, -0.5f, 0.5f, 0.5f));
    EXPECT_EQ(ReadAll(target)[0], 0xFF5070u);  // red saturates at 255
}

TEST_F(D3DTextureTest, AStageWithoutItsTextureHandsOnTheDiffuseColour) {
    plat::DrawSurface* target = MakeTarget(1, 1);
    plat::Direct3DDevice* d = MakeDevice(target);
    // The default stage 0 modulates the texture with the colour; no texture is set.
    Draw(d, plat::D3DPT_TRIANGLELIST, kTexFvf, TexQuad(-0.5f, -0.5f, 0.5f, 0.5f, 0xFF123456));
    EXPECT_EQ(ReadAll(target)[0], 0x123456u);
}

TEST_F(D3DTextureTest, BilinearFilteringWeighsTheFourNearestTexels) {
    // Two texels, black and red, stretched over four pixels: pixel i samples texel position
    // i / 2 - 0.25 (clamped), weights 8-bit.
    plat::DrawSurface* texture = MakeTexture(2, 1, Xrgb32());
    WriteAll(texture, {0x000000, 0xFF0000});
    plat::DrawSurface* target = MakeTarget(4, 1);
    plat::Direct3DDevice* d = MakeDevice(target);
    UseTextureAsIs(d, texture);
    d->SetTextureStageState(0, plat::D3DTSS_MAGFILTER, plat::D3DTFG_LINEAR);
    d->SetTextureStageState(0, plat::D3DTSS_MINFILTER, plat::D3DTFN_LINEAR);
    Draw(d, plat::D3DPT_TRIANGLELIST, kTexFvf, TexQuad(-0.5f, -0.5f, 3.5f, 0.5f));
    EXPECT_EQ(ReadAll(target), (std::vector<uint32_t>{0x000000, 0x400000, 0xBF0000, 0xFF0000}));
    // Back to point sampling: each texel twice.
    d->SetTextureStageState(0, plat::D3DTSS_MAGFILTER, plat::D3DTFG_POINT);
    Draw(d, plat::D3DPT_TRIANGLELIST, kTexFvf, TexQuad(-0.5f, -0.5f, 3.5f, 0.5f));
    EXPECT_EQ(ReadAll(target), (std::vector<uint32_t>{0x000000, 0x000000, 0xFF0000, 0xFF0000}));
}

}  // namespace
