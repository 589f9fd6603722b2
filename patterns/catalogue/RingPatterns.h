#pragma once

// The rings family on the desktop: DoubleRings, Rings, Ringel, AcidTrip, Colors, Colors2, Lumora,
// Interference, Psychedelic, Squiggle. Their formulas are the portable templates of
// portable/Rings.h, taken in double.

#include "../framework/ColorPattern.h"

namespace lumora {

/// Two families of concentric rings with drifting centres, each coloured by a hue ramp.
class DoubleRings : public ColorPattern {
    LUMORA_PATTERN(DoubleRings)
    Color color(const Position &p) const override;
};

/// Concentric rainbow rings whose centre wanders.
class Rings : public ColorPattern {
    LUMORA_PATTERN(Rings)
    Color color(const Position &p) const override;
};

/// Rounded-square rings.
class Ringel : public ColorPattern {
    LUMORA_PATTERN(Ringel)
    Color color(const Position &p) const override;
};

class AcidTrip : public ColorPattern {
    LUMORA_PATTERN(AcidTrip)
    Color color(const Position &p) const override;
};

/// Rings around one moving centre, coloured by their phase.
class Colors : public ColorPattern {
    LUMORA_PATTERN(Colors)
    Color color(const Position &p) const override;
};

/// Interference rings around a wandering centre, on a grid of flipped cells.
class Colors2 : public ColorPattern {
    LUMORA_PATTERN(Colors2)
    Color color(const Position &p) const override;
};

/// Two interfering ripple centres, coloured by the direction of their sum.
class Lumora : public ColorPattern {
    LUMORA_PATTERN(Lumora)
    Lumora();
    Color color(const Position &p) const override;
};

/// Four moving wave centres.
class Interference : public ColorPattern {
    LUMORA_PATTERN(Interference)
    Interference();
    Color color(const Position &p) const override;
};

/// Four moving interference centres.
class Psychedelic : public ColorPattern {
    LUMORA_PATTERN(Psychedelic)
    Psychedelic();
    Color color(const Position &p) const override;
};

/// Rings bent by a moving sine lattice.
class Squiggle : public ColorPattern {
    LUMORA_PATTERN(Squiggle)
    Color color(const Position &p) const override;
};

} // namespace lumora
