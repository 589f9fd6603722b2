#include "RingPatterns.h"

#include "DoubleMath.h"
#include "portable/Rings.h"

namespace lumora {

namespace {
using M = DoubleMath;
} // namespace

Color DoubleRings::color(const Position &p) const
{
    return frameworkColor(portable::doubleRingsColor<double, M>(portablePosition(p)));
}

Color Rings::color(const Position &p) const
{
    return frameworkColor(portable::ringsColor<double, M>(portablePosition(p)));
}

Color Ringel::color(const Position &p) const
{
    return frameworkColor(portable::ringelColor<double, M>(portablePosition(p)));
}

Color AcidTrip::color(const Position &p) const
{
    return frameworkColor(portable::acidTripColor<double, M>(portablePosition(p)));
}

Color Colors::color(const Position &p) const
{
    return frameworkColor(portable::colorsColor<double, M>(portablePosition(p)));
}

Color Colors2::color(const Position &p) const
{
    return frameworkColor(portable::colors2Color<double, M>(portablePosition(p)));
}

Lumora::Lumora()
{
    s0 = 0.007;
    s1 = 0.002;
    speed = 0.002;
}

Color Lumora::color(const Position &p) const
{
    return frameworkColor(portable::lumoraColor<double, M>(portablePosition(p)));
}

Interference::Interference()
{
    s0 *= 10;
    s1 *= 2;
    speed = 0.01;
}

Color Interference::color(const Position &p) const
{
    return frameworkColor(portable::interferenceColor<double, M>(portablePosition(p)));
}

Psychedelic::Psychedelic()
{
    s0 *= 0.2;
    s1 *= 0.2;
}

Color Psychedelic::color(const Position &p) const
{
    return frameworkColor(portable::psychedelicColor<double, M>(portablePosition(p)));
}

Color Squiggle::color(const Position &p) const
{
    return frameworkColor(portable::squiggleColor<double, M>(portablePosition(p)));
}

} // namespace lumora
