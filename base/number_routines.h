// Number routines shared by the graphics and the software renderer: float-to-int conversion
// that truncates toward zero whatever the floating-point rounding mode, sine and cosine in
// extended precision, square root and absolute values.
//
// The conversions sit on the software renderer's inner paths and are defined here, inline.
// A C++ conversion from floating point to integer always truncates toward zero (it does not
// consult the rounding mode), so no mode switch is needed; values that do not truncate into
// the 32-bit range, and NaN, give the most negative integer through the range check below
// (never through an out-of-range conversion, which would be undefined).
#pragma once
#include <cstdint>

// Truncates d toward zero; outside the 32-bit range, or NaN: INT32_MIN (0x80000000).
inline int32_t DoubleToInt(double d) {
    // Exactly the values whose truncation fits: -2147483649 < d < 2147483648. NaN fails both
    // comparisons.
    if (d > -2147483649.0 && d < 2147483648.0) return static_cast<int32_t>(d);
    return INT32_MIN;
}

// The same for a float (widening to double is exact).
inline int32_t FloatToInt(float f) {
    return DoubleToInt(static_cast<double>(f));
}

// DoubleToInt of each of four values (a rectangle's left, top, right, bottom). Null outputs
// are skipped.
void DoubleRectToInt(double left, double top, double right, double bottom,
                     int32_t* outLeft, int32_t* outTop, int32_t* outRight, int32_t* outBottom);

// Sine and cosine of angle (radians), computed in extended precision and each rounded to
// float when stored.
void SinCosF(float angle, float* sinOut, float* cosOut);

// Square root rounded to float.
float SqrtFloat(float f);

// Absolute value; the most negative value comes back unchanged.
inline int32_t AbsInt(int32_t i) {
    return i < 0 ? static_cast<int32_t>(0u - static_cast<uint32_t>(i)) : i;
}

// f negated when below 0; NaN and -0.0 come back unchanged.
inline float AbsFloat(float f) {
    return f < 0.0f ? -f : f;
}
