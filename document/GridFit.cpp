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
    double left = positions.first().x(), right = left, bottom = positions.first().y(), top = bottom;
    for (const QPointF &p : positions) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        bottom = std::min(bottom, p.y());
        top = std::max(top, p.y());
    }
    const QPointF centre((left + right) / 2, (bottom + top) / 2);
    const double span = std::max(right - left, top - bottom);
    // A single LED (or a stack of them) still gets a usable grid.
    const double step = span > 0 ? span / unitsAcross : defaultStep;
    return {centre, centre + QPointF(step, 0), centre + QPointF(0, step)};
}

} // namespace lumora
