#include "SpiralPatterns.h"

#include "DoubleMath.h"
#include "portable/Spirals.h"

namespace lumora {

namespace {
using M = DoubleMath;
} // namespace

Jelly::Jelly()
{
    s0 *= 0.3;
    s1 *= 0.3;
}

Color Jelly::color(const Position &p) const
{
    return frameworkColor(portable::jellyColor<double, M>(portablePosition(p)));
}

Spirale2::Spirale2()
{
    speed = 3.6;
}

Color Spirale2::color(const Position &p) const
{
    return frameworkColor(portable::spirale2Color<double, M>(portablePosition(p)));
}

Spirale3::Spirale3()
{
    r1 = 0;
    s0 = 0.02;
    s1 = 0;
    speed = 0.02;
}

Color Spirale3::color(const Position &p) const
{
    return frameworkColor(portable::spirale3Color<double, M>(portablePosition(p)));
}

double Spirale3::rampChannel(double v)
{
    return portable::spirale3Ramp<double, M>(v);
}

Spirale4::Spirale4()
{
    s0 *= 0.3;
    s1 *= 0.3;
}

Color Spirale4::color(const Position &p) const
{
    return frameworkColor(portable::spirale4Color<double, M>(portablePosition(p)));
}

Color DoubleSpirals::color(const Position &p) const
{
    return frameworkColor(portable::doubleSpiralsColor<double, M>(portablePosition(p)));
}

Wiggling::Wiggling()
{
    s0 *= 0.2;
    s1 *= 0.2;
}

Color Wiggling::color(const Position &p) const
{
    return frameworkColor(portable::wigglingColor<double, M>(portablePosition(p)));
}

Wiggle::Wiggle()
{
    s0 *= 0.2;
    s1 *= 0.2;
}

Color Wiggle::color(const Position &p) const
{
    return frameworkColor(portable::wiggleColor<double, M>(portablePosition(p)));
}

Leadlight::Leadlight()
{
    s0 *= 0.03;
    s1 *= 0.03;
}

Color Leadlight::color(const Position &p) const
{
    return frameworkColor(portable::leadlightColor<double, M>(portablePosition(p)));
}

Eggs::Eggs()
{
    s0 *= 6;
    s1 *= 6;
}

Color Eggs::color(const Position &p) const
{
    return frameworkColor(portable::eggsColor<double, M>(portablePosition(p)));
}

StarField2::StarField2()
{
    s0 *= 10;
    s1 *= 10;
    speed = 0.025;
}

Color StarField2::color(const Position &p) const
{
    return frameworkColor(portable::starField2Color<double, M>(portablePosition(p)));
}

} // namespace lumora
