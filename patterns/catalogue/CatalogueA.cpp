#include "CatalogueA.h"

#include "Catalogue.h"

#include <cmath>

namespace lumora {

using std::cos;
using std::sin;
using std::sqrt;

Color AcidTrip::color(const Position &p) const
{
    const double t = p.time;
    const double k = 3 * sqrt(p.x * p.x + p.y * p.y) - t;
    return Color(cos(k * cos(t)), cos(k * sin(0.9 * t)), cos(k * sin(0.991 * t)));
}

QuasiCrystal::QuasiCrystal()
{
    s0 *= 2.5;
    s1 *= 2.5;
}

double QuasiCrystal::postprocess(double v)
{
    const double a = mod(v, 2);
    return a < 1 ? a : 2 - a;
}

Color QuasiCrystal::color(const Position &p) const
{
    const double X = p.x + 20;
    const double Y = p.y + 20;
    double r = 0, g = 0, b = 0;
    for (int i = 1; i <= 9; ++i) {
        const double theta = i * (2 * PI / 10);
        const double N = sqrt(std::fabs(0.5 * cos(X * cos(theta) + Y * sin(theta) + p.time)));
        r += N + 0.5 + 0.2 * i;
        g += N + 1 + 0.4 * i;
        b += N + 1.5 + 0.6 * i;
    }
    return Color(postprocess(r), postprocess(g), postprocess(b));
}

std::vector<PatternFactory> catalogueA()
{
    return {
        makePattern<AcidTrip>,
        makePattern<QuasiCrystal>,
    };
}

} // namespace lumora
