// The rasteriser's fast span loops against its general path: for a table of texture and
// target formats, stage set-ups, colour keys, alpha tests, blending and addressing, each drawn
// over a set of triangles (rotated, 1:1, magnified, minified, off the edge, thin, quads on
// whole pixels split along either diagonal, mirrored, clipped, 1:1 at texel middles), the two
// give the same pixels, and the fast loops, the quads drawn a row at a time, the rectangles
// drawn as such and those drawn straight from their vertices were really used.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/platform/d3d_fixture.h"

namespace {

using plat::D3D_OK;

using D3DFastSpanTest = D3DFixture;

constexpr uint32_t kW = 24, kH = 20, kTw = 8, kTh = 4;

struct Combine {
    const char* name;
    uint32_t colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
    uint32_t diffuse;
    bool flat, key, blend;
    uint32_t alphaFunc = 0, alphaRef = 0;  // alphaFunc 0: no alpha test
    bool drawsNothing = false;             // the test fails every pixel
};

const Combine kCombines[] = {
    {"texture as it is, keyed", plat::D3DTOP_SELECTARG1, plat::D3DTA_TEXTURE,
     plat::D3DTA_DIFFUSE, plat::D3DTOP_SELECTARG1, plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE,
     0xFFFFFFFF, false, true, false},
    {"modulated by a colour, flat, keyed, blended", plat::D3DTOP_MODULATE, plat::D3DTA_TEXTURE,
     plat::D3DTA_DIFFUSE, plat::D3DTOP_MODULATE, plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE,
     0x80C08040, true, true, true},
    {"white modulate, diffuse alpha, blended", plat::D3DTOP_MODULATE, plat::D3DTA_TEXTURE,
     plat::D3DTA_CURRENT, plat::D3DTOP_SELECTARG2, plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE,
     0x80FFFFFF, false, false, true},
    {"diffuse colour, texture alpha, keyed, blended", plat::D3DTOP_SELECTARG2,
     plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE, plat::D3DTOP_SELECTARG1, plat::D3DTA_TEXTURE,
     plat::D3DTA_DIFFUSE, 0xFF336699, false, true, true},
    {"alpha disabled keeps the diffuse alpha", plat::D3DTOP_MODULATE, plat::D3DTA_TEXTURE,
     plat::D3DTA_DIFFUSE, plat::D3DTOP_DISABLE, plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE,
     0x40FFFFFF, false, true, true},
    {"diffuse first, white, opaque", plat::D3DTOP_MODULATE, plat::D3DTA_DIFFUSE,
     plat::D3DTA_TEXTURE, plat::D3DTOP_MODULATE, plat::D3DTA_DIFFUSE, plat::D3DTA_TEXTURE,
     0xFFFFFFFF, false, false, false},
    {"modulated, opaque", plat::D3DTOP_MODULATE, plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE,
     plat::D3DTOP_MODULATE, plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE, 0xC0708090, false, false,
     false},
    // The library's sprites: the texture as it is, its alpha tested or blending it in.
    {"texture as it is, alpha tested", plat::D3DTOP_SELECTARG1, plat::D3DTA_TEXTURE,
     plat::D3DTA_DIFFUSE, plat::D3DTOP_SELECTARG1, plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE,
     0xFFFFFFFF, true, false, false, plat::D3DCMP_GREATER, 0x10},
    {"texture as it is, keyed, alpha tested", plat::D3DTOP_SELECTARG1, plat::D3DTA_TEXTURE,
     plat::D3DTA_DIFFUSE, plat::D3DTOP_SELECTARG1, plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE,
     0xFFFFFFFF, true, true, false, plat::D3DCMP_NOTEQUAL, 0x00},
    {"texture as it is, texture alpha blended", plat::D3DTOP_SELECTARG1, plat::D3DTA_TEXTURE,
     plat::D3DTA_DIFFUSE, plat::D3DTOP_SELECTARG1, plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE,
     0xFFFFFFFF, true, false, true},
    {"texture as it is, alpha tested, blended", plat::D3DTOP_SELECTARG1, plat::D3DTA_TEXTURE,
     plat::D3DTA_DIFFUSE, plat::D3DTOP_SELECTARG1, plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE,
     0xFFFFFFFF, true, false, true, plat::D3DCMP_GREATER, 0x00},
    {"texture as it is, keyed, alpha tested outside a range, blended", plat::D3DTOP_SELECTARG1,
     plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE, plat::D3DTOP_SELECTARG1, plat::D3DTA_TEXTURE,
     plat::D3DTA_DIFFUSE, 0xFFFFFFFF, true, true, true, plat::D3DCMP_NOTEQUAL, 0x80},
    {"modulated, alpha tested by LESS, blended", plat::D3DTOP_MODULATE, plat::D3DTA_TEXTURE,
     plat::D3DTA_DIFFUSE, plat::D3DTOP_MODULATE, plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE,
     0xC0A0E060, true, false, true, plat::D3DCMP_LESS, 0xD0},
    {"modulated, keyed, alpha tested, blended", plat::D3DTOP_MODULATE, plat::D3DTA_TEXTURE,
     plat::D3DTA_DIFFUSE, plat::D3DTOP_MODULATE, plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE,
     0xA0C08040, false, true, true, plat::D3DCMP_GREATEREQUAL, 0x40},
    {"white modulate, alpha tested by GREATEREQUAL", plat::D3DTOP_MODULATE,
     plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE, plat::D3DTOP_MODULATE, plat::D3DTA_TEXTURE,
     plat::D3DTA_DIFFUSE, 0xFFFFFFFF, true, false, false, plat::D3DCMP_GREATEREQUAL, 0x90},
    {"diffuse alpha passing the test", plat::D3DTOP_SELECTARG1, plat::D3DTA_TEXTURE,
     plat::D3DTA_DIFFUSE, plat::D3DTOP_SELECTARG2, plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE,
     0x90FFFFFF, true, true, true, plat::D3DCMP_LESSEQUAL, 0x90},
    {"diffuse alpha failing the test", plat::D3DTOP_MODULATE, plat::D3DTA_TEXTURE,
     plat::D3DTA_DIFFUSE, plat::D3DTOP_SELECTARG2, plat::D3DTA_TEXTURE, plat::D3DTA_DIFFUSE,
     0x30C0C0C0, true, false, false, plat::D3DCMP_EQUAL, 0x31, true},
};

// Triangle lists of textured vertices (the colour is set per combine).
std::vector<std::vector<TexVertex>> Shapes() {
    std::vector<std::vector<TexVertex>> shapes;
    auto quad = [](float x0, float y0, float x1, float y1, float u0, float v0, float u1,
                   float v1) {
        return std::vector<TexVertex>{{x0, y0, 0, 1, 0, u0, v0}, {x1, y0, 0, 1, 0, u1, v0},
                                      {x0, y1, 0, 1, 0, u0, v1}, {x1, y1, 0, 1, 0, u1, v1},
                                      {x0, y1, 0, 1, 0, u0, v1}, {x1, y0, 0, 1, 0, u1, v0}};
    };
    // A rotated sprite.
    {
        const float c = std::cos(0.6f) * 7, s = std::sin(0.6f) * 7, cx = 11.3f, cy = 9.1f;
        auto at = [&](float sx, float sy, float u, float v) {
            return TexVertex{cx + sx * c - sy * s, cy + sx * s + sy * c, 0, 1, 0, u, v};
        };
        const TexVertex a = at(-1, -1, 0, 0), b = at(1, -1, 1, 0), d = at(-1, 1, 0, 1),
                        e = at(1, 1, 1, 1);
        shapes.push_back({a, b, d, e, d, b});
    }
    shapes.push_back(quad(2.5f, 3.5f, 2.5f + kTw, 3.5f + kTh, 0, 0, 1, 1));  // 1:1
    shapes.push_back(quad(-0.5f, -0.5f, 23.5f, 11.5f, -0.5f, -0.25f, 1.5f, 1.25f));  // 3×
    shapes.push_back({{1.2f, 18.7f, 0, 1, 0, -2.3f, 4.1f},
                      {22.9f, 14.2f, 0, 1, 0, 5.2f, -1.7f},
                      {9.6f, 0.4f, 0, 1, 0, 0.3f, 0.9f}});  // minified, far outside
    shapes.push_back(quad(-6.5f, 12.5f, 5.5f, 24.5f, 0, 0, 1, 1));  // off two edges
    shapes.push_back({{0.3f, 0.2f, 0, 1, 0, 0, 0},
                      {23.7f, 19.6f, 0, 1, 0, 1, 1},
                      {0.9f, 0.3f, 0, 1, 0, 1, 0}});  // thin
    // 1:1 on whole pixels: every side passes through pixel centres.
    shapes.push_back(quad(13, 2, 13 + kTw, 2 + kTh, 0, 0, 1, 1));
    // Split along the other diagonal (TL-TR-BR, BR-BL-TL), on whole pixels.
    shapes.push_back({{3, 12, 0, 1, 0, 0, 0}, {3 + kTw, 12, 0, 1, 0, 1, 0},
                      {3 + kTw, 12 + kTh, 0, 1, 0, 1, 1}, {3 + kTw, 12 + kTh, 0, 1, 0, 1, 1},
                      {3, 12 + kTh, 0, 1, 0, 0, 1}, {3, 12, 0, 1, 0, 0, 0}});
    // Mirrored in both directions (the halves wound the other way), on whole pixels.
    shapes.push_back(quad(21, 19, 21 - kTw, 19 - kTh, 0, 0, 1, 1));
    // 1:1 on quarter pixels, off the right and top edges.
    shapes.push_back(quad(18.25f, -1.75f, 18.25f + kTw, -1.75f + kTh, 0, 0, 1, 1));
    // 1:1 on half pixels split along the other diagonal, the texture shifted by two texels
    // (so clamping and wrapping differ), and 1:1 on eighths of a pixel: rectangles drawn
    // straight from their vertices.
    shapes.push_back({{5.5f, 13.5f, 0, 1, 0, 0.25f, 0}, {5.5f + kTw, 13.5f, 0, 1, 0, 1.25f, 0},
                      {5.5f + kTw, 13.5f + kTh, 0, 1, 0, 1.25f, 1},
                      {5.5f + kTw, 13.5f + kTh, 0, 1, 0, 1.25f, 1},
                      {5.5f, 13.5f + kTh, 0, 1, 0, 0.25f, 1}, {5.5f, 13.5f, 0, 1, 0, 0.25f, 0}});
    shapes.push_back(quad(9.625f, 7.375f, 9.625f + kTw, 7.375f + kTh, 0, 0, 1, 1));
    // 1:1 across, stretched twice down, on half pixels: not one texel per pixel.
    shapes.push_back(quad(14.5f, 9.5f, 14.5f + kTw, 9.5f + 2 * kTh, 0, 0, 1, 1));
    // A sheared quad whose halves share their texel mapping: drawn a row at a time.
    shapes.push_back({{4, 14, 0, 1, 0, 0, 0}, {12, 14, 0, 1, 0, 1, 0}, {6, 18, 0, 1, 0, 0, 1},
                      {14, 18, 0, 1, 0, 1, 1}, {6, 18, 0, 1, 0, 0, 1},
                      {12, 14, 0, 1, 0, 1, 0}});
    // Two halves not sharing their texel mapping: drawn one by one.
    shapes.push_back({{6, 6, 0, 1, 0, 0, 0}, {14, 6, 0, 1, 0, 1, 0}, {6, 10, 0, 1, 0, 0, 1},
                      {14, 10, 0, 1, 0, 0.5f, 1}, {6, 10, 0, 1, 0, 0, 1},
                      {14, 6, 0, 1, 0, 1, 0}});
    return shapes;
}

TEST_F(D3DFastSpanTest, FastLoopsDrawTheGeneralPathsPixels) {
    struct Formats {
        const char* name;
        plat::PixelFormat target, texture;
        uint32_t keyLow, keyHigh;  // raw texel values keyed
        bool binaryAlpha = false;  // texel alphas 0 or 255 in runs, with a few others
    };
    const Formats formats[] = {
        {"565 on 565", Rgb565(), Rgb565(), 0x0000, 0x0841},
        {"X1555 on 565", Rgb565(), X1555(), 0x0400, 0x07FF},
        {"A1555 on X8888", Xrgb32(), A1555(), 0x8000, 0x8000},
        {"4444 on 565", Rgb565(), A4444(), 0x1000, 0x1FFF},
        {"X8888 on X8888", Xrgb32(), Xrgb32(), 0x00000000, 0x00000000},
        {"A8888 on X8888", Xrgb32(), Argb32(), 0x11000000, 0x11FFFFFF},
        {"565 on X8888", Xrgb32(), Rgb565(), 0x0000, 0x0000},
        {"X8888 on 565", Rgb565(), Xrgb32(), 0x00000000, 0x0000FFFF},
        {"A1555 on 565", Rgb565(), A1555(), 0x0000, 0x0000},
        {"A8888 on 565", Rgb565(), Argb32(), 0x00000000, 0x00FFFFFF},
        // Alphas of 0 and 255 only, in runs of four texels and mixed with others.
        {"A8888 of alpha 0 or 255 on X8888", Xrgb32(), Argb32(), 0x00000000, 0x00000000, true},
    };
    // Texels: every fourth one in the key's range, the others spread over all bits.
    auto texels = [](const Formats& f) {
        std::vector<uint32_t> v(kTw * kTh);
        const uint32_t mask = f.texture.bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
        for (uint32_t i = 0; i < v.size(); ++i) {
            v[i] = i % 4 == 1 ? f.keyLow : ((i + 3) * 0x9E3779B1u ^ (i << 7)) & mask;
            if (f.binaryAlpha) {
                // Rows of eight: the first four opaque, the next four clear, except the
                // fourth row, whose alphas vary.
                const uint32_t run = i / 4;
                const uint32_t alpha = run == 6 ? (i * 0x47u) & 0xFF : run % 2 == 0 ? 0xFF : 0;
                v[i] = (v[i] & 0xFFFFFFu) | alpha << 24;
            }
        }
        return v;
    };
    std::vector<uint32_t> background(kW * kH);
    for (uint32_t i = 0; i < background.size(); ++i) background[i] = (i * 0x01234567u) ^ 0x5A5A;
    const auto shapes = Shapes();
    for (const Formats& f : formats) {
        const uint64_t wideBefore = plat::D3DWideRunCount();
        plat::DrawSurface* texture = MakeTexture(kTw, kTh, f.texture);
        WriteAll(texture, texels(f));
        const plat::ColorKey key = {f.keyLow, f.keyHigh};
        ASSERT_EQ(texture->SetColorKey(plat::DDCKEY_SRCBLT, &key), plat::DD_OK);
        // 32-bit targets keep their unused top byte where nothing is written.
        const uint32_t targetMask = f.target.bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
        std::vector<uint32_t> start(background);
        for (uint32_t& p : start) p &= targetMask;
        for (const Combine& c : kCombines) {
            for (uint32_t address : {plat::D3DTADDRESS_CLAMP, plat::D3DTADDRESS_WRAP}) {
                SCOPED_TRACE(testing::Message() << f.name << ", " << c.name << ", address "
                                                << address);
                // The general path, the fast loops four pixels at a time, and the fast loops
                // with their eight-pixel runs.
                std::vector<uint32_t> got[3];
                const uint64_t fastBefore = plat::D3DFastTriangleCount();
                const uint64_t joinedBefore = plat::D3DJoinedPairCount();
                const uint64_t rectanglesBefore = plat::D3DRectanglePairCount();
                const uint64_t unscaledBefore = plat::D3DUnscaledRectangleCount();
                for (int fast = 0; fast < 3; ++fast) {
                    plat::UseD3DFastSpans(fast != 0);
                    plat::UseD3DWideSpans(fast == 2);
                    plat::DrawSurface* target = MakeTarget(kW, kH, f.target);
                    WriteAll(target, start);
                    plat::Direct3DDevice* d = MakeDevice(target);
                    ASSERT_EQ(d->SetTexture(0, texture), D3D_OK);
                    d->SetTextureStageState(0, plat::D3DTSS_COLOROP, c.colorOp);
                    d->SetTextureStageState(0, plat::D3DTSS_COLORARG1, c.colorArg1);
                    d->SetTextureStageState(0, plat::D3DTSS_COLORARG2, c.colorArg2);
                    d->SetTextureStageState(0, plat::D3DTSS_ALPHAOP, c.alphaOp);
                    d->SetTextureStageState(0, plat::D3DTSS_ALPHAARG1, c.alphaArg1);
                    d->SetTextureStageState(0, plat::D3DTSS_ALPHAARG2, c.alphaArg2);
                    d->SetTextureStageState(0, plat::D3DTSS_ADDRESS, address);
                    d->SetRenderState(plat::D3DRENDERSTATE_SHADEMODE,
                                      c.flat ? plat::D3DSHADE_FLAT : plat::D3DSHADE_GOURAUD);
                    d->SetRenderState(plat::D3DRENDERSTATE_COLORKEYENABLE, c.key ? 1 : 0);
                    d->SetRenderState(plat::D3DRENDERSTATE_ALPHABLENDENABLE, c.blend ? 1 : 0);
                    d->SetRenderState(plat::D3DRENDERSTATE_SRCBLEND, plat::D3DBLEND_SRCALPHA);
                    d->SetRenderState(plat::D3DRENDERSTATE_DESTBLEND,
                                      plat::D3DBLEND_INVSRCALPHA);
                    d->SetRenderState(plat::D3DRENDERSTATE_ALPHATESTENABLE,
                                      c.alphaFunc != 0 ? 1 : 0);
                    if (c.alphaFunc != 0) {
                        d->SetRenderState(plat::D3DRENDERSTATE_ALPHAFUNC, c.alphaFunc);
                        d->SetRenderState(plat::D3DRENDERSTATE_ALPHAREF, c.alphaRef);
                    }
                    for (std::vector<TexVertex> shape : shapes) {
                        for (TexVertex& v : shape) v.diffuse = c.diffuse;
                        Draw(d, plat::D3DPT_TRIANGLELIST, kTexFvf, shape);
                    }
                    got[fast] = ReadAll(target);
                }
                EXPECT_EQ(got[1], got[0]);
                EXPECT_EQ(got[2], got[0]);
                if (c.drawsNothing) {
                    EXPECT_EQ(got[0], start);
                } else {
                    EXPECT_NE(got[0], start);
                }
                EXPECT_GT(plat::D3DFastTriangleCount(), fastBefore);
                const uint64_t rectangles = plat::D3DRectanglePairCount() - rectanglesBefore;
                EXPECT_GE(rectangles, 5u);
                // Four of the shapes are one texel per pixel at a texel's middle, drawn by the
                // two fast settings.
                EXPECT_EQ(plat::D3DUnscaledRectangleCount() - unscaledBefore, 8u);
                EXPECT_GT(plat::D3DJoinedPairCount() - joinedBefore, rectangles);
            }
        }
        // The blended 32-bit loops on a 32-bit target reached their eight-pixel runs.
        const bool wideServes = f.texture.bitCount == 32 && f.target.bitCount == 32;
        if (wideServes && plat::D3DWideSpansAvailable()) {
            EXPECT_GT(plat::D3DWideRunCount(), wideBefore) << f.name;
        } else {
            EXPECT_EQ(plat::D3DWideRunCount(), wideBefore) << f.name;
        }
    }
    plat::UseD3DWideSpans(true);
}

TEST_F(D3DFastSpanTest, StatesTheFastLoopsDoNotServeTakeTheGeneralPath) {
    // Bilinear filtering, a colour-varying Gouraud triangle, mirror addressing and a
    // non-power-of-two wrap leave the fast loops alone and still draw.
    struct Case {
        const char* name;
        uint32_t magFilter, address, texWidth;
        uint32_t c0, c1;
    };
    const Case cases[] = {
        {"bilinear", plat::D3DTFG_LINEAR, plat::D3DTADDRESS_CLAMP, 8, 0xFFFFFFFF, 0xFFFFFFFF},
        {"Gouraud colours", plat::D3DTFG_POINT, plat::D3DTADDRESS_CLAMP, 8, 0xFFFF0000,
         0xFF0000FF},
        {"mirror", plat::D3DTFG_POINT, plat::D3DTADDRESS_MIRROR, 8, 0xFFFFFFFF, 0xFFFFFFFF},
        {"wrap of 6 texels", plat::D3DTFG_POINT, plat::D3DTADDRESS_WRAP, 6, 0xFFFFFFFF,
         0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        plat::DrawSurface* texture = MakeTexture(c.texWidth, 2, Rgb565());
        std::vector<uint32_t> t(c.texWidth * 2);
        for (uint32_t i = 0; i < t.size(); ++i) t[i] = 0x1111u * (i + 1);
        WriteAll(texture, t);
        plat::DrawSurface* target = MakeTarget(kW, kH, Rgb565());
        plat::Direct3DDevice* d = MakeDevice(target);
        UseTextureAsIs(d, texture);
        d->SetTextureStageState(0, plat::D3DTSS_MAGFILTER, c.magFilter);
        d->SetTextureStageState(0, plat::D3DTSS_ADDRESS, c.address);
        std::vector<TexVertex> q = TexQuad(0.5f, 0.5f, 20.5f, 10.5f);
        for (TexVertex& v : q) {
            v.diffuse = v.x < 10 ? c.c0 : c.c1;
            v.u = v.u * 3 - 1;
        }
        const uint64_t before = plat::D3DFastTriangleCount();
        Draw(d, plat::D3DPT_TRIANGLELIST, kTexFvf, q);
        EXPECT_EQ(plat::D3DFastTriangleCount(), before);
        EXPECT_NE(ReadAll(target), std::vector<uint32_t>(kW * kH, 0u));
    }
}

}  // namespace
