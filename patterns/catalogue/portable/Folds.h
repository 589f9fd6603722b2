#pragma once

// Products and sums over copies of the point turned step by step about the centre:
// Hexagon, Hexagon2, Upholstery.

#include "Portable.h"

namespace lumora {
namespace portable {

/// Lines of five rotated copies that darken a white field.
template <class T, class M>
Color<T> hexagonColor(const Position<T> &p)
{
    const T x = p.x;
    const T y = p.y;
    const T theta = T(0.1) * p.time * pi<T>() / 3;
    const T r = M::sqrt(x * x + y * y);
    const Vec2<T> p0(x, y);
    const Vec2<T> p1 = rotated<M>(p0, theta);
    const Vec2<T> p2 = rotated<M>(p1, theta);
    const Vec2<T> p3 = rotated<M>(p2, theta);
    const Vec2<T> p4 = rotated<M>(p3, theta);
    const Vec2<T> p5 = rotated<M>(p4, theta);
    const T a0 = M::fabs(T(0.2) - p0.x);
    const T a1 = M::fabs(T(0.2) - p1.x);
    const T a2 = M::fabs(T(0.2) - p2.x);
    const T a3 = M::fabs(T(0.2) - p3.x);
    const T a4 = M::fabs(T(0.2) - p4.x);
    const T a5 = M::fabs(T(0.2) - p5.x);
    const T X = r * a0 * a2 * a3 * a5 * M::fabs(p2.x);
    const T Y = r * a0 * a1 * a3 * a4 * M::fabs(x);
    const T Z = r * a1 * a2 * a4 * a5 * M::fabs(p1.x);
    return Color<T>(1 - T(100000) * X, 1 - T(100000) * Y, 1 - T(100000) * Z);
}

/// A product over six successively rotated copies of the point.
template <class T, class M>
Color<T> hexagon2Color(const Position<T> &p)
{
    const T theta = T(0.1) * p.time * pi<T>() / 3;
    const T r = M::sqrt(p.x * p.x + p.y * p.y);
    Vec2<T> q[6];
    q[0] = Vec2<T>(p.x, p.y);
    for (int k = 0; k < 5; ++k)
        q[k + 1] = rotated<M>(q[k], theta);
    T a[6];
    for (int k = 0; k < 6; ++k)
        a[k] = M::fabs(T(0.2) - q[k].x);

    const T V0 = r * a[0] * a[2] * a[3] * a[5] * M::fabs(q[2].x);
    const T V1 = r * a[0] * a[1] * a[3] * a[4] * M::fabs(q[0].x);
    const T V2 = r * a[1] * a[2] * a[4] * a[5] * M::fabs(q[1].x);
    // Where 100000·V exceeds 11 the root is NaN, which the colour makes 0.
    return Color<T>(M::sin(T(2.9) * M::sqrt(11 - T(100000) * V0)), M::sin(T(2.9) * M::sqrt(11 - T(100000) * V1)),
                    M::sin(T(2.9) * M::sqrt(11 - T(100000) * V2)));
}

/// A folded, tufted surface seen through five rotated copies.
template <class T, class M>
Color<T> upholsteryColor(const Position<T> &p)
{
    const T t = p.time;
    const T x = p.x;
    const T y = p.y;
    const T theta = T(0.2) * t * pi<T>() / 3;

    const T r = M::sqrt(x * x + y * y);
    Vec2<T> q = rotated<M>(rotated<M>(Vec2<T>(2 * x, 2 * y), theta), theta);
    q = tan<M>(q) * 3;
    q = q * (T(1.5) + M::sin(T(0.5) * t) / r);
    q = rotated<M>(q, theta);
    const Vec2<T> pq = Vec2<T>(x, y) + q;
    // Where |sin| < 0.1 the roots are NaN; the colour constructor turns what survives into 0.
    const Vec2<T> u(x + M::sqrt(M::fabs(M::sin(pq.x)) - T(0.1)), y + M::sqrt(M::fabs(M::sin(pq.y)) - T(0.1)));
    const T m = length<M>(u);
    T A = m, B = m, C = m;

    const Vec2<T> u1 = rotated<M>(u, theta);
    const Vec2<T> u2 = rotated<M>(u1, theta);
    const Vec2<T> u3 = rotated<M>(u2, theta);
    const Vec2<T> u4 = rotated<M>(u3, theta);
    const Vec2<T> u5 = rotated<M>(u4, theta);
    const T s[6] = {smoothstep<T>(T(0.2), 0, M::fabs(x)),    smoothstep<T>(T(0.2), 0, M::fabs(u1.x)),
                    smoothstep<T>(T(0.2), 0, M::fabs(u2.x)), smoothstep<T>(T(0.2), 0, M::fabs(u3.x)),
                    smoothstep<T>(T(0.2), 0, M::fabs(u4.x)), smoothstep<T>(T(0.2), 0, M::fabs(u5.x))};
    A += s[0];
    A += s[2];
    A += s[3];
    A += s[5];
    B += s[0];
    B += s[1];
    B += s[3];
    B += s[4];
    C += s[1];
    C += s[2];
    C += s[4];
    C += s[5];

    A = A * M::fabs(u2.x);
    B = B * M::fabs(x);
    C = C * M::fabs(u1.x);
    const Vec2<T> ab = rotated<M>(Vec2<T>(A, B), theta);
    A = ab.x;
    B = ab.y;
    const Vec2<T> bc = rotated<M>(Vec2<T>(B, C), theta);
    B = bc.x;
    C = bc.y;
    A = M::fabs(A);
    B = M::fabs(B);
    C = M::fabs(C);
    return Color<T>(A * C, A * B, B * C);
}

} // namespace portable
} // namespace lumora
