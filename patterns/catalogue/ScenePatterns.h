#pragma once

// The scenes family on the desktop: Floor, Tunnel, Tunnel2, Neon. Their formulas are the portable
// templates of portable/Scenes.h, taken in double.

#include "../framework/ColorPattern.h"

namespace lumora {

/// A floor texture seen in perspective, its tint turning with time.
class Floor : public ColorPattern {
    LUMORA_PATTERN(Floor)
    Floor();
    Color color(const Position &p) const override;
};

/// A ray marched through a field of three moving blobs on a rippled tube.
class Tunnel : public ColorPattern {
    LUMORA_PATTERN(Tunnel)
    Tunnel();
    Color color(const Position &p) const override;
    void colors(double time, std::span<const Position> positions, std::span<Color> out) const override;
};

/// A textured tunnel of three blended layers.
class Tunnel2 : public ColorPattern {
    LUMORA_PATTERN(Tunnel2)
    Color color(const Position &p) const override;
};

/// A ray flying through a lattice of glowing bars.
class Neon : public ColorPattern {
    LUMORA_PATTERN(Neon)
    Color color(const Position &p) const override;
    /// Steps of the ray march.
    static constexpr int MAXITER = 30;
};

} // namespace lumora
