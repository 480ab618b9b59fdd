#include "softrender/rotated/rotated_span_loops.h"

int SelectRotatedSpanLoop(int pixelFormat, bool paletted, bool alphaChannel, int32_t blendMode,
                          int32_t blendParam, bool blendImage, uint32_t bright,
                          int32_t transFlag) {
    if (pixelFormat != 0 && pixelFormat != 1) return -1;
    const int32_t mode = blendMode;
    if (!IsKernelBlendMode(mode)) return -1;
    const int32_t p = blendParam < 0 ? 0 : blendParam > 255 ? 255 : blendParam;
    RotatedLoopKey key;
    key.format = pixelFormat;
    key.paletted = paletted;
    // The mode entries' parameter tests.
    key.mode = EffectiveBlendMode(mode, p);
    if ((mode == kBlendAlpha || mode == kBlendAdd) && p == 0) return -1;
    if (mode == kBlendSubtract && p == 0 && !paletted) return -1;
    key.blend = blendImage;
    key.bright = (bright & 0xFFFFFFu) != 0xFFFFFFu;
    key.alpha = !paletted && alphaChannel;
    key.key = transFlag != 0;
    return EncodeRotatedLoopKey(key);
}
