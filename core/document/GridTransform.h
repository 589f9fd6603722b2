#pragma once

#include <QPointF>

#include <optional>

namespace lumora {

/// The three handles of a complete grid, in layout coordinates.
struct GridHandles {
    QPointF origin;
    QPointF xDirection;
    QPointF yDirection;
};

/// The affine map from grid units (u, v) to layout coordinates: o + u·X + v·Y, with
/// X = x handle − origin and Y = y handle − origin.
class GridTransform {
public:
    explicit GridTransform(const GridHandles &handles);

    QPointF map(QPointF gridPoint) const;
    /// The inverse map, from layout to grid units; none when the two axes are parallel
    /// (or either has zero length), where no inverse exists.
    std::optional<GridTransform> inverted() const;

    /// Snaps a layout point to the nearest half grid step (halves away from zero). A grid
    /// without an inverse leaves the point where it is.
    QPointF snap(QPointF point) const;

private:
    GridTransform(double m11, double m12, double m21, double m22, double dx, double dy);

    // x' = m11·u + m21·v + dx, y' = m12·u + m22·v + dy
    double m11, m12, m21, m22, dx, dy;
};

/// Rounds half away from zero into a 64-bit integer; NaN gives 0 and values beyond the
/// range give its ends, so no input is undefined.
qint64 roundHalfAway(double value);

} // namespace lumora
