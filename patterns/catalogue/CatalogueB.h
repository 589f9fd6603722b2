#pragma once

// Jelly, Heart, StarField2, Rose, Interference, Flower2, Tunnel2, WaveBars, Spirale2,
// GridPattern, Leadlight.

#include "../framework/ColorPattern.h"

namespace lumora {

class Jelly : public ColorPattern {
    LUMORA_PATTERN(Jelly)
    Jelly();
    Color color(const Position &p) const override;
};

/// A heart shape that beats once every 2 units of time.
class Heart : public ColorPattern {
    LUMORA_PATTERN(Heart)
    Color color(const Position &p) const override;
};

/// Three layers of streaks flying outwards.
class StarField2 : public ColorPattern {
    LUMORA_PATTERN(StarField2)
    StarField2();
    Color color(const Position &p) const override;
};

class Rose : public ColorPattern {
    LUMORA_PATTERN(Rose)
    Rose();
    Color color(const Position &p) const override;
};

/// Four moving wave centres.
class Interference : public ColorPattern {
    LUMORA_PATTERN(Interference)
    Interference();
    Color color(const Position &p) const override;
};

class Flower2 : public ColorPattern {
    LUMORA_PATTERN(Flower2)
    Flower2();
    Color color(const Position &p) const override;
};

/// A textured tunnel of three blended layers.
class Tunnel2 : public ColorPattern {
    LUMORA_PATTERN(Tunnel2)
    Color color(const Position &p) const override;
};

/// Eight coloured wavy bars in a slowly turning frame.
class WaveBars : public ColorPattern {
    LUMORA_PATTERN(WaveBars)
    Color color(const Position &p) const override;
    /// Half-width of a bar: its colour fades to nothing this far from the bar's line.
    double barsize() const { return m_barsize; }
    /// The colour of one bar at frame coordinates (b, w), full on the line w = d + a small wave.
    Vec3 waveBar(double a, double b, double w, double d, Vec3 colour) const;

private:
    const double m_barsize = 0.15;
};

class Spirale2 : public ColorPattern {
    LUMORA_PATTERN(Spirale2)
    Spirale2();
    Color color(const Position &p) const override;
};

class GridPattern : public ColorPattern {
    LUMORA_PATTERN(GridPattern)
    GridPattern();
    Color color(const Position &p) const override;
};

/// Normalised colour rays, brightened and pulsed.
class Leadlight : public ColorPattern {
    LUMORA_PATTERN(Leadlight)
    Leadlight();
    Color color(const Position &p) const override;
};

} // namespace lumora
