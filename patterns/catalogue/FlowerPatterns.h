#pragma once

// The flowers family on the desktop: Heart, Rose, Flower, Flower2, Flower3. Their formulas are the
// portable templates of portable/Flowers.h, taken in double.

#include "../framework/ColorPattern.h"

namespace lumora {

/// A heart shape that beats once every 2 units of time.
class Heart : public ColorPattern {
    LUMORA_PATTERN(Heart)
    Color color(const Position &p) const override;
};

class Rose : public ColorPattern {
    LUMORA_PATTERN(Rose)
    Rose();
    Color color(const Position &p) const override;
};

/// Petals whose saturation and brightness follow the petal shape.
class Flower : public ColorPattern {
    LUMORA_PATTERN(Flower)
    Flower();
    Color color(const Position &p) const override;
};

class Flower2 : public ColorPattern {
    LUMORA_PATTERN(Flower2)
    Flower2();
    Color color(const Position &p) const override;
};

/// Rainbow petals with a pale rim.
class Flower3 : public ColorPattern {
    LUMORA_PATTERN(Flower3)
    Flower3();
    Color color(const Position &p) const override;
};

} // namespace lumora
