// The reference model of the triangle rasteriser and the quads: the set-up, the line walk and
// the pixel rules written out slowly from their descriptions, in 64-bit arithmetic, with the
// texture coordinates of every pixel worked out afresh from the anchor instead of stepped,
// and the pixel rules of the shared reference model (ReferencePixel) with the rasteriser's
// own differences. The differential tests compare every span loop with it.
#pragma once
#include <cstdint>
#include <optional>

#include "graphics/draw_state/draw_state.h"
#include "softrender/records/memimg.h"
#include "tests/softrender/reference_model.h"

// One textured pixel by the rasteriser's rules: the scaled kernels' rules (RefKernel::Scaled)
// at every parameter in the ProductTable form (never the packed bytes), with the whole
// colour key compared by the 16-bit plain copy, and alpha 0 drawn (black) by mode 4 under a
// colour key.
std::optional<uint32_t> ReferenceTrianglePixel(const RefSource& src, const RefCall& call,
                                               uint32_t d);

// RasterizeMemImgTriangle as the reference draws it under the given draw state.
void ReferenceRasterizeTriangle(MEMIMG* dst, const MEMIMG* src, const int32_t* vertices,
                                int32_t transFlag, const MEMIMG* blend, uint32_t colour,
                                const DrawState& state);

// DrawMemImgQuad as the reference draws it.
void ReferenceDrawQuad(MEMIMG* dst, const MEMIMG* src, const int32_t* corners, int32_t transFlag,
                       const MEMIMG* blend, const DrawState& state);
