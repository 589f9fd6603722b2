#include "ImagePattern.h"

#include "../framework/PixelPattern.h"

#include <cmath>
#include <cstdint>

namespace lumora {

namespace {

/// Truncates v towards zero into pixel when it has a 64-bit integer part; false for a NaN,
/// an infinity or a value beyond the range, whose conversion would be undefined.
bool toPixel(double v, std::int64_t &pixel)
{
    if (!(std::fabs(v) < 9223372036854775808.0))
        return false;
    pixel = static_cast<std::int64_t>(v);
    return true;
}

} // namespace

Image::Image()
{
    s0 = 1.0;
    s1 = 0.0;
    r1 = 0.0;
    speed = 5.0;
}

Color Image::color(const Position &p) const
{
    const std::shared_ptr<const Bitmap> bitmap = PixelPattern::bitmap();
    if (!bitmap)
        return Color(0, 0, 0);
    const BoundingBox box = PixelPattern::boundingBox();
    const double iw = bitmap->width();
    const double ih = bitmap->height();

    const double sx = ((p.x - box.x) * ih) / box.height;
    const double sy = ((p.y - box.y) * ih) / box.height;
    // fmod, not mod: left of the picture's start the column stays negative and finds no pixel.
    const double u = std::fmod(sx + p.time, iw);
    const double v = sy;
    std::int64_t column = 0;
    std::int64_t row = 0;
    if (!toPixel(u, column) || !toPixel((ih - 1) - v, row))
        return Color(0, 0, 0);

    const auto pixel = bitmap->colorAt(column, row);
    if (!pixel)
        return Color(0, 0, 0);
    return Color(pixel->red * pixel->alpha, pixel->green * pixel->alpha, pixel->blue * pixel->alpha);
}

} // namespace lumora
