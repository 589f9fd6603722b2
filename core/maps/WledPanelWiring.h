#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace lumora {

/// One of the 16 ways WLED's 2D set-up wires a panel: the corner of the first LED, rows or
/// columns, and whether every other row runs back. WLED numbers the cells along it.
struct WledPanelWiring {
    bool bottomStart = false;
    bool rightStart = false;
    bool vertical = false;
    bool serpentine = false;

    /// Every wiring, the plainest first (top-left, horizontal, not serpentine).
    static QList<WledPanelWiring> all();
    /// The cells (y·width + x, origin top-left) in the order WLED numbers them.
    QList<int> order(int width, int height) const;
    /// "top-left, horizontal, serpentine", as WLED's settings page offers the choices.
    QString name() const;
};

/// Which wiring numbers the occupied cells of `owners` (width × height, the LED in each
/// cell or -1) as the LEDs 0, 1, 2, … in turn, covering all `ledCount` LEDs.
struct WiringMatch {
    std::optional<WledPanelWiring> wiring;
    /// Without a match: the wiring that follows the order longest, the first LED out of
    /// order under it (or the first LED without a cell) and the cell where it went wrong.
    WledPanelWiring closest;
    int outOfOrder = -1;
    int expected = -1;
    int cell = -1;
};

WiringMatch findWledWiring(const QList<int> &owners, int width, int height, qsizetype ledCount);

} // namespace lumora
