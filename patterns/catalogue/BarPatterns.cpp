#include "BarPatterns.h"

#include "DoubleMath.h"
#include "portable/Bars.h"

namespace lumora {

namespace {
using M = DoubleMath;
} // namespace

Color Beams::color(const Position &p) const
{
    return frameworkColor(portable::beamsColor<double, M>(portablePosition(p)));
}

Color Bars::color(const Position &p) const
{
    return frameworkColor(portable::barsColor<double, M>(portablePosition(p), barsize));
}

Color WaveBars::color(const Position &p) const
{
    return frameworkColor(portable::waveBarsColor<double, M>(portablePosition(p), barsize()));
}

Color RotatingBars::color(const Position &p) const
{
    return frameworkColor(portable::rotatingBarsColor<double, M>(portablePosition(p), barsize));
}

DualScan::DualScan()
{
    r1 = 0;
    speed = 0.1;
}

Color DualScan::color(const Position &p) const
{
    return frameworkColor(portable::dualScanColor<double, M>(portablePosition(p), barsize));
}

Sweeplet::Sweeplet()
{
    r1 = 0.0;
    speed = 0.05;
}

Color Sweeplet::color(const Position &p) const
{
    return frameworkColor(portable::sweepletColor<double, M>(portablePosition(p)));
}

} // namespace lumora
