#include "softrender/blit_plan.h"
#include "softrender/blit_unscaled_table.h"
#include "softrender/loop_table.h"

constinit const UnscaledBlitLoopTable kUnscaledBlitLoops565 =
    MakeLoopTable<UnscaledBlitLoopFn, DescribeUnscaledBlitLoop, UnscaledBlitLoop, 0,
                  kLoopKeysPerFormat>();
