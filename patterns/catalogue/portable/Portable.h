#pragma once

// The vocabulary every pattern family is written in, for any number type T: small value types
// and the helpers the formulas share. Plain C++11 and no headers at all, so the same text runs
// on the desktop with double and on a microcontroller with float (avr-g++ has no standard
// library). M is a maths trait with static functions on T: sin, cos, tan, atan, atan2, sqrt,
// pow, exp, log, floor, fabs and fmod.
//
// Each helper follows its definition literally, operation order included: with double and the
// <cmath> functions the results are those of the desktop to the last bit. Floating literals are
// written T(...) so that a float build stays in float.

namespace lumora {
namespace portable {

/// Keeps an argument out of template deduction, so Vec2<float> * 2 works.
template <class T>
struct Same {
    typedef T type;
};

template <class T>
inline T pi() { return T(3.141592653589793); }

/// std::min and std::max to the letter: with a NaN they return the first argument.
template <class T>
inline T minOf(T a, T b) { return (b < a) ? b : a; }
template <class T>
inline T maxOf(T a, T b) { return (a < b) ? b : a; }
/// The first smallest of three, as std::min of a list.
template <class T>
inline T minOf(T a, T b, T c)
{
    T m = a;
    if (b < m) m = b;
    if (c < m) m = c;
    return m;
}

template <class T>
struct Position {
    T time;
    T x;
    T y;
    long long index;

    Position() : time(0), x(0), y(0), index(0) {}
    Position(T t, T px, T py, long long i) : time(t), x(px), y(py), index(i) {}
};

/// Pattern space at one animation time T, as the desktop's preview and exports set it up:
/// grid positions scaled by s0 + s1·sin(0.000827·T), turned by r1·sin(0.000742·T), and coloured
/// at time speed·T.
template <class T>
struct PatternSpace {
    T time;
    T scale;
    T c;
    T s;
};

template <class T, class M>
inline PatternSpace<T> patternSpace(T s0, T s1, T r1, T speed, T animationTime)
{
    const T angle = r1 * M::sin(T(0.000742) * animationTime);
    PatternSpace<T> space;
    space.scale = s0 + s1 * M::sin(T(0.000827) * animationTime);
    space.c = M::cos(angle);
    space.s = M::sin(angle);
    space.time = speed * animationTime;
    return space;
}

/// The LED numbered index at grid position (gridX, gridY), in pattern space.
template <class T>
inline Position<T> positionIn(const PatternSpace<T> &space, T gridX, T gridY, long long index)
{
    const T X = gridX * space.scale;
    const T Y = gridY * space.scale;
    return Position<T>(space.time, space.c * X - space.s * Y, space.s * X + space.c * Y, index);
}

template <class T>
struct Vec2 {
    T x;
    T y;

    Vec2() : x(0), y(0) {}
    Vec2(T px, T py) : x(px), y(py) {}
};

template <class T>
inline Vec2<T> operator+(Vec2<T> a, Vec2<T> b) { return Vec2<T>(a.x + b.x, a.y + b.y); }
template <class T>
inline Vec2<T> operator-(Vec2<T> a, Vec2<T> b) { return Vec2<T>(a.x - b.x, a.y - b.y); }
template <class T>
inline Vec2<T> operator*(Vec2<T> a, typename Same<T>::type k) { return Vec2<T>(a.x * k, a.y * k); }

template <class T>
struct Vec3 {
    T x;
    T y;
    T z;

    Vec3() : x(0), y(0), z(0) {}
    Vec3(T px, T py, T pz) : x(px), y(py), z(pz) {}

    Vec3 &operator+=(Vec3 o) { x += o.x; y += o.y; z += o.z; return *this; }
    Vec3 &operator*=(Vec3 o) { x *= o.x; y *= o.y; z *= o.z; return *this; }
};

template <class T>
inline Vec3<T> operator+(Vec3<T> a, Vec3<T> b) { return Vec3<T>(a.x + b.x, a.y + b.y, a.z + b.z); }
template <class T>
inline Vec3<T> operator-(Vec3<T> a, Vec3<T> b) { return Vec3<T>(a.x - b.x, a.y - b.y, a.z - b.z); }
template <class T>
inline Vec3<T> operator*(Vec3<T> a, typename Same<T>::type k) { return Vec3<T>(a.x * k, a.y * k, a.z * k); }
template <class T>
inline Vec3<T> operator*(typename Same<T>::type k, Vec3<T> a) { return Vec3<T>(k * a.x, k * a.y, k * a.z); }
template <class T>
inline Vec3<T> operator-(Vec3<T> a, typename Same<T>::type k) { return Vec3<T>(a.x - k, a.y - k, a.z - k); }

/// A pattern's answer, components nominally in 0..1 and never clamped here. The constructor
/// turns a NaN component into 0; fromHsv() and direct writes store what they are given.
template <class T>
struct Color {
    T r;
    T g;
    T b;

