#pragma once

// The scalar and vector vocabulary the pattern formulas are written in. Each follows its
// definition literally (order of operations included), so that results match to the last bit.

#include "Vec.h"

#include <cmath>

namespace lumora {

inline constexpr double PI = 3.141592653589793;

/// v − floor(v): in [0, 1) also for negative v.
inline double fract(double v) { return v - std::floor(v); }
/// a − b·floor(a / b): takes the sign of b, unlike fmod.
inline double mod(double a, double b) { return a - b * std::floor(a / b); }
/// A NaN x comes back unchanged.
inline double clamp(double x, double lo, double hi)
{
    if (x > hi) return hi;
    if (lo > x) return lo;
    return x;
}
/// e0 > e1 gives a falling step.
inline double smoothstep(double e0, double e1, double x)
{
    const double t = clamp((x - e0) / (e1 - e0), 0, 1);
    return t * t * (3 - 2 * t);
}
inline double sin01(double v) { return 0.5 * std::sin(v) + 0.5; }

inline Vec2 tan(Vec2 a) { return {std::tan(a.x), std::tan(a.y)}; }
inline Vec2 fract(Vec2 a) { return {fract(a.x), fract(a.y)}; }
inline double length(Vec2 a) { return std::sqrt(a.x * a.x + a.y * a.y); }
inline double distance(Vec2 a, Vec2 b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y));
}
/// No guard: a zero vector gives NaN components.
inline Vec2 normalize(Vec2 a)
{
    const double L = length(a);
    return {a.x / L, a.y / L};
}
inline Vec2 mix(Vec2 a, Vec2 b, double t) { return {a.x * (1 - t) + b.x * t, a.y * (1 - t) + b.y * t}; }
/// Counter-clockwise by theta radians.
inline Vec2 rotated(Vec2 a, double theta)
{
    return {a.x * std::cos(theta) - a.y * std::sin(theta), a.x * std::sin(theta) + a.y * std::cos(theta)};
}

inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 abs(Vec3 a) { return {std::fabs(a.x), std::fabs(a.y), std::fabs(a.z)}; }
inline Vec3 fract(Vec3 a) { return {fract(a.x), fract(a.y), fract(a.z)}; }
inline double length(Vec3 a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }
inline double distance(Vec3 a, Vec3 b) { return length(a - b); }
/// No guard: a zero vector gives NaN components.
inline Vec3 normalize(Vec3 a)
{
    const double L = length(a);
    return {a.x / L, a.y / L, a.z / L};
}
inline Vec3 mix(Vec3 a, Vec3 b, double t) { return a * (1 - t) + b * t; }

} // namespace lumora
