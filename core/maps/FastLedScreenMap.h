#pragma once

#include "MapExport.h"

namespace lumora {

/// FastLED's ScreenMap JSON, version 2: one segment named after the document with the LEDs'
/// x and y in layout units (origin top-left, y down) and the diameter of an LED disc.
MapExport writeScreenMap(const LayoutSnapshot &layout, const QString &name);

} // namespace lumora
