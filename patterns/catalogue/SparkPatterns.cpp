#include "SparkPatterns.h"

#include "DoubleMath.h"
#include "portable/Sparks.h"
#include "FrameTerms.h"

#include "../vector/VectorKernels.h"

namespace lumora {

namespace {
using M = DoubleMath;
} // namespace

Field::Field()
{
    speed *= 2;
    s0 *= 0.1;
    s1 *= 0.1;
}

Color Field::color(const Position &p) const
{
    const auto terms = portable::fieldTerms<double, M>(p.time);
    return frameworkColor(portable::fieldColor<double, M>(portablePosition(p), terms));
}

void Field::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const auto terms = portable::fieldTerms<double, M>(time);
    eachPosition(time, positions, out, [&](const Position &p) {
        return frameworkColor(portable::fieldColor<double, M>(portablePosition(p), terms));
    });
}

void Field::colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const
{
    if (!vectorColors(&VectorKernels::field, sparkPlaces(0.007 * time), time, positions, out))
        colors(time, positions, out);
}

Color Floating::color(const Position &p) const
{
    const auto terms = portable::floatingTerms<double, M>(p.time);
    return frameworkColor(portable::floatingColor<double, M>(portablePosition(p), terms));
}

void Floating::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const auto terms = portable::floatingTerms<double, M>(time);
    eachPosition(time, positions, out, [&](const Position &p) {
        return frameworkColor(portable::floatingColor<double, M>(portablePosition(p), terms));
    });
}

void Floating::colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const
{
    if (!vectorColors(&VectorKernels::floating, sparkPlaces(0.01 * time), time, positions, out))
        colors(time, positions, out);
}

Spirals::Spirals()
{
    s0 *= 0.1;
    s1 *= 0.1;
}

Color Spirals::color(const Position &p) const
{
    const auto terms = portable::spiralsTerms<double, M>(p.time);
    return frameworkColor(portable::spiralsColor<double, M>(portablePosition(p), terms));
}

void Spirals::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const auto terms = portable::spiralsTerms<double, M>(time);
    eachPosition(time, positions, out, [&](const Position &p) {
        return frameworkColor(portable::spiralsColor<double, M>(portablePosition(p), terms));
    });
}

void Spirals::colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const
{
    if (!vectorColors(&VectorKernels::spirals, sparkPlaces(0.007 * time), time, positions, out))
        colors(time, positions, out);
}

Glow::Glow()
{
    s0 *= 0.125;
    s1 *= 0.125;
}

Color Glow::color(const Position &p) const
{
    const auto terms = portable::glowTerms<double, M>(p.time);
    return frameworkColor(portable::glowColor<double, M>(portablePosition(p), terms));
}

void Glow::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const auto terms = portable::glowTerms<double, M>(time);
    eachPosition(time, positions, out, [&](const Position &p) {
        return frameworkColor(portable::glowColor<double, M>(portablePosition(p), terms));
    });
}

void Glow::colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const
{
    if (!vectorColors(&VectorKernels::glow, glowSparks(0.1 * time), time, positions, out))
        colors(time, positions, out);
}

} // namespace lumora
