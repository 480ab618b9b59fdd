#include "tests/softrender/reference_model_rotated.h"

#include <cstring>

#include "softrender/rules/blend_tables.h"

std::optional<uint32_t> ReferenceRotatedPixel(const RefSource& src, const RefCall& call,
                                              uint32_t d) {
    RefCall c = call;
    // No packed bytes: at parameter 255 the subtract's term is ProductTable[255][b] = b, which
    // is the scaled loops' full-parameter subtract without packed bytes.
    c.useMmx = 0;
    const bool alphaSource = !src.paletted && src.alphaChannel;
    const bool white = (call.bright & 0xFFFFFFu) == 0xFFFFFFu;
    const int mode = call.mode == 1 && call.param == 255 ? 0 : call.mode;
    if (call.transFlag != 0 && !src.paletted && !alphaSource && src.format == 0 && mode == 0 &&
        !call.blendImage && white) {
        // The 16-bit plain copy: the colour against the whole key.
        if (src.colour == src.colorKey) return std::nullopt;
        c.transFlag = 0;
    }
    if (call.transFlag != 0 && alphaSource && mode == 4 && src.alpha != 255) {
        c.transFlag = 0;  // every alpha but 255 by the alpha rule, 0 included
    }
    return ReferencePixel(RefKernel::Scaled, src, c, d);
}

void ReferenceRotatedSpans(MEMIMG* dst, const MEMIMG* src, const RefRotatedMapping& m,
                           int32_t transFlag, const MEMIMG* blend, const DrawState& state) {
    const int dstBytes = dst->pixelFormat == 1 ? 4 : 2;
    const int64_t uLimit = int64_t{src->width} << 18;
    const int64_t vLimit = int64_t{src->height} << 18;
    RefCall call = ReferenceCallFor(state, transFlag, blend, 0);
    for (int64_t y = m.box.top; y < m.box.bottom; ++y) {
        const int64_t j = y - m.box.top;
        for (int64_t x = m.box.left; x < m.box.right; ++x) {
            const int64_t i = x - m.box.left;
            const int64_t u = m.u0 + j * m.lineU + i * m.stepU;
            const int64_t v = m.v0 + j * m.lineV + i * m.stepV;
            if (u < 0 || u >= uLimit || v < 0 || v >= vLimit) continue;
            const int64_t column = u >> 18;
            const int64_t row = v >> 18;
            if (blend != nullptr) {
                call.blendWeight = BlendWeightMap[blend->pixels[row * blend->pitch + column]];
            }
            uint8_t* px = dst->pixels + y * dst->pitch + x * dstBytes;
            uint32_t d = 0;
            std::memcpy(&d, px, dstBytes);
            const auto r = ReferenceRotatedPixel(ReferenceSourceAt(src, column, row), call, d);
            if (r) std::memcpy(px, &*r, dstBytes);
        }
    }
}
