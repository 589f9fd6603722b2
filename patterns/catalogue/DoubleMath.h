#pragma once

// The desktop's side of the portable pattern formulas: the maths trait that forwards to the
// double functions of <cmath>, and the moves between the framework's types and the portable
// ones. The moves copy components as they are, so no NaN step runs twice.

#include "portable/Portable.h"

#include "../framework/Color.h"
#include "../framework/Position.h"

#include <cmath>

namespace lumora {

struct DoubleMath {
    static double sin(double v) { return std::sin(v); }
    static double cos(double v) { return std::cos(v); }
    static double tan(double v) { return std::tan(v); }
    static double atan(double v) { return std::atan(v); }
    static double atan2(double y, double x) { return std::atan2(y, x); }
    static double sqrt(double v) { return std::sqrt(v); }
    static double pow(double v, double e) { return std::pow(v, e); }
    static double exp(double v) { return std::exp(v); }
    static double log(double v) { return std::log(v); }
    static double floor(double v) { return std::floor(v); }
    static double fabs(double v) { return std::fabs(v); }
    static double fmod(double a, double b) { return std::fmod(a, b); }
};

inline portable::Position<double> portablePosition(const Position &p)
{
    return portable::Position<double>(p.time, p.x, p.y, p.index);
}

inline Color frameworkColor(const portable::Color<double> &c)
{
    Color out;
    out.r = c.r;
    out.g = c.g;
    out.b = c.b;
    return out;
}

} // namespace lumora
