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
/// going down). With a complete grid the cells are the document's positions table (half
/// grid steps, thinned to the rows and columns LEDs can occupy); otherwise, or when the grid
/// cannot separate the LEDs within 255 × 255, they come from the smallest square lattice over
/// the layout on which no two LEDs share a cell.
class CellLattice {
public:
    static constexpr int maxSide = 255;

    static CellLattice forLayout(const QList<QPointF> &leds, const std::optional<GridHandles> &grid);

    int width() const { return m_width; }
    int height() const { return m_height; }
    /// Each LED's cell (column, row), in LED order.
    const QList<QPoint> &cells() const { return m_cells; }
    /// width × height entries, row by row from the top: the LED in that cell (the first in
    /// LED order where several share it), -1 where there is none.
    QList<int> owners() const;
    /// The LEDs that share a cell with an earlier LED and so are missing from owners().
    const QList<int> &hidden() const { return m_hidden; }
    /// "LEDs 3 and 7 share cell (4, 2)", one line per shared cell (at most a few).
    QStringList sharingMessages() const;
    /// How the cells were chosen, for the user ("grid: 16 × 16 cells" and the like).
    const QStringList &notes() const { return m_notes; }
    bool fromGrid() const { return m_fromGrid; }
    /// The layout distance between neighbouring lattice points (0 with a grid).
    double pitch() const { return m_pitch; }

private:
    static std::optional<CellLattice> fromGridPositions(const QList<QPointF> &leds, const GridHandles &grid);
    static CellLattice fromSquareLattice(const QList<QPointF> &leds);
    /// Fills width, height and hidden from the cells; false when two LEDs share a cell.
    bool settle();

    int m_width = 0;
    int m_height = 0;
    QList<QPoint> m_cells;
    QList<int> m_hidden;
    QStringList m_notes;
    bool m_fromGrid = false;
    double m_pitch = 0;
};

} // namespace lumora
