#pragma once

// Spirals and waves in polar form: Jelly, Spirale2, Spirale3, Spirale4, DoubleSpirals,
// Wiggling, Wiggle, Leadlight, Eggs, StarField2.

#include "Portable.h"

namespace lumora {
namespace portable {

template <class T, class M>
Color<T> jellyColor(const Position<T> &p)
{
    const T t = p.time;
    const T r = M::sqrt(p.x * p.x + p.y * p.y);
    const T a = M::atan2(p.y, p.x);
    const T g1 = M::cos(3 * (a + 3 * r * M::cos(t) - M::sin(t)));
    const T g2 = M::cos(4 * (a + 3 * r * M::cos(T(1.1) * t) - M::sin(T(1.01) * t)));
    return Color<T>(1 - 2 * r * (g1 + g2 + r), T(1.1) - r * (1 - M::sin(t + 2 * (r + g1 - g2))),
                    T(1.1) - 2 * r * (g2 - g1 + r));
}

template <class T, class M>
Color<T> spirale2Color(const Position<T> &p)
{
    const T t = p.time;
    return fromHsv<M>(100 * M::sqrt(p.x * p.x + p.y * p.y) + M::atan2(p.y, p.x) * 180 / pi<T>() - t, T(240), T(255));
}

/// One channel of Spirale3's rainbow: a trapezoid of period 6 in v.
template <class T, class M>
T spirale3Ramp(T v)
{
    // The truncated constants are part of the look: the ramp does not quite meet 0 and 1.
    T q = fract<M>(M::fabs(v) * T(0.16666));
    if (q > T(0.5))
        q = 1 - q;
    if (q < T(0.16666))
        return 0;
    if (q < T(0.33333))
        return q * 6 - 1;
    return 1;
}

template <class T, class M>
Color<T> spirale3Color(const Position<T> &p)
{
    const T t = p.time;
    const T x = p.x;
    const T y = p.y;
    const T a = M::atan2(y, x);
    const T r = M::sqrt(x * x + y * y);
    const T h = (a * 15) / pi<T>();
    const T c = M::cos((a + r * 40 * (M::sin(20 * a + t) * T(0.1) + 1)) - 3 * t);
    const T b = ((c * 5) / (r + 5) + 1) * T(0.5);
    return Color<T>(b * spirale3Ramp<T, M>(h + T(0.1) * t), b * spirale3Ramp<T, M>(h + T(0.201) * t),
                    b * spirale3Ramp<T, M>(h - T(0.301) * t));
}

template <class T, class M>
Color<T> spirale4Color(const Position<T> &p)
{
    const T t = p.time;
    const T r = M::sqrt(p.x * p.x + p.y * p.y);
    const T a = M::atan2(p.y, p.x);
    const T g = M::cos(3 * (a + 3 * r * M::cos(t) - M::sin(t)));
    const T h = 2 * (r + g);
    return Color<T>(T(1.1) - h, M::sin(t + h), T(1.1) - 2 * (r - g));
}

/// The complex logarithm of x − iy as (log modulus, argument).
template <class T, class M>
inline Vec2<T> logPolar(T x, T y)
{
    return Vec2<T>(T(0.5) * M::log(x * x + y * y), M::atan2(-y, x));
}

template <class T, class M>
Color<T> doubleSpiralsColor(const Position<T> &p)
{
    const T t = p.time;
    const Vec2<T> B = logPolar<T, M>(p.x + 1, p.y) - logPolar<T, M>(p.x - 1, p.y);
    const T PI = pi<T>();
    const T alpha = 2 * PI;
    const T beta = M::log(T(256.0));
    const T C = M::sqrt(alpha * alpha + beta * beta);
    const T f = C / 2 / PI;
    const Vec2<T> R(B.x * alpha / C - B.y * beta / C, B.x * beta / C + B.y * alpha / C);
    const Vec2<T> W(R.x * f / beta - T(0.1) * t, R.y * f / alpha - T(0.01) * t);
    const T D = (M::sin(W.y * 8 * PI) + 1) * T(0.7) - T(0.2);
    const T h = 2 * PI * W.x;
    return Color<T>(D * (M::sin(h + t) + 1), D * (M::sin(h + PI / 3) + 1),
                    D * (M::sin(h + T(0.99) * t + 2 * PI / 3) + 1));
}

template <class T, class M>
Color<T> wigglingColor(const Position<T> &p)
{
    const T t = p.time;
    const T x = p.x;
    const T y = p.y;
    T P = 0, Q = 0, S = 0;
    for (int i = 1; i <= 3; ++i) {
        P += 8 * M::sqrt(x * x + y * y);
        Q += i * M::atan2(y, x);
        S += M::sin(Q + 3 * M::sin(P - t) - t);
        S += M::cos(5 * (Q + 5 * M::sin(T(0.3) * t)));
    }
    const T d = T(0.5) * S;
    return Color<T>((5 * x - t) * d, M::cos(5 * y - t) * d, (T(0.5) + T(0.5) * M::cos(t)) * d);
}

template <class T, class M>
Color<T> wiggleColor(const Position<T> &p)
{
    const T t = p.time;
    const T a = M::atan2(p.y, p.x);
    const T r = M::sqrt(p.x * p.x + p.y * p.y);
    const T d = M::sin(5 * a + 3 * M::sin(r - t) - t);
    return Color<T>(M::cos(5 * p.x - t) * d, M::cos(5 * p.y - t) * d, (T(0.5) + T(0.5) * M::cos(t)) * d);
}

template <class T, class M>
Color<T> leadlightColor(const Position<T> &p)
{
    const T t = p.time;
    const T r = M::sqrt(p.x * p.x + p.y * p.y);
    const T a = M::atan2(p.y, p.x);
    const T F = t + 100 / (r + 1);
    const T g = M::sin(r + F);
    const T k = 15 * M::fabs(T(0.05) * (M::sin(F) + M::sin(t + 8 * a)));
    const Color<T> base(-M::sin(5 * r - a - t + g), M::sin(3 * r + a - t + g), M::cos(r + 2 * a + a + t) - g);
    return (normalize<M>(base) + T(0.9)) * k;
}

template <class T, class M>
Color<T> eggsColor(const Position<T> &p)
{
    const T PI = pi<T>();
    const T t = p.time;
    const T r = M::sqrt(p.x * p.x + p.y * p.y);
    const T a = M::atan2(p.y, p.x) + PI;
    const T d = r - a + 2 * PI;
    const T m = a + 2 * PI * M::floor(d / (2 * PI));
    const T s = T(0.02) * PI * (m * m) - t;
    const T u = 2 * (fract<M>(s) - T(0.5));
    const T w = 2 * (fract<M>(d / (2 * PI)) - T(0.5));
    const T n = M::floor(s);
    const T H = M::sqrt(u * u + w * w);
    if (H >= 1)
        return Color<T>(0, 0, 0);

    const Vec3<T> N(u, w, M::sqrt(1 - H * H));
    const Vec3<T> L = normalize<M>(Vec3<T>(0, 1, 1));
    const T diffuse = maxOf(dot(L, N), T(0.25));
    const Vec3<T> half = normalize<M>(L + Vec3<T>(0, 0, 1));
    const T specular = M::pow(maxOf(dot(half, N), T(0)), T(40));
    return Color<T>(diffuse * (T(0.5) * M::cos(n + 2) + T(0.5)) + specular,
                    diffuse * (T(0.5) * M::cos(n + 4) + T(0.5)) + specular,
                    diffuse * (T(0.5) * M::cos(n) + T(0.5)) + specular);
}

template <class T, class M>
Color<T> starField2Color(const Position<T> &p)
{
    T a = fract<M>(M::atan2(p.y, p.x) / (2 * pi<T>()));
    const T r = M::sqrt(p.x * p.x + p.y * p.y);
    T time = p.time;
    T acc = 0;
    for (int i = 0; i <= 2; ++i) {
        const T fi = T(i);
        const T H = M::floor(256 * a) + 1;
        const T K = fract<M>(H * fract<M>(T(0.7235) * H) * T(45.1));
        const T N = fract<M>(H * fract<M>(T(0.82657) * H) * T(13.724));
        // Each layer starts where the previous one left the time.
        time = time + 10 * K;
        const T n = M::sqrt(N + fi);
        const T P = T(0.1) * n / r;
        const T Q = M::fabs(fract<M>(T(0.1) * time + P) - T(0.5));
        acc += (1 / Q) * M::cos(T(0.7) * M::sin(time)) * P / n / 30;
        a = M::fmod(a + T(0.61), T(1));
    }
    return Color<T>(T(1.5) * acc, T(0.8) * acc, T(0.6) * acc);
}

} // namespace portable
} // namespace lumora
