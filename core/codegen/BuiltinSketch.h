#pragma once

#include "SketchPattern.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <optional>

namespace lumora {

class ColorPattern;

/// A built-in pattern as a piece of a sketch: its portable formula instantiated for `float`,
/// with the pattern's own scale, rotation and speed, on the LEDs at their grid points in LED
/// order (as the pattern PPM export takes them). The sketch's clock is the animation time in
/// seconds, so its frame 200 ms after another is the export's next row (T = 0.2 per frame).
class BuiltinSketch
{
public:
    /// None with a message for a pattern without a portable form (Image, which reads a picture).
    static std::optional<SketchPattern> make(const ColorPattern &pattern, const QList<QPointF> &gridPoints,
                                             QString *error);
};

} // namespace lumora
