#pragma once

#include "CellLattice.h"
#include "LedMapFormat.h"

#include "document/LayoutSnapshot.h"

#include <QByteArray>
#include <QStringList>

namespace lumora {

/// One map export: the file's bytes, what the format could not represent (LEDs missing from
/// the file: data lost) and notes on how it was made (data kept). With an error the map
/// could not be made at all (the cells would not fit, or the format cannot carry the LED
/// order): it says why and what to do, and nothing is to be written.
struct MapExport {
    QByteArray bytes;
    QStringList lost;
    QStringList notes;
    QString error;

    bool ok() const { return error.isEmpty(); }
    bool lossless() const { return lost.isEmpty(); }
};

/// The layout in the given format. `name` is the document's name (WLED's "n", the ScreenMap
/// segment and the xLights model name). Formats made of cells use at most maxCells.
MapExport exportLedMap(LedMapFormat format, const LayoutSnapshot &layout, const QString &name,
                       qint64 maxCells = CellLattice::defaultMaxCells);

/// exportLedMap written atomically to fileName. False, with a message, when the map could
/// not be made (nothing is written) or the file could not be written; the export (with its
/// losses) is returned either way.
bool saveLedMap(LedMapFormat format, const LayoutSnapshot &layout, const QString &name,
                const QString &fileName, MapExport *result, QString *error = nullptr,
                qint64 maxCells = CellLattice::defaultMaxCells);

} // namespace lumora
