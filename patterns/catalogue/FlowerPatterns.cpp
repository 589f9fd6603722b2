#include "FlowerPatterns.h"

#include "DoubleMath.h"
#include "portable/Flowers.h"

namespace lumora {

namespace {
using M = DoubleMath;
} // namespace

Color Heart::color(const Position &p) const
{
    return frameworkColor(portable::heartColor<double, M>(portablePosition(p)));
}

Rose::Rose()
{
    s1 = 0.025;
}

Color Rose::color(const Position &p) const
{
    return frameworkColor(portable::roseColor<double, M>(portablePosition(p)));
}

Flower::Flower()
{
    s0 = 0.05;
    s1 = 0.025;
    speed = 0.01;
}

Color Flower::color(const Position &p) const
{
    return frameworkColor(portable::flowerColor<double, M>(portablePosition(p)));
}

Flower2::Flower2()
{
    s0 = 0.1;
    s1 = 0.025;
}

Color Flower2::color(const Position &p) const
{
    return frameworkColor(portable::flower2Color<double, M>(portablePosition(p)));
}

Flower3::Flower3()
{
    s0 = 0.1;
    s1 = 0.1025;
}

Color Flower3::color(const Position &p) const
{
    return frameworkColor(portable::flower3Color<double, M>(portablePosition(p)));
}

} // namespace lumora
