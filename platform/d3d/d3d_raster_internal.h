// Internal to the rasteriser (d3d_raster.cpp, d3d_spans.cpp): pixel formats, the state a draw
// fixes before its pixel loops, a triangle's attribute planes and the span routines.
//
// Arithmetic: positions are snapped to 1/256 pixel and coverage is decided exactly on integer
// edge functions. Every attribute (colour channels, depth × 65535, texel coordinates u × width
// and v × height of each stage) is an integer plane in 1/2^24 units: its value at pixel
// (px, py) is base + gx × (px - ox) + gy × (py - oy) for the triangle's origin pixel (ox, oy).
// Evaluated directly or stepped pixel by pixel it gives the same integers, so the general
// per-pixel path and the fast span loops draw the same pixels.
#pragma once
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "platform/d3d/d3d_internal.h"

namespace plat::raster {

inline constexpr int kFracBits = 24;
inline constexpr int64_t kOne = int64_t{1} << kFracBits;
inline constexpr int64_t kHalf = kOne / 2;

struct Rgba {
    int r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

inline Rgba Unpack(uint32_t argb) {
    return Rgba{static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
                static_cast<int>(argb & 0xFF), static_cast<int>(argb >> 24)};
}

// One channel of a pixel format: where it lies and how wide it is.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
};

inline Channel MakeChannel(uint32_t mask) {
    Channel c;
    c.mask = mask;
    if (mask != 0) {
        c.shift = std::countr_zero(mask);
        c.bits = std::popcount(mask);
    }
    return c;
}

// A channel value of `bits` bits widened to 8 by repeating its bits.
inline int Widen(uint32_t value, int bits) {
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
        return (static_cast<uint32_t>(value) >> (8 - (c.bits < 8 ? c.bits : 8))) << c.shift;
    }
    // Narrowed by truncation; the alpha only where the format has one.
    uint32_t Encode(const Rgba& c) const {
        return Put(r, c.r) | Put(g, c.g) | Put(b, c.b) | Put(a, c.a);
    }
};

