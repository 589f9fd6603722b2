#pragma once

#include "patterns/catalogue/Catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace lumora::patterntest {

/// The tests' registry of the built-in patterns.
inline const PatternRegistry &registry()
{
    static const PatternRegistry patterns = builtInPatterns();
    return patterns;
}

/// The registry's instance of a pattern; an unknown name fails the test loudly.
inline const ColorPattern &pattern(const char *name)
{
    const ColorPattern *found = registry().named(name);
    if (!found)
        throw std::runtime_error(std::string("no pattern ") + name);
    return *found;
}

inline Color at(const char *name, double t, double x, double y, std::int64_t index = 0)
{
    return pattern(name).color(Position{t, x, y, index});
}

inline void expectColor(const Color &c, double r, double g, double b, double tolerance = 1e-12)
{
    EXPECT_NEAR(c.r, r, tolerance);
    EXPECT_NEAR(c.g, g, tolerance);
    EXPECT_NEAR(c.b, b, tolerance);
}

inline void expectRelative(double actual, double expected, double tolerance = 1e-12)
{
    EXPECT_NEAR(actual, expected, tolerance * std::max(1.0, std::fabs(expected)));
}

/// Checks a pattern's four animation parameters against a table row with the fields
/// name, s0, s1, r1 and speed.
template <class Row>
void expectParameters(const Row &row)
{
    SCOPED_TRACE(row.name);
    const ColorPattern &p = pattern(row.name);
    EXPECT_DOUBLE_EQ(p.s0, row.s0);
    EXPECT_DOUBLE_EQ(p.s1, row.s1);
    EXPECT_DOUBLE_EQ(p.r1, row.r1);
    EXPECT_DOUBLE_EQ(p.speed, row.speed);
}

} // namespace lumora::patterntest
