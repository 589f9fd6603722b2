#include "GridFit.h"

#include <QRectF>

#include <algorithm>

namespace lumora {

namespace {
constexpr double unitsAcross = 10;
constexpr double defaultStep = 32;
} // namespace

GridHandles fitGrid(const QList<QPointF> &positions)
{
    if (positions.isEmpty())
        return {{512, 384}, {512 + defaultStep, 384}, {512, 384 + defaultStep}};
    const QRectF box = pointsBox(positions);
    const QPointF centre = box.center();
    const double span = std::max(box.width(), box.height());
    // A single LED (or a stack of them) still gets a usable grid.
    const double step = span > 0 ? span / unitsAcross : defaultStep;
    return {centre, centre + QPointF(step, 0), centre + QPointF(0, step)};
}

QRectF pointsBox(const QList<QPointF> &points)
{
    if (points.isEmpty())
        return {};
    double left = points.first().x(), right = left, bottom = points.first().y(), top = bottom;
    for (const QPointF &p : points) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        bottom = std::min(bottom, p.y());
        top = std::max(top, p.y());
    }
    return QRectF(left, bottom, right - left, top - bottom);
}

} // namespace lumora
