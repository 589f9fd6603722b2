#pragma once

// Stars2, Floor, Lava, Beams, DoubleRings, Blobs, Oil, Field, Klecks, AcidTrip, QuasiCrystal.

#include "../framework/ColorPattern.h"

namespace lumora {

/// Three moving crosses of light, one per colour channel.
class Stars2 : public ColorPattern {
    LUMORA_PATTERN(Stars2)
    Stars2();
    Color color(const Position &p) const override;
    /// 0.01 / |a·b| for the point offset by a wobble: bright along both lines a = 0 and b = 0.
    static double makePoint(double x, double y, double fx, double fy, double sx, double sy, double t);
};

/// A floor texture seen in perspective, its tint turning with time.
class Floor : public ColorPattern {
    LUMORA_PATTERN(Floor)
    Floor();
    Color color(const Position &p) const override;
    static double get2DTexture(double u, double v);
};

class Lava : public ColorPattern {
    LUMORA_PATTERN(Lava)
    Color color(const Position &p) const override;
    /// One channel; NaN where the sine under the power is negative.
    static double lava(double t, double x, double y, double modifier, double uniformity);
};

/// Fifteen wavy horizontal beams.
class Beams : public ColorPattern {
    LUMORA_PATTERN(Beams)
    Color color(const Position &p) const override;
};

/// Two families of concentric rings with drifting centres, each coloured by a hue ramp.
class DoubleRings : public ColorPattern {
    LUMORA_PATTERN(DoubleRings)
    Color color(const Position &p) const override;
};

/// Eighteen soft moving blobs in two groups.
class Blobs : public ColorPattern {
    LUMORA_PATTERN(Blobs)
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

/// Fifteen steps of a swirling displacement, each adding a glow.
class Oil : public ColorPattern {
    LUMORA_PATTERN(Oil)
    Color color(const Position &p) const override;
    void colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

/// One hundred sparks on a wrapping field, each a small damped wave.
class Field : public ColorPattern {
    LUMORA_PATTERN(Field)
    Field();
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
    void colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

/// Seven wandering splotches with wavy rims.
class Klecks : public ColorPattern {
    LUMORA_PATTERN(Klecks)
    Color color(const Position &p) const override;
    /// One splotch: 0 outside its rim and on it.
    static double klecks(double cx, double cy, double radius, double x, double y, double t);
};

class AcidTrip : public ColorPattern {
    LUMORA_PATTERN(AcidTrip)
    Color color(const Position &p) const override;
};

/// Nine plane waves at equal angle steps, folded into [0, 1].
class QuasiCrystal : public ColorPattern {
    LUMORA_PATTERN(QuasiCrystal)
    QuasiCrystal();
    Color color(const Position &p) const override;
    /// Triangle wave between 0 and 1 with period 2.
    static double postprocess(double v);
};

} // namespace lumora