    Color() : r(0), g(0), b(0) {}
    Color(T red, T green, T blue) : r(number(red)), g(number(green)), b(number(blue)) {}

    static T number(T v) { return v != v ? T(0) : v; }
};

template <class T>
inline Color<T> operator*(const Color<T> &c, typename Same<T>::type k) { return Color<T>(c.r * k, c.g * k, c.b * k); }
template <class T>
inline Color<T> operator+(const Color<T> &c, typename Same<T>::type k) { return Color<T>(c.r + k, c.g + k, c.b + k); }

/// v − floor(v): in [0, 1) also for negative v.
template <class M, class T>
inline T fract(T v) { return v - M::floor(v); }
/// a − b·floor(a / b): takes the sign of b, unlike fmod.
template <class M, class T>
inline T mod(T a, typename Same<T>::type b) { return a - b * M::floor(a / b); }
/// A NaN x comes back unchanged.
template <class T>
inline T clamp(T x, typename Same<T>::type lo, typename Same<T>::type hi)
{
    if (x > hi) return hi;
    if (lo > x) return lo;
    return x;
}
/// e0 > e1 gives a falling step.
template <class T>
inline T smoothstep(typename Same<T>::type e0, typename Same<T>::type e1, T x)
{
    const T t = clamp<T>((x - e0) / (e1 - e0), 0, 1);
    return t * t * (3 - 2 * t);
}
template <class M, class T>
inline T sin01(T v) { return T(0.5) * M::sin(v) + T(0.5); }

/// Hue in degrees (wrapped), saturation and value on a 0..255 scale (limited to it). A hue
/// that cannot be placed gives black.
template <class M, class T>
Color<T> fromHsv(T hue, T saturation, T value)
{
    const T S = maxOf(T(0), minOf(saturation, T(255))) / T(255);
    const T V = maxOf(T(0), minOf(value, T(255))) / T(255);
    const T h = mod<M>(hue, T(360)) / T(60);
    const T i = M::floor(h);
    const T f = h - i;
    const T p = V * (1 - S);
    const T q = V * (1 - S * f);
    const T t = V * (1 - S * (1 - f));
    Color<T> c;
    if (i == 0) { c.r = V; c.g = t; c.b = p; }
    else if (i == 1) { c.r = q; c.g = V; c.b = p; }
    else if (i == 2) { c.r = p; c.g = V; c.b = t; }
    else if (i == 3) { c.r = p; c.g = q; c.b = V; }
    else if (i == 4) { c.r = t; c.g = p; c.b = V; }
    else if (i == 5) { c.r = V; c.g = p; c.b = q; }
    return c;
}

/// Of unit Euclidean length; black stays black.
template <class M, class T>
inline Color<T> normalize(const Color<T> &c)
{
    const T L = M::sqrt(c.r * c.r + c.g * c.g + c.b * c.b);
    return Color<T>(c.r / L, c.g / L, c.b / L);
}

template <class M, class T>
inline Vec2<T> tan(Vec2<T> a) { return Vec2<T>(M::tan(a.x), M::tan(a.y)); }
template <class M, class T>
inline T length(Vec2<T> a) { return M::sqrt(a.x * a.x + a.y * a.y); }
template <class M, class T>
inline T distance(Vec2<T> a, Vec2<T> b)
{
    return M::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y));
}
/// No guard: a zero vector gives NaN components.
template <class M, class T>
inline Vec2<T> normalize(Vec2<T> a)
{
    const T L = length<M>(a);
    return Vec2<T>(a.x / L, a.y / L);
}
/// Counter-clockwise by theta radians.
template <class M, class T>
inline Vec2<T> rotated(Vec2<T> a, T theta)
{
    return Vec2<T>(a.x * M::cos(theta) - a.y * M::sin(theta), a.x * M::sin(theta) + a.y * M::cos(theta));
}

template <class T>
inline T dot(Vec3<T> a, Vec3<T> b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
template <class M, class T>
inline Vec3<T> abs(Vec3<T> a) { return Vec3<T>(M::fabs(a.x), M::fabs(a.y), M::fabs(a.z)); }
template <class M, class T>
inline Vec3<T> fract(Vec3<T> a) { return Vec3<T>(fract<M>(a.x), fract<M>(a.y), fract<M>(a.z)); }
template <class M, class T>
inline T length(Vec3<T> a) { return M::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }
template <class M, class T>
inline T distance(Vec3<T> a, Vec3<T> b) { return length<M>(a - b); }
/// No guard: a zero vector gives NaN components.
template <class M, class T>
inline Vec3<T> normalize(Vec3<T> a)
{
    const T L = length<M>(a);
    return Vec3<T>(a.x / L, a.y / L, a.z / L);
}
template <class T>
inline Vec3<T> mix(Vec3<T> a, Vec3<T> b, typename Same<T>::type t) { return a * (1 - t) + b * t; }

} // namespace portable
} // namespace lumora
