#include "softrender/scaled/scaled_blit_table.h"

constinit const ScaledBlitGroup kScaledBlits32Paletted = MakeScaledBlitGroup<1, true>();
constinit const ScaledBlitGroup kScaledBlits32Direct = MakeScaledBlitGroup<1, false>();
