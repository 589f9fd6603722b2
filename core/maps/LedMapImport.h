#pragma once

#include "LedMapFormat.h"

#include "document/GridTransform.h"

#include <QByteArray>
#include <QList>
#include <QPointF>
#include <QStringList>

#include <optional>

namespace lumora {

/// LEDs read from another tool's map, ready to become a layout: positions in layout
/// coordinates (1024 × 768, y up) in LED order. Maps made of cells (WLED, xLights) also
/// propose a grid with one step per cell. With an error nothing was imported.
///
/// LED k of the import is LED k of the map: numbers the map skips become LEDs placed on
/// the wiring between their known neighbours (`filled`), for the user to check.
struct LedMapImport {
    QList<QPointF> leds;
    std::optional<GridHandles> grid;
    std::optional<LedMapFormat> format;
    QStringList warnings;
    QString error;
    /// The LEDs the map does not place, ascending: filled in evenly on the straight line
    /// between the nearest placed LEDs before and after, or before the first one by
    /// continuing the step of the first two.
    QList<qsizetype> filled;
    /// One line per run of filled LEDs ("LEDs 21–22, between LEDs 20 and 23").
    QStringList filledRuns;
    /// What was done about skipped numbers, for the user; empty when the map skips none.
    QString gapNote;

    bool ok() const { return error.isEmpty(); }
    /// Removes the filled LEDs, so the LEDs after a gap move up to close it (LED k is then
    /// the k-th LED the map places).
    void closeGaps();
};

/// The format a map's content is in: XML is xLights, a JSON object WLED, a JSON array
/// Pixelblaze, anything else CSV. None for an empty file.
std::optional<LedMapFormat> detectLedMapFormat(const QByteArray &data);

/// Reads a map (in the given format, or the one its content shows) and fits it into the
/// layout space: centred, aspect kept, y turned up where the source points it down.
/// Positions already in layout units that lie in the layout space stay where they are, so a
/// CSV or Pixelblaze export reads back unchanged. flipY turns the source's y axis over
/// (for CSV written with y down).
LedMapImport importLedMap(const QByteArray &data, std::optional<LedMapFormat> format = std::nullopt,
                          bool flipY = false);
/// The same for a file; a file that cannot be read is an error.
LedMapImport importLedMapFile(const QString &fileName, std::optional<LedMapFormat> format = std::nullopt,
                              bool flipY = false);

} // namespace lumora
