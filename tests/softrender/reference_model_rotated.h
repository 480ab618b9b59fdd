// The reference model of the rotated blit's span loops and of the scaled blit: pixel by pixel,
// each destination pixel's source point worked out directly from its position (no stepping),
// and each pixel drawn by the reference rules of reference_model.h with the kernel's own
// differences.
#pragma once
#include <cstdint>
#include <optional>

#include "graphics/draw_state/draw_state.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"
#include "tests/softrender/reference_model.h"

// One pixel of the rotated blit: the scaled loops' rules, with the full-parameter subtract
// through the product table (never packed bytes), the 16-bit plain copy comparing the whole
// key, and mode 4 from an alpha source under a colour key drawing alpha 0 by the alpha rule.
std::optional<uint32_t> ReferenceRotatedPixel(const RefSource& src, const RefCall& call,
                                              uint32_t d);

// The mapping of the rotated blit's box: box pixel (i, j) reads the source point
// (u0 + j * lineU + i * stepU, v0 + j * lineV + i * stepV) in 14.18, drawn when it lies inside
// the source.
struct RefRotatedMapping {
    RECT box;
    int64_t u0, v0;
    int32_t stepU, stepV, lineU, lineV;
};

// The rotated blit's spans over mapping.box under the draw state's mode, parameter and bright.
void ReferenceRotatedSpans(MEMIMG* dst, const MEMIMG* src, const RefRotatedMapping& mapping,
                           int32_t transFlag, const MEMIMG* blend, const DrawState& state);
