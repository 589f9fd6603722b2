#include "CatalogueF.h"

#include "Catalogue.h"
#include "FrameTerms.h"

#include "../vector/VectorKernels.h"

#include "../framework/PixelPattern.h"

#include <cmath>
#include <cstdint>

namespace lumora {

using std::cos;
using std::sin;
using std::sqrt;

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

Color Colors::color(const Position &p) const
{
    const double t = p.time;
    const Vec2 c{cos(t), cos(0.535 * t)};
    const double h = distance(c, Vec2{p.x, p.y});
    const Vec2 v{cos(64 * h), sin(64 * h)};
    const Vec2 n = normalize(v);
    return Color(n.x * n.x, n.x * n.y, n.x - n.y);
}

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

Psychedelic::Psychedelic()
{
    s0 *= 0.2;
    s1 *= 0.2;
}

Color Psychedelic::color(const Position &p) const
{
    const double t = p.time;
    const Vec2 centres[4] = {
        {cos(t), cos(0.535 * t)},
        {cos(0.259 * t), cos(0.605 * t)},
        {cos(0.346 * t), cos(0.263 * t)},
        {cos(0.1346 * t), cos(0.1263 * t)},
    };
    const double f = (sin(0.1 * t) + 1.2) * 64;
    const Vec2 q{p.x, p.y};
    Vec2 S{0, 0};
    for (const Vec2 &c : centres) {
        const double d = distance(c, q);
        S = S + Vec2{cos(d * f), sin(d * f)};
    }
    const double L = length(S) * 0.25;
    const Vec2 n = normalize(S);
    const double a1 = L * n.x;
    const double a2 = L * n.y;
    const double a3 = L * (-n.x - n.y);
    return Color(cos(3 * a1 + 0.5) + sin(2 * a1),
                 cos(3 * a2 + 0.5) + sin(2 * a2),
                 cos(3 * a3 + 0.5) + sin(2 * a3));
}

Wiggle::Wiggle()
{
    s0 *= 0.2;
    s1 *= 0.2;
}

Color Wiggle::color(const Position &p) const
{
    const double t = p.time;
    const double a = std::atan2(p.y, p.x);
    const double r = sqrt(p.x * p.x + p.y * p.y);
    const double d = sin(5 * a + 3 * sin(r - t) - t);
    return Color(cos(5 * p.x - t) * d, cos(5 * p.y - t) * d, (0.5 + 0.5 * cos(t)) * d);
}

Color Streifen::color(const Position &p) const
{
    const double t = p.time;
    const double hue = mod(static_cast<double>(p.index) * t + t, 100) * 3.6;
    return Color::fromHsv(hue, 255, 255);
}

Glow::Glow()
{
    s0 *= 0.125;
    s1 *= 0.125;
}

/// Glow at one LED, its sparks already placed for the LED's time.
static Color glowAt(const Position &p, const GlowSparks &sparks)
{
    double A = 0;
    double B = 0;
    double C = 0;
    double W = 0;
    for (int i = 0; i < kSparkCount; ++i) {
        const double a = sparks.a[i];
        const double b = sparks.b[i];
        const double d1 = fract(p.x - sparks.py[i]) - 0.5;
        const double d2 = fract(p.y - sparks.px[i]) - 0.5;
        const double s = sparks.s[i];
        const double w = (0.5 - std::fabs(d1)) * (0.5 - std::fabs(d2)) / (d1 * d1 + d2 * d2);
        const double g = 250 * (d1 * b + d2 * a);
        A += cos(g) * w;
        B += 0.5 * sin(g) * w;
        C += s * sqrt(w);
        W += w;
    }
    const double m = sqrt(A * A + B * B) / W;
    const double c = std::atan(0.1 * C) / 1.571;
    return Color(m * sqrt(1 + c) * 0.5, m - 0.5, m * sqrt(1 - c) * 0.7);
}

Color Glow::color(const Position &p) const
{
    return glowAt(p, glowSparks(0.1 * p.time));
}

void Glow::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const GlowSparks sparks = glowSparks(0.1 * time);
    eachPosition(time, positions, out, [&](const Position &p) { return glowAt(p, sparks); });
}

void Glow::colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const
{
    if (!vectorColors(&VectorKernels::glow, glowSparks(0.1 * time), time, positions, out))
        colors(time, positions, out);
}

/// OilSpiral at one LED, its layers already set up for the LED's time.
static Color oilSpiralAt(const Position &p, const OilSpiralLayers &layers)
{
    const double t = layers.t;
    Vec2 q{p.x, p.y};
    for (int k = 0; k < kOilSpiralLayers; ++k) {
        const double i = layers.i[k];
        // Each layer reads the position itself, not the running sum.
        q.x += layers.share[k] * sin(i * p.y + t + layers.phase[k]);
        q.y += layers.amplitude[k] * cos(i * p.x + layers.t101 + layers.shift[k]);
    }
    return Color(sin(q.x * PI + layers.t09) + 0.2, sin(q.y * PI + t) + 0.2, 0.2 + sin(q.x + q.y + layers.t098));
}

Color OilSpiral::color(const Position &p) const
{
    return oilSpiralAt(p, oilSpiralLayers(p.time));
}

void OilSpiral::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const OilSpiralLayers layers = oilSpiralLayers(time);
    eachPosition(time, positions, out, [&](const Position &p) { return oilSpiralAt(p, layers); });
}

void OilSpiral::colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const
{
    if (!vectorColors(&VectorKernels::oilSpiral, oilSpiralLayers(time), time, positions, out))
        colors(time, positions, out);
}

Color Squiggle::color(const Position &p) const
{
    const double t = p.time;
    const double g = sqrt(p.x * p.x + p.y * p.y) + 0.75 * sin(2 * p.y + 0.8 * t) * sin(2 * p.x + 0.5 * t);
    return Color(sin(2.9 * g - t + 0.3 * p.y), sin(2.73 * g - 1.021 * t), sin(2.8 * g - 1.01 * t + 0.1 * p.x));
}

double Squares::squares(double t, double x, double y, double modifier, double uniformity)
{
    return std::pow(sin(sin(x + t * modifier) + sin(y + 0.99 * t * modifier)), uniformity);
}

Color Squares::color(const Position &p) const
{
    const double t = p.time;
    return Color(squares(t, p.x, p.y, 2, 0.1), squares(t, p.x, p.y, 3, 0.2), squares(t, p.x, p.y, 5, 0.3));
}

std::vector<PatternFactory> catalogueF()
{
    return {
        makePattern<Colors>,
        makePattern<Image>,
        makePattern<Psychedelic>,
        makePattern<Wiggle>,
        makePattern<Streifen>,
        makePattern<Glow>,
        makePattern<OilSpiral>,
        makePattern<Squiggle>,
        makePattern<Squares>,
    };
}

} // namespace lumora
