#include "FoldPatterns.h"

#include "DoubleMath.h"
#include "portable/Folds.h"

namespace lumora {

namespace {
using M = DoubleMath;
} // namespace

Color Hexagon::color(const Position &p) const
{
    return frameworkColor(portable::hexagonColor<double, M>(portablePosition(p)));
}

Color Hexagon2::color(const Position &p) const
{
    return frameworkColor(portable::hexagon2Color<double, M>(portablePosition(p)));
}

Upholstery::Upholstery()
{
    s0 *= 0.3;
    s1 *= 0.3;
}

Color Upholstery::color(const Position &p) const
{
    return frameworkColor(portable::upholsteryColor<double, M>(portablePosition(p)));
}

} // namespace lumora
