#pragma once

// Stars2, Floor, Lava, Beams, DoubleRings, Blobs, Oil, Field, Klecks, AcidTrip, QuasiCrystal.

#include "../framework/ColorPattern.h"

namespace lumora {

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
