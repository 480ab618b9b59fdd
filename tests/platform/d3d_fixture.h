// A fixture for the 3D-device tests: the surface-layer fixture with the Direct3D object
// offered and obtained, helpers to make targets, textures and devices, vertex records of the
// two transformed-and-lit formats, and a check at the end that every device was released.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/d3d/d3d.h"
#include "platform/testing/d3d_test_controls.h"
#include "tests/platform/ddraw/ddraw_fixture.h"

// x, y, z, rhw, diffuse.
struct ColorVertex {
    float x, y, z, rhw;
    uint32_t diffuse;
};
static_assert(sizeof(ColorVertex) == 20);
// x, y, z, rhw, diffuse, u, v.
struct TexVertex {
    float x, y, z, rhw;
    uint32_t diffuse;
    float u, v;
};
static_assert(sizeof(TexVertex) == 28);

inline constexpr uint32_t kColorFvf = plat::D3DFVF_XYZRHW | plat::D3DFVF_DIFFUSE;
inline constexpr uint32_t kTexFvf = plat::D3DFVF_XYZRHW | plat::D3DFVF_DIFFUSE | plat::D3DFVF_TEX1;

class D3DFixture : public DDrawFixture {
protected:
    void SetUp() override {
        DDrawFixture::SetUp();
        plat::ResetD3DTestControls();
        plat::OfferDirect3D(true);
        ASSERT_EQ(dd_->QueryDirect3D(&d3d_), plat::D3D_OK);
        ASSERT_NE(d3d_, nullptr);
    }
    void TearDown() override {
        for (plat::Direct3DDevice* d : devices_) d->Release();
        EXPECT_EQ(plat::LiveD3DDeviceCount(), 0u);
        if (d3d_ != nullptr) d3d_->Release();
        plat::ResetD3DTestControls();
        DDrawFixture::TearDown();
    }

    static plat::PixelFormat Argb32() { return Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000); }
    static plat::PixelFormat X1555() { return Rgb(16, 0x7C00, 0x03E0, 0x001F); }
    static plat::PixelFormat A1555() { return Rgb(16, 0x7C00, 0x03E0, 0x001F, 0x8000); }
    static plat::PixelFormat A4444() { return Rgb(16, 0x0F00, 0x00F0, 0x000F, 0xF000); }

    plat::DrawSurface* MakeTarget(uint32_t width, uint32_t height,
                                  const plat::PixelFormat& format = Xrgb32()) {
        return Make(width, height,
                    plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_3DDEVICE |
                        plat::DDSCAPS_SYSTEMMEMORY,
                    format);
    }
    plat::DrawSurface* MakeTexture(uint32_t width, uint32_t height,
                                   const plat::PixelFormat& format) {
        return Make(width, height, plat::DDSCAPS_TEXTURE | plat::DDSCAPS_SYSTEMMEMORY, format);
    }
    // A device on target with culling off, released at the end of the test.
    plat::Direct3DDevice* MakeDevice(plat::DrawSurface* target) {
        plat::Direct3DDevice* d = nullptr;
        EXPECT_EQ(d3d_->CreateDevice(plat::IID_IDirect3DHALDevice, target, &d), plat::D3D_OK);
        if (d != nullptr) {
            devices_.push_back(d);
            EXPECT_EQ(d->SetRenderState(plat::D3DRENDERSTATE_CULLMODE, plat::D3DCULL_NONE),
                      plat::D3D_OK);
        }
        return d;
    }
    // Stage 0 shows the texture as it is (colour and alpha), clamped.
    static void UseTextureAsIs(plat::Direct3DDevice* d, plat::DrawSurface* texture) {
        ASSERT_EQ(d->SetTexture(0, texture), plat::D3D_OK);
        d->SetTextureStageState(0, plat::D3DTSS_COLOROP, plat::D3DTOP_SELECTARG1);
        d->SetTextureStageState(0, plat::D3DTSS_COLORARG1, plat::D3DTA_TEXTURE);
        d->SetTextureStageState(0, plat::D3DTSS_ALPHAOP, plat::D3DTOP_SELECTARG1);
        d->SetTextureStageState(0, plat::D3DTSS_ALPHAARG1, plat::D3DTA_TEXTURE);
        d->SetTextureStageState(0, plat::D3DTSS_ADDRESS, plat::D3DTADDRESS_CLAMP);
    }

    // Draws inside a scene of its own.
    template <typename V>
    static void Draw(plat::Direct3DDevice* d, plat::PrimitiveType type, uint32_t fvf,
                     const std::vector<V>& v) {
        ASSERT_EQ(d->BeginScene(), plat::D3D_OK);
        EXPECT_EQ(d->DrawPrimitive(type, fvf, v.data(), static_cast<uint32_t>(v.size()), 0),
                  plat::D3D_OK);
        ASSERT_EQ(d->EndScene(), plat::D3D_OK);
    }

    // The two triangles (list) of the axis-aligned quad (x0, y0)-(x1, y1) in one colour.
    static std::vector<ColorVertex> Quad(float x0, float y0, float x1, float y1,
                                         uint32_t color, float z = 0.0f) {
        return {{x0, y0, z, 1, color}, {x1, y0, z, 1, color}, {x0, y1, z, 1, color},
                {x1, y1, z, 1, color}, {x0, y1, z, 1, color}, {x1, y0, z, 1, color}};
    }
    static std::vector<TexVertex> TexQuad(float x0, float y0, float x1, float y1,
                                          uint32_t color = 0xFFFFFFFF) {
        return {{x0, y0, 0, 1, color, 0, 0}, {x1, y0, 0, 1, color, 1, 0},
                {x0, y1, 0, 1, color, 0, 1}, {x1, y1, 0, 1, color, 1, 1},
                {x0, y1, 0, 1, color, 0, 1}, {x1, y0, 0, 1, color, 1, 0}};
    }

    plat::Direct3D* d3d_ = nullptr;
    std::vector<plat::Direct3DDevice*> devices_;
};
