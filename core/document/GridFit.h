#pragma once

#include "GridTransform.h"

#include <QList>
#include <QPointF>
#include <QRectF>

namespace lumora {

/// A square, upright grid for the given LEDs, so that patterns have something sensible to
/// work on: the origin in the middle of their bounding box and one grid step so that the
/// longer side of the box spans `units` grid units (the bundled layouts' scale by default).
/// Without LEDs, or with all of them on one point, the grid sits on the layout's centre (or
/// that point) with a step of 32 units. Points that are not finite are left out.
GridHandles fitGrid(const QList<QPointF> &leds, double units = 10);

/// The smallest rectangle holding every point (left, bottom, width, height in layout units,
/// possibly of zero size, which QRectF's union would drop); empty without points.
QRectF pointsBox(const QList<QPointF> &points);

} // namespace lumora
