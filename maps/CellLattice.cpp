#include "CellLattice.h"

#include <QHash>

#include <cmath>
#include <numeric>

namespace lumora {

namespace {

/// Thins one axis of half-step coordinates to the steps the LEDs use: subtracts the
/// smallest and divides by the greatest common divisor, so LEDs on whole grid steps do not
/// leave every other row empty.
QList<qint64> compacted(const QList<qint64> &values, bool reversed)
{
    if (values.isEmpty())
        return {};
    const qint64 low = *std::min_element(values.begin(), values.end());
    const qint64 high = *std::max_element(values.begin(), values.end());
    qint64 divisor = 0;
    for (qint64 v : values)
        divisor = std::gcd(divisor, v - low);
    if (divisor == 0)
        divisor = 1;
    QList<qint64> result;
    result.reserve(values.size());
    for (qint64 v : values)
        result.append((reversed ? high - v : v - low) / divisor);
    return result;
}

} // namespace

QRectF pointSpread(const QList<QPointF> &points)
{
    if (points.isEmpty())
        return {};
    double minX = points[0].x(), maxX = minX, minY = points[0].y(), maxY = minY;
    for (const QPointF &p : points) {
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    return QRectF(QPointF(minX, minY), QPointF(maxX, maxY));
}

CellLattice CellLattice::forLayout(const QList<QPointF> &leds, const std::optional<GridHandles> &grid)
{
    if (grid) {
        if (auto lattice = fromGridPositions(leds, *grid))
            return *lattice;
    }
    CellLattice lattice = fromSquareLattice(leds);
    if (grid)
        lattice.m_notes.prepend("the grid's half steps do not give every LED its own cell within 255 × 255; "
                                "using a square lattice instead");
    return lattice;
}

std::optional<CellLattice> CellLattice::fromGridPositions(const QList<QPointF> &leds, const GridHandles &grid)
{
    const auto inverse = GridTransform(grid).inverted();
    if (!inverse)
        return std::nullopt;
    QList<qint64> us, vs;
    for (const QPointF &led : leds) {
        const QPointF p = inverse->map(led);
        us.append(roundHalfAway(2 * p.x()));
        vs.append(roundHalfAway(2 * p.y()));
    }
    // Columns run the way the x handle points on screen, rows from the top of the screen down.
    const bool xLeft = grid.xDirection.x() < grid.origin.x();
    const bool yUp = grid.yDirection.y() > grid.origin.y();
    const QList<qint64> columns = compacted(us, xLeft);
    const QList<qint64> rows = compacted(vs, yUp);
    CellLattice lattice;
    lattice.m_fromGrid = true;
    for (qsizetype i = 0; i < leds.size(); ++i) {
        if (columns[i] >= maxSide || rows[i] >= maxSide)
            return std::nullopt;
        lattice.m_cells.append(QPoint(int(columns[i]), int(rows[i])));
    }
    if (!lattice.settle())
        return std::nullopt;
    lattice.m_notes.append(QString("cells from the grid: %1 × %2").arg(lattice.m_width).arg(lattice.m_height));
    return lattice;
}

CellLattice CellLattice::fromSquareLattice(const QList<QPointF> &leds)
{
    CellLattice lattice;
    if (leds.isEmpty()) {
        lattice.m_width = lattice.m_height = 1;
        return lattice;
    }
    const QRectF box = pointSpread(leds);
    const double side = std::max(box.width(), box.height());
    // n lattice points per side of the layout's bounding square, the first on its left and
    // top edges; the smallest n that separates the LEDs wins.
    for (int n = 1; n <= maxSide; ++n) {
        const double pitch = n > 1 ? side / (n - 1) : 0;
        lattice.m_cells.clear();
        for (const QPointF &led : leds) {
            if (pitch == 0) {
                lattice.m_cells.append(QPoint(0, 0));
                continue;
            }
            lattice.m_cells.append(QPoint(int(std::lround((led.x() - box.left()) / pitch)),
                                          int(std::lround((box.bottom() - led.y()) / pitch))));
        }
        lattice.m_pitch = pitch;
        if (lattice.settle() || side == 0 || n == maxSide)
            break;
    }
    lattice.m_notes.append(QString("cells from a square lattice: %1 × %2, %3 layout units apart")
                               .arg(lattice.m_width).arg(lattice.m_height).arg(lattice.m_pitch, 0, 'g', 4));
    return lattice;
}

bool CellLattice::settle()
{
    m_width = m_height = 1;
    m_hidden.clear();
    QHash<QPoint, int> seen;
    for (qsizetype i = 0; i < m_cells.size(); ++i) {
        const QPoint c = m_cells[i];
        m_width = std::max(m_width, c.x() + 1);
        m_height = std::max(m_height, c.y() + 1);
        if (seen.contains(c))
            m_hidden.append(int(i));
        else
            seen.insert(c, int(i));
    }
    return m_hidden.isEmpty();
}

QList<int> CellLattice::owners() const
{
    QList<int> owners(qsizetype(m_width) * m_height, -1);
    for (qsizetype i = m_cells.size() - 1; i >= 0; --i)
        owners[qsizetype(m_cells[i].y()) * m_width + m_cells[i].x()] = int(i);
    return owners;
}

QStringList CellLattice::sharingMessages() const
{
    const QList<int> owner = owners();
    QStringList messages;
    const int shown = 5;
    for (int led : m_hidden.mid(0, shown)) {
        const QPoint c = m_cells[led];
        messages.append(QString("LEDs %1 and %2 share cell (%3, %4)")
                            .arg(owner[qsizetype(c.y()) * m_width + c.x()]).arg(led).arg(c.x()).arg(c.y()));
    }
    if (m_hidden.size() > shown)
        messages.append(QString("and %1 more LEDs share a cell").arg(m_hidden.size() - shown));
    return messages;
}

} // namespace lumora
