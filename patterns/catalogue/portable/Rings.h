#pragma once

// Rings and ripples around moving centres: DoubleRings, Rings, Ringel, AcidTrip, Colors,
// Colors2, Lumora, Interference, Psychedelic, Squiggle.

#include "Portable.h"

namespace lumora {
namespace portable {

/// Rainbow ramps of the ring patterns: u runs from 2 to 8 across one ring.
template <class T>
inline T ringRampRed(T u)
{
    return 2 - clamp<T>(u - 3, 0, 1) - clamp<T>(1 - u, 0, 1) - clamp<T>(u - 9, 0, 1) - clamp<T>(7 - u, 0, 1);
}
template <class T>
inline T ringRampGreen(T u) { return 1 - clamp<T>(u - 5, 0, 1) - clamp<T>(3 - u, 0, 1); }
template <class T>
inline T ringRampBlue(T u) { return 1 - clamp<T>(u - 7, 0, 1) - clamp<T>(5 - u, 0, 1); }

template <class T, class M>
Color<T> doubleRingsColor(const Position<T> &p)
{
    const T t = p.time;
    const T A1 = M::sin(t) + 2;
    const T B1 = M::sin(T(1.01) * t) + M::sin(T(1.101) * t);
    const T A2 = M::sin(t) + T(2.1);
    const T B2 = M::sin(T(1.11) * t) + M::sin(T(1.111) * t);
    const T X1 = p.x * A1 + B1;
    const T Y1 = p.y * A1 + B1;
    const T X2 = p.x * A2 + B2;
    const T Y2 = p.y * A2 + B2;
    const T u1 = 2 + 6 * fract<M>(T(0.5) * M::sqrt(X1 * X1 + Y1 * Y1));
    const T u2 = 2 + 6 * fract<M>(T(0.5) * M::sqrt(X2 * X2 + Y2 * Y2));
    return Color<T>(T(0.5) * (ringRampRed(u1) + ringRampRed(u2)), T(0.5) * (ringRampGreen(u1) + ringRampGreen(u2)),
                    T(0.5) * (ringRampBlue(u1) + ringRampBlue(u2)));
}

template <class T, class M>
Color<T> ringsColor(const Position<T> &p)
{
    const T t = p.time;
    const T s = M::sin(t) + 2;
    const T k = M::sin(T(1.01) * t) + M::sin(T(1.1001) * t);
    const T X = p.x * s + k;
    const T Y = p.y * s + k;
    const T L = 2 + 6 * fract<M>(T(0.5) * M::sqrt(X * X + Y * Y));
    return Color<T>(ringRampRed(L), ringRampGreen(L), ringRampBlue(L));
}

template <class T, class M>
Color<T> ringelColor(const Position<T> &p)
{
    const T a = M::pow(M::fabs(mod<M>(p.x, 2) - 1), 4);
    const T b = M::pow(M::fabs(mod<M>(p.y, 2) - 1), 4);
    const T h = M::sin(5 * M::pow(M::fabs(a - b), T(0.25)) + 3 * p.time);
    return Color<T>(h, h * h, -h);
}

template <class T, class M>
Color<T> acidTripColor(const Position<T> &p)
{
    const T t = p.time;
    const T k = 3 * M::sqrt(p.x * p.x + p.y * p.y) - t;
    return Color<T>(M::cos(k * M::cos(t)), M::cos(k * M::sin(T(0.9) * t)), M::cos(k * M::sin(T(0.991) * t)));
}

template <class T, class M>
Color<T> colorsColor(const Position<T> &p)
{
    const T t = p.time;
    const Vec2<T> c(M::cos(t), M::cos(T(0.535) * t));
    const T h = distance<M>(c, Vec2<T>(p.x, p.y));
    const Vec2<T> v(M::cos(64 * h), M::sin(64 * h));
    const Vec2<T> n = normalize<M>(v);
    return Color<T>(n.x * n.x, n.x * n.y, n.x - n.y);
}

template <class T, class M>
Color<T> colors2Color(const Position<T> &p)
{
    const T t = p.time;
    const Vec2<T> c(M::cos(t), M::cos(T(0.535) * t));
    Vec2<T> q(p.x, p.y);
    // fmod keeps the sign of the coordinate, so cells left of or below zero never flip.
    if (M::fmod(p.x, T(0.05)) > T(0.025))
        q.y = 1 - p.y;
    if (M::fmod(p.y, T(0.05)) > T(0.025))
        q.x = 1 - p.x;
    const T a = distance<M>(c, q) * 64;
    const Vec2<T> n = normalize<M>(Vec2<T>(M::cos(a), M::sin(a)));
    return Color<T>(n.x * n.x, n.x * n.y, n.x - n.y);
}

template <class T, class M>
Color<T> lumoraColor(const Position<T> &p)
{
    const T t = p.time;
    const Vec2<T> c1(M::cos(t), M::cos(T(0.535) * t));
    const Vec2<T> c2(M::cos(T(0.259) * t), M::cos(T(0.605) * t));
    const Vec2<T> q(p.x, p.y);
    const T d1 = distance<M>(c1, q);
    const T d2 = distance<M>(c2, q);
    const Vec2<T> S(M::cos(64 * d1) + M::cos(64 * d2), M::sin(64 * d1) + M::sin(64 * d2));
    const Vec2<T> n = normalize<M>(S);
    return Color<T>(n.x, n.y, T(0.25) * length<M>(S) * (n.x - n.y));
}

/// The four wandering centres of Interference and Psychedelic.
template <class T, class M>
inline void interferenceCentres(T t, Vec2<T> centres[4])
{
    centres[0] = Vec2<T>(M::cos(t), M::cos(T(0.535) * t));
    centres[1] = Vec2<T>(M::cos(T(0.259) * t), M::cos(T(0.605) * t));
    centres[2] = Vec2<T>(M::cos(T(0.346) * t), M::cos(T(0.263) * t));
    centres[3] = Vec2<T>(M::cos(T(0.1346) * t), M::cos(T(0.1263) * t));
}

template <class T, class M>
Color<T> interferenceColor(const Position<T> &p)
{
    const T t = p.time;
    Vec2<T> centres[4];
    interferenceCentres<T, M>(t, centres);
    const Vec2<T> here(p.x, p.y);
    Vec2<T> S;
    for (int k = 0; k < 4; ++k) {
        const T d = distance<M>(centres[k], here);
        S = S + Vec2<T>(M::cos(16 * d), M::sin(16 * d));
    }
    const Vec2<T> n = normalize<M>(S);
    const T L = T(0.25) * length<M>(S);
    return Color<T>(L * n.x, L * n.y, L * (-n.x - n.y));
}

template <class T, class M>
Color<T> psychedelicColor(const Position<T> &p)
{
    const T t = p.time;
    Vec2<T> centres[4];
    interferenceCentres<T, M>(t, centres);
    const T f = (M::sin(T(0.1) * t) + T(1.2)) * 64;
    const Vec2<T> q(p.x, p.y);
    Vec2<T> S(0, 0);
    for (int k = 0; k < 4; ++k) {
        const T d = distance<M>(centres[k], q);
        S = S + Vec2<T>(M::cos(d * f), M::sin(d * f));
    }
    const T L = length<M>(S) * T(0.25);
    const Vec2<T> n = normalize<M>(S);
    const T a1 = L * n.x;
    const T a2 = L * n.y;
    const T a3 = L * (-n.x - n.y);
    return Color<T>(M::cos(3 * a1 + T(0.5)) + M::sin(2 * a1), M::cos(3 * a2 + T(0.5)) + M::sin(2 * a2),
                    M::cos(3 * a3 + T(0.5)) + M::sin(2 * a3));
}

template <class T, class M>
Color<T> squiggleColor(const Position<T> &p)
{
    const T t = p.time;
    const T g = M::sqrt(p.x * p.x + p.y * p.y) + T(0.75) * M::sin(2 * p.y + T(0.8) * t) * M::sin(2 * p.x + T(0.5) * t);
    return Color<T>(M::sin(T(2.9) * g - t + T(0.3) * p.y), M::sin(T(2.73) * g - T(1.021) * t),
                    M::sin(T(2.8) * g - T(1.01) * t + T(0.1) * p.x));
}

} // namespace portable
} // namespace lumora
