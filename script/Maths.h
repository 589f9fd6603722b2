#pragma once

// The pure maths and waveform built-ins, as defined for the pattern language.

#include <algorithm>
#include <cmath>

namespace lumora::script::maths {

inline constexpr double pi2 = 6.283185307179586476925286766559;

inline double frac(double v) { return v - std::trunc(v); }
/// Wraps into [0, 1), negative values backwards.
inline double wrap(double v) { return v - std::floor(v); }
inline double mod(double x, double y) { return x - y * std::floor(x / y); }
inline double wave(double v) { return (1 + std::sin(wrap(v) * pi2)) * 0.5; }
inline double triangle(double v)
{
    v = wrap(v) * 2;
    return v < 1 ? v : 2 - v;
}
inline double square(double v, double duty) { return wrap(v) < duty ? 1 : 0; }
inline double mix(double low, double high, double weight) { return low + (high - low) * weight; }
inline double clamp(double v, double low, double high) { return std::min(std::max(v, low), high); }
inline double smoothstep(double low, double high, double v)
{
    double t = clamp((v - low) / (high - low), 0, 1);
    if (t != t)
        t = v < low ? 0 : 1;
    return t * t * (3 - 2 * t);
}
inline double bezierQuadratic(double t, double p0, double p1, double p2)
{
    double u = 1 - t;
    return u * u * p0 + 2 * u * t * p1 + t * t * p2;
}
inline double bezierCubic(double t, double p0, double p1, double p2, double p3)
{
    double u = 1 - t;
    return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3;
}
inline double min(double a, double b) { return a < b ? a : b; }
inline double max(double a, double b) { return a > b ? a : b; }
inline double abs(double v) { return std::fabs(v); }
inline double floor(double v) { return std::floor(v); }
inline double ceil(double v) { return std::ceil(v); }
inline double trunc(double v) { return std::trunc(v); }
inline double round(double v) { return std::floor(v + 0.5); }
inline double sqrt(double v) { return std::sqrt(v); }
inline double sin(double v) { return std::sin(v); }
inline double cos(double v) { return std::cos(v); }
inline double tan(double v) { return std::tan(v); }
inline double asin(double v) { return std::asin(v); }
inline double acos(double v) { return std::acos(v); }
inline double atan(double v) { return std::atan(v); }
inline double atan2(double y, double x) { return std::atan2(y, x); }
inline double exp(double v) { return std::exp(v); }
inline double log(double v) { return std::log(v); }
inline double log2(double v) { return std::log2(v); }
inline double pow(double a, double b) { return std::pow(a, b); }
inline double hypot(double x, double y) { return std::sqrt(x * x + y * y); }
inline double hypot3(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }

} // namespace lumora::script::maths
