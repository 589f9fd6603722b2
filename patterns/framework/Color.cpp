#include "Color.h"

#include "Functions.h"

#include <cmath>

namespace lumora {

static double withoutNaN(double v)
{
    return std::isnan(v) ? 0.0 : v;
}

Color::Color(double red, double green, double blue)
    : r(withoutNaN(red)), g(withoutNaN(green)), b(withoutNaN(blue))
{
}

Color Color::fromHsv(double hue, double saturation, double value)
{
    const double S = std::max(0.0, std::min(saturation, 255.0)) / 255.0;
    const double V = std::max(0.0, std::min(value, 255.0)) / 255.0;
    const double h = mod(hue, 360.0) / 60.0;
    const double i = std::floor(h);
    const double f = h - i;
    const double p = V * (1 - S);
    const double q = V * (1 - S * f);
    const double t = V * (1 - S * (1 - f));

    // Stored as they are: this constructor has no NaN step of its own.
    Color c;
    auto set = [&c](double r, double g, double b) { c.r = r; c.g = g; c.b = b; };
    if (i == 0) set(V, t, p);
    else if (i == 1) set(q, V, p);
    else if (i == 2) set(p, V, t);
    else if (i == 3) set(p, q, V);
    else if (i == 4) set(t, p, V);
    else if (i == 5) set(V, p, q);
    else set(0, 0, 0);
    return c;
}

Color Color::normalize() const
{
    const double L = std::sqrt(r * r + g * g + b * b);
    return Color(r / L, g / L, b / L);
}

Color operator*(const Color &c, double k)
{
    return Color(c.r * k, c.g * k, c.b * k);
}

Color operator+(const Color &c, double k)
{
    return Color(c.r + k, c.g + k, c.b + k);
}

} // namespace lumora
