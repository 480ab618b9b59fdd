// The device's software rasteriser: triangles of transformed-and-lit vertices into the
// target's pixels (coverage with the top-left rule, flat or Gouraud colour, the texture stage
// cascade with point sampling, colour key, alpha test, Z buffer, alpha blending), and Clear.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "platform/d3d/d3d_internal.h"

namespace plat {

namespace {

// Positions are snapped to 1/kSubPixel of a pixel.
constexpr int64_t kSubPixel = 256;

struct Rgba {
    int r, g, b, a;
};

Rgba Unpack(uint32_t argb) {
    return Rgba{static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
                static_cast<int>(argb & 0xFF), static_cast<int>(argb >> 24)};
}

// One channel of a pixel format: where it lies and how wide it is.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
};

Channel MakeChannel(uint32_t mask) {
    Channel c;
    c.mask = mask;
    if (mask != 0) {
        c.shift = std::countr_zero(mask);
        c.bits = std::popcount(mask);
    }
    return c;
}

// A channel value of `bits` bits widened to 8 by repeating its bits.
int Widen(uint32_t value, int bits) {
    if (bits >= 8) return static_cast<int>(value >> (bits - 8));
    uint32_t r = 0;
    int filled = 0;
    while (filled < 8) {
        r = (r << bits) | value;
        filled += bits;
    }
    return static_cast<int>(r >> (filled - 8));
}

struct Format {
    Channel r, g, b, a;
    uint32_t bytes = 0;

    explicit Format(const PixelFormat& f)
        : r(MakeChannel(f.redMask)),
          g(MakeChannel(f.greenMask)),
          b(MakeChannel(f.blueMask)),
          a(MakeChannel(f.alphaMask)),
          bytes(f.bitCount / 8) {}
    Format() = default;

