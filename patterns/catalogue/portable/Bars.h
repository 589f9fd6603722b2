#pragma once

// Bars, beams and scans: Beams, Bars, WaveBars, RotatingBars, DualScan, Sweeplet.

#include "Portable.h"

namespace lumora {
namespace portable {

/// The eight rainbow colours of Bars and WaveBars.
template <class T>
inline Vec3<T> rainbowBarColour(int k)
{
    static const Vec3<T> colours[8] = {
        Vec3<T>(1, 0, 0), Vec3<T>(1, T(0.5), 0), Vec3<T>(1, 1, 0), Vec3<T>(0, 1, 0),
        Vec3<T>(0, 1, 1), Vec3<T>(0, 0, 1), Vec3<T>(T(0.5), 0, 1), Vec3<T>(1, 0, 1),
    };
    return colours[k];
}

/// The colour (r, g, b) faded to nothing barsize away from centre.
template <class T, class M>
inline Vec3<T> barAt(T v, T centre, T r, T g, T b, T barsize)
{
    const T w = maxOf(T(0), 1 - M::fabs(centre - v) / barsize);
    return Vec3<T>(r * w, g * w, b * w);
}

/// Fifteen wavy horizontal beams.
template <class T, class M>
Color<T> beamsColor(const Position<T> &p)
{
    const T t = p.time;
    T Y = p.y;
    T r = 0, g = 0, b = 0;
    for (int i = 0; i <= 14; ++i) {
        const T fi = T(i);
        // Each beam bends the line the next one starts from.
        Y = Y + T(0.1) * M::sin(T(0.2) * p.x * fi + t + T(0.5) * fi);
        const T I = M::fabs(T(0.02) / Y);
        r += I * (10 - fi) * T(0.1);
        g += I * fi * T(0.1);
        b += I * T(1.5);
    }
    return Color<T>(r, g, b);
}

template <class T, class M>
Color<T> barsColor(const Position<T> &p, T barsize = T(0.3))
{
    const T t = p.time;
    const T a = T(0.5) * t;
    const T c = M::cos(a);
    const T s = M::sin(a);
    // The bars lie across the frame's second axis, which is not turned but mirrored.
    const T v = p.x * s - p.y * c;
    const T w = 200 * M::sin(T(0.001) * t);
    Vec3<T> sum;
    for (int k = 0; k <= 7; ++k) {
        const T centre = M::sin(a + 2 * k * w);
        const Vec3<T> colour = rainbowBarColour<T>(k);
        sum += barAt<T, M>(v, centre, colour.x, colour.y, colour.z, barsize);
    }
    return Color<T>(sum.x, sum.y, sum.z);
}

/// One wave bar at frame coordinates (b, w): full on the line w = d plus a small wave.
template <class T, class M>
inline Vec3<T> waveBar(T a, T b, T w, T d, Vec3<T> colour, T barsize)
{
    const T k = maxOf(T(0), 1 - M::fabs(d - w + T(0.1) * M::sin(2 * a + 4 * b * M::sin(1 - 2 * d))) / barsize);
    return colour * k;
}

template <class T, class M>
Color<T> waveBarsColor(const Position<T> &p, T barsize = T(0.15))
{
    const T t = p.time;
    const T A = T(0.5) * t;
    const T U = T(0.25) * M::cos(A);
    const T V = T(0.25) * M::sin(A);
    // Turned and mirrored: both coordinates subtract.
    const T h = p.x * U - p.y * V;
    const T l = p.x * V - p.y * U;
    const T o = 100 * M::sin(T(0.0001) * t);
    Vec3<T> col;
    for (int k = 0; k <= 7; ++k)
        col += waveBar<T, M>(A, h, l, M::sin(A + 2 * k * o), rainbowBarColour<T>(k), barsize);
    return Color<T>(col.x, col.y, col.z);
}

/// The colour (r, g, b) faded by the distance from pos of the point's y turned by angle.
template <class T, class M>
inline Vec3<T> rotatedBar(T px, T py, T pos, T r, T g, T b, T angle, T barsize)
{
    const Vec2<T> q = rotated<M>(Vec2<T>(px, py), angle);
    const T w = maxOf(T(0), 1 - M::fabs(pos - q.y) / barsize);
    return Vec3<T>(r * w, g * w, b * w);
}

template <class T, class M>
Color<T> rotatingBarsColor(const Position<T> &p, T barsize = T(0.3))
{
    const T t = p.time;
    const T h = T(0.5) * t;
    const T c = M::cos(h);
    const T s = M::sin(h);
    // Not a rotation: the second component keeps the sign pattern of the original.
    const Vec2<T> q(p.x * c - p.y * s, p.x * s - p.y * c);
    const T k = 200 * M::sin(T(0.001) * t);
    const T z = 0, one = 1, half = T(0.5);
    const Vec3<T> S = rotatedBar<T, M>(q.x, q.y, M::sin(h), one, z, z, h, barsize)
        + rotatedBar<T, M>(q.x, q.y, M::sin(h + 2 * k), one, half, z, h * T(1.01), barsize)
        + rotatedBar<T, M>(q.x, q.y, M::sin(h + 4 * k), one, one, z, h * T(1.02), barsize)
        + rotatedBar<T, M>(q.x, q.y, M::sin(h + 6 * k), z, one, z, h * T(1.03), barsize)
        + rotatedBar<T, M>(q.x, q.y, M::sin(h + 8 * k), z, one, one, h * T(1.04), barsize)
        + rotatedBar<T, M>(q.x, q.y, M::sin(h + 10 * k), z, z, one, h * T(1.05), barsize)
        + rotatedBar<T, M>(q.x, q.y, M::sin(h + 12 * k), half, z, one, h * T(1.06), barsize)
        + rotatedBar<T, M>(q.x, q.y, M::sin(h + 14 * k), one, z, one, h * T(1.07), barsize);
    return Color<T>(S.x, S.y, S.z);
}

/// Three coloured vertical bars sweeping across x.
template <class T, class M>
Color<T> dualScanColor(const Position<T> &p, T barsize = T(0.5))
{
    const T PI = pi<T>();
    const T x = p.x;
    const T h = T(0.5) * p.time;
    const T z = 0, one = 1, half = T(0.5);
    const Vec3<T> S = barAt<T, M>(x, T(1.5) * M::sin(h), one, z, z, barsize)
        + barAt<T, M>(x, M::sin(h + 2 * (PI / 3)), one, half, z, barsize)
        + barAt<T, M>(x, M::sin(h + 4 * (PI / 3)), one, one, z, barsize);
    return Color<T>(S.x, S.y, S.z);
}

/// The colour (r, g, b) faded by the distance of x from centre.
template <class T, class M>
inline Color<T> sweepletBand(T x, T centre, T r, T g, T b)
{
    const T k = maxOf(T(0), 1 - M::fabs(centre - x));
    return Color<T>(r, g, b) * k;
}

/// A red band sweeping back and forth along x.
template <class T, class M>
Color<T> sweepletColor(const Position<T> &p)
{
    const T centre = T(1.5) * M::sin(p.time);
    return sweepletBand<T, M>(p.x, centre, T(1), T(0), T(0));
}

} // namespace portable
} // namespace lumora
