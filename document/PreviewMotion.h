#pragma once

#include "patterns/framework/Position.h"

#include <QPointF>

namespace lumora {

class ColorPattern;

/// The live preview's slow breathing and turning of a pattern at the moment T: it turns an
/// LED's grid position into the Position the pattern is asked about. The layout editor and
/// the pattern panel's thumbnails share it, so both show the same animation.
class PreviewMotion {
public:
    PreviewMotion(const ColorPattern &pattern, double T);

    Position at(QPointF gridPoint, qint64 index) const;

    /// The preview's clock: 30 ticks per second since 2001-01-01 00:00:00 UTC.
    static double now();

private:
    double m_scale, m_sin, m_cos, m_time;
};

} // namespace lumora
