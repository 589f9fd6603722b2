#pragma once

// Fields of a hundred sparks on a wrapping plane: Field, Floating, Spirals, Glow. Where the
// sparks stand depends on the time only: each pattern's ...Terms(time) places them once per
// frame and its colour function sums them at one LED.

#include "Portable.h"

namespace lumora {
namespace portable {

static const int kSparkCount = 100;

/// Where the hundred sparks of Floating, Spirals and Field stand at one time.
template <class T>
struct SparkPlaces {
    T qx[kSparkCount];
    T qy[kSparkCount];
};

template <class T, class M>
SparkPlaces<T> sparkPlaces(T tt)
{
    SparkPlaces<T> places;
    for (int i = 0; i < kSparkCount; ++i) {
        const T fi = T(i);
        places.qy[i] = T(0.3165) * (fi * fi) + T(0.01) * tt * fi + T(0.5);
        places.qx[i] = T(0.161235) * fi + T(0.1) * M::sin(T(0.13) * tt * fi) + T(0.5);
    }
    return places;
}

/// Glow's hundred sparks at one time: their direction (a, b), place and sign.
template <class T>
struct GlowSparks {
    T a[kSparkCount];
    T b[kSparkCount];
    T px[kSparkCount];
    T py[kSparkCount];
    T s[kSparkCount];
};

template <class T, class M>
GlowSparks<T> glowSparks(T tt)
{
    GlowSparks<T> sparks;
    for (int i = 0; i < kSparkCount; ++i) {
        const T fi = T(i);
        const T a = fract<M>(T(0.13) * fi) - T(0.5);
        const T b = M::sqrt(1 - a * a) - T(0.8);
        sparks.a[i] = a;
        sparks.b[i] = b;
        sparks.px[i] = T(0.161235) * fi + tt * a + T(0.5);
        sparks.py[i] = T(0.3165) * (fi * fi) + T(0.5) + tt * b + T(0.5);
        sparks.s[i] = fract<M>(T(0.5) * fi) * 4 - 1;
    }
    return sparks;
}

template <class T, class M>
SparkPlaces<T> fieldTerms(T time) { return sparkPlaces<T, M>(T(0.007) * time); }

/// Each spark a small damped wave.
template <class T, class M>
Color<T> fieldColor(const Position<T> &p, const SparkPlaces<T> &places)
{
    const T t = p.time;
    T A = 0;
    T W = 0;
    for (int i = 0; i < kSparkCount; ++i) {
        const T d1 = fract<M>(p.x - places.qy[i]) - T(0.5);
        const T d2 = fract<M>(p.y - places.qx[i]) - T(0.5);
        const T a = M::atan2(d2, d1);
        const T R = 100 * M::sqrt(d1 * d1 + d2 * d2);
        const T w = M::exp(T(-0.2) * R);
        const T v = w * M::atan(R);
        A += w * M::sin(R - a - t);
        A += v * M::cos(R - a - t);
        W += w;
    }
    const T m = T(1.5) * M::sqrt(A * A) / W;
    return Color<T>(m, (m - T(0.5)) * (m + T(0.5)), T(0.3) - m);
}

/// One spark of Floating and Spirals seen from (x, y): its angle a, scaled distance r and
/// weight e.
template <class T>
struct Spark {
    T a;
    T r;
    T e;
};

template <class T, class M>
inline Spark<T> spark(T x, T y, const SparkPlaces<T> &places, int i)
{
    const T d1 = fract<M>(x - places.qy[i]) - T(0.5);
    const T d2 = fract<M>(y - places.qx[i]) - T(0.5);
    Spark<T> s;
    s.a = M::atan2(d2, d1);
    s.r = 100 * M::sqrt(d1 * d1 + d2 * d2);
    s.e = M::exp(T(-0.5) * s.r);
    return s;
}

template <class T, class M>
SparkPlaces<T> floatingTerms(T time) { return sparkPlaces<T, M>(T(0.01) * time); }

/// A hundred soft rotating sparks.
template <class T, class M>
Color<T> floatingColor(const Position<T> &p, const SparkPlaces<T> &places)
{
    T A = 0;
    T W = 0;
    for (int i = 0; i < kSparkCount; ++i) {
        const Spark<T> k = spark<T, M>(p.x, p.y, places, i);
        A = A + M::sin(M::sin(2 * k.a - k.r) + k.a + p.time) * k.e;
        W = W + k.e;
    }
    const T B = T(1.5) * A / W;
    return Color<T>((B - T(0.5)) * (B + T(0.5)), B, -B);
}

template <class T, class M>
SparkPlaces<T> spiralsTerms(T time) { return sparkPlaces<T, M>(T(0.007) * time); }

/// The spark field of Floating with a spiral phase.
template <class T, class M>
Color<T> spiralsColor(const Position<T> &p, const SparkPlaces<T> &places)
{
    T A = 0;
    T W = 0;
    for (int i = 0; i < kSparkCount; ++i) {
        const Spark<T> k = spark<T, M>(p.x, p.y, places, i);
        A = A + M::sin(k.r - k.a - p.time) * k.e;
        W = W + k.e;
    }
    const T B = T(1.5) * A / W;
    return Color<T>(B, (B - T(0.5)) * (B + T(0.5)), -B);
}

template <class T, class M>
GlowSparks<T> glowTerms(T time) { return glowSparks<T, M>(T(0.1) * time); }

/// One hundred drifting soft sparks.
template <class T, class M>
Color<T> glowColor(const Position<T> &p, const GlowSparks<T> &sparks)
{
    T A = 0;
    T B = 0;
    T C = 0;
    T W = 0;
    for (int i = 0; i < kSparkCount; ++i) {
        const T a = sparks.a[i];
        const T b = sparks.b[i];
        const T d1 = fract<M>(p.x - sparks.py[i]) - T(0.5);
        const T d2 = fract<M>(p.y - sparks.px[i]) - T(0.5);
        const T s = sparks.s[i];
        const T w = (T(0.5) - M::fabs(d1)) * (T(0.5) - M::fabs(d2)) / (d1 * d1 + d2 * d2);
        const T g = 250 * (d1 * b + d2 * a);
        A += M::cos(g) * w;
        B += T(0.5) * M::sin(g) * w;
        C += s * M::sqrt(w);
        W += w;
    }
    const T m = M::sqrt(A * A + B * B) / W;
    const T c = M::atan(T(0.1) * C) / T(1.571);
    return Color<T>(m * M::sqrt(1 + c) * T(0.5), m - T(0.5), m * M::sqrt(1 - c) * T(0.7));
}

} // namespace portable
} // namespace lumora
