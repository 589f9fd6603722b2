#pragma once

// The plasmas family on the desktop: Lava, Squares, Fiver, QuasiCrystal, Checkered, Clouds, Grid,
// GridPattern, Oil, OilSpiral, Thingi. Their formulas are the portable templates of
// portable/Plasmas.h, taken in double.

#include "../framework/ColorPattern.h"

namespace lumora {

class Lava : public ColorPattern {
    LUMORA_PATTERN(Lava)
    Color color(const Position &p) const override;
};

/// A sine lattice per channel, dark wherever the channel's inner sine is negative.
class Squares : public ColorPattern {
    LUMORA_PATTERN(Squares)
    Color color(const Position &p) const override;
};

/// Five plane waves whose phase drifts slowly.
class Fiver : public ColorPattern {
    LUMORA_PATTERN(Fiver)
    Color color(const Position &p) const override;
};

/// Nine plane waves at equal angle steps, folded into [0, 1].
class QuasiCrystal : public ColorPattern {
    LUMORA_PATTERN(QuasiCrystal)
    QuasiCrystal();
    Color color(const Position &p) const override;
};

class Checkered : public ColorPattern {
    LUMORA_PATTERN(Checkered)
    Color color(const Position &p) const override;
};

class Clouds : public ColorPattern {
    LUMORA_PATTERN(Clouds)
    Clouds();
    Color color(const Position &p) const override;
};

class Grid : public ColorPattern {
    LUMORA_PATTERN(Grid)
    Grid();
    Color color(const Position &p) const override;
};

class GridPattern : public ColorPattern {
    LUMORA_PATTERN(GridPattern)
    GridPattern();
    Color color(const Position &p) const override;
};

/// Fifteen steps of a swirling displacement, each adding a glow.
class Oil : public ColorPattern {
    LUMORA_PATTERN(Oil)
    Color color(const Position &p) const override;
    void colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

/// Nineteen layers of sine waves stirring the plane.
class OilSpiral : public ColorPattern {
    LUMORA_PATTERN(OilSpiral)
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
    void colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

class Thingi : public ColorPattern {
    LUMORA_PATTERN(Thingi)
    Color color(const Position &p) const override;
    /// curve:time: — a smoothed wave of a whose phase drifts with time.
    static double curve(double a, double time);
};

} // namespace lumora
