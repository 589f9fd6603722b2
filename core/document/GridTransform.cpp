#include "GridTransform.h"

#include <cmath>
#include <limits>

namespace lumora {

GridTransform::GridTransform(const GridHandles &h)
    : GridTransform(h.xDirection.x() - h.origin.x(), h.xDirection.y() - h.origin.y(),
                    h.yDirection.x() - h.origin.x(), h.yDirection.y() - h.origin.y(),
                    h.origin.x(), h.origin.y())
{
}

GridTransform::GridTransform(double a, double b, double c, double d, double tx, double ty)
    : m11(a), m12(b), m21(c), m22(d), dx(tx), dy(ty)
{
}

QPointF GridTransform::map(QPointF p) const
{
    return {m11 * p.x() + m21 * p.y() + dx, m12 * p.x() + m22 * p.y() + dy};
}

std::optional<GridTransform> GridTransform::inverted() const
{
    const double det = m11 * m22 - m12 * m21;
    if (det == 0 || !std::isfinite(det))
        return std::nullopt;
    const double a = m22 / det, b = -m12 / det, c = -m21 / det, d = m11 / det;
    const double inverse[6] = {a, b, c, d, -(a * dx + c * dy), -(b * dx + d * dy)};
    for (double v : inverse)
        if (!std::isfinite(v))
            return std::nullopt;
    return GridTransform(a, b, c, d, inverse[4], inverse[5]);
}

QPointF GridTransform::snap(QPointF point) const
{
    const auto inverse = inverted();
    if (!inverse)
        return point;
    const QPointF g = inverse->map(point);
    return map({std::round(2 * g.x()) / 2, std::round(2 * g.y()) / 2});
}

qint64 roundHalfAway(double value)
{
    if (std::isnan(value))
        return 0;
    const double r = std::round(value);
    if (r >= 9.2233720368547758e18)
        return std::numeric_limits<qint64>::max();
    if (r <= -9.2233720368547758e18)
        return std::numeric_limits<qint64>::min();
    return qint64(r);
}

} // namespace lumora
