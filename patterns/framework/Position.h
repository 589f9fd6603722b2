#pragma once

#include <cstdint>

namespace lumora {

/// The sample point handed to ColorPattern::color(): time already scaled by the pattern's
/// speed, x and y in pattern space, index the LED's number in LED order.
struct Position {
    double time = 0;
    double x = 0;
    double y = 0;
    std::int64_t index = 0;
};

} // namespace lumora
