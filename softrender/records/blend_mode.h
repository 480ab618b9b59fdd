// The blend modes: how a drawn colour is combined with the destination pixel. One enumeration
// for every software kernel: each kernel's loop tables hold one entry per mode, sized by
// kBlendModeCount, their keys are built from these values, and a mode at or beyond the count
// (or below 0) draws nothing. Graphics' draw state stores the mode under these names; a new
// mode goes before kBlendModeCount.
#pragma once
#include <cstdint>

enum BlendMode : int32_t {
    kBlendNone = 0,      // copy the source
    kBlendAlpha = 1,     // mix with the parameter as opacity
    kBlendAdd = 2,       // add the source, saturating
    kBlendSubtract = 3,  // subtract the source, saturating
    kBlendMultiply = 4,  // multiply the destination by the source
    kBlendModeCount      // the number of modes the kernels draw
};

// Whether the kernels draw in a draw state's mode (a value stored as given).
constexpr bool IsKernelBlendMode(int32_t mode) {
    return static_cast<uint32_t>(mode) < static_cast<uint32_t>(kBlendModeCount);
}

// The mode a kernel's loops draw in: the alpha mix at full opacity (parameter 255, after
// clamping) is the copy. mode must be a kernel mode.
constexpr int EffectiveBlendMode(int32_t mode, int32_t clampedParam) {
    return mode == kBlendAlpha && clampedParam == 255 ? kBlendNone : static_cast<int>(mode);
}
