#include "ColorBytes.h"

#include <QImage>
#include <QPointF>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lumora {

namespace {

unsigned char channel(double component, double k)
{
    const double v = component * k;
    // Components lie in 0..1 on every path; anything else is kept finite and in range of
    // the 32-bit conversion instead of being undefined.
    if (!(v > -2147483648.0 && v < 2147483648.0))
        return 0;
    return static_cast<unsigned char>(static_cast<qint32>(v) & 0xFF);
}

double limit(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

} // namespace

std::array<unsigned char, 3> colorBytes(const std::optional<PixelColor> &color)
{
    if (!color)
        return {0, 0, 0};
    const double k = color->alpha * 255;
    return {channel(color->red, k), channel(color->green, k), channel(color->blue, k)};
}

void appendColor(QByteArray &text, const std::optional<PixelColor> &color)
{
    const auto b = colorBytes(color);
    char line[32];
    const int n = std::snprintf(line, sizeof line, "0x%02X, 0x%02X, 0x%02X,\n", b[0], b[1], b[2]);
    text.append(line, n);
}

void appendPixel(QByteArray &bytes, const std::optional<PixelColor> &color)
{
    const auto b = colorBytes(color);
    bytes.append(reinterpret_cast<const char *>(b.data()), 3);
}

PixelColor limitedColor(double r, double g, double b)
{
    return {limit(r), limit(g), limit(b), 1};
}

QImage sampleableImage(const QImage &image)
{
    return image.format() == QImage::Format_RGBA8888 ? image : image.convertToFormat(QImage::Format_RGBA8888);
}

std::optional<PixelColor> samplePicture(const QImage &image, QPointF led)
{
    const double w = image.width(), h = image.height();
    if (w <= 0 || h <= 0)
        return std::nullopt;
    const double s = std::min(1024 / w, 768 / h);
    const double column = std::trunc(w * 0.5 + (led.x() - 512) / s);
    const double row = std::trunc(h * 0.5 - (led.y() - 384) / s);
    if (!(column >= 0 && column < w && row >= 0 && row < h))
        return std::nullopt;
    const uchar *pixel = image.constScanLine(int(row)) + 4 * int(column);
    return PixelColor{pixel[0] / 255.0, pixel[1] / 255.0, pixel[2] / 255.0, pixel[3] / 255.0};
}

} // namespace lumora
