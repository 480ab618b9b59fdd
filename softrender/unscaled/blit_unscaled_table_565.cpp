#include "softrender/unscaled/blit_plan.h"
#include "softrender/unscaled/blit_unscaled_table.h"
#include "softrender/rules/loop_table.h"

constinit const UnscaledBlitLoopTable kUnscaledBlitLoops565 =
    MakeLoopTable<UnscaledBlitLoopFn, DescribeUnscaledBlitLoop, UnscaledBlitLoop, 0,
                  kLoopKeysPerFormat>();
