#pragma once

// Fiver, Sweeplet, Bars, Wiggling, Walkern, Ringel, Clouds, DoubleSpirals, Thingi, Spotlight,
// Spirale4, Rings, Walker, Bubbles.

#include "../framework/ColorPattern.h"
#include "../framework/Vec.h"

namespace lumora {

/// Five plane waves whose phase drifts slowly.
class Fiver : public ColorPattern {
    LUMORA_PATTERN(Fiver)
    Color color(const Position &p) const override;
};

/// A red band sweeping back and forth along x; the consumer does not rotate it.
class Sweeplet : public ColorPattern {
    LUMORA_PATTERN(Sweeplet)
    Sweeplet();
    Color color(const Position &p) const override;
    /// The colour (r, g, b) faded by the distance of x from centre; y is not used.
    static Color band(double x, double y, double centre, double r, double g, double b);
};

/// Eight rainbow bars that swing through each other.
class Bars : public ColorPattern {
    LUMORA_PATTERN(Bars)
    Color color(const Position &p) const override;
    /// The colour (r, g, b) faded by the distance of v from centre; u is not used.
    Vec3 bar(double u, double v, double centre, double r, double g, double b) const;

    const double barsize = 0.3;
};

class Wiggling : public ColorPattern {
    LUMORA_PATTERN(Wiggling)
    Wiggling();
    Color color(const Position &p) const override;
};

/// One lit LED in every n, stepping along the LED order, with n growing over time.
class Walkern : public ColorPattern {
    LUMORA_PATTERN(Walkern)
    Walkern();
    Color color(const Position &p) const override;

    const Color black{0, 0, 0};
};

/// Rounded-square rings.
class Ringel : public ColorPattern {
    LUMORA_PATTERN(Ringel)
    Color color(const Position &p) const override;
};

class Clouds : public ColorPattern {
    LUMORA_PATTERN(Clouds)
    Clouds();
    Color color(const Position &p) const override;
};

/// A logarithmic double spiral between the poles (−1, 0) and (1, 0).
class DoubleSpirals : public ColorPattern {
    LUMORA_PATTERN(DoubleSpirals)
    Color color(const Position &p) const override;
    /// The complex logarithm of x − iy as (log modulus, argument).
    static Vec2 logPolar(double x, double y);
};

class Thingi : public ColorPattern {
    LUMORA_PATTERN(Thingi)
    Color color(const Position &p) const override;
    /// curve:time: — a smoothed wave of a whose phase drifts with time.
    static double curve(double a, double time);
    /// Two crossed curves, each bent by the other coordinate.
    static double thing(double x, double y, double t);
};

/// Three coloured spots on Lissajous paths.
class Spotlight : public ColorPattern {
    LUMORA_PATTERN(Spotlight)
    Color color(const Position &p) const override;
    /// 1 at the centre, falling to 0 at radius and beyond.
    static double spot(double cx, double cy, double radius, double px, double py);
};

class Spirale4 : public ColorPattern {
    LUMORA_PATTERN(Spirale4)
    Spirale4();
    Color color(const Position &p) const override;
};

/// Concentric rainbow rings whose centre wanders.
class Rings : public ColorPattern {
    LUMORA_PATTERN(Rings)
    Color color(const Position &p) const override;
};

/// One white LED in every hundred, stepping along the LED order.
class Walker : public ColorPattern {
    LUMORA_PATTERN(Walker)
    Walker();
    Color color(const Position &p) const override;

    const Color white{1, 1, 1};
    const Color black{0, 0, 0};
};

/// Five moving bubbles with bright rims.
class Bubbles : public ColorPattern {
    LUMORA_PATTERN(Bubbles)
    Color color(const Position &p) const override;
    /// Brightest near the rim, 0 outside the radius.
    static double bubble(double cx, double cy, double radius, double px, double py);
};

} // namespace lumora
