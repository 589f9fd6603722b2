#pragma once

#include "GridTransform.h"

#include <QList>
#include <QPointF>
#include <QRectF>

namespace lumora {

/// Grid handles laid over the LEDs so that patterns have something sensible to work on:
/// the origin in the middle of the LEDs' box, square axes along x and y, and a step that
/// makes the longer side of the box about ten grid units (the bundled layouts' scale).
/// Without LEDs the grid sits in the middle of the layout space with a step of 32 units.
GridHandles fitGrid(const QList<QPointF> &positions);

/// The smallest rectangle holding every point (left, bottom, width, height in layout units,
/// possibly of zero size, which QRectF's union would drop); empty without points.
QRectF pointsBox(const QList<QPointF> &points);

} // namespace lumora
