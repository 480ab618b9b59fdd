// The 3D layer's objects and states: the Direct3D object behind its switch, the device
// description and formats, device creation and its failures, references, scenes, state
// round trips and refusals, and the call log.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/platform/d3d_fixture.h"

namespace {

using plat::D3D_OK;

using D3DDeviceTest = D3DFixture;

TEST_F(D3DDeviceTest, DirectDrawHandsOutNoDirect3DUnlessOffered) {
    plat::ResetD3DTestControls();
    plat::Direct3D* d3d = d3d_;  // not null: the refusal must clear it
    EXPECT_EQ(dd_->QueryDirect3D(&d3d), plat::E_NOINTERFACE);
    EXPECT_EQ(d3d, nullptr);
    plat::OfferDirect3D(true);
    ASSERT_EQ(dd_->QueryDirect3D(&d3d), D3D_OK);
    ASSERT_NE(d3d, nullptr);
    EXPECT_EQ(d3d->Release(), 0u);
    EXPECT_EQ(dd_->QueryDirect3D(nullptr), plat::DDERR_INVALIDPARAMS);
}

TEST_F(D3DDeviceTest, TheOneDeviceDescribesItself) {
    struct Found {
        int count = 0;
        plat::DeviceDesc desc = {};
    } found;
    ASSERT_EQ(d3d_->EnumDevices(
                  [](const char*, const char*, const plat::DeviceDesc* desc, void* context) {
                      auto* f = static_cast<Found*>(context);
                      ++f->count;
                      f->desc = *desc;
                      return int32_t{1};
                  },
                  &found),
              D3D_OK);
    ASSERT_EQ(found.count, 1);
    EXPECT_TRUE(found.desc.deviceGuid == plat::IID_IDirect3DHALDevice);
    EXPECT_EQ(found.desc.deviceRenderBitDepth, plat::DDBD_16 | plat::DDBD_32);
    EXPECT_EQ(found.desc.deviceZBufferBitDepth, plat::DDBD_16);
    EXPECT_EQ(found.desc.minTextureWidth, 1u);
    EXPECT_EQ(found.desc.maxTextureHeight, 2048u);
    EXPECT_EQ(found.desc.maxTextureBlendStages, 4u);
    EXPECT_NE(found.desc.triCaps.textureCaps & plat::D3DPTEXTURECAPS_POW2, 0u);
    // The test control changes the sides reported, 0 included.
    plat::SetD3DTextureSideLimits(32, 0);
    ASSERT_EQ(d3d_->EnumDevices(
                  [](const char*, const char*, const plat::DeviceDesc* desc, void* context) {
                      static_cast<Found*>(context)->desc = *desc;
                      return int32_t{0};
                  },
                  &found),
              D3D_OK);
    EXPECT_EQ(found.desc.minTextureHeight, 32u);
    EXPECT_EQ(found.desc.maxTextureWidth, 0u);
}

TEST_F(D3DDeviceTest, FormatsOfferedAreTheSixTextureFormatsAndOneZFormat) {
    plat::Direct3DDevice* d = MakeDevice(MakeTarget(4, 4));
    std::vector<plat::PixelFormat> formats;
    ASSERT_EQ(d->EnumTextureFormats(
                  [](plat::PixelFormat* f, void* context) {
                      static_cast<std::vector<plat::PixelFormat>*>(context)->push_back(*f);
                      return int32_t{1};
                  },
                  &formats),
              D3D_OK);
    const plat::PixelFormat expected[] = {Rgb565(), X1555(), A1555(), A4444(), Xrgb32(), Argb32()};
    ASSERT_EQ(formats.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(std::memcmp(&formats[i], &expected[i], sizeof expected[i]), 0) << i;
    }
    std::vector<plat::PixelFormat> z;
    ASSERT_EQ(d3d_->EnumZBufferFormats(
                  plat::IID_IDirect3DHALDevice,
                  [](plat::PixelFormat* f, void* context) {
                      static_cast<std::vector<plat::PixelFormat>*>(context)->push_back(*f);
                      return int32_t{1};
                  },
                  &z),
              D3D_OK);
    ASSERT_EQ(z.size(), 1u);
    const plat::PixelFormat z16 = Z16();
    EXPECT_EQ(std::memcmp(&z[0], &z16, sizeof z16), 0);
    EXPECT_EQ(d3d_->EnumZBufferFormats(plat::IID_IDirect3DTnLHalDevice,
                                       [](plat::PixelFormat*, void*) { return int32_t{1}; },
                                       nullptr),
              plat::D3DERR_INVALID_DEVICE);
}

TEST_F(D3DDeviceTest, TheSixteenBitControlNarrowsTheFormatsOfferedUntilReset) {
    plat::Direct3DDevice* d = MakeDevice(MakeTarget(4, 4));
    auto offered = [&] {
        std::vector<uint32_t> bits;
        EXPECT_EQ(d->EnumTextureFormats(
                      [](plat::PixelFormat* f, void* context) {
                          static_cast<std::vector<uint32_t>*>(context)->push_back(f->bitCount);
                          return int32_t{1};
                      },
                      &bits),
                  D3D_OK);
        return bits;
    };
    plat::OfferOnly16BitD3DTextureFormats(true);
    EXPECT_EQ(offered(), (std::vector<uint32_t>{16, 16, 16, 16}));
    plat::ResetD3DTestControls();
    plat::OfferDirect3D(true);
    EXPECT_EQ(offered(), (std::vector<uint32_t>{16, 16, 16, 16, 32, 32}));
}

TEST_F(D3DDeviceTest, CreateDeviceRefusesWhatItCannotDrawInto) {
    plat::DrawSurface* good = MakeTarget(4, 4);
    plat::DrawSurface* no3D = MakePlain(4, 4);
    plat::DrawSurface* rgb555 = MakeTarget(4, 4, X1555());
    struct Case {
        const char* name;
        plat::DeviceGuid guid;
        plat::DrawSurface* target;
        int failures;
        plat::DDResult result;
    };
    const Case cases[] = {
        {"unknown device", plat::IID_IDirect3DTnLHalDevice, good, 0, plat::D3DERR_INVALID_DEVICE},
        {"no 3D caps", plat::IID_IDirect3DHALDevice, no3D, 0, plat::DDERR_INVALIDCAPS},
        {"5-5-5 target", plat::IID_IDirect3DHALDevice, rgb555, 0, plat::DDERR_INVALIDPIXELFORMAT},
        {"failure switch", plat::IID_IDirect3DHALDevice, good, 1, plat::DDERR_OUTOFMEMORY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        plat::FailNextDeviceCreates(c.failures);
        // Not null before: a refusal must clear it.
        auto* d = reinterpret_cast<plat::Direct3DDevice*>(uintptr_t{8});
        EXPECT_EQ(d3d_->CreateDevice(c.guid, c.target, &d), c.result);
        EXPECT_EQ(d, nullptr);
    }
    EXPECT_EQ(plat::LiveD3DDeviceCount(), 0u);
    // The switch is spent: the next creation succeeds.
    EXPECT_NE(MakeDevice(good), nullptr);
    EXPECT_EQ(plat::LiveD3DDeviceCount(), 1u);
}

TEST_F(D3DDeviceTest, TextureCreationFailsWhileTheSwitchLasts) {
    const plat::PixelFormat f = Rgb565();
    const plat::SurfaceDesc texture = Desc(8, 8, plat::DDSCAPS_TEXTURE, &f);
    const plat::SurfaceDesc plain = Desc(8, 8, plat::DDSCAPS_OFFSCREENPLAIN, &f);
    plat::FailNextTextureCreates(1);
    plat::DrawSurface* s = nullptr;
    EXPECT_EQ(dd_->CreateSurface(&plain, &s), plat::DD_OK);  // other surfaces are not touched
    if (s != nullptr) made_.push_back(s);
    s = nullptr;
    EXPECT_EQ(dd_->CreateSurface(&texture, &s), plat::DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(dd_->CreateSurface(&texture, &s), plat::DD_OK);
    if (s != nullptr) made_.push_back(s);
}

TEST_F(D3DDeviceTest, DevicesHoldTheirTargetAndTextures) {
    plat::DrawSurface* target = MakeTarget(4, 4);
    plat::DrawSurface* texture = MakeTexture(4, 4, Rgb565());
    plat::Direct3DDevice* d = nullptr;
    ASSERT_EQ(d3d_->CreateDevice(plat::IID_IDirect3DHALDevice, target, &d), D3D_OK);
    ASSERT_EQ(d->SetTexture(0, texture), D3D_OK);
    // The fixture's references go; the device's keep both surfaces alive.
    made_.clear();
    EXPECT_EQ(target->Release(), 1u);
    EXPECT_EQ(texture->Release(), 1u);
    const size_t live = plat::LiveSurfaceCount();
    EXPECT_EQ(d->Release(), 0u);
    EXPECT_EQ(plat::LiveSurfaceCount(), live - 2);
}

TEST_F(D3DDeviceTest, ScenesNestNeitherWayAndDrawsNeedOne) {
    plat::Direct3DDevice* d = MakeDevice(MakeTarget(4, 4));
    const auto quad = Quad(0, 0, 2, 2, 0xFFFFFFFF);
    EXPECT_EQ(d->EndScene(), plat::D3DERR_SCENE_NOT_IN_SCENE);
    EXPECT_EQ(d->DrawPrimitive(plat::D3DPT_TRIANGLELIST, kColorFvf, quad.data(), 6, 0),
              plat::D3DERR_SCENE_NOT_IN_SCENE);
    ASSERT_EQ(d->BeginScene(), D3D_OK);
    EXPECT_EQ(d->BeginScene(), plat::D3DERR_SCENE_IN_SCENE);
    struct Case {
        plat::PrimitiveType type;
        uint32_t fvf;
        uint32_t count;
        plat::DDResult result;
    };
    const Case cases[] = {
        {plat::D3DPT_TRIANGLELIST, kColorFvf, 6, D3D_OK},
        {plat::D3DPT_LINELIST, kColorFvf, 6, plat::D3DERR_INVALIDPRIMITIVETYPE},
        {7, kColorFvf, 6, plat::D3DERR_INVALIDPRIMITIVETYPE},
        {plat::D3DPT_TRIANGLELIST, plat::D3DFVF_XYZ | plat::D3DFVF_DIFFUSE, 6,
         plat::D3DERR_INVALIDVERTEXTYPE},
        {plat::D3DPT_TRIANGLELIST, kColorFvf, 4, plat::D3DERR_INVALIDVERTEXCOUNT},
        {plat::D3DPT_TRIANGLESTRIP, kColorFvf, 2, plat::D3DERR_INVALIDVERTEXCOUNT},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(d->DrawPrimitive(c.type, c.fvf, quad.data(), c.count, 0), c.result)
            << "type " << c.type << " fvf " << c.fvf << " count " << c.count;
    }
    EXPECT_EQ(d->EndScene(), D3D_OK);
    EXPECT_EQ(d->EndScene(), plat::D3DERR_SCENE_NOT_IN_SCENE);
}

TEST_F(D3DDeviceTest, StatesStartAtTheirDefaultsAndReadBackAsSet) {
    plat::Direct3DDevice* d = nullptr;
    ASSERT_EQ(d3d_->CreateDevice(plat::IID_IDirect3DHALDevice, MakeTarget(4, 4), &d), D3D_OK);
    devices_.push_back(d);
    struct Default {
        plat::RenderStateType state;
        uint32_t value;
    };
    const Default defaults[] = {{plat::D3DRENDERSTATE_ZENABLE, plat::D3DZB_FALSE},
                                {plat::D3DRENDERSTATE_SHADEMODE, plat::D3DSHADE_GOURAUD},
                                {plat::D3DRENDERSTATE_CULLMODE, plat::D3DCULL_CCW},
                                {plat::D3DRENDERSTATE_SRCBLEND, plat::D3DBLEND_ONE},
                                {plat::D3DRENDERSTATE_DESTBLEND, plat::D3DBLEND_ZERO},
                                {plat::D3DRENDERSTATE_ZFUNC, plat::D3DCMP_LESSEQUAL},
                                {plat::D3DRENDERSTATE_ALPHABLENDENABLE, 0},
                                {plat::D3DRENDERSTATE_COLORKEYENABLE, 0}};
    for (const Default& s : defaults) {
        uint32_t v = 0xDEAD;
        ASSERT_EQ(d->GetRenderState(s.state, &v), D3D_OK);
        EXPECT_EQ(v, s.value) << "state " << s.state;
    }
    uint32_t v = 0;
    ASSERT_EQ(d->SetRenderState(plat::D3DRENDERSTATE_ALPHAREF, 0x10), D3D_OK);
    ASSERT_EQ(d->GetRenderState(plat::D3DRENDERSTATE_ALPHAREF, &v), D3D_OK);
    EXPECT_EQ(v, 0x10u);
    EXPECT_EQ(d->SetRenderState(0, 1), plat::D3DERR_INVALIDSTATE);
    EXPECT_EQ(d->SetRenderState(plat::kRenderStateCount, 1), plat::D3DERR_INVALIDSTATE);

    // Stage defaults, ADDRESS setting both directions, refusals.
    ASSERT_EQ(d->GetTextureStageState(0, plat::D3DTSS_COLOROP, &v), D3D_OK);
    EXPECT_EQ(v, plat::D3DTOP_MODULATE);
    ASSERT_EQ(d->GetTextureStageState(1, plat::D3DTSS_COLOROP, &v), D3D_OK);
    EXPECT_EQ(v, plat::D3DTOP_DISABLE);
    ASSERT_EQ(d->SetTextureStageState(2, plat::D3DTSS_ADDRESS, plat::D3DTADDRESS_CLAMP), D3D_OK);
    ASSERT_EQ(d->GetTextureStageState(2, plat::D3DTSS_ADDRESSU, &v), D3D_OK);
    EXPECT_EQ(v, plat::D3DTADDRESS_CLAMP);
    ASSERT_EQ(d->GetTextureStageState(2, plat::D3DTSS_ADDRESSV, &v), D3D_OK);
    EXPECT_EQ(v, plat::D3DTADDRESS_CLAMP);
    EXPECT_EQ(d->SetTextureStageState(plat::kTextureStageCount, plat::D3DTSS_COLOROP, 1),
              plat::DDERR_INVALIDPARAMS);

    // Transforms are kept.
    plat::Matrix m = {};
    m.m[3][0] = 12.5f;
    ASSERT_EQ(d->SetTransform(plat::D3DTRANSFORMSTATE_VIEW, &m), D3D_OK);
    plat::Matrix back = {};
    ASSERT_EQ(d->GetTransform(plat::D3DTRANSFORMSTATE_VIEW, &back), D3D_OK);
    EXPECT_EQ(back.m[3][0], 12.5f);
    ASSERT_EQ(d->GetTransform(plat::D3DTRANSFORMSTATE_WORLD, &back), D3D_OK);
    EXPECT_EQ(back.m[2][2], 1.0f);  // identity at first
    EXPECT_EQ(d->SetTransform(4, &m), plat::DDERR_INVALIDPARAMS);
}

TEST_F(D3DDeviceTest, TexturesViewportsAndTargetsAreChecked) {
    plat::DrawSurface* target = MakeTarget(8, 4);
    plat::Direct3DDevice* d = MakeDevice(target);
    EXPECT_EQ(d->SetTexture(0, MakePlain(4, 4)), plat::DDERR_INVALIDCAPS);
    const plat::PixelFormat rgb24 = Rgb(24, 0xFF0000, 0xFF00, 0xFF);
    EXPECT_EQ(d->SetTexture(0, MakeTexture(4, 4, rgb24)), plat::D3DERR_TEXTURE_BADSIZE);
    EXPECT_EQ(d->SetTexture(plat::kTextureStageCount, nullptr), plat::DDERR_INVALIDPARAMS);
    plat::DrawSurface* texture = MakeTexture(4, 4, A4444());
    ASSERT_EQ(d->SetTexture(1, texture), D3D_OK);
    plat::DrawSurface* back = nullptr;
    ASSERT_EQ(d->GetTexture(1, &back), D3D_OK);
    EXPECT_EQ(back, texture);
    back->Release();

    plat::Viewport vp = {};
    ASSERT_EQ(d->GetViewport(&vp), D3D_OK);
    EXPECT_EQ(vp.width, 8u);
    EXPECT_EQ(vp.height, 4u);
    const plat::Viewport outside = {4, 0, 5, 4, 0, 1};
    EXPECT_EQ(d->SetViewport(&outside), plat::D3DERR_VIEWPORTHASNODEVICE);
    const plat::Viewport empty = {0, 0, 0, 4, 0, 1};
    EXPECT_EQ(d->SetViewport(&empty), plat::DDERR_INVALIDPARAMS);

    // A new target takes the whole of it as its viewport.
    plat::DrawSurface* other = MakeTarget(3, 2, Rgb565());
    ASSERT_EQ(d->SetRenderTarget(other, 0), D3D_OK);
    ASSERT_EQ(d->GetViewport(&vp), D3D_OK);
    EXPECT_EQ(vp.width, 3u);
    EXPECT_EQ(vp.height, 2u);
    EXPECT_EQ(d->SetRenderTarget(MakePlain(2, 2), 0), plat::DDERR_INVALIDCAPS);
    ASSERT_EQ(d->Clear(0, nullptr, plat::D3DCLEAR_TARGET, 0xFFFFFFFF, 0, 0), D3D_OK);
    EXPECT_EQ(ReadAll(other), std::vector<uint32_t>(6, 0xFFFF));
    EXPECT_EQ(ReadAll(target), std::vector<uint32_t>(32, 0));
}

TEST_F(D3DDeviceTest, TheCallLogRecordsCallsAndResults) {
    plat::DrawSurface* target = MakeTarget(4, 4);
    plat::StartD3DCallLog();
    plat::Direct3DDevice* d = MakeDevice(target);  // also sets CULLMODE
    const auto quad = Quad(0, 0, 2, 2, 0xFFFFFFFF);
    d->BeginScene();
    d->DrawPrimitive(plat::D3DPT_TRIANGLELIST, kColorFvf, quad.data(), 6, 0);
    d->EndScene();
    d->EndScene();
    const std::vector<plat::D3DCall> calls = plat::TakeD3DCallLog();
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_STREQ(calls[0].op, "CreateDevice");
    EXPECT_EQ(calls[0].a, plat::SurfaceSerial(target));
    EXPECT_STREQ(calls[1].op, "SetRenderState");
    EXPECT_EQ(calls[1].a, plat::D3DRENDERSTATE_CULLMODE);
    EXPECT_EQ(calls[1].b, plat::D3DCULL_NONE);
    EXPECT_STREQ(calls[2].op, "BeginScene");
    EXPECT_STREQ(calls[3].op, "DrawPrimitive");
    EXPECT_EQ(calls[3].a, plat::D3DPT_TRIANGLELIST);
    EXPECT_EQ(calls[3].b, kColorFvf);
    EXPECT_EQ(calls[3].c, 6u);
    EXPECT_EQ(calls[3].result, D3D_OK);
    EXPECT_STREQ(calls[5].op, "EndScene");
    EXPECT_EQ(calls[5].result, plat::D3DERR_SCENE_NOT_IN_SCENE);
    plat::StopD3DCallLog();
    d->BeginScene();
    d->EndScene();
    EXPECT_TRUE(plat::TakeD3DCallLog().empty());
}

}  // namespace
