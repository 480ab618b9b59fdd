#include "softrender/scaled/scaled_pixel_loops.h"

int SelectScaledPixelLoop(int pixelFormat, SourceKind source, int32_t blendMode,
                          int32_t blendParam, bool blendImage, uint32_t bright,
                          int32_t transFlag, int32_t useMmx) {
    if (pixelFormat != 0 && pixelFormat != 1) return -1;
    const int32_t mode = blendMode;
    if (!IsKernelBlendMode(mode)) return -1;
    const int32_t p = blendParam < 0 ? 0 : blendParam > 255 ? 255 : blendParam;
    LoopKey key;
    key.format = pixelFormat;
    key.source = source;
    key.mode = EffectiveBlendMode(mode, p);
    if ((mode == kBlendAlpha || mode == kBlendAdd) && p == 0) return -1;
    if (mode == kBlendSubtract && p == 0 && source != SourceKind::Paletted) return -1;
    key.blend = blendImage;
    key.bright = (bright & 0xFFFFFFu) != 0xFFFFFFu;
    key.key = transFlag != 0;
    if (key.mode == kBlendSubtract && p == 255 && !key.blend && !key.bright &&
        source != SourceKind::DirectAlpha) {
        key.special = useMmx != 0 && pixelFormat == 1 ? LoopSpecial::Packed : LoopSpecial::Shortcut;
    }
    return EncodeLoopKey(key);
}
