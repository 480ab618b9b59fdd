// A full frame drawn through the platform's 3D device directly: a 640 × 480 background quad
// and 500 rotated colour-keyed 32 × 32 sprites (textured transformed-and-lit vertices, point
// sampling, clamp), opaque and then blended at alpha 128, into 16-bit and 32-bit targets.
// The goal is a whole frame in under 2 ms. Also the background alone and the sprites alone.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/d3d/d3d.h"
#include "platform/ddraw/ddraw.h"
#include "platform/testing/d3d_test_controls.h"

namespace {

constexpr uint32_t kWidth = 640, kHeight = 480, kSprites = 500, kSpriteSide = 32;

struct Vertex {
    float x, y, z, rhw;
    uint32_t diffuse;
    float u, v;
};
constexpr uint32_t kFvf = plat::D3DFVF_XYZRHW | plat::D3DFVF_DIFFUSE | plat::D3DFVF_TEX1;

plat::PixelFormat Rgb(uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a = 0) {
    plat::PixelFormat f = {};
    f.size = sizeof f;
    f.flags = plat::DDPF_RGB | (a != 0 ? plat::DDPF_ALPHAPIXELS : 0u);
    f.bitCount = bits;
    f.redMask = r;
    f.greenMask = g;
    f.blueMask = b;
    f.alphaMask = a;
    return f;
}

// The device, its target and the two textures; released at the end.
struct Scene {
    plat::DirectDraw* dd = nullptr;
    plat::Direct3D* d3d = nullptr;
    plat::DrawSurface* target = nullptr;
    plat::DrawSurface* background = nullptr;
    plat::DrawSurface* sprite = nullptr;
    plat::Direct3DDevice* device = nullptr;
    std::vector<Vertex> backgroundQuad;
    std::vector<Vertex> sprites;  // kSprites × 6 (triangle lists)

    plat::DrawSurface* Make(uint32_t w, uint32_t h, uint32_t caps, const plat::PixelFormat& f) {
        plat::SurfaceDesc d = {};
        d.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT | plat::DDSD_PIXELFORMAT;
        d.width = w;
        d.height = h;
        d.caps.caps = caps | plat::DDSCAPS_SYSTEMMEMORY;
        d.pixelFormat = f;
        plat::DrawSurface* s = nullptr;
        dd->CreateSurface(&d, &s);
        return s;
    }
    static void Fill(plat::DrawSurface* s, uint32_t (*value)(uint32_t x, uint32_t y)) {
        plat::SurfaceDesc d = {};
        s->Lock(nullptr, &d, plat::DDLOCK_WAIT | plat::DDLOCK_WRITEONLY);
        const uint32_t bytes = d.pixelFormat.bitCount / 8;
        for (uint32_t y = 0; y < d.height; ++y) {
            auto* row = static_cast<uint8_t*>(d.surface) + int64_t{d.pitch} * y;
            for (uint32_t x = 0; x < d.width; ++x) {
                const uint32_t v = value(x, y);
                std::memcpy(row + x * bytes, &v, bytes);
            }
        }
        s->Unlock(nullptr);
    }

