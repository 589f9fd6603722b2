#pragma once

#include "FrameContext.h"

#include "patterns/framework/PixelPattern.h"

#include <QByteArray>

#include <span>

namespace lumora {

/// Where LED colours come from: given a frame context, one colour per LED in LED order. The
/// editor's preview, the live output, `lumora-cli play` and the pattern export all read their
/// colours from a source, so that they agree to the byte.
class ColorSource {
public:
    virtual ~ColorSource() = default;

    /// Fills `out` (as long as the context's LEDs) with each LED's colour as doubles, as the
    /// source gives them: components nominally in 0..1 but not limited, alpha below 1 only
    /// where a picture is transparent.
    virtual void colors(const FrameContext &context, std::span<PixelColor> out) = 0;

    /// The same frame as three bytes r, g, b per LED, encoded as the exports encode colours.
    QByteArray bytes(const FrameContext &context);

    /// Colours as the exports encode them: each component limited to 0..1, premultiplied.
    static void toBytes(std::span<const PixelColor> colors, char *out);
    static QByteArray toBytes(std::span<const PixelColor> colors);
};

} // namespace lumora
