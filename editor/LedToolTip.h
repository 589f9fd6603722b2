#pragma once

#include <QPointF>
#include <QString>

namespace lumora {

class View;

/// What the tooltip over an LED tells: its index, layout and grid position; over the start
/// marker, what it marks; empty elsewhere.
QString ledToolTip(const View &view, QPointF layoutPoint);

} // namespace lumora
