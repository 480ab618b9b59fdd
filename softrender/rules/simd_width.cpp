#include "softrender/rules/simd_width.h"

#include "platform/core/processor_features.h"

namespace {

const bool kProcessorHasAvx2 = plat::ProcessorHasAvx2();
bool WideSteps = kProcessorHasAvx2;

}  // namespace

bool WideStepsActive() { return WideSteps; }

bool SetWideStepsActive(bool on) {
    const bool before = WideSteps;
    WideSteps = on && kProcessorHasAvx2;
    return before;
}
