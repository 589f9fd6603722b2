#include "PlasmaPatterns.h"

#include "DoubleMath.h"
#include "portable/Plasmas.h"
#include "FrameTerms.h"

#include "../vector/VectorKernels.h"

namespace lumora {

namespace {
using M = DoubleMath;
} // namespace

Color Lava::color(const Position &p) const
{
    return frameworkColor(portable::lavaColor<double, M>(portablePosition(p)));
}

Color Squares::color(const Position &p) const
{
    return frameworkColor(portable::squaresColor<double, M>(portablePosition(p)));
}

Color Fiver::color(const Position &p) const
{
    return frameworkColor(portable::fiverColor<double, M>(portablePosition(p)));
}

QuasiCrystal::QuasiCrystal()
{
    s0 *= 2.5;
    s1 *= 2.5;
}

Color QuasiCrystal::color(const Position &p) const
{
    return frameworkColor(portable::quasiCrystalColor<double, M>(portablePosition(p)));
}

Color Checkered::color(const Position &p) const
{
    return frameworkColor(portable::checkeredColor<double, M>(portablePosition(p)));
}

Clouds::Clouds()
{
    s0 *= 10;
    s1 *= 10;
    speed *= 2;
}

Color Clouds::color(const Position &p) const
{
    return frameworkColor(portable::cloudsColor<double, M>(portablePosition(p)));
}

Grid::Grid()
{
    speed = 0.01;
}

Color Grid::color(const Position &p) const
{
    return frameworkColor(portable::gridColor<double, M>(portablePosition(p)));
}

GridPattern::GridPattern()
{
    speed = 0.01;
}

Color GridPattern::color(const Position &p) const
{
    return frameworkColor(portable::gridPatternColor<double, M>(portablePosition(p)));
}

Color Oil::color(const Position &p) const
{
    return frameworkColor(portable::oilColor<double, M>(portablePosition(p)));
}

void Oil::colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const
{
    if (!vectorColors(&VectorKernels::oil, time, time, positions, out))
        colors(time, positions, out);
}

Color OilSpiral::color(const Position &p) const
{
    const auto terms = portable::oilSpiralTerms<double, M>(p.time);
    return frameworkColor(portable::oilSpiralColor<double, M>(portablePosition(p), terms));
}

void OilSpiral::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const auto terms = portable::oilSpiralTerms<double, M>(time);
    eachPosition(time, positions, out, [&](const Position &p) {
        return frameworkColor(portable::oilSpiralColor<double, M>(portablePosition(p), terms));
    });
}

void OilSpiral::colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const
{
    if (!vectorColors(&VectorKernels::oilSpiral, oilSpiralLayers(time), time, positions, out))
        colors(time, positions, out);
}

Color Thingi::color(const Position &p) const
{
    return frameworkColor(portable::thingiColor<double, M>(portablePosition(p)));
}

double Thingi::curve(double a, double time)
{
    return portable::thingiCurve<double, M>(a, time);
}

} // namespace lumora
