#pragma once

#include "MapExport.h"

namespace lumora {

/// A C header for FastLED sketches: NUM_LEDS, the LEDs' coordinates, angles and radii as
/// bytes (0–255 over the layout's bounding box, y down) and an XY() lookup over the cell
/// lattice, all const and PROGMEM so it compiles on AVR, ESP8266, ESP32 and ARM alike.
MapExport writeFastLedHeader(const LayoutSnapshot &layout, const QString &name, qint64 maxCells);

} // namespace lumora
