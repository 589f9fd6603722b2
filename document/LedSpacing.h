#pragma once

#include <QList>
#include <QPointF>

namespace lumora {

/// The typical distance from an LED to its nearest neighbour: the median over the LEDs
/// (a sample of them in very large layouts), LEDs stacked on one another left out. 0 when
/// fewer than two distinct positions exist. The layout editor sizes its LED discs by it.
double typicalSpacing(const QList<QPointF> &positions);

} // namespace lumora
