#include "GridFit.h"

#include <algorithm>
#include <cmath>

namespace lumora {

GridHandles fitGrid(const QList<QPointF> &leds, double units)
{
    double step = 32;
    QPointF origin(512, 384);
    QList<QPointF> finite;
    finite.reserve(leds.size());
    for (const QPointF &p : leds)
        if (std::isfinite(p.x()) && std::isfinite(p.y()))
            finite.append(p);
    if (!finite.isEmpty()) {
        const QRectF box = pointsBox(finite);
        origin = box.center();
        const double span = std::max(box.width(), box.height());
        if (span > 0 && units > 0 && std::isfinite(units))
            step = span / units;
    }
    return {origin, origin + QPointF(step, 0), origin + QPointF(0, step)};
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
