#include "softrender/rules/loop_table.h"
#include "softrender/triangle/triangle_spans.h"

// The textured loops of paletted sources onto 16-bit 5-6-5 destinations.
constinit const TrianglePalettedLoops kTriangleLoopsPaletted565 =
    MakeLoopTable<TriangleEntry, DescribeTriangleSpanLoop, TexturedTriangleLoop,
                  0 * kLoopKeysPerFormat, kTriangleKeysPerSource>();
