#include "CellLattice.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>
#include <numbers>

#include <cmath>
#include <numeric>

namespace lumora {

namespace {

// How far (in half grid steps) an LED may lie from a lattice point and still be on it.
constexpr double onPoint = 0.1;
// LEDs closer than this are on one place; no lattice separates them.
constexpr double samePlace = 1e-6;
// Pitches tried before taking the closest LEDs' distance, which always separates.
constexpr int pitchTries = 1000;

double chebyshev(QPointF a, QPointF b)
{
    return std::max(std::abs(a.x() - b.x()), std::abs(a.y() - b.y()));
}

/// Each LED's distance (the larger of the x and y differences) to the nearest LED at
/// another place, infinite when there is none, with that LED.
struct NearestSteps {
    QList<double> step;
    QList<int> other;
};

NearestSteps nearestSteps(const QList<QPointF> &leds)
{
    const qsizetype n = leds.size();
    const QRectF box = pointSpread(leds);
    const bool alongX = box.width() >= box.height();
    auto key = [&](int i) { return alongX ? leds[i].x() : leds[i].y(); };
    QList<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
    NearestSteps nearest{QList<double>(n, HUGE_VAL), QList<int>(n, -1)};
    for (qsizetype k = 0; k < n; ++k) {
        const int i = order[k];
        for (int direction : {1, -1}) {
            for (qsizetype m = k + direction; m >= 0 && m < n; m += direction) {
                const int j = order[m];
                if (std::abs(key(j) - key(i)) >= nearest.step[i])
                    break;
                const double d = chebyshev(leds[i], leds[j]);
                if (d > samePlace && d < nearest.step[i]) {
                    nearest.step[i] = d;
                    nearest.other[i] = j;
                }
            }
        }
    }
    return nearest;
}

/// The most common step: steps within 2 % of each other count as one; of equally common
/// ones the smallest wins.
double mostCommonStep(QList<double> steps)
{
    std::sort(steps.begin(), steps.end());
    double best = steps.first();
    qsizetype bestCount = 0;
    for (qsizetype start = 0; start < steps.size();) {
        qsizetype end = start;
        while (end < steps.size() && steps[end] <= steps[start] * 1.02)
            ++end;
        if (end - start > bestCount) {
            bestCount = end - start;
            best = steps[start];
        }
        start = end;
    }
    return best;
}

/// The offset that puts the coordinates nearest to multiples of the pitch, on average.
double phase(const QList<double> &values, double pitch)
{
    double s = 0, c = 0;
    for (double v : values) {
        const double a = 2 * std::numbers::pi * std::fmod(v / pitch, 1.0);
        s += std::sin(a);
        c += std::cos(a);
    }
    return std::abs(s) + std::abs(c) < 1e-9 ? 0 : std::atan2(s, c) / (2 * std::numbers::pi) * pitch;
}

/// Each LED's lattice point (column, row counted upwards) at this pitch.
QList<std::pair<qint64, qint64>> latticePoints(const QList<QPointF> &leds, double pitch)
{
    QList<double> xs, ys;
    for (const QPointF &p : leds) {
        xs.append(p.x());
        ys.append(p.y());
    }
    const double ox = phase(xs, pitch), oy = phase(ys, pitch);
    QList<std::pair<qint64, qint64>> points;
    points.reserve(leds.size());
    for (const QPointF &p : leds)
        points.append({std::llround((p.x() - ox) / pitch), std::llround((p.y() - oy) / pitch)});
    return points;
}

QString ledRuns(const QList<int> &leds)
{
    QStringList runs;
    for (qsizetype i = 0; i < leds.size() && runs.size() < 5;) {
        qsizetype j = i;
        while (j + 1 < leds.size() && leds[j + 1] == leds[j] + 1)
            ++j;
        runs.append(i == j ? QString::number(leds[i]) : QString("%1–%2").arg(leds[i]).arg(leds[j]));
        i = j + 1;
    }
    return runs.join(", ");
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

CellLattice CellLattice::forLayout(const QList<QPointF> &leds, const std::optional<GridHandles> &grid, qint64 maxCells)
{
    if (grid) {
        if (auto lattice = fromGridPositions(leds, *grid, maxCells))
            return *lattice;
    }
    CellLattice lattice = fromSpacing(leds, maxCells);
    if (grid)
        lattice.m_notes.prepend(QString("the grid's half steps do not give every LED its own cell within %1 cells; "
                                        "using a square lattice instead").arg(maxCells));
    return lattice;
}

std::optional<CellLattice> CellLattice::fromGridPositions(const QList<QPointF> &leds, const GridHandles &grid,
                                                          qint64 maxCells)
{
    const auto inverse = GridTransform(grid).inverted();
    if (!inverse)
        return std::nullopt;
    const qsizetype n = leds.size();
    QList<QPointF> steps; // grid units
    for (const QPointF &led : leds)
        steps.append(inverse->map(led));
    // Columns run the way the x handle points on screen, rows from the top of the screen down.
    const bool xLeft = grid.xDirection.x() < grid.origin.x();
    const bool yUp = grid.yDirection.y() > grid.origin.y();

    // LEDs off the whole steps, evenly on the straight wire between the LEDs on whole steps
    // before and after them, are what a WLED ledmap leaves unused between rows. When the
    // others' whole steps are the LEDs' most common spacing, such LEDs are set aside and the
    // cells are those steps; otherwise (LEDs laid between the steps on purpose) every LED counts.
    auto onWhole = [&](qsizetype i) {
        return std::abs(steps[i].x() - std::round(steps[i].x())) <= onPoint / 2
            && std::abs(steps[i].y() - std::round(steps[i].y())) <= onPoint / 2;
    };
    QList<bool> wire(n, false);
    QList<qsizetype> previousOn(n, -1);
    for (qsizetype i = 0, last = -1; i < n; ++i) {
        previousOn[i] = last;
        if (onWhole(i))
            last = i;
    }
    bool anyWire = false;
    for (qsizetype i = n - 1, next = -1; i >= 0; --i) {
        if (onWhole(i)) {
            next = i;
            continue;
        }
        const qsizetype a = previousOn[i];
        if (a < 0 || next < 0)
            continue;
        const QPointF expected = steps[a] + (steps[next] - steps[a]) * (double(i - a) / double(next - a));
        wire[i] = chebyshev(expected, steps[i]) <= onPoint / 2;
        anyWire = anyWire || wire[i];
    }
    if (anyWire) {
        // Only when the whole steps the other LEDs use are their common spacing: an evenly
        // spaced strip that meets a whole step now and then has no LEDs to set aside.
        qint64 uStep = 0, vStep = 0;
        std::optional<QPoint> first;
        for (qsizetype i = 0; i < n; ++i) {
            if (wire[i])
                continue;
            const QPoint p(int(std::round(steps[i].x())), int(std::round(steps[i].y())));
            if (!first)
                first = p;
            uStep = std::gcd(uStep, qint64(p.x() - first->x()));
            vStep = std::gcd(vStep, qint64(p.y() - first->y()));
        }
        const qint64 pitch = uStep && vStep ? std::min(uStep, vStep) : std::max<qint64>({uStep, vStep, 1});
        QList<double> spacing;
        const NearestSteps nearest = nearestSteps(steps);
        for (double d : nearest.step)
            if (d != HUGE_VAL)
                spacing.append(d);
        if (!spacing.isEmpty() && double(pitch) <= mostCommonStep(spacing) * 1.02) {
            if (auto lattice = fromSteps(steps, 1, wire, xLeft, yUp, maxCells))
                return lattice;
        }
    }
    const bool allOnHalfSteps = std::all_of(steps.begin(), steps.end(), [](QPointF p) {
        return std::abs(2 * p.x() - roundHalfAway(2 * p.x())) <= onPoint
            && std::abs(2 * p.y() - roundHalfAway(2 * p.y())) <= onPoint;
    });
    if (allOnHalfSteps)
        return fromSteps(steps, 0.5, QList<bool>(n, false), xLeft, yUp, maxCells);
    // LEDs between the grid's points: rounding them to half steps would leave holes in an
    // evenly spaced run, so the cells follow their spacing along the grid's axes.
    QList<QPointF> oriented;
    for (const QPointF &p : steps)
        oriented.append(QPointF(xLeft ? -p.x() : p.x(), yUp ? p.y() : -p.y()));
    CellLattice lattice = fromSpacing(oriented, maxCells, "grid steps");
    if (lattice.fits() && lattice.hidden().isEmpty()) {
        lattice.m_notes = {QString("cells along the grid, following the LEDs' spacing: %1 × %2, %3 grid steps apart")
                               .arg(lattice.m_width).arg(lattice.m_height).arg(lattice.m_pitch, 0, 'g', 4)};
        return lattice;
    }
    return fromSteps(steps, 0.5, QList<bool>(n, false), xLeft, yUp, maxCells);
}

std::optional<CellLattice> CellLattice::fromSteps(const QList<QPointF> &steps, double unit, const QList<bool> &aside,
                                                  bool xLeft, bool yUp, qint64 maxCells)
{
    const qsizetype n = steps.size();
    QList<qint64> us, vs;
    for (qsizetype i = 0; i < n; ++i)
        if (!aside[i]) {
            us.append(roundHalfAway(steps[i].x() / unit));
            vs.append(roundHalfAway(steps[i].y() / unit));
        }
    // Thinned to the steps the LEDs use: LEDs on whole grid steps do not leave every other
    // half step empty.
    auto axis = [](const QList<qint64> &values) {
        qint64 divisor = 0;
        const qint64 low = values.isEmpty() ? 0 : *std::min_element(values.begin(), values.end());
        const qint64 high = values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end());
        for (qint64 v : values)
            divisor = std::gcd(divisor, v - low);
        return std::array<qint64, 3>{low, high, divisor ? divisor : 1};
    };
    // Plain names rather than structured bindings: the lambda below captures them.
    const std::array<qint64, 3> uAxis = axis(us), vAxis = axis(vs);
    const qint64 uLow = uAxis[0], uHigh = uAxis[1], uDivisor = uAxis[2];
    const qint64 vLow = vAxis[0], vHigh = vAxis[1], vDivisor = vAxis[2];
    const double columns = double((uHigh - uLow) / uDivisor) + 1, rows = double((vHigh - vLow) / vDivisor) + 1;
    if (columns * rows > double(maxCells))
        return std::nullopt;
    auto cellOf = [&](QPointF p, bool exact) {
        const double u = exact ? double(roundHalfAway(p.x() / unit)) : p.x() / unit;
        const double v = exact ? double(roundHalfAway(p.y() / unit)) : p.y() / unit;
        const double column = (xLeft ? double(uHigh) - u : u - double(uLow)) / double(uDivisor);
        const double row = (yUp ? double(vHigh) - v : v - double(vLow)) / double(vDivisor);
        return QPoint(int(std::lround(column)), int(std::lround(row)));
    };
    CellLattice lattice;
    lattice.m_fromGrid = true;
    QSet<QPoint> held;
    for (qsizetype i = 0; i < n; ++i) {
        const QPoint cell = aside[i] ? QPoint(-1, -1) : cellOf(steps[i], true);
        lattice.m_cells.append(cell);
        held.insert(cell);
    }
    if (!lattice.settle())
        return std::nullopt;
    // LEDs on the wiring take a free cell they lie in, and otherwise none.
    for (qsizetype i = 0; i < n; ++i) {
        if (!aside[i])
            continue;
        const QPoint cell = cellOf(steps[i], false);
        if (cell.x() >= 0 && cell.y() >= 0 && cell.x() < lattice.m_width && cell.y() < lattice.m_height
            && !held.contains(cell)) {
            lattice.m_cells[i] = cell;
            held.insert(cell);
        } else {
            lattice.m_between.append(int(i));
        }
    }
    lattice.m_notes.append(QString("cells from the grid: %1 × %2").arg(lattice.m_width).arg(lattice.m_height));
    if (!lattice.m_between.isEmpty())
        lattice.m_notes.append(QString("%1 LEDs (%2) lie on the wiring between cells and hold none")
                                   .arg(lattice.m_between.size()).arg(ledRuns(lattice.m_between)));
    return lattice;
}

CellLattice CellLattice::fromSpacing(const QList<QPointF> &leds, qint64 maxCells, const QString &units)
{
    CellLattice lattice;
    lattice.m_units = units;
    const NearestSteps nearest = nearestSteps(leds);
    QList<double> steps;
    for (qsizetype i = 0; i < leds.size(); ++i) {
        if (nearest.step[i] == HUGE_VAL)
            continue;
        steps.append(nearest.step[i]);
        if (lattice.m_closeA < 0 || nearest.step[i] < lattice.m_closest) {
            lattice.m_closest = nearest.step[i];
            lattice.m_closeA = int(std::min<qsizetype>(i, nearest.other[i]));
            lattice.m_closeB = int(std::max<qsizetype>(i, nearest.other[i]));
        }
    }
    if (steps.isEmpty()) {
        // No LED, one, or all on one place: one cell.
        lattice.m_cells = QList<QPoint>(leds.size(), QPoint(0, 0));
        lattice.settle();
        lattice.m_notes.append("one cell: the LEDs lie on one place");
        return lattice;
    }
    const double common = mostCommonStep(steps);
    QList<std::pair<qint64, qint64>> points;
    // Whole fractions of the common step first (a strip with LEDs between its LEDs), then
    // pitches 5 % apart, down to the closest LEDs' distance, which always separates: two
    // LEDs that far apart differ by at least one step on some axis.
    QList<double> pitches;
    for (int k = 1; k <= 8; ++k)
        pitches.append(common / k);
    for (double p = common * 0.95; p > lattice.m_closest && pitches.size() < pitchTries; p *= 0.95)
        pitches.append(p);
    std::sort(pitches.begin(), pitches.end(), std::greater<>());
    pitches.erase(std::remove_if(pitches.begin(), pitches.end(), [&](double p) { return p < lattice.m_closest; }),
                  pitches.end());
    pitches.append(lattice.m_closest);
    for (double pitch : pitches) {
        lattice.m_pitch = pitch;
        points = latticePoints(leds, pitch);
        // LEDs on one place share a cell at any pitch; only the others must be apart.
        QHash<std::pair<qint64, qint64>, int> holder;
        bool separated = true;
        for (qsizetype i = 0; i < leds.size() && separated; ++i) {
            const auto held = holder.constFind(points[i]);
            if (held == holder.constEnd())
                holder.insert(points[i], int(i));
            else if (chebyshev(leds[*held], leds[i]) > samePlace)
                separated = false;
        }
        if (separated)
            break;
    }
    qint64 minColumn = points[0].first, maxColumn = minColumn, minRow = points[0].second, maxRow = minRow;
    for (const auto &[column, row] : points) {
        minColumn = std::min(minColumn, column);
        maxColumn = std::max(maxColumn, column);
        minRow = std::min(minRow, row);
        maxRow = std::max(maxRow, row);
    }
    const double width = double(maxColumn - minColumn) + 1, height = double(maxRow - minRow) + 1;
    if (width * height > double(maxCells)) {
        lattice.m_tooLarge = QString("%1: cells that separate them make a %2 × %3 lattice, %4 cells, more than the %5 "
                                     "allowed; move them apart, lay a grid over the layout, or raise the cell limit "
                                     "(--max-cells %4)")
                                 .arg(lattice.closestLeds())
                                 .arg(width, 0, 'f', 0).arg(height, 0, 'f', 0).arg(width * height, 0, 'f', 0).arg(maxCells);
        lattice.m_width = lattice.m_height = 0;
        return lattice;
    }
    for (const auto &[column, row] : points)
        lattice.m_cells.append(QPoint(int(column - minColumn), int(maxRow - row)));
    lattice.settle();
    lattice.m_notes.append(QString("cells from a square lattice: %1 × %2, %3 %4 apart")
                               .arg(lattice.m_width).arg(lattice.m_height).arg(lattice.m_pitch, 0, 'g', 4).arg(units));
    return lattice;
}

QString CellLattice::closestLeds() const
{
    if (m_closeA < 0)
        return {};
    return QString("LEDs %1 and %2 are %3 %4 apart").arg(m_closeA).arg(m_closeB).arg(m_closest, 0, 'g', 4).arg(m_units);
}

bool CellLattice::settle()
{
    m_width = m_height = 1;
    m_hidden.clear();
    QHash<QPoint, int> seen;
    for (qsizetype i = 0; i < m_cells.size(); ++i) {
        const QPoint c = m_cells[i];
        if (c.x() < 0)
            continue;
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
        if (m_cells[i].x() >= 0)
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
