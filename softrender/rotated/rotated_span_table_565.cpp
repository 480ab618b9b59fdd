#include "softrender/rotated/rotated_span_table.h"

constinit const RotatedSpanGroup kRotatedSpans565Paletted =
    MakeRotatedSpanGroup<RotatedGroupOf(0, true)>();
constinit const RotatedSpanGroup kRotatedSpans565Direct =
    MakeRotatedSpanGroup<RotatedGroupOf(0, false)>();
