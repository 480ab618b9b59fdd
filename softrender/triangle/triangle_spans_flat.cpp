#include "softrender/rules/loop_table.h"
#include "softrender/triangle/triangle_spans.h"

// The flat-colour loops: fill loop index FillLoopIndex(format, mode).
constinit const std::array<TriangleEntry, kFillLoopCount> kFlatTriangleLoops =
    MakeLoopTable<TriangleEntry, DescribeFlatSpanLoop, FlatTriangleLoop, 0, kFillLoopCount>();
