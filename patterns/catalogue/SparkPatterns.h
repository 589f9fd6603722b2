#pragma once

// The sparks family on the desktop: Field, Floating, Spirals, Glow. Their formulas are the
// portable templates of portable/Sparks.h, taken in double.

#include "../framework/ColorPattern.h"

namespace lumora {

/// One hundred sparks on a wrapping field, each a small damped wave.
class Field : public ColorPattern {
    LUMORA_PATTERN(Field)
    Field();
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
    void colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

/// A hundred soft rotating sparks.
class Floating : public ColorPattern {
    LUMORA_PATTERN(Floating)
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
    void colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

/// The spark field of Floating with a spiral phase.
class Spirals : public ColorPattern {
    LUMORA_PATTERN(Spirals)
    Spirals();
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
    void colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

/// One hundred drifting soft sparks.
class Glow : public ColorPattern {
    LUMORA_PATTERN(Glow)
    Glow();
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
    void colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

} // namespace lumora
