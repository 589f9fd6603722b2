#pragma once

// Colors2, Flower3, Upholstery, Checkered, DualScan, Sinus, RotatingBars, Flower, Spirale3, Grid,
// Hexagon.

#include "../framework/ColorPattern.h"
#include "../framework/Vec.h"

namespace lumora {

/// Interference rings around a wandering centre, on a grid of flipped cells.
class Colors2 : public ColorPattern {
    LUMORA_PATTERN(Colors2)
    Color color(const Position &p) const override;
};

/// Rainbow petals with a pale rim.
class Flower3 : public ColorPattern {
    LUMORA_PATTERN(Flower3)
    Flower3();
    Color color(const Position &p) const override;
};

/// A folded, tufted surface seen through five rotated copies.
class Upholstery : public ColorPattern {
    LUMORA_PATTERN(Upholstery)
    Upholstery();
    Color color(const Position &p) const override;
};

class Checkered : public ColorPattern {
    LUMORA_PATTERN(Checkered)
    Color color(const Position &p) const override;
};

/// Three coloured vertical bars sweeping across x; the consumer does not rotate them.
class DualScan : public ColorPattern {
    LUMORA_PATTERN(DualScan)
    DualScan();
    Color color(const Position &p) const override;
    /// The colour (r, g, b) faded by the distance of px from pos; py is not used.
    Vec3 scanBar(double px, double py, double pos, double r, double g, double b) const;

    const double barsize = 0.5;
};

/// Three strings of 30 glowing points on sine waves, one per channel.
class Sinus : public ColorPattern {
    LUMORA_PATTERN(Sinus)
    Sinus();
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

/// Eight rainbow bars turning at slightly different rates.
class RotatingBars : public ColorPattern {
    LUMORA_PATTERN(RotatingBars)
    Color color(const Position &p) const override;
    /// The colour (r, g, b) faded by the distance from pos of the point's turned y.
    Vec3 rotatedBar(double px, double py, double pos, double r, double g, double b, double angle) const;

    const double barsize = 0.3;
};

/// Petals whose saturation and brightness follow the petal shape.
class Flower : public ColorPattern {
    LUMORA_PATTERN(Flower)
    Flower();
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

class Grid : public ColorPattern {
    LUMORA_PATTERN(Grid)
    Grid();
    Color color(const Position &p) const override;
};

/// Lines of five rotated copies that darken a white field.
class Hexagon : public ColorPattern {
    LUMORA_PATTERN(Hexagon)
    Color color(const Position &p) const override;
};

} // namespace lumora
