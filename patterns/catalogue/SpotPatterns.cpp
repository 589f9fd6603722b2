#include "SpotPatterns.h"

#include "DoubleMath.h"
#include "portable/Spots.h"
#include "FrameTerms.h"

namespace lumora {

namespace {
using M = DoubleMath;
} // namespace

Stars2::Stars2()
{
    s0 *= 0.2;
}

Color Stars2::color(const Position &p) const
{
    return frameworkColor(portable::stars2Color<double, M>(portablePosition(p)));
}

Color Blobs::color(const Position &p) const
{
    const auto terms = portable::blobsTerms<double, M>(p.time);
    return frameworkColor(portable::blobsColor<double, M>(portablePosition(p), terms));
}

void Blobs::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const auto terms = portable::blobsTerms<double, M>(time);
    eachPosition(time, positions, out, [&](const Position &p) {
        return frameworkColor(portable::blobsColor<double, M>(portablePosition(p), terms));
    });
}

Color Klecks::color(const Position &p) const
{
    return frameworkColor(portable::klecksColor<double, M>(portablePosition(p)));
}

double Klecks::klecks(double cx, double cy, double radius, double x, double y, double t)
{
    return portable::klecks<double, M>(cx, cy, radius, x, y, t);
}

Color Spotlight::color(const Position &p) const
{
    return frameworkColor(portable::spotlightColor<double, M>(portablePosition(p)));
}

Color Bubbles::color(const Position &p) const
{
    return frameworkColor(portable::bubblesColor<double, M>(portablePosition(p)));
}

Sinus::Sinus()
{
    r1 = 0;
    s0 = 0.1;
    s1 = 0;
}

Color Sinus::color(const Position &p) const
{
    const auto terms = portable::sinusTerms<double, M>(p.time);
    return frameworkColor(portable::sinusColor<double, M>(portablePosition(p), terms));
}

void Sinus::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const auto terms = portable::sinusTerms<double, M>(time);
    eachPosition(time, positions, out, [&](const Position &p) {
        return frameworkColor(portable::sinusColor<double, M>(portablePosition(p), terms));
    });
}

} // namespace lumora
