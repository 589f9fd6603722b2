#pragma once

#include "ColorSource.h"

namespace lumora {

/// The editing modes' colours: the marked LEDs red, the others black.
class MarkingColorSource : public ColorSource {
public:
    void colors(const FrameContext &context, std::span<PixelColor> out) override;
};

} // namespace lumora
