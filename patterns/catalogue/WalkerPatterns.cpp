#include "WalkerPatterns.h"

#include "DoubleMath.h"
#include "portable/Walkers.h"

namespace lumora {

namespace {
using M = DoubleMath;
} // namespace

Walker::Walker()
{
    speed = 1.0;
}

Color Walker::color(const Position &p) const
{
    return frameworkColor(portable::walkerColor<double, M>(portablePosition(p)));
}

Walker10::Walker10()
{
    speed = 1.0;
}

Color Walker10::color(const Position &p) const
{
    return frameworkColor(portable::walker10Color<double, M>(portablePosition(p)));
}

Walkern::Walkern()
{
    speed = 1.0;
}

Color Walkern::color(const Position &p) const
{
    return frameworkColor(portable::walkernColor<double, M>(portablePosition(p)));
}

Color Streifen::color(const Position &p) const
{
    return frameworkColor(portable::streifenColor<double, M>(portablePosition(p)));
}

} // namespace lumora
