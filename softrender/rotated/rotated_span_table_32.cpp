#include "softrender/rotated/rotated_span_table.h"

constinit const RotatedSpanGroup kRotatedSpans32Paletted =
    MakeRotatedSpanGroup<RotatedGroupOf(1, true)>();
constinit const RotatedSpanGroup kRotatedSpans32Direct =
    MakeRotatedSpanGroup<RotatedGroupOf(1, false)>();
