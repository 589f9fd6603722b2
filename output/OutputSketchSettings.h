#pragma once

#include "OutputSettings.h"
#include "codegen/SketchWriter.h"

namespace lumora {

/// The sketch constants (colour order, brightness, gamma, current limit) from how the
/// document's LEDs are driven live, so a sketch lights them the same way.
SketchSettings sketchSettings(const OutputSettings &output);

} // namespace lumora
