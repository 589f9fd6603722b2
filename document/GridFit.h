#pragma once

#include "GridTransform.h"

#include <QList>
#include <QPointF>

namespace lumora {

/// A square, upright grid for the given LEDs: the origin in the middle of their bounding box
/// and one grid step so that the longer side of the box spans `units` grid units, the scale
/// the patterns are drawn for. Without LEDs, or with all of them on one point, the grid sits
/// on the layout's centre (or that point) with a step of 32 units.
GridHandles fitGrid(const QList<QPointF> &leds, double units = 16);

} // namespace lumora