    explicit Scene(uint32_t targetBits) {
        plat::ResetD3DTestControls();
        plat::OfferDirect3D(true);
        plat::CreateDirectDraw(&dd);
        dd->QueryDirect3D(&d3d);
        const plat::PixelFormat r565 = Rgb(16, 0xF800, 0x07E0, 0x001F);
        target = Make(kWidth, kHeight, plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_3DDEVICE,
                      targetBits == 16 ? r565 : Rgb(32, 0xFF0000, 0xFF00, 0xFF));
        background = Make(kWidth, kHeight, plat::DDSCAPS_TEXTURE, r565);
        sprite = Make(kSpriteSide, kSpriteSide, plat::DDSCAPS_TEXTURE, r565);
        Fill(background, [](uint32_t x, uint32_t y) { return (x * 7 + y * 3) * 0x1234u & 0xFFFF; });
        // A disc of colours with the key (0) around it.
        Fill(sprite, [](uint32_t x, uint32_t y) {
            const int dx = static_cast<int>(x) - 16, dy = static_cast<int>(y) - 16;
            return dx * dx + dy * dy < 200 ? ((x * 2) << 11 | (y * 2) << 5 | 0x1F) : 0u;
        });
        plat::ColorKey key = {0, 0};
        sprite->SetColorKey(plat::DDCKEY_SRCBLT, &key);
        d3d->CreateDevice(plat::IID_IDirect3DHALDevice, target, &device);
        device->SetRenderState(plat::D3DRENDERSTATE_CULLMODE, plat::D3DCULL_NONE);
        device->SetRenderState(plat::D3DRENDERSTATE_ZENABLE, plat::D3DZB_FALSE);
        device->SetTextureStageState(0, plat::D3DTSS_COLOROP, plat::D3DTOP_MODULATE);
        device->SetTextureStageState(0, plat::D3DTSS_COLORARG1, plat::D3DTA_TEXTURE);
        device->SetTextureStageState(0, plat::D3DTSS_COLORARG2, plat::D3DTA_DIFFUSE);
        device->SetTextureStageState(0, plat::D3DTSS_ALPHAOP, plat::D3DTOP_MODULATE);
        device->SetTextureStageState(0, plat::D3DTSS_ALPHAARG1, plat::D3DTA_TEXTURE);
        device->SetTextureStageState(0, plat::D3DTSS_ALPHAARG2, plat::D3DTA_DIFFUSE);
        device->SetTextureStageState(0, plat::D3DTSS_ADDRESS, plat::D3DTADDRESS_CLAMP);
        device->SetTextureStageState(0, plat::D3DTSS_MAGFILTER, plat::D3DTFG_POINT);
        device->SetTextureStageState(0, plat::D3DTSS_MINFILTER, plat::D3DTFN_POINT);

        const float w = kWidth, h = kHeight;
        backgroundQuad = {{-0.5f, -0.5f, 0, 1, 0xFFFFFFFF, 0, 0},
                          {w - 0.5f, -0.5f, 0, 1, 0xFFFFFFFF, 1, 0},
                          {-0.5f, h - 0.5f, 0, 1, 0xFFFFFFFF, 0, 1},
                          {w - 0.5f, h - 0.5f, 0, 1, 0xFFFFFFFF, 1, 1},
                          {-0.5f, h - 0.5f, 0, 1, 0xFFFFFFFF, 0, 1},
                          {w - 0.5f, -0.5f, 0, 1, 0xFFFFFFFF, 1, 0}};
        for (uint32_t i = 0; i < kSprites; ++i) {
            const float cx = 20.0f + static_cast<float>((i * 97) % 600);
            const float cy = 20.0f + static_cast<float>((i * 61) % 440);
            const float angle = 0.0123f * static_cast<float>(i * 37 % 512);
            const float c = std::cos(angle) * 16.0f, s = std::sin(angle) * 16.0f;
            auto corner = [&](float sx, float sy, float u, float v) {
                // (sx, sy) in -1..1 rotated about the centre.
                return Vertex{cx + sx * c - sy * s - 0.5f, cy + sx * s + sy * c - 0.5f, 0, 1,
                              0xFFFFFFFF, u, v};
            };
            const Vertex a = corner(-1, -1, 0, 0), b = corner(1, -1, 1, 0);
            const Vertex d = corner(-1, 1, 0, 1), e = corner(1, 1, 1, 1);
            sprites.insert(sprites.end(), {a, b, d, e, d, b});
        }
    }
    ~Scene() {
        device->Release();
        sprite->Release();
        background->Release();
        target->Release();
        d3d->Release();
        dd->Release();
        plat::ResetD3DTestControls();
    }

    void DrawBackground() {
        device->SetRenderState(plat::D3DRENDERSTATE_COLORKEYENABLE, 0);
        device->SetRenderState(plat::D3DRENDERSTATE_ALPHABLENDENABLE, 0);
        device->SetTexture(0, background);
        device->DrawPrimitive(plat::D3DPT_TRIANGLELIST, kFvf, backgroundQuad.data(), 6, 0);
    }
    void DrawSprites(bool blend) {
        device->SetRenderState(plat::D3DRENDERSTATE_COLORKEYENABLE, 1);
        device->SetRenderState(plat::D3DRENDERSTATE_ALPHABLENDENABLE, blend ? 1 : 0);
        device->SetRenderState(plat::D3DRENDERSTATE_SRCBLEND, plat::D3DBLEND_SRCALPHA);
        device->SetRenderState(plat::D3DRENDERSTATE_DESTBLEND, plat::D3DBLEND_INVSRCALPHA);
        device->SetTexture(0, sprite);
        const uint32_t diffuse = blend ? 0x80FFFFFFu : 0xFFFFFFFFu;
        for (Vertex& v : sprites) v.diffuse = diffuse;
        // One call per sprite, as the library draws them.
        for (uint32_t i = 0; i < kSprites; ++i) {
            device->DrawPrimitive(plat::D3DPT_TRIANGLELIST, kFvf, sprites.data() + 6 * i, 6, 0);
        }
    }
};

enum Part { kFrame, kBackgroundOnly, kSpritesOnly };

void Run(benchmark::State& state, Part part, bool blend) {
    Scene scene(static_cast<uint32_t>(state.range(0)));
    for (auto _ : state) {
        scene.device->BeginScene();
        if (part != kSpritesOnly) scene.DrawBackground();
        if (part != kBackgroundOnly) scene.DrawSprites(blend);
        scene.device->EndScene();
        benchmark::ClobberMemory();
    }
}

void BM_D3DFrameColourKey(benchmark::State& state) { Run(state, kFrame, false); }
void BM_D3DFrameBlend128(benchmark::State& state) { Run(state, kFrame, true); }
void BM_D3DBackgroundOnly(benchmark::State& state) { Run(state, kBackgroundOnly, false); }
void BM_D3DSpritesColourKey(benchmark::State& state) { Run(state, kSpritesOnly, false); }
void BM_D3DSpritesBlend128(benchmark::State& state) { Run(state, kSpritesOnly, true); }

BENCHMARK(BM_D3DFrameColourKey)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_D3DFrameBlend128)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_D3DBackgroundOnly)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_D3DSpritesColourKey)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_D3DSpritesBlend128)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

}  // namespace
