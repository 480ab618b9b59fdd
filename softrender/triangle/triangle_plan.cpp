#include "softrender/triangle/triangle_plan.h"

#include "softrender/rules/blend_tables.h"

TriangleGroup SelectTriangleGroup(const MEMIMG* dst, const MEMIMG* src, const MEMIMG* blend) {
    if (dst == nullptr || dst->pixels == nullptr) return TriangleGroup::None;
    if (src != nullptr && src->pixelFormat != dst->pixelFormat) return TriangleGroup::None;
    if (dst->paletted || dst->alpha) return TriangleGroup::None;
    const int format = dst->pixelFormat;
    if (format != MEMIMG_FORMAT_565 && format != MEMIMG_FORMAT_32) return TriangleGroup::None;
    if (src == nullptr) {
        return format == MEMIMG_FORMAT_32 ? TriangleGroup::Flat32 : TriangleGroup::Flat16;
    }
    if (src->pixels == nullptr || src->width < 0 || src->height < 0 ||
        src->width >= kTriangleMaxSourceSize || src->height >= kTriangleMaxSourceSize) {
        return TriangleGroup::None;
    }
    // The blend image is read at texel coordinates anywhere in the source.
    if (blend != nullptr &&
        (blend->pixels == nullptr || blend->width < src->width || blend->height < src->height)) {
        return TriangleGroup::None;
    }
    if (format == MEMIMG_FORMAT_32) {
        return src->paletted ? TriangleGroup::Paletted32 : TriangleGroup::Direct32;
    }
    return src->paletted ? TriangleGroup::Paletted16 : TriangleGroup::Direct16;
}

int SelectTriangleSpanLoop(int pixelFormat, SourceKind source, int32_t blendMode,
                           int32_t blendParam, bool blendImage, uint32_t bright,
                           int32_t transFlag) {
    if (pixelFormat != 0 && pixelFormat != 1) return -1;
    const int32_t mode = blendMode;
    if (!IsKernelBlendMode(mode)) return -1;
    const int32_t p = blendParam < 0 ? 0 : blendParam > 255 ? 255 : blendParam;
    if ((mode == kBlendAlpha || mode == kBlendAdd) && p == 0) return -1;
    if (mode == kBlendSubtract && p == 0 && source != SourceKind::Paletted) return -1;
    LoopKey key;
    key.format = pixelFormat;
    key.source = source;
    key.mode = EffectiveBlendMode(mode, p);
    key.blend = blendImage;
    key.bright = (bright & 0xFFFFFFu) != 0xFFFFFFu;
    key.key = transFlag != 0;
    return EncodeLoopKey(key);
}

int SelectFlatSpanLoop(int pixelFormat, int32_t blendMode, int32_t blendParam) {
    if (pixelFormat != 0 && pixelFormat != 1) return -1;
    const int32_t mode = blendMode;
    if (!IsKernelBlendMode(mode)) return -1;
    const int32_t p = blendParam < 0 ? 0 : blendParam > 255 ? 255 : blendParam;
    if ((mode == kBlendAlpha || mode == kBlendAdd || mode == kBlendSubtract) && p == 0) return -1;
    return FillLoopIndex(pixelFormat, EffectiveBlendMode(mode, p));
}

uint32_t PrepareFlatColour(int pixelFormat, uint32_t colour, uint32_t bright) {
    const uint32_t* rowR = ProductTable[(bright >> 16) & 0xFFu];
    const uint32_t* rowG = ProductTable[(bright >> 8) & 0xFFu];
    const uint32_t* rowB = ProductTable[bright & 0xFFu];
    if (pixelFormat == MEMIMG_FORMAT_565) {
        const uint32_t c = colour & 0xFFFFu;
        return (rowR[c >> 11] << 11) | (rowG[(c >> 5) & 0x3Fu] << 5) | rowB[c & 0x1Fu];
    }
    return (colour & 0xFF000000u) | (rowR[(colour >> 16) & 0xFFu] << 16) |
           (rowG[(colour >> 8) & 0xFFu] << 8) | rowB[colour & 0xFFu];
}
