// The scaled blit's dispatch: four groups (by pixel format, and paletted or direct source),
// each a table of an entry per blend mode, each mode entry the loops of its variants. Built at
// compile time from DescribeScaledPixelLoop, one source file per pixel format.
#pragma once
#include <array>

#include "softrender/rules/loop_table.h"
#include "softrender/rules/pixel_loop.h"
#include "softrender/scaled/scaled_blit_walk.h"
#include "softrender/scaled/scaled_pixel_loops.h"

// Loop keys of one source kind and mode: blend image, bright, colour key and special.
constexpr int kScaledKeysPerSourceMode = 2 * 2 * 2 * 3;
// The loops of one blend mode: the source kinds of the group (paletted; or direct, then direct
// with alpha), each with its variants (null where no loop exists).
using ScaledModeEntry = std::array<ScaledBlitFn, 2 * kScaledKeysPerSourceMode>;
using ScaledBlitGroup = std::array<ScaledModeEntry, kBlendModeCount>;

// Where a key sits in its group's mode entry.
constexpr int ScaledModeSlot(const LoopKey& k, int keyIndex) {
    return (k.source == SourceKind::DirectAlpha ? kScaledKeysPerSourceMode : 0) +
           keyIndex % kScaledKeysPerSourceMode;
}

// The group of a pixel format, paletted (one source kind) or direct (two).
template <int Format, bool Paletted>
constexpr ScaledBlitGroup MakeScaledBlitGroup() {
    constexpr SourceKind kFirst = Paletted ? SourceKind::Paletted : SourceKind::Direct;
    constexpr int kSources = Paletted ? 1 : 2;
    constexpr int kFirstKey = EncodeLoopKey(LoopKey{Format, kFirst, kBlendNone, false, false,
                                                    false, LoopSpecial::None});
    constexpr int kCount = kSources * kBlendModeCount * kScaledKeysPerSourceMode;
    constexpr auto loops = MakeLoopTable<ScaledBlitFn, DescribeScaledPixelLoop, ScaledBlitLoop,
                                         kFirstKey, kCount>();
    ScaledBlitGroup group{};
    for (int i = 0; i < kCount; ++i) {
        const LoopKey k = DecodeLoopKey(kFirstKey + i);
        group[k.mode][ScaledModeSlot(k, kFirstKey + i)] = loops[i];
    }
    return group;
}

extern const ScaledBlitGroup kScaledBlits565Paletted;
extern const ScaledBlitGroup kScaledBlits565Direct;
extern const ScaledBlitGroup kScaledBlits32Paletted;
extern const ScaledBlitGroup kScaledBlits32Direct;

// The loop of a key, or null when the key names no loop of the scaled blit.
inline ScaledBlitFn FindScaledBlitLoop(int key) {
    if (key < 0 || key >= kLoopKeyCount) return nullptr;
    const LoopKey k = DecodeLoopKey(key);
    const bool paletted = k.source == SourceKind::Paletted;
    const ScaledBlitGroup& group = k.format == 1
                                       ? (paletted ? kScaledBlits32Paletted : kScaledBlits32Direct)
                                       : (paletted ? kScaledBlits565Paletted : kScaledBlits565Direct);
    return group[k.mode][ScaledModeSlot(k, key)];
}
