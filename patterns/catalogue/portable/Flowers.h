#pragma once

// Petals and shapes drawn in polar coordinates: Heart, Rose, Flower, Flower2, Flower3.

#include "Portable.h"

namespace lumora {
namespace portable {

/// A heart shape that beats once every 2 units of time.
template <class T, class M>
Color<T> heartColor(const Position<T> &p)
{
    const T t = p.time;
    const T tt = T(0.5) * mod<M>(t, 2);
    T s = T(0.5) + T(0.5) * M::pow(tt, T(0.2));
    // Deliberately 6.2831, not 2·PI.
    s = s - T(0.2) * s * M::sin(5 * T(6.2831) * tt) * M::exp(-6 * tt);
    const T px = p.x * (T(0.5) + T(0.5) * s);
    const T py = p.y * (T(1.5) - T(0.5) * s);
    // Measured from the y axis, so the heart's cleft and tip lie on it.
    const T a = M::atan2(px, py) / pi<T>();
    const T h = M::fabs(a);
    const T r = M::sqrt(px * px + py * py);
    const T d = 13 * h - 22 * (h * h) + 10 * (h * h * h);
    const T f = 1 - r * (6 - 5 * h) / d;
    const T v = f < 0 ? T(0) : M::pow(f, T(0.25));
    return Color<T>(v, T(0.5) * v, T(0.75) * v);
}

template <class T, class M>
Color<T> roseColor(const Position<T> &p)
{
    const T PI = pi<T>();
    const T t = p.time;
    const T a = M::atan2(p.x, p.y);
    const T r = M::sqrt(p.x * p.x + p.y * p.y);
    const T w = T(0.5) * (M::sin(r - t) + T(1.5)) * r + T(0.02) * t;
    const T h = mod<M>(5 * a + M::sin(10 * r + t), 2 * PI) / PI * T(0.5) - T(0.5);
    const T o = mod<M>(M::pow(4 * w, T(0.75)), 1) - T(0.5);
    const T rho = M::sqrt(h * h + 5 * (o * o));
    const T beta = M::atan2(h, o);
    const T u = mod<M>(3 * beta + 3 * M::cos(16 * rho - t), 2 * PI) / PI * T(0.5) - T(0.5);
    const T v = T(1.5) * M::sqrt(u * u + o * o);
    return fromHsv<M>(360 * (rho + T(0.5) * t), 255 * rho, 255 * v * v * v * 2);
}

template <class T, class M>
Color<T> flowerColor(const Position<T> &p)
{
    const T PI = pi<T>();
    const T t = p.time;
    const T x = p.x;
    const T y = p.y;
    const T a = M::atan2(x, y);
    const T r = M::sqrt(x * x + y * y);
    const T r2 = (M::sin(r - t) + 1) * r;
    const T g = (mod<M>(8 * a + M::sin(16 * r2 + t), 2 * PI) / PI) * T(0.5) - T(0.5);
    const T h = mod<M>(M::pow(8 * r2, T(0.75)), 1) - T(0.5);
    const T d = M::sqrt(g * g + h * h);
    const T a2 = M::atan2(g, h);
    const T g2 = (mod<M>(8 * a2 + M::sin(0 * d), 2 * PI) / PI) * T(0.5) - T(0.5);
    const T h2 = mod<M>(4 * d, 1);
    const T e = M::sqrt(g2 * g2 + (h2 - T(0.5)) * (h2 - T(0.5))) * T(1.5);
    return fromHsv<M>((d + T(0.5) * t) * 360, M::fabs(d) * 255, M::fabs(e * e * e * e) * 255);
}

template <class T, class M>
Color<T> flower2Color(const Position<T> &p)
{
    const T PI = pi<T>();
    const T t = p.time;
    const T a = M::atan2(p.x, p.y);
    const T r0 = M::sqrt(p.x * p.x + p.y * p.y);
    const T r = T(0.5) * (M::sin(r0 - t) + T(1.5)) * r0;
    const T h = mod<M>(3 * a + M::sin(10 * r + t), 2 * PI) / PI * T(0.5) - T(0.5);
    const T m = mod<M>(M::pow(4 * r, T(0.75)), 1) - T(0.5);
    const T rho = M::sqrt(h * h + m * m);
    const T beta = M::atan2(h, m);
    const T u = mod<M>(6 * beta + 3 * M::cos(30 * rho - t), 2 * PI) / PI * T(0.5) - T(0.5);
    const T v = mod<M>(4 * rho, 1) - T(0.5);
    return fromHsv<M>(360 * (rho + T(0.5) * t), 255 * rho, T(1.5) * M::sqrt(u * u + v * v) * 255);
}

template <class T, class M>
Color<T> flower3Color(const Position<T> &p)
{
    const T PI = pi<T>();
    const T t = p.time;
    const T x = p.x;
    const T y = p.y;
    const T a = M::atan2(x, y);
    const T r = M::sqrt(x * x + y * y);
    const T r2 = (M::sin(r - t) + 1) * r;
    const T g1 = (mod<M>(8 * a + M::sin(16 * r2 + t), 2 * PI) / PI) * T(0.5) - T(0.5);
    const T h1 = mod<M>(M::pow(8 * r2, T(0.75)), 1);
    const T d = M::sqrt(g1 * g1 + (h1 - T(0.5)) * (h1 - T(0.5)));
    const T g2 = (mod<M>(8 * a + M::sin(30 * d - t), 2 * PI) / PI) * T(0.5) - T(0.5);
    const T h2 = mod<M>(4 * d, 1);
    const T e = M::sqrt(g2 * g2 + (h2 - T(0.5)) * (h2 - T(0.5))) * T(1.5);
    Color<T> C = fromHsv<M>((d + T(0.5) * t) * 360, T(255), T(255));
    // The components are changed after construction, bypassing its NaN step.
    C.r = T(0.2) * (1 - e) + C.r * e;
    C.g = T(0.2) * (1 - e) + C.g * e;
    C.b = T(0.2) * (1 - e) + C.b * e;
    const T q = M::pow(e, T(4));
    C.r = C.r * (1 - q) + q;
    C.g = C.g * (1 - q) + q;
    C.b = C.b * (1 - q) + q;
    return C;
}

} // namespace portable
} // namespace lumora
