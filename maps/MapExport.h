#pragma once

#include "LedMapFormat.h"

#include "document/LayoutSnapshot.h"

#include <QByteArray>
#include <QStringList>

namespace lumora {

/// One map export: the file's bytes, what the format could not represent (LEDs missing from
/// the file: data lost) and notes on how it was made (data kept).
struct MapExport {
    QByteArray bytes;
    QStringList lost;
    QStringList notes;

    bool lossless() const { return lost.isEmpty(); }
};

/// The layout in the given format. `name` is the document's name (WLED's "n", the ScreenMap
/// segment and the xLights model name).
MapExport exportLedMap(LedMapFormat format, const LayoutSnapshot &layout, const QString &name);

/// exportLedMap written atomically to fileName. False, with a message, when the file could
/// not be written; the export (with its losses) is returned either way.
bool saveLedMap(LedMapFormat format, const LayoutSnapshot &layout, const QString &name,
                const QString &fileName, MapExport *result, QString *error = nullptr);

} // namespace lumora
