#pragma once

// The maths trait of the portable pattern formulas for float, over the C library's float
// functions (avr-libc, newlib, glibc all have them).

#include <math.h>

namespace lumora {
namespace portable {

struct FloatMath {
    static float sin(float v) { return ::sinf(v); }
    static float cos(float v) { return ::cosf(v); }
    static float tan(float v) { return ::tanf(v); }
    static float atan(float v) { return ::atanf(v); }
    static float atan2(float y, float x) { return ::atan2f(y, x); }
    static float sqrt(float v) { return ::sqrtf(v); }
    static float pow(float v, float e) { return ::powf(v, e); }
    static float exp(float v) { return ::expf(v); }
    static float log(float v) { return ::logf(v); }
    static float floor(float v) { return ::floorf(v); }
    static float fabs(float v) { return ::fabsf(v); }
    static float fmod(float a, float b) { return ::fmodf(a, b); }
};

} // namespace portable
} // namespace lumora
