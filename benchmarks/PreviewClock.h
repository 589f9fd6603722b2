#pragma once

#include <chrono>

namespace lumora {

/// The live preview's time T right now: seconds since 1 January 2001 (UTC) × 30. Benchmarks
/// evaluate the patterns there because the sines' arguments then reach ~5e8, where the exact
/// libm is much slower than for the small times of an export.
inline double previewClockNow()
{
    constexpr double kUnixTimeOf2001 = 978307200;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return (std::chrono::duration<double>(now).count() - kUnixTimeOf2001) * 30;
}

} // namespace lumora
