#pragma once

// The folds family on the desktop: Hexagon, Hexagon2, Upholstery. Their formulas are the portable
// templates of portable/Folds.h, taken in double.

#include "../framework/ColorPattern.h"

namespace lumora {

/// Lines of five rotated copies that darken a white field.
class Hexagon : public ColorPattern {
    LUMORA_PATTERN(Hexagon)
    Color color(const Position &p) const override;
};

/// A product over six successively rotated copies of the point.
class Hexagon2 : public ColorPattern {
    LUMORA_PATTERN(Hexagon2)
    Color color(const Position &p) const override;
};

/// A folded, tufted surface seen through five rotated copies.
class Upholstery : public ColorPattern {
    LUMORA_PATTERN(Upholstery)
    Upholstery();
    Color color(const Position &p) const override;
};

} // namespace lumora
