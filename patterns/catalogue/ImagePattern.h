#pragma once

// The one pattern that samples a picture rather than computing a formula, so it stays on the
// desktop: a microcontroller has no picture to read.

#include "../framework/ColorPattern.h"

namespace lumora {

/// Scrolls the bitmap of PixelPattern across the LED layout, premultiplied by its alpha.
/// Black when there is no bitmap or the computed pixel lies outside it. Black as well when
/// the pixel's column or row is not a number or beyond the 64-bit integer range (a bounding
/// box of zero height, a picture of zero width, far-off positions): such values have no
/// integer pixel and are never converted.
class Image : public ColorPattern {
    LUMORA_PATTERN(Image)
    Image();
    Color color(const Position &p) const override;
};

} // namespace lumora
