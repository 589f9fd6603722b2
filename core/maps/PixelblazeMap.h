#pragma once

#include "MapExport.h"
#include "SourceMap.h"

namespace lumora {

/// Pixelblaze's pixel map: a JSON array [[x, y], …] in LED order, in layout units with the
/// origin top-left and y down (Pixelblaze scales the map itself).
MapExport writePixelblazeMap(const LayoutSnapshot &layout);
/// Reads [[x, y], …] or [[x, y, z], …] (z is dropped, with a warning).
SourceMap readPixelblazeMap(const QByteArray &data);

/// The layout's y axis turned to point down, origin at the layout space's top-left.
QPointF screenPoint(QPointF led);

} // namespace lumora
