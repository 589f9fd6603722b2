#pragma once

#include "document/GridTransform.h"

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QStringList>

#include <QRectF>

#include <optional>

namespace lumora {

/// The smallest rectangle holding the points (zero-sized for one point, empty for none).
QRectF pointSpread(const QList<QPointF> &points);

/// Integer cells for the formats that address LEDs by column and row (origin top-left, rows
/// going down). With a complete grid and every LED on its half steps the cells are the
/// document's positions table (half grid steps, thinned to the rows and columns LEDs can
/// occupy); with LEDs between the grid's points the lattice below is laid along the grid's
/// axes. Without a grid, or when the grid cannot separate the LEDs within the cell limit,
/// they come from a square lattice that
/// follows the LEDs' own spacing: its pitch is their most common nearest-neighbour step
/// (divided until no two LEDs share a cell) and its phase puts the LEDs on lattice points,
/// so an evenly spaced run fills consecutive cells.
///
/// With a grid whose LEDs are most often a whole step apart, an LED off the whole steps
/// that lies evenly on the straight wire between the LEDs on whole steps before and after
/// it (as the LEDs a WLED ledmap leaves unused between rows) takes the cell it lies in only
/// when no other LED holds it; otherwise it has no cell.
class CellLattice {
public:
    /// WLED's limit for 2d-gaps.json, and the default for every format.
    static constexpr qint64 defaultMaxCells = 16384;

    static CellLattice forLayout(const QList<QPointF> &leds, const std::optional<GridHandles> &grid,
                                 qint64 maxCells = defaultMaxCells);

    int width() const { return m_width; }
    int height() const { return m_height; }
    qint64 cellCount() const { return qint64(m_width) * m_height; }
    /// Each LED's cell (column, row), in LED order; (-1, -1) for an LED between cells.
    const QList<QPoint> &cells() const { return m_cells; }
    /// width × height entries, row by row from the top: the LED in that cell (the first in
    /// LED order where several share it), -1 where there is none.
    QList<int> owners() const;
    /// The LEDs that share a cell with an earlier LED and so are missing from owners().
    const QList<int> &hidden() const { return m_hidden; }
    /// The LEDs on the wiring between cells, which hold no cell (ascending).
    const QList<int> &betweenCells() const { return m_between; }
    /// "LEDs 3 and 7 share cell (4, 2)", one line per shared cell (at most a few).
    QStringList sharingMessages() const;
    /// How the cells were chosen, for the user ("grid: 16 × 16 cells" and the like).
    const QStringList &notes() const { return m_notes; }
    bool fromGrid() const { return m_fromGrid; }
    /// The layout distance between neighbouring lattice points (0 with a grid).
    double pitch() const { return m_pitch; }
    /// Empty when the lattice keeps within the cell limit; else which LEDs are too close,
    /// the lattice they need and what to do. No cells are given then.
    const QString &tooLarge() const { return m_tooLarge; }
    bool fits() const { return m_tooLarge.isEmpty(); }

    /// "LEDs 2 and 5 are 3 layout units apart", the two LEDs that set the lattice's pitch;
    /// empty for cells from the grid.
    QString closestLeds() const;

private:
    static std::optional<CellLattice> fromGridPositions(const QList<QPointF> &leds, const GridHandles &grid,
                                                        qint64 maxCells);
    /// Cells at multiples of `unit` grid steps; LEDs `aside` take a free cell or none.
    static std::optional<CellLattice> fromSteps(const QList<QPointF> &steps, double unit, const QList<bool> &aside,
                                                bool xLeft, bool yUp, qint64 maxCells);
    /// The square lattice following the spacing of the points (y up), measured in `units`.
    static CellLattice fromSpacing(const QList<QPointF> &leds, qint64 maxCells, const QString &units = "layout units");
    /// Fills width, height and hidden from the cells; false when two LEDs share a cell.
    bool settle();

    int m_width = 0;
    int m_height = 0;
    QList<QPoint> m_cells;
    QList<int> m_hidden;
    QList<int> m_between;
    QStringList m_notes;
    bool m_fromGrid = false;
    double m_pitch = 0;
    QString m_tooLarge;
    QString m_units;
    // The two closest LEDs and how far apart they are, for messages.
    int m_closeA = -1;
    int m_closeB = -1;
    double m_closest = 0;
};

} // namespace lumora
