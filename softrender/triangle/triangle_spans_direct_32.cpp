#include "softrender/rules/loop_table.h"
#include "softrender/triangle/triangle_spans.h"

// The textured loops of 32-bit direct sources (with and without alpha channel).
constinit const TriangleDirectLoops kTriangleLoopsDirect32 =
    MakeLoopTable<TriangleEntry, DescribeTriangleSpanLoop, TexturedTriangleLoop,
                  1 * kLoopKeysPerFormat + kTriangleKeysPerSource, 2 * kTriangleKeysPerSource>();
