#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace lumora {

/// The LED map formats of the tools installations are built with. Every format can be
/// exported; canImport() tells which can be read back.
enum class LedMapFormat {
    Wled,       // WLED ledmap.json
    WledGaps,   // WLED 2d-gaps.json
    Pixelblaze, // Pixelblaze pixel map, [[x, y], …]
    FastLed,    // C header for FastLED sketches
    ScreenMap,  // FastLED ScreenMap JSON, version 2
    XModel,     // xLights custom model
    Csv,        // index,x,y,u,v
};

/// Every format, in menu order.
QList<LedMapFormat> ledMapFormats();
/// The command-line name ("wled", "wled-gaps", …).
QString formatName(LedMapFormat format);
/// The format with that command-line name, none when there is none.
std::optional<LedMapFormat> formatNamed(const QString &name);
/// "wled, wled-gaps, …" for usage messages.
QString formatNames(bool importableOnly = false);
/// A menu title ("WLED ledmap.json") and the file name a save panel proposes.
QString formatTitle(LedMapFormat format);
QString suggestedFileName(LedMapFormat format, const QString &documentName);
bool canImport(LedMapFormat format);

} // namespace lumora
