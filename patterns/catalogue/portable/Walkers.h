#pragma once

// LEDs lit by their number in LED order: Walker, Walker10, Walkern, Streifen.

#include "Portable.h"

namespace lumora {
namespace portable {

/// Whether t has a whole step to light: a time that is not a number or lies beyond the 64-bit
/// integer range has none, and converting it to an integer would be undefined.
template <class T, class M>
inline bool hasStep(T t)
{
    return M::fabs(t) < T(9223372036854775808.0);
}

/// One white LED in every hundred, stepping along the LED order.
template <class T, class M>
Color<T> walkerColor(const Position<T> &p)
{
    if (!hasStep<T, M>(p.time))
        return Color<T>(0, 0, 0);
    if (static_cast<long long>(p.time) % 100 == p.index % 100)
        return Color<T>(1, 1, 1);
    return Color<T>(0, 0, 0);
}

/// One lit LED in every ten.
template <class T, class M>
Color<T> walker10Color(const Position<T> &p)
{
    const T t = p.time;
    if (!hasStep<T, M>(t))
        return Color<T>(0, 0, 0);
    if (static_cast<long long>(t) % 10 == p.index % 10)
        return fromHsv<M>(mod<M>(t, 100) * 360 / 100, T(255), T(255));
    return Color<T>(0, 0, 0);
}

/// One lit LED in every n, with n growing over time.
template <class T, class M>
Color<T> walkernColor(const Position<T> &p)
{
    const T t = p.time;
    if (!hasStep<T, M>(t))
        return Color<T>(0, 0, 0);
    const long long n = static_cast<long long>(mod<M>(T(0.01) * t, 15) + 1);
    const long long r = p.index % n;
    const long long k = static_cast<long long>(t);
    if (k % n == r)
        return fromHsv<M>(mod<M>(t, 100) * 360 / 100, T(255), T(255));
    return Color<T>(0, 0, 0);
}

/// Rainbow stripes by LED number.
template <class T, class M>
Color<T> streifenColor(const Position<T> &p)
{
    const T t = p.time;
    const T hue = mod<M>(T(p.index) * t + t, 100) * T(3.6);
    return fromHsv<M>(hue, T(255), T(255));
}

} // namespace portable
} // namespace lumora
