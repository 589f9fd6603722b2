#include "LedSpacing.h"

#include "GridFit.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace lumora {

namespace {
/// More queries than this add nothing to a median but time.
constexpr qsizetype maxQueries = 2000;
/// Up to this many LEDs the closest pair is exact; beyond, a sample stands for them.
constexpr qsizetype maxClosestQueries = 250000;

/// The distance from each queried LED (every `stride`-th) to its nearest distinct neighbour.
std::vector<double> nearestDistances(const QList<QPointF> &positions, qsizetype stride)
{
    const qsizetype n = positions.size();
    if (n < 2)
        return {};
    const QRectF box = pointsBox(positions);
    const double left = box.left(), bottom = box.top();
    const double extent = std::max(box.width(), box.height());
    if (!(extent > 0) || !std::isfinite(extent))
        return {};

    // Buckets about one expected spacing wide; the search widens ring by ring until no
    // closer neighbour can lie further out.
    const double cell = std::max(extent / std::sqrt(double(n)), extent * 1e-6);
    auto key = [](qint64 cx, qint64 cy) { return (cx << 32) ^ (cy & 0xffffffff); };
    auto cellOf = [cell, left, bottom](QPointF p) {
        return std::pair<qint64, qint64>(qint64(std::floor((p.x() - left) / cell)),
                                         qint64(std::floor((p.y() - bottom) / cell)));
    };
    QHash<qint64, std::vector<qsizetype>> buckets;
    buckets.reserve(n);
    for (qsizetype i = 0; i < n; ++i) {
        const auto [cx, cy] = cellOf(positions[i]);
        buckets[key(cx, cy)].push_back(i);
    }
    const qint64 maxRing = qint64(std::ceil(extent / cell)) + 1;

    std::vector<double> nearest;
    for (qsizetype i = 0; i < n; i += stride) {
        const QPointF p = positions[i];
        const auto [cx, cy] = cellOf(p);
        double best = std::numeric_limits<double>::infinity();
        for (qint64 ring = 0; ring <= maxRing && (ring - 1) * cell < best; ++ring) {
            for (qint64 dx = -ring; dx <= ring; ++dx) {
                for (qint64 dy = -ring; dy <= ring; ++dy) {
                    if (std::max(std::abs(dx), std::abs(dy)) != ring)
                        continue;
                    const auto found = buckets.constFind(key(cx + dx, cy + dy));
                    if (found == buckets.constEnd())
                        continue;
                    for (qsizetype j : *found) {
                        const double d = std::hypot(positions[j].x() - p.x(), positions[j].y() - p.y());
                        if (d > 0 && d < best)
                            best = d;
                    }
                }
            }
        }
        if (std::isfinite(best))
            nearest.push_back(best);
    }
    return nearest;
}

} // namespace

double typicalSpacing(const QList<QPointF> &positions)
{
    std::vector<double> nearest = nearestDistances(positions, std::max<qsizetype>(1, positions.size() / maxQueries));
    if (nearest.empty())
        return 0;
    const auto middle = nearest.begin() + qsizetype(nearest.size()) / 2;
    std::nth_element(nearest.begin(), middle, nearest.end());
    return *middle;
}

double closestSpacing(const QList<QPointF> &positions)
{
    const std::vector<double> nearest =
        nearestDistances(positions, std::max<qsizetype>(1, positions.size() / maxClosestQueries));
    return nearest.empty() ? 0 : *std::min_element(nearest.begin(), nearest.end());
}

} // namespace lumora
