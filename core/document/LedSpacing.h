#pragma once

#include <QList>
#include <QPointF>

namespace lumora {

/// The typical distance from an LED to its nearest neighbour: the median over the LEDs
/// (a sample of them in very large layouts), LEDs stacked on one another left out. 0 when
/// fewer than two distinct positions exist. The layout editor sizes its LED discs by it.
double typicalSpacing(const QList<QPointF> &positions);
/// The distance between the two closest distinct LEDs (over a sample of them beyond a
/// quarter of a million), 0 when fewer than two distinct positions exist. The layout editor
/// zooms in until they stand apart.
double closestSpacing(const QList<QPointF> &positions);

} // namespace lumora
