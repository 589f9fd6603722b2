#pragma once

// The spirals family on the desktop: Jelly, Spirale2, Spirale3, Spirale4, DoubleSpirals, Wiggling,
// Wiggle, Leadlight, Eggs, StarField2. Their formulas are the portable templates of
// portable/Spirals.h, taken in double.

#include "../framework/ColorPattern.h"

namespace lumora {

class Jelly : public ColorPattern {
    LUMORA_PATTERN(Jelly)
    Jelly();
    Color color(const Position &p) const override;
};

class Spirale2 : public ColorPattern {
    LUMORA_PATTERN(Spirale2)
    Spirale2();
    Color color(const Position &p) const override;
};

/// A spiral with a slowly cycling rainbow.
class Spirale3 : public ColorPattern {
    LUMORA_PATTERN(Spirale3)
    Spirale3();
    Color color(const Position &p) const override;
    /// One channel of the rainbow: a trapezoid of period 6 in v.
    static double rampChannel(double v);
};

class Spirale4 : public ColorPattern {
    LUMORA_PATTERN(Spirale4)
    Spirale4();
    Color color(const Position &p) const override;
};

/// A logarithmic double spiral between the poles (−1, 0) and (1, 0).
class DoubleSpirals : public ColorPattern {
    LUMORA_PATTERN(DoubleSpirals)
    Color color(const Position &p) const override;
};

class Wiggling : public ColorPattern {
    LUMORA_PATTERN(Wiggling)
    Wiggling();
    Color color(const Position &p) const override;
};

/// Five wavy arms turning about the centre.
class Wiggle : public ColorPattern {
    LUMORA_PATTERN(Wiggle)
    Wiggle();
    Color color(const Position &p) const override;
};

/// Normalised colour rays, brightened and pulsed.
class Leadlight : public ColorPattern {
    LUMORA_PATTERN(Leadlight)
    Leadlight();
    Color color(const Position &p) const override;
};

/// Shaded balls strung along a spiral, separated by black gaps.
class Eggs : public ColorPattern {
    LUMORA_PATTERN(Eggs)
    Eggs();
    Color color(const Position &p) const override;
};

/// Three layers of streaks flying outwards.
class StarField2 : public ColorPattern {
    LUMORA_PATTERN(StarField2)
    StarField2();
    Color color(const Position &p) const override;
};

} // namespace lumora
