#pragma once

// Scenes in depth: a floor in perspective, tunnels, and rays marched through a field or a
// lattice. Floor, Tunnel, Tunnel2, Neon. Tunnel places its blobs once per frame (tunnelTerms).

#include "Portable.h"

namespace lumora {
namespace portable {

template <class T, class M>
inline T floorTexture(T u, T v) { return M::sin(u) + M::sin(v); }

/// A floor texture seen in perspective, its tint turning with time.
template <class T, class M>
Color<T> floorColor(const Position<T> &p)
{
    const T t = p.time;
    const T e = p.y - T(0.2);
    const T u = 6 * (p.x / e + T(0.125) * t);
    const T v = 6 * (e - T(0.8)) / e;
    const T g = floorTexture<T, M>(u, v) * (2 * e);
    return Color<T>(-g * M::cos(t), g * M::sin(T(0.51) * t), g * M::sin(T(0.9) * t));
}

/// Tunnel's scene at one time: the three blob centres and the terms of the ripple and ray.
template <class T>
struct TunnelScene {
    T t;
    Vec3<T> centre1;
    Vec3<T> centre2;
    Vec3<T> centre3;
    T sevenT; ///< 7·t, the ripple's phase
    T sway;   ///< 0.01·cos(t), the ray's sideways drift
};

template <class T, class M>
TunnelScene<T> tunnelTerms(T t)
{
    TunnelScene<T> scene;
    scene.t = t;
    scene.centre1 = Vec3<T>(M::cos(t) + M::sin(T(0.2) * t), T(0.3), 2 + T(0.5) * M::cos(T(0.5) * t));
    scene.centre2 = Vec3<T>(-M::cos(T(0.7) * t), T(0.3), 2 + M::sin(T(0.5) * t));
    scene.centre3 = Vec3<T>(T(-0.5) * M::sin(T(0.2) * t), M::sin(t), T(2));
    scene.sevenT = 7 * t;
    scene.sway = T(0.01) * M::cos(t);
    return scene;
}

/// The scene's field at q; below 0.4 a ray has hit something.
template <class T, class M>
T tunnelDensity(const TunnelScene<T> &scene, Vec3<T> q)
{
    const T d1 = distance<M>(q, scene.centre1);
    const T d2 = distance<M>(q, scene.centre2);
    const T d3 = distance<M>(q, scene.centre3);
    return d1 * d2 * d3
           * (M::cos(q.y) * M::cos(q.x) - T(0.1) - T(0.1) * M::cos(7 * q.z + scene.sevenT) * M::cos(3 * q.x) * M::cos(4 * q.y));
}

/// A ray marched through a field of three moving blobs on a rippled tube.
template <class T, class M>
Color<T> tunnelColor(const Position<T> &p, const TunnelScene<T> &scene)
{
    const Vec3<T> O(p.x, p.y, 0);
    const Vec3<T> D((p.x + scene.sway) / 54, p.y / 54, T(0.018518518518518517));
    const T hit = T(0.4);

    Vec3<T> C(0, 0, 0);
    T s = 0;
    for (int step = 0; step < 64; ++step) {
        if (tunnelDensity<T, M>(scene, O + D * s) < hit) {
            // Back off and close in on the surface in finer steps.
            s = s - 4;
            for (int refine = 0; refine < 8; ++refine) {
                if (tunnelDensity<T, M>(scene, O + D * s) < hit)
                    break;
                s = s + T(0.5);
            }
            const Vec3<T> q = O + D * s;
            const T f0 = tunnelDensity<T, M>(scene, q);
            const Vec3<T> g(f0 - tunnelDensity<T, M>(scene, q + Vec3<T>(T(0.01), 0, 0)),
                            f0 - tunnelDensity<T, M>(scene, q + Vec3<T>(0, T(0.01), 0)),
                            f0 - tunnelDensity<T, M>(scene, q + Vec3<T>(0, 0, T(0.01))));
            const Vec3<T> n = normalize<M>(g);
            const T a = T(0.5) * maxOf(T(0), T(-0.5) * n.y + T(0.25) * n.z);
            C = C + Vec3<T>(a - T(0.5) * n.x, a - T(0.5) * n.y, a - T(0.5) * n.z);
            break;
        }
        s = s + 4;
    }
    return Color<T>(C.x + T(0.003) * s, C.y + T(0.006) * s, C.z + T(0.015) * s);
}

/// A textured tunnel of three blended layers.
template <class T, class M>
Color<T> tunnel2Color(const Position<T> &p)
{
    const T PI = pi<T>();
    const T t = p.time;
    const T a = M::atan2(p.y, p.x);
    const T u = a / (2 * PI) + 10;
    const T r = M::sqrt(p.x * p.x + p.y * p.y);
    const T v = t + T(0.5) / r;
    const Vec3<T> q(u + v, u - v, u + M::sin(v));
    const T c1 = T(0.5) + T(0.3) * M::cos(2 * PI * q.x);
    const T c2 = T(0.5) + T(0.3) * M::cos(8 * PI * q.y);
    const T c3 = T(0.5) + T(0.5) * M::cos(6 * PI * q.z);
    const T s = M::fabs(M::sin(2 * t));
    Vec3<T> col = 3 * mix(Vec3<T>(1, T(0.8), 1 - s), Vec3<T>(T(0.5) * s, 0, 0), M::pow(c1, T(0.2)));
    col += T(0.75) * mix(Vec3<T>(T(0.8), T(0.9), 1), Vec3<T>(T(0.1), T(0.1), T(0.2)), M::pow(c2, T(0.1)));
    col += T(0.75) * mix(Vec3<T>(T(0.9), T(0.8), 1), Vec3<T>(T(0.1), T(0.2), T(0.2)), M::pow(c3, T(0.1)));
    return Color<T>(col.x * r, col.y * r, col.z * r);
}

/// Distances from p to the bars along z, x and y through the unit cells' centres, less the bar
/// radius.
template <class T, class M>
inline Vec3<T> neonLatticeBars(Vec3<T> p)
{
    Vec3<T> q = abs<M>(fract<M>(p) - T(0.5));
    q *= q;
    return Vec3<T>(M::sqrt(q.x + q.y) - T(0.05), M::sqrt(q.y + q.z) - T(0.05), M::sqrt(q.z + q.x) - T(0.05));
}

/// A ray flying through a lattice of glowing bars.
template <class T, class M>
Color<T> neonColor(const Position<T> &p, int maxIter = 30)
{
    const Vec3<T> v = normalize<M>(Vec3<T>(p.x, p.y, 1));
    const T a = T(0.1) * p.time;
    const T y1 = v.y * M::cos(a) - v.z * M::sin(a);
    const T z1 = v.y * M::sin(a) + v.z * M::cos(a);
    const Vec3<T> dir(v.x * M::cos(a) - z1 * M::sin(a), y1, v.x * M::sin(a) + z1 * M::cos(a));

    Vec3<T> P(0, a, 0);
    Vec3<T> C(0, 0, 0);
    T w = 1;
    const T step = T(0.5) / maxIter;
    for (int i = 0; i < maxIter; ++i) {
        const Vec3<T> g = neonLatticeBars<T, M>(P);
        const T m = minOf(g.x, g.y, g.z);
        P = P + dir * m;
        const T k = clamp<T>(M::fabs(w) - m, 0, 1);
        C = C + g * k;
        w = w - step * m;
    }
    return Color<T>(C.x * C.x / 70, C.y * C.y / 70, C.z * C.z / 70);
}

} // namespace portable
} // namespace lumora
