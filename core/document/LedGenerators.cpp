#include "LedGenerators.h"

#include <QLineF>
#include <QPoint>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumora {

namespace {

bool isFinite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

bool validCount(int count)
{
    return count >= 1 && count <= maxGeneratedLeds;
}

bool validPolyline(const QList<QPointF> &points)
{
    return !points.isEmpty() && std::all_of(points.begin(), points.end(), isFinite);
}

/// The point `distance` along the polyline, walking on from segment `segment`, whose start
/// lies `walked` along it. Segments are visited once, so placing many LEDs stays linear.
struct PolylineWalker {
    const QList<QPointF> &points;
    qsizetype segment = 0;
    double walked = 0;

    QPointF at(double distance)
    {
        while (segment + 1 < points.size()) {
            const QLineF line(points[segment], points[segment + 1]);
            if (distance <= walked + line.length() || segment + 2 == points.size()) {
                const double length = line.length();
                const double t = length > 0 ? std::clamp((distance - walked) / length, 0.0, 1.0) : 0.0;
                return line.pointAt(t);
            }
            walked += line.length();
            ++segment;
        }
        return points.last();
    }
};

} // namespace

double polylineLength(const QList<QPointF> &points)
{
    double length = 0;
    for (qsizetype i = 1; i < points.size(); ++i)
        length += QLineF(points[i - 1], points[i]).length();
    return length;
}

QList<QPointF> stripPositions(QPointF from, QPointF to, int count)
{
    return polylineByCount({from, to}, count);
}

QList<QPointF> polylineByCount(const QList<QPointF> &points, int count)
{
    if (!validCount(count) || !validPolyline(points))
        return {};
    const double length = polylineLength(points);
    QList<QPointF> leds;
    leds.reserve(count);
    PolylineWalker walker{points};
    for (int i = 0; i < count; ++i)
        leds.append(count == 1 ? points.first() : walker.at(length * i / (count - 1)));
    return leds;
}

QList<QPointF> polylineBySpacing(const QList<QPointF> &points, double spacing)
{
    if (!validPolyline(points) || !std::isfinite(spacing) || spacing <= 0)
        return {};
    const double length = polylineLength(points);
    const double steps = std::floor(length / spacing + 1e-9);
    if (steps + 1 > maxGeneratedLeds)
        return {};
    QList<QPointF> leds;
    leds.reserve(qsizetype(steps) + 1);
    PolylineWalker walker{points};
    for (int i = 0; i <= int(steps); ++i)
        leds.append(walker.at(std::min(i * spacing, length)));
    return leds;
}

QList<QPointF> stripAlong(const QList<QPointF> &points, const StripPlacement &placement)
{
    return placement.by == StripPlacement::Count ? polylineByCount(points, placement.count)
                                                 : polylineBySpacing(points, placement.spacing);
}

QList<QPointF> ringPositions(const RingLayout &layout)
{
    if (!validCount(layout.count) || !isFinite(layout.center) || !std::isfinite(layout.radius) || layout.radius < 0
        || !std::isfinite(layout.startAngle) || !std::isfinite(layout.sweep) || layout.sweep < 0)
        return {};
    const bool closed = layout.sweep >= 360;
    const double sweep = closed ? 360 : layout.sweep;
    const double step = closed ? sweep / layout.count : layout.count > 1 ? sweep / (layout.count - 1) : 0;
    const double direction = layout.clockwise ? -1 : 1;
    QList<QPointF> leds;
    leds.reserve(layout.count);
    for (int i = 0; i < layout.count; ++i) {
        const double angle = (layout.startAngle + direction * step * i) * std::numbers::pi / 180;
        leds.append(layout.center + layout.radius * QPointF(std::cos(angle), std::sin(angle)));
    }
    return leds;
}

QList<QPoint> matrixCells(const MatrixLayout &layout)
{
    if (layout.width < 1 || layout.height < 1 || qint64(layout.width) * layout.height > maxGeneratedLeds)
        return {};
    const bool fromRight = layout.start == MatrixLayout::TopRight || layout.start == MatrixLayout::BottomRight;
    const bool fromTop = layout.start == MatrixLayout::TopLeft || layout.start == MatrixLayout::TopRight;
    // A run is a row (or a column); runs follow one another away from the start corner.
    const int runs = layout.columns ? layout.width : layout.height;
    const int along = layout.columns ? layout.height : layout.width;
    QList<QPoint> cells;
    cells.reserve(runs * along);
    for (int run = 0; run < runs; ++run) {
        const bool turned = layout.serpentine && run % 2 == 1;
        for (int k = 0; k < along; ++k) {
            const int step = turned ? along - 1 - k : k;
            int column, row;
            if (layout.columns) {
                column = fromRight ? layout.width - 1 - run : run;
                row = fromTop ? layout.height - 1 - step : step;
            } else {
                column = fromRight ? layout.width - 1 - step : step;
                row = fromTop ? layout.height - 1 - run : run;
            }
            cells.append(QPoint(column, row));
        }
    }
    return cells;
}

QList<QPointF> matrixPositions(const MatrixLayout &layout, QPointF center, double spacing)
{
    if (!isFinite(center) || !std::isfinite(spacing) || spacing <= 0)
        return {};
    const QPointF corner = center - spacing * QPointF(layout.width - 1, layout.height - 1) / 2;
    QList<QPointF> leds;
    const QList<QPoint> cells = matrixCells(layout);
    leds.reserve(cells.size());
    for (const QPoint &cell : cells)
        leds.append(corner + spacing * QPointF(cell));
    return leds;
}

QList<QPointF> matrixOnGrid(const MatrixLayout &layout, const GridTransform &grid, QPointF firstCell)
{
    if (!isFinite(firstCell))
        return {};
    QList<QPointF> leds;
    const QList<QPoint> cells = matrixCells(layout);
    leds.reserve(cells.size());
    for (const QPoint &cell : cells)
        leds.append(grid.map(firstCell + QPointF(cell)));
    return leds;
}

double fittingMatrixSpacing(int width, int height, double preferred)
{
    const double margin = 32;
    double spacing = preferred;
    if (width > 1)
        spacing = std::min(spacing, (1024 - 2 * margin) / (width - 1));
    if (height > 1)
        spacing = std::min(spacing, (768 - 2 * margin) / (height - 1));
    return spacing;
}

} // namespace lumora
