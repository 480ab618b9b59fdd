// The part of the draw state that the software kernels read: where they may draw and how they
// blend. Every kernel entry takes it from its caller; graphics' draw state record holds it as
// its base, so the caller hands over the current state as it stands.
#pragma once
#include <cstdint>

#include "softrender/records/blend_mode.h"
#include "softrender/records/rect.h"

struct KernelDrawState {
    RECT drawArea;       // clip rectangle, right and bottom exclusive
    int32_t blendMode;   // a BlendMode, stored as given (the kernels refuse other values)
    int32_t blendParam;  // 0..255
    uint32_t bright;     // 0x00RRGGBB, 0xFFFFFF = no modulation
};
