#include "GridFit.h"

#include <QRectF>

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
        double left = finite[0].x(), right = left, bottom = finite[0].y(), top = bottom;
        for (const QPointF &p : finite) {
            left = std::min(left, p.x());
            right = std::max(right, p.x());
            bottom = std::min(bottom, p.y());
            top = std::max(top, p.y());
        }
        origin = QPointF((left + right) / 2, (bottom + top) / 2);
        const double span = std::max(right - left, top - bottom);
        if (span > 0 && units > 0 && std::isfinite(units))
            step = span / units;
    }
    return {origin, origin + QPointF(step, 0), origin + QPointF(0, step)};
}

} // namespace lumora