    static int Get(const Channel& c, uint32_t raw) {
        return Widen((raw & c.mask) >> c.shift, c.bits);
    }
    Rgba Decode(uint32_t raw) const {
        return Rgba{Get(r, raw), Get(g, raw), Get(b, raw), a.bits != 0 ? Get(a, raw) : 255};
    }
    static uint32_t Put(const Channel& c, int value) {
        if (c.bits == 0) return 0;
        return (static_cast<uint32_t>(value) >> (8 - std::min(c.bits, 8))) << c.shift;
    }
    // Narrowed by truncation; the alpha only where the format has one.
    uint32_t Encode(const Rgba& c) const {
        return Put(r, c.r) | Put(g, c.g) | Put(b, c.b) | Put(a, c.a);
    }
};

uint32_t Load(const uint8_t* p, uint32_t bytes) {
    if (bytes == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void Store(uint8_t* p, uint32_t bytes, uint32_t value) {
    if (bytes == 2) {
        const auto v = static_cast<uint16_t>(value);
        std::memcpy(p, &v, 2);
    } else {
        std::memcpy(p, &value, 4);
    }
}

bool Compare(uint32_t func, int value, int reference) {
    switch (func) {
        case D3DCMP_NEVER: return false;
        case D3DCMP_LESS: return value < reference;
        case D3DCMP_EQUAL: return value == reference;
        case D3DCMP_LESSEQUAL: return value <= reference;
        case D3DCMP_GREATER: return value > reference;
        case D3DCMP_NOTEQUAL: return value != reference;
        case D3DCMP_GREATEREQUAL: return value >= reference;
        default: return true;
    }
}

int Mul(int a, int b) { return (a * b + 127) / 255; }

int Operate(uint32_t op, int a1, int a2) {
    switch (op) {
        case D3DTOP_SELECTARG1: return a1;
        case D3DTOP_SELECTARG2: return a2;
        case D3DTOP_MODULATE: return Mul(a1, a2);
        case D3DTOP_MODULATE2X: return std::min(255, 2 * Mul(a1, a2));
        case D3DTOP_MODULATE4X: return std::min(255, 4 * Mul(a1, a2));
        case D3DTOP_ADD: return std::min(255, a1 + a2);
        case D3DTOP_SUBTRACT: return std::max(0, a1 - a2);
        default: return a1;
    }
}

bool OpReads(uint32_t op, int argument) {
    if (op == D3DTOP_DISABLE) return false;
    if (op == D3DTOP_SELECTARG1) return argument == 1;
    if (op == D3DTOP_SELECTARG2) return argument == 2;
    return true;
}

int AddressTexel(uint32_t mode, double coordinate, int size) {
    const double t = std::floor(coordinate * size);
    // Far outside the texture every mode is bounded first so the integer math stays small.
    const double bounded = std::clamp(t, -1e9, 1e9);
    const auto i = static_cast<int64_t>(bounded);
    switch (mode) {
        case D3DTADDRESS_CLAMP: return static_cast<int>(std::clamp<int64_t>(i, 0, size - 1));
        case D3DTADDRESS_MIRROR: {
            const int64_t period = 2 * int64_t{size};
            const int64_t m = ((i % period) + period) % period;
            return static_cast<int>(m < size ? m : period - 1 - m);
        }
        default: return static_cast<int>(((i % size) + size) % size);
    }
}

struct Stage {
    uint32_t colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
    const SurfaceImpl* texture;
    Format format;
    bool samples;       // an operation reads the texture
    uint32_t coordSet;  // the vertex's (u, v) set it reads
    uint32_t addressU, addressV;
    bool bilinear;  // MAGFILTER D3DTFG_LINEAR
};

struct Vertex {
    double x, y, z;
    Rgba diffuse, specular;
    double uv[8][2];
};

// Everything a draw fixes before its pixel loops.
struct Setup {
    SurfaceImpl* target;
    Format targetFormat;
    SurfaceImpl* zBuffer;  // null: no depth test
    bool zWrite;
    uint32_t zFunc;
    bool gouraud;
    uint32_t cull;
    bool colorKey;
    bool alphaTest;
    int alphaRef;
    uint32_t alphaFunc;
    bool blend;
    uint32_t srcBlend, destBlend;
    Rgba factor;
    int stageCount;
    Stage stages[kBlendStageCount];
    int clipLeft, clipTop, clipRight, clipBottom;  // inclusive pixel range
};

Rgba Argument(uint32_t argument, const Rgba& diffuse, const Rgba& specular, const Rgba& current,
              const Rgba& texel, const Rgba& factor) {
    Rgba v;
    switch (argument & D3DTA_SELECTMASK) {
        case D3DTA_DIFFUSE: v = diffuse; break;
        case D3DTA_TEXTURE: v = texel; break;
        case D3DTA_TFACTOR: v = factor; break;
        case D3DTA_SPECULAR: v = specular; break;
        default: v = current; break;
    }
    if ((argument & D3DTA_COMPLEMENT) != 0) v = Rgba{255 - v.r, 255 - v.g, 255 - v.b, 255 - v.a};
    if ((argument & D3DTA_ALPHAREPLICATE) != 0) v.r = v.g = v.b = v.a;
    return v;
}

int BlendFactor(uint32_t factor, int sourceChannel, int sourceAlpha, int destChannel,
                int destAlpha) {
    switch (factor) {
        case D3DBLEND_ONE: return 255;
        case D3DBLEND_SRCCOLOR: return sourceChannel;
        case D3DBLEND_INVSRCCOLOR: return 255 - sourceChannel;
        case D3DBLEND_SRCALPHA: return sourceAlpha;
        case D3DBLEND_INVSRCALPHA: return 255 - sourceAlpha;
        case D3DBLEND_DESTALPHA: return destAlpha;
        case D3DBLEND_INVDESTALPHA: return 255 - destAlpha;
        case D3DBLEND_DESTCOLOR: return destChannel;
        case D3DBLEND_INVDESTCOLOR: return 255 - destChannel;
        default: return 0;
    }
}

// The usable state of a surface a draw reads or writes.
DDResult SurfaceReady(const SurfaceImpl* s) {
    if (s->lost) return DDERR_SURFACELOST;
    if (s->IsBusy()) return DDERR_SURFACEBUSY;
    return D3D_OK;
}

void ClipToViewport(const DeviceImpl* device, Setup* s) {
    const Viewport& v = device->viewport;
    s->clipLeft = static_cast<int>(v.x);
    s->clipTop = static_cast<int>(v.y);
    s->clipRight =
        static_cast<int>(std::min<uint64_t>(uint64_t{v.x} + v.width, s->target->width)) - 1;
    s->clipBottom =
        static_cast<int>(std::min<uint64_t>(uint64_t{v.y} + v.height, s->target->height)) - 1;
}

DDResult Prepare(DeviceImpl* device, Setup* s) {
    const uint32_t* rs = device->renderStates;
    s->target = device->target;
    if (DDResult r = SurfaceReady(s->target); r != D3D_OK) return r;
    s->targetFormat = Format(s->target->format);
    s->zBuffer = rs[D3DRENDERSTATE_ZENABLE] == D3DZB_TRUE ? s->target->zBuffer : nullptr;
    if (s->zBuffer != nullptr) {
        if (DDResult r = SurfaceReady(s->zBuffer); r != D3D_OK) return r;
    }
    s->zWrite = rs[D3DRENDERSTATE_ZWRITEENABLE] != 0;
    s->zFunc = rs[D3DRENDERSTATE_ZFUNC];
    s->gouraud = rs[D3DRENDERSTATE_SHADEMODE] != D3DSHADE_FLAT;
    s->cull = rs[D3DRENDERSTATE_CULLMODE];
    s->colorKey = rs[D3DRENDERSTATE_COLORKEYENABLE] != 0;
    s->alphaTest = rs[D3DRENDERSTATE_ALPHATESTENABLE] != 0;
    s->alphaRef = static_cast<int>(rs[D3DRENDERSTATE_ALPHAREF] & 0xFF);
    s->alphaFunc = rs[D3DRENDERSTATE_ALPHAFUNC];
    s->blend = rs[D3DRENDERSTATE_ALPHABLENDENABLE] != 0;
    s->srcBlend = rs[D3DRENDERSTATE_SRCBLEND];
    s->destBlend = rs[D3DRENDERSTATE_DESTBLEND];
    s->factor = Unpack(rs[D3DRENDERSTATE_TEXTUREFACTOR]);
    s->stageCount = 0;
    for (uint32_t i = 0; i < kBlendStageCount; ++i) {
        const uint32_t* ss = device->stageStates[i];
        Stage st = {};
        st.colorOp = ss[D3DTSS_COLOROP];
        if (st.colorOp == D3DTOP_DISABLE) break;
        st.colorArg1 = ss[D3DTSS_COLORARG1];
        st.colorArg2 = ss[D3DTSS_COLORARG2];
        st.alphaOp = ss[D3DTSS_ALPHAOP];
        st.alphaArg1 = ss[D3DTSS_ALPHAARG1];
        st.alphaArg2 = ss[D3DTSS_ALPHAARG2];
        auto isTexture = [](uint32_t a) { return (a & D3DTA_SELECTMASK) == D3DTA_TEXTURE; };
        st.samples = (OpReads(st.colorOp, 1) && isTexture(st.colorArg1)) ||
                     (OpReads(st.colorOp, 2) && isTexture(st.colorArg2)) ||
                     (OpReads(st.alphaOp, 1) && isTexture(st.alphaArg1)) ||
                     (OpReads(st.alphaOp, 2) && isTexture(st.alphaArg2));
        st.texture = device->textures[i];
        // A stage that reads a texture it does not have ends the cascade.
        if (st.samples && st.texture == nullptr) break;
        if (st.samples) {
            if (DDResult r = SurfaceReady(st.texture); r != D3D_OK) return r;
            st.format = Format(st.texture->format);
        }
        st.coordSet = ss[D3DTSS_TEXCOORDINDEX] & 0xFFFF;
        st.addressU = ss[D3DTSS_ADDRESSU];
        st.addressV = ss[D3DTSS_ADDRESSV];
        st.bilinear = ss[D3DTSS_MAGFILTER] == D3DTFG_LINEAR;
        s->stages[s->stageCount++] = st;
    }
    ClipToViewport(device, s);
    return D3D_OK;
}

// The four texels around (u, v) weighted by 8-bit fractions of the distance from their
// centres, each channel rounded to nearest.
Rgba SampleBilinear(const Stage& st, double u, double v) {
    const SurfaceImpl* t = st.texture;
    const int w = static_cast<int>(t->width), h = static_cast<int>(t->height);
    const double su = std::clamp(u * w - 0.5, -1e9, 1e9), sv = std::clamp(v * h - 0.5, -1e9, 1e9);
    const double fx0 = std::floor(su), fy0 = std::floor(sv);
    const int fu = static_cast<int>(std::lround((su - fx0) * 256));
    const int fv = static_cast<int>(std::lround((sv - fy0) * 256));
    // Texel columns and rows through the address mode (coordinates of texel centres).
    const int x0 = AddressTexel(st.addressU, (fx0 + 0.5) / w, w);
    const int x1 = AddressTexel(st.addressU, (fx0 + 1.5) / w, w);
    const int y0 = AddressTexel(st.addressV, (fy0 + 0.5) / h, h);
    const int y1 = AddressTexel(st.addressV, (fy0 + 1.5) / h, h);
    auto at = [&](int x, int y) {
        return st.format.Decode(Load(t->PixelAt(x, y), st.format.bytes));
    };
    const Rgba c00 = at(x0, y0), c10 = at(x1, y0), c01 = at(x0, y1), c11 = at(x1, y1);
    auto mix = [&](int a00, int a10, int a01, int a11) {
        const int top = a00 * (256 - fu) + a10 * fu;
        const int bottom = a01 * (256 - fu) + a11 * fu;
        return (top * (256 - fv) + bottom * fv + 32768) >> 16;
    };
    return Rgba{mix(c00.r, c10.r, c01.r, c11.r), mix(c00.g, c10.g, c01.g, c11.g),
                mix(c00.b, c10.b, c01.b, c11.b), mix(c00.a, c10.a, c01.a, c11.a)};
}

// Shades, tests and writes one covered pixel.
void ShadePixel(const Setup& s, int px, int py, const Rgba& diffuse, const Rgba& specular,
                double z, const double (*uv)[2], uint32_t uvSets) {
    Rgba current = diffuse;
    for (int i = 0; i < s.stageCount; ++i) {
        const Stage& st = s.stages[i];
        Rgba texel = {255, 255, 255, 255};
        if (st.samples) {
            const double u = st.coordSet < uvSets ? uv[st.coordSet][0] : 0.0;
            const double v = st.coordSet < uvSets ? uv[st.coordSet][1] : 0.0;
            const SurfaceImpl* t = st.texture;
            const int tx = AddressTexel(st.addressU, u, static_cast<int>(t->width));
            const int ty = AddressTexel(st.addressV, v, static_cast<int>(t->height));
            const uint32_t raw = Load(t->PixelAt(tx, ty), st.format.bytes);
            if (s.colorKey && t->hasSourceKey && raw >= t->sourceKey.low &&
                raw <= t->sourceKey.high) {
                return;
            }
            texel = st.bilinear ? SampleBilinear(st, u, v) : st.format.Decode(raw);
        }
        const Rgba c1 = Argument(st.colorArg1, diffuse, specular, current, texel, s.factor);
        const Rgba c2 = Argument(st.colorArg2, diffuse, specular, current, texel, s.factor);
        Rgba out;
        out.r = Operate(st.colorOp, c1.r, c2.r);
        out.g = Operate(st.colorOp, c1.g, c2.g);
        out.b = Operate(st.colorOp, c1.b, c2.b);
        if (st.alphaOp == D3DTOP_DISABLE) {
            out.a = current.a;
        } else {
            const Rgba a1 = Argument(st.alphaArg1, diffuse, specular, current, texel, s.factor);
            const Rgba a2 = Argument(st.alphaArg2, diffuse, specular, current, texel, s.factor);
            out.a = Operate(st.alphaOp, a1.a, a2.a);
        }
        current = out;
    }
    if (s.alphaTest && !Compare(s.alphaFunc, current.a, s.alphaRef)) return;
    if (s.zBuffer != nullptr) {
        const int depth = static_cast<int>(std::lround(std::clamp(z, 0.0, 1.0) * 65535.0));
        uint8_t* zp = s.zBuffer->PixelAt(px, py);
        if (!Compare(s.zFunc, depth, static_cast<int>(Load(zp, 2)))) return;
        if (s.zWrite) Store(zp, 2, static_cast<uint32_t>(depth));
    }
    uint8_t* p = s.target->PixelAt(px, py);
    const Format& f = s.targetFormat;
    if (s.blend) {
        const Rgba d = f.Decode(Load(p, f.bytes));
        auto mix = [&](int src, int dst) {
            const int fs = BlendFactor(s.srcBlend, src, current.a, dst, d.a);
            const int fd = BlendFactor(s.destBlend, src, current.a, dst, d.a);
            return std::min(255, (src * fs + dst * fd + 127) / 255);
        };
        current = Rgba{mix(current.r, d.r), mix(current.g, d.g), mix(current.b, d.b),
                       mix(current.a, d.a)};
    }
    Store(p, f.bytes, f.Encode(current));
}

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

int64_t Snap(double v) { return std::llround(v * static_cast<double>(kSubPixel)); }

// Coverage and interpolation of one triangle; flat shading takes the colours of v0.
void DrawTriangle(const Setup& s, const Vertex* v0, const Vertex* v1, const Vertex* v2,
                  uint32_t uvSets) {
    if (!std::isfinite(v0->x + v0->y + v1->x + v1->y + v2->x + v2->y)) return;
    // Far beyond any surface nothing is drawn; this also keeps the fixed-point math in range.
    constexpr double kLimit = 1 << 20;
    for (const Vertex* v : {v0, v1, v2}) {
        if (std::fabs(v->x) > kLimit || std::fabs(v->y) > kLimit) return;
    }
    const Rgba flatDiffuse = v0->diffuse;
    const Rgba flatSpecular = v0->specular;
    int64_t x0 = Snap(v0->x), y0 = Snap(v0->y);
    int64_t x1 = Snap(v1->x), y1 = Snap(v1->y);
    int64_t x2 = Snap(v2->x), y2 = Snap(v2->y);
    int64_t area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    if (area == 0) return;
    // area > 0: clockwise as seen on the target (y grows downward).
    if ((s.cull == D3DCULL_CW && area > 0) || (s.cull == D3DCULL_CCW && area < 0)) return;
    if (area < 0) {
        std::swap(v1, v2);
        std::swap(x1, x2);
        std::swap(y1, y2);
        area = -area;
    }
    struct Edge {
        int64_t ax, ay, dx, dy;
        bool topLeft;
        int64_t At(int64_t px, int64_t py) const { return dx * (py - ay) - dy * (px - ax); }
        bool Inside(int64_t e) const { return e > 0 || (e == 0 && topLeft); }
    };
    auto makeEdge = [](int64_t ax, int64_t ay, int64_t bx, int64_t by) {
        const int64_t dx = bx - ax, dy = by - ay;
        return Edge{ax, ay, dx, dy, dy < 0 || (dy == 0 && dx > 0)};
    };
    const Edge e12 = makeEdge(x1, y1, x2, y2);  // opposite v0
    const Edge e20 = makeEdge(x2, y2, x0, y0);  // opposite v1
    const Edge e01 = makeEdge(x0, y0, x1, y1);  // opposite v2

    const int64_t minX = std::min({x0, x1, x2}), maxX = std::max({x0, x1, x2});
    const int64_t minY = std::min({y0, y1, y2}), maxY = std::max({y0, y1, y2});
    const int64_t left = std::max<int64_t>(FloorDiv(minX + kSubPixel - 1, kSubPixel), s.clipLeft);
    const int64_t right = std::min<int64_t>(FloorDiv(maxX, kSubPixel), s.clipRight);
    const int64_t top = std::max<int64_t>(FloorDiv(minY + kSubPixel - 1, kSubPixel), s.clipTop);
    const int64_t bottom = std::min<int64_t>(FloorDiv(maxY, kSubPixel), s.clipBottom);
    const double inverseArea = 1.0 / static_cast<double>(area);

    for (int64_t py = top; py <= bottom; ++py) {
        for (int64_t px = left; px <= right; ++px) {
            const int64_t sx = px * kSubPixel, sy = py * kSubPixel;
            const int64_t w0 = e12.At(sx, sy), w1 = e20.At(sx, sy), w2 = e01.At(sx, sy);
            if (!e12.Inside(w0) || !e20.Inside(w1) || !e01.Inside(w2)) continue;
            const double l1 = static_cast<double>(w1) * inverseArea;
            const double l2 = static_cast<double>(w2) * inverseArea;
            auto lerp = [&](double a0, double a1, double a2) {
                return a0 + l1 * (a1 - a0) + l2 * (a2 - a0);
            };
            auto channel = [&](int a0, int a1, int a2) {
                return static_cast<int>(std::clamp(std::floor(lerp(a0, a1, a2) + 0.5), 0.0, 255.0));
            };
            auto color = [&](const Rgba& c0, const Rgba& c1, const Rgba& c2) {
                return Rgba{channel(c0.r, c1.r, c2.r), channel(c0.g, c1.g, c2.g),
                            channel(c0.b, c1.b, c2.b), channel(c0.a, c1.a, c2.a)};
            };
            const Rgba diffuse =
                s.gouraud ? color(v0->diffuse, v1->diffuse, v2->diffuse) : flatDiffuse;
            const Rgba specular =
                s.gouraud ? color(v0->specular, v1->specular, v2->specular) : flatSpecular;
            double uv[8][2];
            for (uint32_t set = 0; set < uvSets; ++set) {
                uv[set][0] = lerp(v0->uv[set][0], v1->uv[set][0], v2->uv[set][0]);
                uv[set][1] = lerp(v0->uv[set][1], v1->uv[set][1], v2->uv[set][1]);
            }
            const double z = lerp(v0->z, v1->z, v2->z);
            ShadePixel(s, static_cast<int>(px), static_cast<int>(py), diffuse, specular, z, uv,
                       uvSets);
        }
    }
}

float ReadFloat(const uint8_t* p) {
    float f;
    std::memcpy(&f, p, 4);
    return f;
}

uint32_t ReadU32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

}  // namespace

DDResult RasterizePrimitive(DeviceImpl* device, PrimitiveType primitiveType,
                            uint32_t vertexFormat, const uint8_t* data, uint32_t count) {
    Setup s;
    if (DDResult r = Prepare(device, &s); r != D3D_OK) return r;

    const bool hasDiffuse = (vertexFormat & D3DFVF_DIFFUSE) != 0;
    const bool hasSpecular = (vertexFormat & D3DFVF_SPECULAR) != 0;
    const uint32_t uvSets = (vertexFormat & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    const size_t stride = 16 + (hasDiffuse ? 4 : 0) + (hasSpecular ? 4 : 0) + 8 * size_t{uvSets};
    std::vector<Vertex> vertices(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* p = data + stride * i;
        Vertex& v = vertices[i];
        v.x = ReadFloat(p);
        v.y = ReadFloat(p + 4);
        v.z = ReadFloat(p + 8);
        p += 16;
        v.diffuse = Unpack(hasDiffuse ? ReadU32(p) : 0xFFFFFFFFu);
        if (hasDiffuse) p += 4;
        v.specular = Unpack(hasSpecular ? ReadU32(p) : 0u);
        if (hasSpecular) p += 4;
        for (uint32_t set = 0; set < uvSets; ++set) {
            v.uv[set][0] = ReadFloat(p);
            v.uv[set][1] = ReadFloat(p + 4);
            p += 8;
        }
    }

    const Vertex* v = vertices.data();
    switch (primitiveType) {
        case D3DPT_TRIANGLELIST:
            for (uint32_t i = 0; i + 2 < count; i += 3) {
                DrawTriangle(s, &v[i], &v[i + 1], &v[i + 2], uvSets);
            }
            break;
        case D3DPT_TRIANGLESTRIP:
            // Odd triangles swap their last two vertices to keep the strip's winding.
            for (uint32_t i = 0; i + 2 < count; ++i) {
                if (i % 2 == 0) {
                    DrawTriangle(s, &v[i], &v[i + 1], &v[i + 2], uvSets);
                } else {
                    DrawTriangle(s, &v[i], &v[i + 2], &v[i + 1], uvSets);
                }
            }
            break;
        default:  // fan: the flat colour comes from the first vertex after the centre
            for (uint32_t i = 0; i + 2 < count; ++i) {
                DrawTriangle(s, &v[i + 1], &v[i + 2], &v[0], uvSets);
            }
            break;
    }
    NoteSurfaceShown(s.target);
    return D3D_OK;
}

DDResult ClearTarget(DeviceImpl* device, uint32_t count, const Rect* rects, uint32_t flags,
                     uint32_t color, float z) {
    SurfaceImpl* target = device->target;
    if (DDResult r = SurfaceReady(target); r != D3D_OK) return r;
    SurfaceImpl* zBuffer = (flags & D3DCLEAR_ZBUFFER) != 0 ? target->zBuffer : nullptr;
    if (zBuffer != nullptr) {
        if (DDResult r = SurfaceReady(zBuffer); r != D3D_OK) return r;
    }
    Setup s;
    s.target = target;
    ClipToViewport(device, &s);
    const Format format(target->format);
    const uint32_t pixel = format.Encode(Unpack(color));
    const auto depth =
        static_cast<uint32_t>(std::lround(std::clamp(static_cast<double>(z), 0.0, 1.0) * 65535.0));
    const Rect whole = {s.clipLeft, s.clipTop, s.clipRight + 1, s.clipBottom + 1};
    const uint32_t n = count == 0 ? 1 : count;
    for (uint32_t i = 0; i < n; ++i) {
        const Rect r = count == 0 ? whole : rects[i];
        const int l = std::max(r.left, whole.left), t = std::max(r.top, whole.top);
        const int rt = std::min(r.right, whole.right), b = std::min(r.bottom, whole.bottom);
        for (int y = t; y < b; ++y) {
            for (int x = l; x < rt; ++x) {
                if ((flags & D3DCLEAR_TARGET) != 0) {
                    Store(target->PixelAt(x, y), format.bytes, pixel);
                }
                if (zBuffer != nullptr) Store(zBuffer->PixelAt(x, y), 2, depth);
            }
        }
    }
    if ((flags & D3DCLEAR_TARGET) != 0) NoteSurfaceShown(target);
    return D3D_OK;
}

}  // namespace plat