inline uint32_t LoadPixel(const uint8_t* p, uint32_t bytes) {
    if (bytes == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void StorePixel(uint8_t* p, uint32_t bytes, uint32_t value) {
    if (bytes == 2) {
        const auto v = static_cast<uint16_t>(value);
        std::memcpy(p, &v, 2);
    } else {
        std::memcpy(p, &value, 4);
    }
}

// The depth and alpha tests: whether value passes against reference by the function.
inline bool Compare(uint32_t func, int value, int reference) {
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

// (a × b + 127) / 255, the product of two 8-bit values.
inline int Mul(int a, int b) { return (a * b + 127) / 255; }

struct Stage {
    uint32_t colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
    const SurfaceImpl* texture;
    Format format;
    bool samples;       // an operation reads the texture
    uint32_t coordSet;  // the vertex's (u, v) set it reads
    uint32_t addressU, addressV;
    bool bilinear;  // MAGFILTER D3DTFG_LINEAR
};

struct Setup;
struct Triangle;

// How the fast loops take a stage's colour (or alpha) from the texel t and the constant
// diffuse colour d: the channel is Mul(t | force, d or 255). SELECTARG of the texture is
// force 0 without d (Mul(t, 255) = t); SELECTARG of the diffuse colour force 255 with d;
// MODULATE force 0 with d.
struct FastSource {
    uint32_t force;
    bool useDiffuse;
};

// What the fast loops read, fixed per draw.
struct FastState {
    const uint8_t* texels;
    int32_t texPitch;
    int texWidth, texHeight;
    bool clampU, clampV;        // else wrap with a power-of-two side
    const uint32_t* table;      // 16-bit textures other than 5-6-5: A8R8G8B8 of each value
    uint32_t alphaOr;           // 32-bit textures: 0xFF000000 when they have no alpha
    uint32_t keyLow, keyHigh;   // the colour key's range (when keyed)
    FastSource color, alpha;
    // The alpha test (when on): alphaPass[a] whether alpha a passes; alphaPerTexel when the
    // alpha comes from texels that carry one, else it is constant over a triangle.
    bool alphaPerTexel;
    uint8_t alphaPass[256];
    // The same verdicts as one range (alphaRange): a passes when alphaLow <= a <= alphaHigh
    // differs from alphaOutside.
    bool alphaRange, alphaOutside;
    int alphaLow, alphaHigh;
};
struct Rows;
// Draws the covered pixels of a triangle, row by row.
using TriangleFunction = void (*)(const Setup& s, const Triangle& t, Rows& rows);

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
    bool specularRead;  // an operation reads D3DTA_SPECULAR
    // Fast span loops for the state (null: every triangle takes the general path). They serve
    // the triangles whose diffuse colour is constant and whose texel coordinates are small:
    // fastPlain those whose diffuse colour changes nothing (every channel it multiplies is
    // 255), fastModulate the others.
    TriangleFunction fastPlain, fastModulate;
    FastState fastState;
};

// An attribute plane in 1/2^24 units relative to the triangle's origin pixel.
struct Plane {
    int64_t base = 0, gx = 0, gy = 0;
    int64_t At(int64_t dx, int64_t dy) const { return base + gx * dx + gy * dy; }
};

// A triangle ready for its pixel loops.
struct Triangle {
    int ox, oy;  // origin pixel of the planes
    Plane diffuse[4], specular[4];  // r, g, b, a
    Plane depth;                    // z × 65535
    Plane u[kBlendStageCount], v[kBlendStageCount];  // texel coordinates of each stage
    bool constantDiffuse;  // flat, or three equal colours: diffuseColor everywhere
    Rgba diffuseColor;
    bool smallTexels;      // every stage's texel coordinates within ±2^24 at the vertices
};

// A channel value of a plane at a pixel: rounded to nearest and clamped to 0..255.
inline int ChannelAt(const Plane& p, int64_t dx, int64_t dy) {
    const int64_t v = (p.At(dx, dy) + kHalf) >> kFracBits;
    return static_cast<int>(v < 0 ? 0 : v > 255 ? 255 : v);
}

inline int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Where one slanted edge bounds the rows, walked down exactly on the integers. value(k): the
// edge function at the centre of pixel left + k of the current row, less 1 when the edge does
// not own its samples (so inside means value >= 0); it changes by step (nonzero) per pixel
// and by rowStep per row. An edge with step > 0 admits the pixels from `bound` on, one with
// step < 0 those up to `bound`; rest = value(bound), kept in [0, |step|).
struct EdgeWalk {
    int64_t bound, rest;
    int64_t size;                 // |step|
    int64_t quotient, remainder;  // rowStep = quotient × size + remainder, 0 <= remainder < size
    int64_t direction;            // -1 when step > 0, 1 when step < 0: how bound moves

    EdgeWalk() = default;
    EdgeWalk(int64_t value0, int64_t step, int64_t rowStep) {
        size = step > 0 ? step : -step;
        quotient = FloorDiv(rowStep, size);
        remainder = rowStep - quotient * size;
        if (step > 0) {
            // The first k with value0 + k size >= 0.
            bound = -FloorDiv(value0, size);
            rest = value0 + bound * size;
            direction = -1;
        } else {
            // The last k with value0 - k size >= 0.
            bound = FloorDiv(value0, size);
            rest = value0 - bound * size;
            direction = 1;
        }
    }
    void NextRow() {
        rest += remainder;
        int64_t move = quotient;
        if (rest >= size) {
            rest -= size;
            ++move;
        }
        bound += direction * move;
    }
};

// The rows a triangle covers: top..bottom, within the clipped box whose columns are
// left..left + width; the edges bounding them on the left and on the right. A horizontal
// edge only bounds the rows and narrows top..bottom instead.
struct Rows {
    int64_t start;  // the row the walks start on (the box's top)
    int64_t top, bottom, left, width;
    EdgeWalk lefts[3], rights[3];
    int leftCount = 0, rightCount = 0;
    // A second triangle drawn with the same planes in the same call (a quad's other half):
    // each row's two spans become one where they meet (null: none).
    Rows* partner = nullptr;

    // An edge whose function at the centre of pixel (left, top), less 1 when it does not own
    // its samples, is value0, changing by step per pixel and rowStep per row.
    void AddEdge(int64_t value0, int64_t step, int64_t rowStep) {
        if (step > 0) {
            lefts[leftCount++] = EdgeWalk(value0, step, rowStep);
        } else if (step < 0) {
            rights[rightCount++] = EdgeWalk(value0, step, rowStep);
        } else if (rowStep > 0) {
            // Inside from the first row r with value0 + r rowStep >= 0.
            if (value0 < 0) top += -FloorDiv(value0, rowStep);
        } else if (rowStep < 0) {
            // Inside up to the last row r with value0 + r rowStep >= 0.
            if (value0 < 0) {
                bottom = top - 1;
            } else {
                bottom = std::min(bottom, top + FloorDiv(value0, -rowStep));
            }
        } else if (value0 < 0) {
            bottom = top - 1;
        }
    }

    // The covered columns first..last of row py, then the walks moved to the next row; rows
    // are taken one after another from start to bottom. False when the row has none.
    bool NextSpan(int64_t py, int64_t* first, int64_t* last) {
        bool covered = false;
        if (py >= top) {
            int64_t f = 0, l = width;
            for (int i = 0; i < leftCount; ++i) f = std::max(f, lefts[i].bound);
            for (int i = 0; i < rightCount; ++i) l = std::min(l, rights[i].bound);
            covered = f <= l;
            *first = left + f;
            *last = left + l;
        }
        for (int i = 0; i < leftCount; ++i) lefts[i].NextRow();
        for (int i = 0; i < rightCount; ++i) rights[i].NextRow();
        return covered;
    }
};

// Calls span(py, xl, xr) for every row's covered pixels xl..xr (none: no call). With a
// partner, each row's span of the first triangle comes before the partner's, and two spans
// that meet end to end come as one.
template <typename Span>
inline void ForEachSpan(Rows& rows, Span&& span) {
    if (rows.partner == nullptr) {
        for (int64_t py = rows.start; py <= rows.bottom; ++py) {
            int64_t first, last;
            if (rows.NextSpan(py, &first, &last)) {
                span(static_cast<int>(py), static_cast<int>(first), static_cast<int>(last));
            }
        }
        return;
    }
    Rows& a = rows;
    Rows& b = *rows.partner;
    const int64_t start = std::min(a.start, b.start), bottom = std::max(a.bottom, b.bottom);
    for (int64_t py = start; py <= bottom; ++py) {
        int64_t la = 0, ra = 0, lb = 0, rb = 0;
        const bool inA = py >= a.start && py <= a.bottom && a.NextSpan(py, &la, &ra);
        const bool inB = py >= b.start && py <= b.bottom && b.NextSpan(py, &lb, &rb);
        const int y = static_cast<int>(py);
        if (inA && inB && ra + 1 == lb) {
            span(y, static_cast<int>(la), static_cast<int>(rb));
        } else if (inA && inB && rb + 1 == la) {
            span(y, static_cast<int>(lb), static_cast<int>(ra));
        } else {
            if (inA) span(y, static_cast<int>(la), static_cast<int>(ra));
            if (inB) span(y, static_cast<int>(lb), static_cast<int>(rb));
        }
    }
}

// The general path: shades, tests and writes the covered pixels one by one through every
// rule of the device.
void GeneralTriangle(const Setup& s, const Triangle& t, Rows& rows);

// Sets s->fastPlain, s->fastModulate and s->fastState for the draw's state; null loops when
// the state needs the general path (d3d_spans.cpp).
void ChooseFastSpans(Setup* s);
// The fast loop for a triangle (null: the general path).
TriangleFunction FastTriangleFor(const Setup& s, const Triangle& t);

}  // namespace plat::raster
