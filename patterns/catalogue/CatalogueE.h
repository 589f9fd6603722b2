#pragma once

// Eggs, Tunnel, Floating, Lumora, Spirals, Neon, Hexagon2, Walker10.

#include "../framework/ColorPattern.h"

namespace lumora {

/// Shaded balls strung along a spiral, separated by black gaps.
class Eggs : public ColorPattern {
    LUMORA_PATTERN(Eggs)
    Eggs();
    Color color(const Position &p) const override;
};

/// A ray marched through a field of three moving blobs on a rippled tube.
class Tunnel : public ColorPattern {
    LUMORA_PATTERN(Tunnel)
    Tunnel();
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
    /// The scene's field at (x, y, z) and time t; below 0.4 a ray has hit something.
    static double density(double x, double y, double z, double t);
};

/// A hundred soft rotating sparks.
class Floating : public ColorPattern {
    LUMORA_PATTERN(Floating)
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
    void colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

/// Two interfering ripple centres, coloured by the direction of their sum.
class Lumora : public ColorPattern {
    LUMORA_PATTERN(Lumora)
    Lumora();
    Color color(const Position &p) const override;
};

/// The spark field of Floating with a spiral phase.
class Spirals : public ColorPattern {
    LUMORA_PATTERN(Spirals)
    Spirals();
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
    void colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

/// A ray flying through a lattice of glowing bars.
class Neon : public ColorPattern {
    LUMORA_PATTERN(Neon)
    Color color(const Position &p) const override;
    /// Distances from p to the bars along z, x and y through the unit cells' centres,
    /// less the bar radius.
    static Vec3 latticeBars(Vec3 p);

    /// Steps of the ray march.
    static constexpr int MAXITER = 30;
};

/// A product over six successively rotated copies of the point.
class Hexagon2 : public ColorPattern {
    LUMORA_PATTERN(Hexagon2)
    Color color(const Position &p) const override;
};

/// One lit LED in every ten, stepping along the LED order.
class Walker10 : public ColorPattern {
    LUMORA_PATTERN(Walker10)
    Walker10();
    /// A time that is not a number or lies beyond the 64-bit integer range lights no LED.
    Color color(const Position &p) const override;

    const Color black = Color(0, 0, 0);
};

} // namespace lumora
