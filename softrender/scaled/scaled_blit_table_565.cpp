#include "softrender/scaled/scaled_blit_table.h"

constinit const ScaledBlitGroup kScaledBlits565Paletted = MakeScaledBlitGroup<0, true>();
constinit const ScaledBlitGroup kScaledBlits565Direct = MakeScaledBlitGroup<0, false>();
