#pragma once

#include "ColorSource.h"

namespace lumora {

/// The background picture's colour under each LED (Colors mode and the picture exports):
/// the picture fitted and centred into the layout space; black outside it or without one.
class PictureColorSource : public ColorSource {
public:
    void colors(const FrameContext &context, std::span<PixelColor> out) override;
};

} // namespace lumora
