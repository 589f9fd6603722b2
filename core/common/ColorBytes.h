#pragma once

#include "patterns/framework/PixelPattern.h"

#include <QByteArray>

#include <array>
#include <optional>

class QImage;
class QPointF;

namespace lumora {

/// The two colour encoders of the exports. Each channel is trunc(component × alpha × 255),
/// low eight bits kept, so colours come out premultiplied; a missing colour is black.
/// appendColor: "0x%02X, 0x%02X, 0x%02X,\n"; appendPixel: three bytes r, g, b.
std::array<unsigned char, 3> colorBytes(const std::optional<PixelColor> &color);
void appendColor(QByteArray &text, const std::optional<PixelColor> &color);
void appendPixel(QByteArray &bytes, const std::optional<PixelColor> &color);

/// A pattern colour as the display and the exports take it: each component limited to 0..1,
/// opaque.
PixelColor limitedColor(double r, double g, double b);

/// The picture's pixel under a layout point, with the picture fitted and centred into the
/// 1024 × 768 layout space (y up). None outside the picture. The image must be in
/// QImage::Format_RGBA8888 (see sampleableImage).
std::optional<PixelColor> samplePicture(const QImage &image, QPointF led);
/// The picture converted once into the format samplePicture reads (greyscale and indexed
/// pictures become their RGB colours).
QImage sampleableImage(const QImage &image);

} // namespace lumora
