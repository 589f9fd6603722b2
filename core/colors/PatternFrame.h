#pragma once

#include "patterns/framework/Color.h"

#include <QPointF>

#include <span>

namespace lumora {

class ColorPattern;

/// One frame of a pattern over a layout, as the live preview and the pattern export both see
/// it: at time T each LED's grid position is scaled by s0 + s1·sin(0.000827·T), turned by
/// r1·sin(0.000742·T) and coloured at pattern time speed·T, with its LED number as index.
///
/// `out` gets one colour per LED of `grid` (it must be as long). With `fast` the pattern's
/// vector path is used (within 1e-9 of the exact one; for the screen, not for files). The LEDs
/// are shared out over `threads` threads (0: all cores; a small layout stays on one); the
/// colours are the same as on one.
void patternFrame(const ColorPattern &pattern, double T, std::span<const QPointF> grid, std::span<Color> out,
                  bool fast = false, int threads = 1);

} // namespace lumora
