#pragma once

// Spots, blobs and bubbles on moving paths: Stars2, Blobs, Klecks, Spotlight, Bubbles, Sinus.
// Blobs and Sinus work out once per frame what depends on the time only (blobsTerms,
// sinusTerms) and then colour each LED from it.

#include "Portable.h"

namespace lumora {
namespace portable {

/// 0.01 / |a·b| for the point offset by a wobble: bright along both lines a = 0 and b = 0.
template <class T, class M>
inline T stars2Point(T x, T y, T fx, T fy, T sx, T sy, T t)
{
    const T a = x + sx * M::sin(t * fx);
    const T b = y + sy * M::cos(t * fy);
    // The product of the squares, not their sum: each line a = 0 and b = 0 glows on its own.
    return T(0.01) / M::sqrt((a * a) * (b * b));
}

/// Three moving crosses of light, one per colour channel.
template <class T, class M>
Color<T> stars2Color(const Position<T> &p)
{
    const T t = p.time;
    const T o = stars2Point<T, M>(p.x, p.y, T(2.0), T(2.5), T(0.9), T(0.3), t);
    const T u = stars2Point<T, M>(p.x, p.y, T(1.0), T(1.5), T(0.6), T(0.6), t);
    const T w = stars2Point<T, M>(p.x, p.y, T(3.0), T(3.5), T(0.3), T(0.9), t);
    const T B = o * o + u * u + w * w;
    return Color<T>(o * B, u * B, w * B);
}

/// Blobs' eighteen blobs, the first nine making up H, the last nine K: how far each wobbles
/// at one time.
static const int kBlobCount = 18;
template <class T>
struct BlobOffsets {
    T x[kBlobCount];
    T y[kBlobCount];
};

template <class T, class M>
BlobOffsets<T> blobsTerms(T t)
{
    // Per blob: frequency in x and y, size in x and y.
    static const T blobs[kBlobCount][4] = {
        {T(3.3), T(2.9), T(0.3), T(0.3)}, {T(1.9), T(2.0), T(0.4), T(0.4)}, {T(0.8), T(0.7), T(0.4), T(0.5)},
        {T(2.3), T(0.1), T(0.6), T(0.3)}, {T(0.8), T(1.7), T(0.5), T(0.4)}, {T(0.3), T(1.0), T(0.4), T(0.4)},
        {T(1.4), T(1.7), T(0.4), T(0.5)}, {T(1.3), T(2.1), T(0.6), T(0.3)}, {T(1.8), T(1.7), T(0.5), T(0.4)},
        {T(1.2), T(1.9), T(0.3), T(0.3)}, {T(0.7), T(2.7), T(0.4), T(0.4)}, {T(1.4), T(0.6), T(0.4), T(0.5)},
        {T(2.6), T(0.4), T(0.6), T(0.3)}, {T(0.7), T(1.4), T(0.5), T(0.4)}, {T(0.7), T(1.7), T(0.4), T(0.4)},
        {T(0.8), T(0.5), T(0.4), T(0.5)}, {T(1.4), T(0.9), T(0.6), T(0.3)}, {T(0.7), T(1.3), T(0.5), T(0.4)},
    };
    BlobOffsets<T> offsets;
    for (int i = 0; i < kBlobCount; ++i) {
        offsets.x[i] = blobs[i][2] * M::sin(t * blobs[i][0]);
        offsets.y[i] = blobs[i][3] * M::cos(t * blobs[i][1]);
    }
    return offsets;
}

/// 0.1 / (a² + b²) for the point offset by blob i's wobble.
template <class T>
inline T blobAt(T x, T y, const BlobOffsets<T> &offsets, int i)
{
    const T a = x + offsets.x[i];
    const T b = y + offsets.y[i];
    return T(0.1) / (a * a + b * b);
}

/// Eighteen soft moving blobs in two groups.
template <class T, class M>
Color<T> blobsColor(const Position<T> &p, const BlobOffsets<T> &offsets)
{
    T H = 0, K = 0;
    for (int i = 0; i < 9; ++i)
        H += blobAt(p.x, p.y, offsets, i);
    for (int i = 9; i < kBlobCount; ++i)
        K += blobAt(p.x, p.y, offsets, i);
    return Color<T>(T(0.01) * (10 * H + K), T(0.01) * (H + 5 * K), T(0.2) * K);
}

/// One splotch of Klecks: 0 outside its rim and on it.
template <class T, class M>
T klecks(T cx, T cy, T radius, T x, T y, T t)
{
    const T d = distance<M>(Vec2<T>(x, y), Vec2<T>(cx, cy));
    const T a = M::atan2(y - cy, x - cx);
    const T R = radius - T(0.1) / (T(0.8) + T(0.1) / (T(0.9) - M::fabs(M::sin(t - T(4.5) * a))));
    if (d < R)
        return M::sin(3 * M::pow(d / R, T(14)) + T(0.3));
    return 0;
}

/// Seven wandering splotches with wavy rims.
template <class T, class M>
Color<T> klecksColor(const Position<T> &p)
{
    const T t = p.time;
    const T x = p.x;
    const T y = p.y;
    const T one = 1;
    const T k1 = klecks<T, M>(2 * M::sin(T(1.01) * t), 2 * M::cos(T(0.98) * t), one, x, y, t);
    const T k2 = klecks<T, M>(2 * M::cos(T(0.94) * t), 2 * M::sin(T(0.97) * t), one, x, y, t);
    const T k3 = klecks<T, M>(2 * M::sin(T(0.93) * t), 2 * M::sin(T(0.99) * t), one, x, y, t);
    const T k4 = klecks<T, M>(-2 * M::cos(T(1.02) * t), -2 * M::sin(T(0.96) * t), one, x, y, t);
    const T k5 = klecks<T, M>(-2 * M::sin(T(0.92) * t), -2 * M::sin(T(1.03) * t), one, x, y, t);
    const T k6 = klecks<T, M>(-2 * M::sin(T(1.05) * t), 2 * M::cos(T(0.95) * t), one, x, y, t);
    const T k7 = klecks<T, M>(2 * M::cos(T(0.91) * t), -2 * M::cos(T(1.04) * t), one, x, y, t);
    return Color<T>(k1 + k5 + k4 + k7 + k6, k2 + k5 + T(0.5) * k7 + k6, k3 + k4 + k6);
}

/// 1 at the centre, falling to 0 at radius and beyond.
template <class T, class M>
T spot(T cx, T cy, T radius, T px, T py)
{
    const T d = distance<M>(Vec2<T>(px, py), Vec2<T>(cx, cy));
    if (radius > d)
        return 1 - M::pow(d / radius, T(4));
    return 0;
}

/// Three coloured spots on Lissajous paths.
template <class T, class M>
Color<T> spotlightColor(const Position<T> &p)
{
    const T t = p.time;
    const T one = 1;
    return Color<T>(spot<T, M>(2 * M::sin(T(1.01) * t), M::cos(t), one, p.x, p.y),
                    spot<T, M>(2 * M::cos(t), M::sin(t), one, p.x, p.y),
                    spot<T, M>(2 * M::sin(t), M::sin(T(0.989) * t), one, p.x, p.y));
}

/// Brightest near the rim, 0 outside the radius.
template <class T, class M>
T bubble(T cx, T cy, T radius, T px, T py)
{
    const T d = distance<M>(Vec2<T>(px, py), Vec2<T>(cx, cy));
    if (radius > d)
        return M::sin(3 * M::pow(d / radius, T(4)) + T(0.5));
    return 0;
}

/// Five moving bubbles with bright rims.
template <class T, class M>
Color<T> bubblesColor(const Position<T> &p)
{
    const T t = p.time;
    const T x = p.x;
    const T y = p.y;
    const T one = 1;
    const T b1 = bubble<T, M>(2 * M::sin(T(1.01) * t), M::cos(t), one, x, y);
    const T b2 = bubble<T, M>(2 * M::cos(t), M::sin(t), one, x, y);
    const T b3 = bubble<T, M>(2 * M::sin(t), M::sin(T(0.989) * t), one, x, y);
    const T b4 = bubble<T, M>(-2 * M::sin(t), -M::sin(T(1.03) * t), one, x, y);
    const T b5 = bubble<T, M>(-2 * M::cos(T(1.02) * t), -M::sin(t), one, x, y);
    return Color<T>(b1 + b4 + b5, b2 + b4, b3 + b5);
}

/// Sinus's thirty points per channel at one time: their heights and the channels' falloffs.
static const int kSinusPoints = 30;
template <class T>
struct SinusTerms {
    T q;
    T column[kSinusPoints]; ///< i / 10 − 1.5
    T redY[kSinusPoints];
    T greenY[kSinusPoints];
    T blueY[kSinusPoints];
    T redFalloff;
    T greenFalloff;
    T blueFalloff[kSinusPoints];
};

template <class T, class M>
SinusTerms<T> sinusTerms(T t)
{
    SinusTerms<T> terms;
    const T s = M::sin(t);
    terms.q = sin01<M>(t);
    for (int n = 0; n < kSinusPoints; ++n) {
        const T i = T(n);
        terms.column[n] = i / 10 - T(1.5);
        terms.redY[n] = s * M::sin((((i + 1) * T(1.5)) / 10) * t) * T(0.3);
        terms.greenY[n] = M::sin((((i + 1) * 3) / 10) * t + pi<T>()) * T(0.3);
        terms.blueY[n] = M::cos((((i + 1) * T(4.5)) / 10) * t) * T(0.3);
        terms.blueFalloff[n] = 1 - (terms.q * T(0.2) * i) / 10;
    }
    terms.redFalloff = 1 - s * T(0.3);
    terms.greenFalloff = 1 - terms.q * T(0.05);
    return terms;
}

/// Three strings of 30 glowing points on sine waves, one per channel.
template <class T, class M>
Color<T> sinusColor(const Position<T> &p, const SinusTerms<T> &terms)
{
    const T x = p.x;
    const T y = p.y;
    T R = 0, G = 0, B = 0;
    for (int n = 0; n < kSinusPoints; ++n) {
        const T dx = x - terms.column[n];
        T dy = y - terms.redY[n];
        R += T(0.15) / ((dx * dx + dy * dy) * 8 * 15 * terms.redFalloff);
        dy = y - terms.greenY[n];
        G += T(0.5) / ((dx * dx + dy * dy) * 8 * 15 * terms.greenFalloff);
        dy = y - terms.blueY[n];
        B += T(0.75) / ((dx * dx + dy * dy) * 8 * 15 * terms.blueFalloff[n]);
    }
    const T m = terms.q * T(0.5) + T(0.5);
    return Color<T>(R, (T(1.5) - m) * G, m * B);
}

} // namespace portable
} // namespace lumora
