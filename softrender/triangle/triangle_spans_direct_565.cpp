#include "softrender/rules/loop_table.h"
#include "softrender/triangle/triangle_spans.h"

// The textured loops of 16-bit 5-6-5 direct sources (with and without alpha channel).
constinit const TriangleDirectLoops kTriangleLoopsDirect565 =
    MakeLoopTable<TriangleEntry, DescribeTriangleSpanLoop, TexturedTriangleLoop,
                  0 * kLoopKeysPerFormat + kTriangleKeysPerSource, 2 * kTriangleKeysPerSource>();
