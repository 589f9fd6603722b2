#pragma once

// The spots family on the desktop: Stars2, Blobs, Klecks, Spotlight, Bubbles, Sinus. Their
// formulas are the portable templates of portable/Spots.h, taken in double.

#include "../framework/ColorPattern.h"

namespace lumora {

/// Three moving crosses of light, one per colour channel.
class Stars2 : public ColorPattern {
    LUMORA_PATTERN(Stars2)
    Stars2();
    Color color(const Position &p) const override;
};

/// Eighteen soft moving blobs in two groups.
class Blobs : public ColorPattern {
    LUMORA_PATTERN(Blobs)
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

/// Seven wandering splotches with wavy rims.
class Klecks : public ColorPattern {
    LUMORA_PATTERN(Klecks)
    Color color(const Position &p) const override;
    /// One splotch: 0 outside its rim and on it.
    static double klecks(double cx, double cy, double radius, double x, double y, double t);
};

/// Three coloured spots on Lissajous paths.
class Spotlight : public ColorPattern {
    LUMORA_PATTERN(Spotlight)
    Color color(const Position &p) const override;
};

/// Five moving bubbles with bright rims.
class Bubbles : public ColorPattern {
    LUMORA_PATTERN(Bubbles)
    Color color(const Position &p) const override;
};

/// Three strings of 30 glowing points on sine waves, one per channel.
class Sinus : public ColorPattern {
    LUMORA_PATTERN(Sinus)
    Sinus();
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

} // namespace lumora
