#pragma once

// The walkers family on the desktop: Walker, Walker10, Walkern, Streifen. Their formulas are the
// portable templates of portable/Walkers.h, taken in double.

#include "../framework/ColorPattern.h"

namespace lumora {

/// One white LED in every hundred, stepping along the LED order.
class Walker : public ColorPattern {
    LUMORA_PATTERN(Walker)
    Walker();
    Color color(const Position &p) const override;
};

/// One lit LED in every ten, stepping along the LED order.
class Walker10 : public ColorPattern {
    LUMORA_PATTERN(Walker10)
    Walker10();
    Color color(const Position &p) const override;
};

/// One lit LED in every n, stepping along the LED order, with n growing over time.
class Walkern : public ColorPattern {
    LUMORA_PATTERN(Walkern)
    Walkern();
    Color color(const Position &p) const override;
};

/// Rainbow stripes by LED index.
class Streifen : public ColorPattern {
    LUMORA_PATTERN(Streifen)
    Color color(const Position &p) const override;
};

} // namespace lumora
