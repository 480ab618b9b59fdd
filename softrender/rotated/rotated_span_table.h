// The rotated blit's dispatch: four groups (by source format and paletted or direct), each a
// table of an entry per blend mode, each mode entry the loops of its variants. Built at compile time
// from DescribeRotatedSpanLoop, one source file per pixel format.
#pragma once
#include <array>

#include "softrender/rules/loop_table.h"
#include "softrender/rotated/rotated_span_loops.h"
#include "softrender/rotated/rotated_span_walk.h"

// The loops of one blend mode, by variant index (null where the group has no such variant).
using RotatedModeEntry = std::array<RotatedSpanFn, kRotatedVariantCount>;
// The mode entries of a group.
using RotatedSpanGroup = std::array<RotatedModeEntry, kBlendModeCount>;

// The group of the given number (RotatedGroupOf), built from its loop keys.
template <int Group>
constexpr RotatedSpanGroup MakeRotatedSpanGroup() {
    constexpr auto loops =
        MakeLoopTable<RotatedSpanFn, DescribeRotatedSpanLoop, RotatedSpanLoop,
                      Group * kRotatedLoopsPerGroup, kRotatedLoopsPerGroup>();
    RotatedSpanGroup group{};
    for (int mode = kBlendNone; mode < kBlendModeCount; ++mode) {
        for (int variant = 0; variant < kRotatedVariantCount; ++variant) {
            group[mode][variant] = loops[mode * kRotatedVariantCount + variant];
        }
    }
    return group;
}

extern const RotatedSpanGroup kRotatedSpans565Paletted;
extern const RotatedSpanGroup kRotatedSpans565Direct;
extern const RotatedSpanGroup kRotatedSpans32Paletted;
extern const RotatedSpanGroup kRotatedSpans32Direct;

// The loop of a key, or null when the key names no loop.
inline RotatedSpanFn FindRotatedSpanLoop(int key) {
    if (key < 0 || key >= kRotatedLoopKeyCount) return nullptr;
    static const RotatedSpanGroup* const kGroups[kRotatedGroupCount] = {
        &kRotatedSpans565Paletted, &kRotatedSpans565Direct, &kRotatedSpans32Paletted,
        &kRotatedSpans32Direct};
    const int group = key / kRotatedLoopsPerGroup;
    const int mode = key / kRotatedVariantCount % kBlendModeCount;
    return (*kGroups[group])[mode][key % kRotatedVariantCount];
}
