#include "base/number_routines.h"

#include <cmath>

void DoubleRectToInt(double left, double top, double right, double bottom,
                     int32_t* outLeft, int32_t* outTop, int32_t* outRight, int32_t* outBottom) {
    if (outLeft != nullptr) *outLeft = DoubleToInt(left);
    if (outTop != nullptr) *outTop = DoubleToInt(top);
    if (outRight != nullptr) *outRight = DoubleToInt(right);
    if (outBottom != nullptr) *outBottom = DoubleToInt(bottom);
}

void SinCosF(float angle, float* sinOut, float* cosOut) {
    const long double a = angle;
    *sinOut = static_cast<float>(std::sin(a));
    *cosOut = static_cast<float>(std::cos(a));
}

float SqrtFloat(float f) {
    return std::sqrt(f);
}
