#pragma once

// The bars family on the desktop: Beams, Bars, WaveBars, RotatingBars, DualScan, Sweeplet. Their
// formulas are the portable templates of portable/Bars.h, taken in double.

#include "../framework/ColorPattern.h"

namespace lumora {

/// Fifteen wavy horizontal beams.
class Beams : public ColorPattern {
    LUMORA_PATTERN(Beams)
    Color color(const Position &p) const override;
};

/// Eight rainbow bars that swing through each other.
class Bars : public ColorPattern {
    LUMORA_PATTERN(Bars)
    Color color(const Position &p) const override;
    const double barsize = 0.3;
};

/// Eight coloured wavy bars in a slowly turning frame.
class WaveBars : public ColorPattern {
    LUMORA_PATTERN(WaveBars)
    Color color(const Position &p) const override;
    /// Half-width of a bar: its colour fades to nothing this far from the bar's line.
    double barsize() const { return m_barsize; }

private:
    const double m_barsize = 0.15;
};

/// Eight rainbow bars turning at slightly different rates.
class RotatingBars : public ColorPattern {
    LUMORA_PATTERN(RotatingBars)
    Color color(const Position &p) const override;
    const double barsize = 0.3;
};

/// Three coloured vertical bars sweeping across x; the consumer does not rotate them.
class DualScan : public ColorPattern {
    LUMORA_PATTERN(DualScan)
    DualScan();
    Color color(const Position &p) const override;
    const double barsize = 0.5;
};

/// A red band sweeping back and forth along x; the consumer does not rotate it.
class Sweeplet : public ColorPattern {
    LUMORA_PATTERN(Sweeplet)
    Sweeplet();
    Color color(const Position &p) const override;
};

} // namespace lumora
