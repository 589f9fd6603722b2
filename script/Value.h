#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

namespace lumora::script {

// Every value is a double. Arrays and functions are NaN-boxed handles: a signalling NaN
// with a tag and an index. Arithmetic turns them into a quiet NaN, so a handle never
// survives a calculation by accident.
inline constexpr uint64_t tagMask = 0xFFFF'0000'0000'0000ull;
inline constexpr uint64_t arrayTag = 0x7FF4'0000'0000'0000ull;
inline constexpr uint64_t functionTag = 0x7FF5'0000'0000'0000ull;

inline double arrayValue(uint32_t index) { return std::bit_cast<double>(arrayTag | index); }
inline double functionValue(uint32_t index) { return std::bit_cast<double>(functionTag | index); }
inline bool isArray(double v) { return (std::bit_cast<uint64_t>(v) & tagMask) == arrayTag; }
inline bool isFunction(double v) { return (std::bit_cast<uint64_t>(v) & tagMask) == functionTag; }
inline uint32_t handleIndex(double v) { return uint32_t(std::bit_cast<uint64_t>(v)); }

inline bool truthy(double v) { return v != 0; }

/// The device's 16.16 fixed-point form of a value, wrapped to 32 bits as its registers are.
inline int32_t toFixed(double v)
{
    double s = v * 65536.0;
    if (!(std::fabs(s) < 9.0e18))
        return 0;
    return int32_t(uint32_t(uint64_t(int64_t(s))));
}
inline double fromFixed(int32_t f) { return double(f) / 65536.0; }

/// An array index as the device computes it: the 16.16 value's integer part (rounding down),
/// without the 32,768 limit. Huge and NaN values give an index no array has.
inline int64_t toIndex(double v)
{
    double s = v * 65536.0;
    if (!(std::fabs(s) < 9.0e15))
        return -1;
    return int64_t(s) >> 16;
}

inline bool sameValue(double a, double b)
{
    return a == b || (a != a && std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b));
}

} // namespace lumora::script
