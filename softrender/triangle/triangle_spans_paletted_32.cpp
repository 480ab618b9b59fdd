#include "softrender/rules/loop_table.h"
#include "softrender/triangle/triangle_spans.h"

// The textured loops of paletted sources onto 32-bit destinations.
constinit const TrianglePalettedLoops kTriangleLoopsPaletted32 =
    MakeLoopTable<TriangleEntry, DescribeTriangleSpanLoop, TexturedTriangleLoop,
                  1 * kLoopKeysPerFormat, kTriangleKeysPerSource>();
