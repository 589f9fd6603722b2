#pragma once

// Plasmas: sums and stacks of sine waves over the plane. Lava, Squares, Fiver, QuasiCrystal,
// Checkered, Clouds, Grid, GridPattern, Oil, OilSpiral, Thingi. OilSpiral works out its
// nineteen layers once per frame (oilSpiralTerms).

#include "Portable.h"

namespace lumora {
namespace portable {

/// One channel of Lava; NaN where the sine under the power is negative.
template <class T, class M>
T lava(T t, T x, T y, T modifier, T uniformity)
{
    const T m = modifier;
    const T d = T(0.1) * t;
    const T xd = x + d * m;
    const T yd = y + d * T(0.99) * m;
    const T s = M::sin(xd) + M::sin(m + t + T(0.01) * xd * yd) + M::sin(yd);
    return M::pow(M::sin(2 * M::sin(s)), 40 * uniformity);
}

template <class T, class M>
Color<T> lavaColor(const Position<T> &p)
{
    const T t = p.time;
    return Color<T>(lava<T, M>(t, p.x, p.y, T(2), T(0.031)), lava<T, M>(t, p.x, p.y, T(3), T(0.042)),
                    lava<T, M>(t, p.x, p.y, T(5), T(0.053)));
}

/// Squares' sine lattice at (x, y) moving with t·modifier, raised to uniformity.
template <class T, class M>
T squares(T t, T x, T y, T modifier, T uniformity)
{
    return M::pow(M::sin(M::sin(x + t * modifier) + M::sin(y + T(0.99) * t * modifier)), uniformity);
}

/// A sine lattice per channel, dark wherever the channel's inner sine is negative.
template <class T, class M>
Color<T> squaresColor(const Position<T> &p)
{
    const T t = p.time;
    return Color<T>(squares<T, M>(t, p.x, p.y, T(2), T(0.1)), squares<T, M>(t, p.x, p.y, T(3), T(0.2)),
                    squares<T, M>(t, p.x, p.y, T(5), T(0.3)));
}

/// Five plane waves whose phase drifts slowly.
template <class T, class M>
Color<T> fiverColor(const Position<T> &p)
{
    const T t = p.time;
    const T A = 100 * M::sin(T(0.001) * t);
    T S = 0;
    for (int i = 0; i <= 4; ++i) {
        const T theta = i * 2 * pi<T>() / 5;
        S += M::cos(2 * pi<T>() * (p.x * M::cos(theta) + p.y * M::sin(theta) + A));
    }
    const T c = T(0.3) * S;
    return Color<T>(2 * c + M::sin(T(0.1) * t), T(1.5) * c + M::cos(T(0.09) * t), -3 * c + M::sin(T(0.11) * t));
}

/// Triangle wave between 0 and 1 with period 2.
template <class T, class M>
T quasiCrystalFold(T v)
{
    const T a = mod<M>(v, 2);
    return a < 1 ? a : 2 - a;
}

/// Nine plane waves at equal angle steps, folded into [0, 1].
template <class T, class M>
Color<T> quasiCrystalColor(const Position<T> &p)
{
    const T X = p.x + 20;
    const T Y = p.y + 20;
    T r = 0, g = 0, b = 0;
    for (int i = 1; i <= 9; ++i) {
        const T theta = i * (2 * pi<T>() / 10);
        const T N = M::sqrt(M::fabs(T(0.5) * M::cos(X * M::cos(theta) + Y * M::sin(theta) + p.time)));
        r += N + T(0.5) + T(0.2) * i;
        g += N + 1 + T(0.4) * i;
        b += N + T(1.5) + T(0.6) * i;
    }
    return Color<T>(quasiCrystalFold<T, M>(r), quasiCrystalFold<T, M>(g), quasiCrystalFold<T, M>(b));
}

template <class T, class M>
Color<T> checkeredColor(const Position<T> &p)
{
    const T t = p.time;
    const T v = M::sin(p.x + 10 * M::cos(T(0.25) * t)) + M::cos(p.y + 10 * M::sin(T(0.25) * t));
    return Color<T>(v, M::cos(v - t), M::sin(v + T(0.99) * t));
}

template <class T, class M>
Color<T> cloudsColor(const Position<T> &p)
{
    const T t = p.time;
    const T hue = 128 + 127 * M::sin(p.y * M::sin(T(0.818181818181818) * t));
    const T sat = 128 + 127 * M::sin(p.x * M::sin(T(0.176470588235294) * t));
    const T val = 128 + 127 * M::sin(((p.x + p.y) * 40 + t) / 2);
    return fromHsv<M>(hue, sat, val);
}

template <class T, class M>
Color<T> gridColor(const Position<T> &p)
{
    const T t = p.time;
    const T x = p.x;
    const T y = p.y;
    const T A = M::tan(x * M::cos(t / 15) * 80);
    const T B = M::cos(y * M::cos(t / 15) * 10);
    const T C = M::sin(y * M::sin(t / 10) * 40);
    const T D = M::cos(x * M::sin(t / 25) * 40);
    const T E = M::sin(x * M::sin(t / 5) * 10);
    const T F = M::tan(y * M::sin(t / 35) * 80);
    const T v = (((A + B) + (C + D)) + (E + F)) * (M::sin(t / 10) * T(0.5));
    return Color<T>(v, v * T(0.5), M::sin(v + t / 3));
}

template <class T, class M>
Color<T> gridPatternColor(const Position<T> &p)
{
    const T t = p.time;
    const T s = 16 * M::sin(t / 8);
    const T P = p.x * s + 4 * M::sin(T(2.1) * t);
    const T Q = p.y * s + 4 * M::cos(T(2.3) * t);
    const T G = M::sin(P) + M::sin(Q);
    const T P2 = 2 * P * M::sin(t) + M::sin(T(1.1) * t);
    const T Q2 = 2 * Q * M::sin(t) + M::cos(T(1.3) * t);
    const T tau = T(0.7) * t;
    const T R1 = M::cos(tau) * P2 - M::sin(tau) * Q2;
    const T R2 = M::sin(tau) * P2 + M::cos(tau) * Q2;
    const T A = M::sin(G + M::sin(R1) + M::sin(R2));
    const T Ad = (A + 1) * T(0.5) - T(0.5);
    const T e = T(1.8) - M::sqrt(p.x * p.x + p.y * p.y);
    return Color<T>(e * (Ad + T(0.4) * e), e * (Ad * Ad - T(0.5) + T(0.5) * e), T(1.9) * e * Ad);
}

/// Fifteen steps of a swirling displacement, each adding a glow.
template <class T, class M>
Color<T> oilColor(const Position<T> &p)
{
    const T t = p.time;
    T X = p.x;
    T Y = p.y;
    T r = 0, g = 0, b = 0;
    for (int i = 0; i <= 14; ++i) {
        const T fi = T(i);
        // Both displacements are computed from the point before this step.
        const T Yn = Y + T(0.1) * M::cos(T(0.5) * X * fi + t + T(0.5) * fi);
        const T Xn = X + T(0.1) * M::sin(T(0.5) * Y * fi + t + T(0.4321) * fi);
        X = Xn;
        Y = Yn;
        const T P = M::fabs(T(0.005) / (Y * Y + X * X));
        r += P * (fi + 10 * M::sin(6 * X + T(0.1) * fi + t)) * T(0.1);
        g += P * fi * T(0.25) * M::cos(5 * Y + T(0.1) * fi + t);
        b += P * fi * M::sin(5 * X * Y + T(0.1) * fi + t);
    }
    return Color<T>(r, g, b);
}

/// OilSpiral's nineteen layers at one time.
static const int kOilSpiralLayers = 19;
template <class T>
struct OilSpiralLayers {
    T t;
    T i[kOilSpiralLayers];
    T share[kOilSpiralLayers];     ///< 0.3 / i
    T phase[kOilSpiralLayers];     ///< 0.3·i·sin(t)
    T amplitude[kOilSpiralLayers]; ///< (0.3 / i)·cos(0.9·t)
    T shift[kOilSpiralLayers];     ///< 0.3·i
    T t101;                        ///< 1.01·t
    T t09;                         ///< 0.9·t
    T t098;                        ///< 0.98·t
};

template <class T, class M>
OilSpiralLayers<T> oilSpiralTerms(T t)
{
    OilSpiralLayers<T> layers;
    layers.t = t;
    const T sinT = M::sin(t);
    const T cos09T = M::cos(T(0.9) * t);
    int k = 0;
    for (T i = 1; i < 20; i += 1, ++k) {
        layers.i[k] = i;
        layers.share[k] = T(0.3) / i;
        layers.phase[k] = T(0.3) * i * sinT;
        layers.amplitude[k] = (T(0.3) / i) * cos09T;
        layers.shift[k] = T(0.3) * i;
    }
    layers.t101 = T(1.01) * t;
    layers.t09 = T(0.9) * t;
    layers.t098 = T(0.98) * t;
    return layers;
}

/// Nineteen layers of sine waves stirring the plane.
template <class T, class M>
Color<T> oilSpiralColor(const Position<T> &p, const OilSpiralLayers<T> &layers)
{
    const T t = layers.t;
    Vec2<T> q(p.x, p.y);
    for (int k = 0; k < kOilSpiralLayers; ++k) {
        const T i = layers.i[k];
        // Each layer reads the position itself, not the running sum.
        q.x += layers.share[k] * M::sin(i * p.y + t + layers.phase[k]);
        q.y += layers.amplitude[k] * M::cos(i * p.x + layers.t101 + layers.shift[k]);
    }
    return Color<T>(M::sin(q.x * pi<T>() + layers.t09) + T(0.2), M::sin(q.y * pi<T>() + t) + T(0.2),
                    T(0.2) + M::sin(q.x + q.y + layers.t098));
}

/// A smoothed wave of a whose phase drifts with time.
template <class T, class M>
T thingiCurve(T a, T time)
{
    const T PI = pi<T>();
    return smoothstep<T>(0, 3, sin01<M>(2 * PI * a) + M::cos(PI * a) + M::sin(PI * a + time)) + sin01<M>(2 * PI * a);
}

/// Two crossed curves, each bent by the other coordinate.
template <class T, class M>
T thingiThing(T x, T y, T t)
{
    const T c = thingiCurve<T, M>(sin01<M>(x) * M::sin(t), T(0.1) * t);
    const T e = thingiCurve<T, M>(sin01<M>(y) * M::sin(t), T(0.13) * t);
    const T g = thingiCurve<T, M>(x + e, T(0.14) * t);
    const T l = thingiCurve<T, M>(y - c, T(0.15) * t);
    return g - l;
}

template <class T, class M>
Color<T> thingiColor(const Position<T> &p)
{
    const T h = thingiThing<T, M>(p.x, p.y, p.time);
    return Color<T>(h, M::sin(h + p.time), 1 - h);
}

} // namespace portable
} // namespace lumora
