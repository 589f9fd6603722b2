#pragma once

#include "patterns/framework/PixelPattern.h"

namespace lumora {

struct LayoutSnapshot;

/// What the Image pattern samples when a pattern is rendered for this layout on its own:
/// the layout's background picture and its LEDs' bounding box in grid units.
PixelSource patternSources(const LayoutSnapshot &layout);

} // namespace lumora
