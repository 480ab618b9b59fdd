// The device's software rasteriser: triangles of transformed-and-lit vertices into the
// target's pixels, and Clear. Per triangle: snapped positions, exact integer edge functions,
// attribute planes (d3d_raster_internal.h); per row: the covered span found exactly from the
// edges; per span: a fast loop chosen for the draw's state (d3d_spans.cpp) or the general path
// here (flat or Gouraud colour, the texture stage cascade with point or bilinear sampling,
// colour key, alpha test, Z buffer, alpha blending).
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/d3d/d3d_raster_internal.h"

namespace plat {

using namespace raster;

namespace {

// Positions are snapped to 1/kSubPixel of a pixel.
constexpr int64_t kSubPixel = 256;
// Vertex texel coordinates and depths are bounded to keep the planes' integers in range;
// the fast loops take triangles whose texel coordinates stay within kSmallTexels.
constexpr double kTexelLimit = 1 << 30;
constexpr double kSmallTexels = 1 << 24;
// Plane gradients are bounded to ±2^14 units per pixel.
constexpr double kGradientLimit = static_cast<double>(int64_t{1} << 38);
constexpr double kBaseLimit = static_cast<double>(int64_t{1} << 54);

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

// The texel column (or row) of texel index t (floor of the coordinate × size) by the mode.
int AddressTexel(uint32_t mode, int64_t t, int size) {
    // Far outside the texture every mode is bounded first so the integer math stays small.
    const int64_t i = std::clamp<int64_t>(t, -1000000000, 1000000000);
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
    s->specularRead = false;
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
        auto reads = [&](uint32_t kind) {
            auto is = [kind](uint32_t a) { return (a & D3DTA_SELECTMASK) == kind; };
            return (OpReads(st.colorOp, 1) && is(st.colorArg1)) ||
                   (OpReads(st.colorOp, 2) && is(st.colorArg2)) ||
                   (OpReads(st.alphaOp, 1) && is(st.alphaArg1)) ||
                   (OpReads(st.alphaOp, 2) && is(st.alphaArg2));
        };
        st.samples = reads(D3DTA_TEXTURE);
        st.texture = device->textures[i];
        // A stage that reads a texture it does not have ends the cascade.
        if (st.samples && st.texture == nullptr) break;
        if (st.samples) {
            if (DDResult r = SurfaceReady(st.texture); r != D3D_OK) return r;
            st.format = Format(st.texture->format);
        }
        if (reads(D3DTA_SPECULAR)) s->specularRead = true;
        st.coordSet = ss[D3DTSS_TEXCOORDINDEX] & 0xFFFF;
        st.addressU = ss[D3DTSS_ADDRESSU];
        st.addressV = ss[D3DTSS_ADDRESSV];
        st.bilinear = ss[D3DTSS_MAGFILTER] == D3DTFG_LINEAR;
        s->stages[s->stageCount++] = st;
    }
    ClipToViewport(device, s);
    s->fastPlain = s->fastModulate = nullptr;
    if (D3DState().fastSpans) ChooseFastSpans(s);
    return D3D_OK;
}

// The four texels around the sample weighted by 8-bit fractions of the distance from their
// centres, each channel rounded to nearest. su, sv: texel coordinates in 1/2^24 units.
Rgba SampleBilinear(const Stage& st, int64_t su, int64_t sv) {
    const SurfaceImpl* t = st.texture;
    const int w = static_cast<int>(t->width), h = static_cast<int>(t->height);
    // The texel centres lie at integer + 0.5.
    const int64_t cu = su - kHalf, cv = sv - kHalf;
    const int64_t fx0 = cu >> kFracBits, fy0 = cv >> kFracBits;
    constexpr int kWeightShift = kFracBits - 8;
    const int fu = static_cast<int>(((cu & (kOne - 1)) + (int64_t{1} << (kWeightShift - 1))) >>
                                    kWeightShift);
    const int fv = static_cast<int>(((cv & (kOne - 1)) + (int64_t{1} << (kWeightShift - 1))) >>
                                    kWeightShift);
    const int x0 = AddressTexel(st.addressU, fx0, w);
    const int x1 = AddressTexel(st.addressU, fx0 + 1, w);
    const int y0 = AddressTexel(st.addressV, fy0, h);
    const int y1 = AddressTexel(st.addressV, fy0 + 1, h);
    auto at = [&](int x, int y) {
        return st.format.Decode(LoadPixel(t->PixelAt(x, y), st.format.bytes));
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
void ShadePixel(const Setup& s, const Triangle& tri, int px, int py) {
    const int64_t dx = px - tri.ox, dy = py - tri.oy;
    auto color = [&](const Plane* p) {
        return Rgba{ChannelAt(p[0], dx, dy), ChannelAt(p[1], dx, dy), ChannelAt(p[2], dx, dy),
                    ChannelAt(p[3], dx, dy)};
    };
    const Rgba diffuse = tri.constantDiffuse ? tri.diffuseColor : color(tri.diffuse);
    const Rgba specular = s.specularRead ? color(tri.specular) : Rgba{0, 0, 0, 0};
    Rgba current = diffuse;
    for (int i = 0; i < s.stageCount; ++i) {
        const Stage& st = s.stages[i];
        Rgba texel = {255, 255, 255, 255};
        if (st.samples) {
            const int64_t su = tri.u[i].At(dx, dy), sv = tri.v[i].At(dx, dy);
            const SurfaceImpl* t = st.texture;
            const int tx = AddressTexel(st.addressU, su >> kFracBits, static_cast<int>(t->width));
            const int ty =
                AddressTexel(st.addressV, sv >> kFracBits, static_cast<int>(t->height));
            const uint32_t raw = LoadPixel(t->PixelAt(tx, ty), st.format.bytes);
            if (s.colorKey && t->hasSourceKey && raw >= t->sourceKey.low &&
                raw <= t->sourceKey.high) {
                return;
            }
            texel = st.bilinear ? SampleBilinear(st, su, sv) : st.format.Decode(raw);
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
        const int64_t z = (tri.depth.At(dx, dy) + kHalf) >> kFracBits;
        const int depth = static_cast<int>(std::clamp<int64_t>(z, 0, 65535));
        uint8_t* zp = s.zBuffer->PixelAt(px, py);
        if (!Compare(s.zFunc, depth, static_cast<int>(LoadPixel(zp, 2)))) return;
        if (s.zWrite) StorePixel(zp, 2, static_cast<uint32_t>(depth));
    }
    uint8_t* p = s.target->PixelAt(px, py);
    const Format& f = s.targetFormat;
    if (s.blend) {
        const Rgba d = f.Decode(LoadPixel(p, f.bytes));
        auto mix = [&](int src, int dst) {
            const int fs = BlendFactor(s.srcBlend, src, current.a, dst, d.a);
            const int fd = BlendFactor(s.destBlend, src, current.a, dst, d.a);
            return std::min(255, (src * fs + dst * fd + 127) / 255);
        };
        current = Rgba{mix(current.r, d.r), mix(current.g, d.g), mix(current.b, d.b),
                       mix(current.a, d.a)};
    }
    StorePixel(p, f.bytes, f.Encode(current));
}

// x rounded to the nearest integer, halves away from zero, as std::llround gives it, without
// its library call where |x| < 2^62 (a triangle's set-up rounds twenty values or more).
// x - trunc(x) is exact: below 2^53 the two lie within a factor of two of each other (or the
// integer is 0), and above it x is an integer.
inline int64_t RoundToNearest(double x) {
    if (!(std::fabs(x) < 0x1p62)) return std::llround(x);  // NaN or huge: as the library
    const auto whole = static_cast<int64_t>(x);
    const double rest = x - static_cast<double>(whole);
    return whole + (rest >= 0.5 ? 1 : 0) - (rest <= -0.5 ? 1 : 0);
}

int64_t Snap(double v) { return RoundToNearest(v * static_cast<double>(kSubPixel)); }

struct Vertex {
    double x, y, z;
    Rgba diffuse, specular;
    double uv[8][2];
};

// An edge function of the triangle: positive on the interior side. A sample on the edge
// belongs to the triangle when the edge is a top or a left edge.
struct Edge {
    int64_t ax, ay, dx, dy;
    bool topLeft;
    // At sub-pixel point (px, py).
    int64_t At(int64_t px, int64_t py) const { return dx * (py - ay) - dy * (px - ax); }
};

Edge MakeEdge(int64_t ax, int64_t ay, int64_t bx, int64_t by) {
    const int64_t dx = bx - ax, dy = by - ay;
    return Edge{ax, ay, dx, dy, dy < 0 || (dy == 0 && dx > 0)};
}

double Clamped(double v, double limit) { return std::clamp(v, -limit, limit); }

// A triangle ready to draw: its planes, its rows and the loop that draws them.
struct PreparedTriangle {
    Triangle tri;
    Rows rows;
    TriangleFunction draw;
    int64_t x[3], y[3];  // the snapped corners
};

// A corner's position in fixed point. False for a corner far beyond any surface (or not a
// number), where nothing is drawn; the limit also keeps the fixed-point math in range.
bool SnapCorner(const Vertex* v, int64_t* x, int64_t* y) {
    constexpr double kLimit = 1 << 20;
    if (!(std::fabs(v->x) <= kLimit && std::fabs(v->y) <= kLimit)) return false;
    *x = Snap(v->x);
    *y = Snap(v->y);
    return true;
}

// Whether a triangle of this signed area covers anything and survives culling: area > 0 is
// clockwise as seen on the target (y grows downward).
bool FacesTheViewer(const Setup& s, int64_t area) {
    if (area == 0) return false;
    return !((s.cull == D3DCULL_CW && area > 0) || (s.cull == D3DCULL_CCW && area < 0));
}

// The span loop for a triangle made ready: a fast loop where one serves its state (counted),
// else the general per-pixel one.
TriangleFunction ChooseTriangleFunction(const Setup& s, const Triangle& tri) {
    const TriangleFunction fast = s.fastModulate != nullptr ? FastTriangleFor(s, tri) : nullptr;
    if (fast == nullptr) return GeneralTriangle;
    ++D3DState().fastTriangles;
    return fast;
}

// Coverage and interpolation of one triangle; flat shading takes the colours of v0. False
// when it covers no pixel.
bool PrepareTriangle(const Setup& s, const Vertex* v0, const Vertex* v1, const Vertex* v2,
                     PreparedTriangle* out) {
    const Vertex* flat = v0;
    int64_t x0, y0, x1, y1, x2, y2;
    if (!SnapCorner(v0, &x0, &y0) || !SnapCorner(v1, &x1, &y1) || !SnapCorner(v2, &x2, &y2)) {
        return false;
    }
    int64_t area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    if (!FacesTheViewer(s, area)) return false;
    if (area < 0) {
        std::swap(v1, v2);
        std::swap(x1, x2);
        std::swap(y1, y2);
        area = -area;
    }
    out->x[0] = x0, out->x[1] = x1, out->x[2] = x2;
    out->y[0] = y0, out->y[1] = y1, out->y[2] = y2;
    const Edge e12 = MakeEdge(x1, y1, x2, y2);  // opposite v0
    const Edge e20 = MakeEdge(x2, y2, x0, y0);  // opposite v1
    const Edge e01 = MakeEdge(x0, y0, x1, y1);  // opposite v2

    const int64_t minX = std::min({x0, x1, x2}), maxX = std::max({x0, x1, x2});
    const int64_t minY = std::min({y0, y1, y2}), maxY = std::max({y0, y1, y2});
    const int64_t left = std::max<int64_t>(FloorDiv(minX + kSubPixel - 1, kSubPixel), s.clipLeft);
    const int64_t right = std::min<int64_t>(FloorDiv(maxX, kSubPixel), s.clipRight);
    const int64_t top = std::max<int64_t>(FloorDiv(minY + kSubPixel - 1, kSubPixel), s.clipTop);
    const int64_t bottom = std::min<int64_t>(FloorDiv(maxY, kSubPixel), s.clipBottom);
    if (left > right || top > bottom) return false;

    // The planes: a = a0 + (a1 - a0) w1 / area + (a2 - a0) w2 / area, with w1 (e20) and w2
    // (e01) the edge functions weighting v1 and v2.
    Triangle& tri = out->tri;
    tri.ox = static_cast<int>(left);
    tri.oy = static_cast<int>(top);
    const double inverseArea = 1.0 / static_cast<double>(area);
    const int64_t sx0 = left * kSubPixel, sy0 = top * kSubPixel;
    const double l1 = static_cast<double>(e20.At(sx0, sy0)) * inverseArea;
    const double l2 = static_cast<double>(e01.At(sx0, sy0)) * inverseArea;
    const double l1x = static_cast<double>(-e20.dy * kSubPixel) * inverseArea;
    const double l1y = static_cast<double>(e20.dx * kSubPixel) * inverseArea;
    const double l2x = static_cast<double>(-e01.dy * kSubPixel) * inverseArea;
    const double l2y = static_cast<double>(e01.dx * kSubPixel) * inverseArea;
    constexpr double kScale = static_cast<double>(kOne);
    auto plane = [&](double a0, double a1, double a2) {
        Plane p;
        const double d1 = a1 - a0, d2 = a2 - a0;
        p.base = RoundToNearest(Clamped((a0 + l1 * d1 + l2 * d2) * kScale, kBaseLimit));
        p.gx = RoundToNearest(Clamped((l1x * d1 + l2x * d2) * kScale, kGradientLimit));
        p.gy = RoundToNearest(Clamped((l1y * d1 + l2y * d2) * kScale, kGradientLimit));
        return p;
    };
    auto colorPlanes = [&](Plane* out, const Rgba& c0, const Rgba& c1, const Rgba& c2) {
        out[0] = plane(c0.r, c1.r, c2.r);
        out[1] = plane(c0.g, c1.g, c2.g);
        out[2] = plane(c0.b, c1.b, c2.b);
        out[3] = plane(c0.a, c1.a, c2.a);
    };
    tri.constantDiffuse =
        !s.gouraud || (v0->diffuse == v1->diffuse && v0->diffuse == v2->diffuse);
    tri.diffuseColor = flat->diffuse;
    if (!tri.constantDiffuse) colorPlanes(tri.diffuse, v0->diffuse, v1->diffuse, v2->diffuse);
    if (s.specularRead) {
        if (s.gouraud) {
            colorPlanes(tri.specular, v0->specular, v1->specular, v2->specular);
        } else {
            colorPlanes(tri.specular, flat->specular, flat->specular, flat->specular);
        }
    }
    if (s.zBuffer != nullptr) {
        auto depth = [](double z) { return Clamped(z, 1 << 20) * 65535.0; };
        tri.depth = plane(depth(v0->z), depth(v1->z), depth(v2->z));
    }
    tri.smallTexels = true;
    for (int i = 0; i < s.stageCount; ++i) {
        const Stage& st = s.stages[i];
        if (!st.samples) continue;
        const uint32_t set = st.coordSet;
        const double w = st.texture->width, h = st.texture->height;
        auto texels = [&](const Vertex* v, int axis, double size) {
            const double t = set < 8 ? v->uv[set][axis] * size : 0.0;
            if (!(std::fabs(t) <= kSmallTexels)) tri.smallTexels = false;
            return std::isnan(t) ? 0.0 : Clamped(t, kTexelLimit);
        };
        tri.u[i] = plane(texels(v0, 0, w), texels(v1, 0, w), texels(v2, 0, w));
        tri.v[i] = plane(texels(v0, 1, h), texels(v1, 1, h), texels(v2, 1, h));
    }
    const TriangleFunction draw = ChooseTriangleFunction(s, tri);

    out->draw = draw;

    // Rows: each edge walked from the centre of pixel (left, top) down.
    const int64_t sy = top * kSubPixel;
    const int64_t sx = left * kSubPixel;
    Rows& rows = out->rows;
    rows.start = rows.top = top;
    rows.bottom = bottom;
    rows.left = left;
    rows.width = right - left;
    for (const Edge* e : {&e12, &e20, &e01}) {
        rows.AddEdge(e->At(sx, sy) - (e->topLeft ? 0 : 1), -e->dy * kSubPixel, e->dx * kSubPixel);
    }
    return true;
}

void DrawTriangle(const Setup& s, const Vertex* v0, const Vertex* v1, const Vertex* v2) {
    PreparedTriangle t;
    if (PrepareTriangle(s, v0, v1, v2, &t)) t.draw(s, t.tri, t.rows);
}

// The plane p of a triangle with origin pixel (fromX, fromY) as one relative to (toX, toY):
// the same value at every pixel.
Plane Rebased(const Plane& p, int fromX, int fromY, int toX, int toY) {
    return Plane{p.At(toX - fromX, toY - fromY), p.gx, p.gy};
}

bool SamePlane(const Plane& a, const Plane& b) {
    return a.base == b.base && a.gx == b.gx && a.gy == b.gy;
}

// Whether b can be drawn as a's partner: the same loop, and the same value of everything
// the loops read at every pixel (a constant colour, the texel coordinates of each stage).
bool SharePlanes(const Setup& s, const PreparedTriangle& a, const PreparedTriangle& b) {
    if (a.draw != b.draw || s.zBuffer != nullptr || s.specularRead) return false;
    const Triangle& ta = a.tri;
    const Triangle& tb = b.tri;
    if (!ta.constantDiffuse || !tb.constantDiffuse) return false;
    if (!(ta.diffuseColor == tb.diffuseColor)) return false;
    for (int i = 0; i < s.stageCount; ++i) {
        if (!s.stages[i].samples) continue;
        if (!SamePlane(ta.u[i], Rebased(tb.u[i], tb.ox, tb.oy, ta.ox, ta.oy)) ||
            !SamePlane(ta.v[i], Rebased(tb.v[i], tb.ox, tb.oy, ta.ox, ta.oy))) {
            return false;
        }
    }
    return true;
}

// Whether a and b are the two halves of an axis-aligned rectangle split along a diagonal:
// each has three of its corners, and the corners they lack are opposite. Their pixels are
// then exactly the rectangle's: samples on its left and top sides are inside, those on its
// right and bottom sides outside (at the diagonal's ends, where a side of each half meets,
// the diagonal's owner agrees), and none is in both.
bool SplitRectangle(const int64_t* ax, const int64_t* ay, const int64_t* bx, const int64_t* by,
                    int64_t* x0, int64_t* y0, int64_t* x1, int64_t* y1) {
    *x0 = std::min({ax[0], ax[1], ax[2]});
    *x1 = std::max({ax[0], ax[1], ax[2]});
    *y0 = std::min({ay[0], ay[1], ay[2]});
    *y1 = std::max({ay[0], ay[1], ay[2]});
    // The corner each lacks, as a bit set (1: right, 2: bottom) of the corners it has.
    auto lacks = [&](const int64_t* tx, const int64_t* ty, int* missing) {
        int seen = 0;
        for (int i = 0; i < 3; ++i) {
            const bool left = tx[i] == *x0, right = tx[i] == *x1;
            const bool top = ty[i] == *y0, bottom = ty[i] == *y1;
            if (!(left || right) || !(top || bottom)) return false;
            seen |= 1 << ((right ? 1 : 0) | (bottom ? 2 : 0));
        }
        if (std::popcount(static_cast<unsigned>(seen)) != 3) return false;
        *missing = std::countr_zero(static_cast<unsigned>(~seen & 0xF));
        return true;
    };
    int missingA = 0, missingB = 0;
    return lacks(ax, ay, &missingA) && lacks(bx, by, &missingB) && (missingA ^ missingB) == 3;
}

// The rows of a split rectangle with snapped corners (x0, y0)-(x1, y1): every row the same
// span, the columns whose centres lie in [x0, x1), the rows whose centres lie in [y0, y1),
// within the clip. False when no pixel is left.
bool RectangleRows(const Setup& s, int64_t x0, int64_t y0, int64_t x1, int64_t y1, Rows* rows) {
    rows->start = rows->top =
        std::max<int64_t>(FloorDiv(y0 + kSubPixel - 1, kSubPixel), s.clipTop);
    rows->bottom =
        std::min<int64_t>(FloorDiv(y1 + kSubPixel - 1, kSubPixel) - 1, s.clipBottom);
    rows->left = std::max<int64_t>(FloorDiv(x0 + kSubPixel - 1, kSubPixel), s.clipLeft);
    rows->width = std::min<int64_t>(FloorDiv(x1 + kSubPixel - 1, kSubPixel) - 1, s.clipRight) -
                  rows->left;
    rows->leftCount = rows->rightCount = 0;
    return rows->width >= 0 && rows->top <= rows->bottom;
}

// a - b when the difference is exact in doubles (checked by an error-free sum), else NaN.
double ExactDifference(double a, double b) {
    const double d = a - b;
    const double bb = d - a;
    const double error = (a - (d - bb)) + (-b - bb);
    return error == 0 ? d : std::nan("");
}

// A split rectangle drawn one texel per pixel, found from its six vertices before any plane
// is made: both halves are drawn and not culled, form an axis-aligned rectangle, share one
// constant colour, read no depth or specular, and every sampling stage (point sampled) maps
// texel = position + d on both axes with one d for all six vertices (positions as snapped,
// texels as the planes take them), d's fraction between 1/4 and 3/4. Each half's plane then
// gives, at every pixel centre p, a value within far less than 1/4 texel of p + d (its
// doubles and rounding err by under 2^-10 texel across any surface), so the texel it samples
// is floor(p + d) = p + floor(d), which the exact planes made here give too: the same pixels
// as the two halves, without their set-up. False (nothing drawn) when the pair is not such.
bool DrawUnscaledRectangle(const Setup& s, const Vertex* const* v) {
    if (s.zBuffer != nullptr || s.specularRead) return false;
    int64_t x[6], y[6];
    for (int i = 0; i < 6; ++i) {
        if (!SnapCorner(v[i], &x[i], &y[i])) return false;
    }
    for (int t = 0; t < 6; t += 3) {
        const int64_t area = (x[t + 1] - x[t]) * (y[t + 2] - y[t]) -
                             (x[t + 2] - x[t]) * (y[t + 1] - y[t]);
        if (!FacesTheViewer(s, area)) return false;
    }
    int64_t x0, y0, x1, y1;
    if (!SplitRectangle(x, y, x + 3, y + 3, &x0, &y0, &x1, &y1)) return false;
    const Rgba& colour = v[0]->diffuse;
    for (int i = 1; i < 6; ++i) {
        if (!(v[i]->diffuse == colour)) return false;
    }
    Rows rows;
    if (!RectangleRows(s, x0, y0, x1, y1, &rows)) {
        // Both halves' pixels are the rectangle's: none is left within the clip.
        return true;
    }
    // Made once per thread: a fresh one clears every plane, and this draw sets all it reads
    // (the constant colour, and the planes of the stages that sample).
    static thread_local Triangle tri;
    tri.ox = static_cast<int>(rows.left);
    tri.oy = static_cast<int>(rows.top);
    tri.constantDiffuse = true;
    tri.diffuseColor = colour;
    tri.smallTexels = true;
    // The texel offset d of one axis, or NaN where the mapping is not such.
    auto offset = [&](uint32_t set, int axis, double size, const int64_t* position) {
        double d = 0;
        for (int i = 0; i < 6; ++i) {
            const double t = v[i]->uv[set][axis] * size;
            if (!(std::fabs(t) <= kSmallTexels)) return std::nan("");
            const double di =
                ExactDifference(t, static_cast<double>(position[i]) / kSubPixel);
            if (i > 0 && !(di == d)) return std::nan("");
            d = di;
        }
        const double fraction = d - std::floor(d);
        return fraction >= 0.25 && fraction <= 0.75 ? d : std::nan("");
    };
    for (int i = 0; i < s.stageCount; ++i) {
        const Stage& st = s.stages[i];
        if (!st.samples) continue;
        if (st.bilinear || st.coordSet >= 8) return false;
        const double du = offset(st.coordSet, 0, st.texture->width, x);
        const double dv = offset(st.coordSet, 1, st.texture->height, y);
        if (std::isnan(du) || std::isnan(dv)) return false;
        // The value at a pixel's centre: its texel's middle, one texel further per column
        // (u) or row (v).
        tri.u[i] = Plane{(static_cast<int64_t>(std::floor(du)) + tri.ox) * kOne + kHalf, kOne, 0};
        tri.v[i] = Plane{(static_cast<int64_t>(std::floor(dv)) + tri.oy) * kOne + kHalf, 0, kOne};
    }
    const TriangleFunction draw = ChooseTriangleFunction(s, tri);
    ++D3DState().joinedPairs;
    ++D3DState().rectanglePairs;
    ++D3DState().unscaledRectangles;
    draw(s, tri, rows);
    return true;
}

// Two triangles of a list, the first drawn before the second. When they share their planes
// (a quad's halves mapping one texture the same way), they are drawn together a row at a
// time, each row's two spans as one where they meet: the same pixels get the same values,
// in longer spans.
void DrawTrianglePair(const Setup& s, const Vertex* a0, const Vertex* a1, const Vertex* a2,
                      const Vertex* b0, const Vertex* b1, const Vertex* b2) {
    if (D3DState().fastSpans) {
        const Vertex* const six[6] = {a0, a1, a2, b0, b1, b2};
        if (DrawUnscaledRectangle(s, six)) return;
    }
    PreparedTriangle a, b;
    const bool drawsA = PrepareTriangle(s, a0, a1, a2, &a);
    const bool drawsB = PrepareTriangle(s, b0, b1, b2, &b);
    if (drawsA && drawsB && D3DState().fastSpans && SharePlanes(s, a, b)) {
        ++D3DState().joinedPairs;
        int64_t x0, y0, x1, y1;
        if (SplitRectangle(a.x, a.y, b.x, b.y, &x0, &y0, &x1, &y1)) {
            ++D3DState().rectanglePairs;
            Rows& rows = a.rows;
            if (RectangleRows(s, x0, y0, x1, y1, &rows)) a.draw(s, a.tri, rows);
            return;
        }
        a.rows.partner = &b.rows;
        a.draw(s, a.tri, a.rows);
        return;
    }
    if (drawsA) a.draw(s, a.tri, a.rows);
    if (drawsB) b.draw(s, b.tri, b.rows);
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

namespace raster {

void GeneralTriangle(const Setup& s, const Triangle& t, Rows& rows) {
    ForEachSpan(rows, [&](int py, int xl, int xr) {
        for (int px = xl; px <= xr; ++px) ShadePixel(s, t, px, py);
    });
}

}  // namespace raster

DDResult RasterizePrimitive(DeviceImpl* device, PrimitiveType primitiveType,
                            uint32_t vertexFormat, const uint8_t* data, uint32_t vertexCount,
                            const uint16_t* indices, uint32_t count) {
    Setup s;
    if (DDResult r = Prepare(device, &s); r != D3D_OK) return r;

    const bool hasDiffuse = (vertexFormat & D3DFVF_DIFFUSE) != 0;
    const bool hasSpecular = (vertexFormat & D3DFVF_SPECULAR) != 0;
    const uint32_t uvSets = (vertexFormat & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    const size_t stride = 16 + (hasDiffuse ? 4 : 0) + (hasSpecular ? 4 : 0) + 8 * size_t{uvSets};
    // Indices reach the first 65536 vertices only; the rest need no decoding.
    if (indices != nullptr) vertexCount = std::min<uint32_t>(vertexCount, 65536);
    // The texture coordinate sets the sampling stages read (PrepareTriangle reads no others).
    uint32_t readSets = 0;
    for (int i = 0; i < s.stageCount; ++i) {
        if (s.stages[i].samples && s.stages[i].coordSet < 8) {
            readSets = std::max(readSets, s.stages[i].coordSet + 1);
        }
    }
    // The decoded vertices live in a buffer kept between draws (every field read is written
    // below, so it needs no clearing: a draw of a full batch otherwise clears and frees it
    // each time).
    static thread_local std::vector<Vertex> vertices;
    if (vertices.size() < vertexCount) vertices.resize(vertexCount);
    for (uint32_t i = 0; i < vertexCount; ++i) {
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
        // Sets the format lacks read (0, 0); sets no sampling stage reads are left unwritten.
        for (uint32_t set = 0; set < readSets; ++set) {
            v.uv[set][0] = set < uvSets ? ReadFloat(p + 8 * set) : 0.0;
            v.uv[set][1] = set < uvSets ? ReadFloat(p + 8 * set + 4) : 0.0;
        }
    }

    const Vertex* v = vertices.data();
    auto at = [&](uint32_t i) { return &v[indices != nullptr ? indices[i] : i]; };
    switch (primitiveType) {
        case D3DPT_TRIANGLELIST: {
            uint32_t i = 0;
            for (; i + 5 < count; i += 6) {
                DrawTrianglePair(s, at(i), at(i + 1), at(i + 2), at(i + 3), at(i + 4), at(i + 5));
            }
            if (i + 2 < count) DrawTriangle(s, at(i), at(i + 1), at(i + 2));
            break;
        }
        case D3DPT_TRIANGLESTRIP:
            // Odd triangles swap their last two vertices to keep the strip's winding.
            for (uint32_t i = 0; i + 2 < count; ++i) {
                if (i % 2 == 0) {
                    DrawTriangle(s, at(i), at(i + 1), at(i + 2));
                } else {
                    DrawTriangle(s, at(i), at(i + 2), at(i + 1));
                }
            }
            break;
        default:  // fan: the flat colour comes from the first vertex after the centre
            for (uint32_t i = 0; i + 2 < count; ++i) {
                DrawTriangle(s, at(i + 1), at(i + 2), at(0));
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
        if (l >= rt) continue;
        const auto n = static_cast<size_t>(rt - l);
        // Each row filled whole (a pixel's bytes as StorePixel writes them).
        for (int y = t; y < b; ++y) {
            if ((flags & D3DCLEAR_TARGET) != 0) {
                uint8_t* row = target->PixelAt(l, y);
                if (format.bytes == 2) {
                    const auto value = static_cast<uint16_t>(pixel);
                    for (size_t i = 0; i < n; ++i) std::memcpy(row + 2 * i, &value, 2);
                } else {
                    for (size_t i = 0; i < n; ++i) std::memcpy(row + 4 * i, &pixel, 4);
                }
            }
            if (zBuffer != nullptr) {
                uint8_t* row = zBuffer->PixelAt(l, y);
                const auto value = static_cast<uint16_t>(depth);
                for (size_t i = 0; i < n; ++i) std::memcpy(row + 2 * i, &value, 2);
            }
        }
    }
    if ((flags & D3DCLEAR_TARGET) != 0) NoteSurfaceShown(target);
    return D3D_OK;
}

}  // namespace plat
