#include "ScenePatterns.h"

#include "DoubleMath.h"
#include "portable/Scenes.h"
#include "FrameTerms.h"

namespace lumora {

namespace {
using M = DoubleMath;
} // namespace

Floor::Floor()
{
    r1 = 0;
    speed *= 2.5;
}

Color Floor::color(const Position &p) const
{
    return frameworkColor(portable::floorColor<double, M>(portablePosition(p)));
}

Tunnel::Tunnel()
{
    r1 = 0.0;
    s0 = 0.08;
    s1 = 0.0;
    speed = 0.05;
}

Color Tunnel::color(const Position &p) const
{
    const auto terms = portable::tunnelTerms<double, M>(p.time);
    return frameworkColor(portable::tunnelColor<double, M>(portablePosition(p), terms));
}

void Tunnel::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const auto terms = portable::tunnelTerms<double, M>(time);
    eachPosition(time, positions, out, [&](const Position &p) {
        return frameworkColor(portable::tunnelColor<double, M>(portablePosition(p), terms));
    });
}

Color Tunnel2::color(const Position &p) const
{
    return frameworkColor(portable::tunnel2Color<double, M>(portablePosition(p)));
}

Color Neon::color(const Position &p) const
{
    return frameworkColor(portable::neonColor<double, M>(portablePosition(p), MAXITER));
}

} // namespace lumora
