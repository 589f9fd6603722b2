#include "patterns/catalogue/BarPatterns.h"
#include "patterns/catalogue/PlasmaPatterns.h"

#include "PatternTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

using namespace lumora;
using namespace lumora::patterntest;

TEST(CatalogueC, InitParameters)
{
    struct Case { const char *name; double s0, s1, r1, speed; };
    const double turn = 2 * PI;
    const Case cases[] = {
        {"Fiver", 0.1, 0.05, turn, 0.02},        {"Sweeplet", 0.1, 0.05, 0, 0.05},
        {"Bars", 0.1, 0.05, turn, 0.02},         {"Wiggling", 0.02, 0.01, turn, 0.02},
        {"Walkern", 0.1, 0.05, turn, 1},         {"Ringel", 0.1, 0.05, turn, 0.02},
        {"Clouds", 1, 0.5, turn, 0.04},          {"DoubleSpirals", 0.1, 0.05, turn, 0.02},
        {"Thingi", 0.1, 0.05, turn, 0.02},       {"Spotlight", 0.1, 0.05, turn, 0.02},
        {"Spirale4", 0.03, 0.015, turn, 0.02},   {"Rings", 0.1, 0.05, turn, 0.02},
        {"Walker", 0.1, 0.05, turn, 1},          {"Bubbles", 0.1, 0.05, turn, 0.02},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(pattern(c.name).name(), c.name);
        expectParameters(c);
    }
    EXPECT_EQ(dynamic_cast<const Bars &>(pattern("Bars")).barsize, 0.3);
}

TEST(CatalogueC, WalkerLightsOneLedInEveryHundred)
{
    for (double t : {0.0, 1.5, 299.9}) {
        const std::int64_t step = static_cast<std::int64_t>(t) % 100;
        for (std::int64_t i = 0; i < 400; ++i) {
            const Color c = at("Walker", t, 0.3, -0.7, i);
            const double expected = i % 100 == step ? 1 : 0;
            ASSERT_EQ(c.r, expected) << "t " << t << " index " << i;
            ASSERT_EQ(c.g, expected);
            ASSERT_EQ(c.b, expected);
        }
    }
    // A time without a whole step lights nothing, like Walker10's.
    for (double t : {std::nan(""), 1e19, -1e300}) {
        expectColor(at("Walker", t, 0, 0, 0), 0, 0, 0, 0);
        expectColor(at("Walkern", t, 0, 0, 0), 0, 0, 0, 0);
    }
}

TEST(CatalogueC, WalkernSpacingGrowsWithTime)
{
    // t = 0: n = 1, every LED lit red.
    for (std::int64_t i = 0; i < 5; ++i)
        expectColor(at("Walkern", 0, 0, 0, i), 1, 0, 0, 0);
    // t = 150: n = 2, k = 150, even LEDs lit with hue 180.
    for (std::int64_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        if (i % 2 == 0)
            expectColor(at("Walkern", 150, 0, 0, i), 0, 1, 1);
        else
            expectColor(at("Walkern", 150, 0, 0, i), 0, 0, 0, 0);
    }
    // t = 205.5: n = 3, k = 205, so LEDs 1, 4, 7, … with hue 19.8.
    const Color lit = Color::fromHsv(19.8, 255, 255);
    for (std::int64_t i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        const double on = i % 3 == 1 ? 1 : 0;
        expectColor(at("Walkern", 205.5, 0, 0, i), lit.r * on, lit.g * on, lit.b * on);
    }
    // After n = 15 the spacing wraps back to 1.
    expectColor(at("Walkern", 1500, 0, 0, 7), 1, 0, 0);
}

TEST(CatalogueC, SweepletBand)
{
    expectColor(at("Sweeplet", 0, 0, 5), 1, 0, 0);
    expectColor(at("Sweeplet", 0, 0.5, 0), 0.5, 0, 0);
    expectColor(at("Sweeplet", 0, -0.5, 0), 0.5, 0, 0);
    expectColor(at("Sweeplet", 0, 1, 0), 0, 0, 0, 0);
    expectColor(at("Sweeplet", 0, -3, 0), 0, 0, 0, 0);
    // At its turning point the band is centred on x = 1.5.
    expectColor(at("Sweeplet", PI / 2, 1.5, 0), 1, 0, 0);
}

TEST(CatalogueC, SpotlightAndBubblesAtTimeZero)
{
    // Spot centres at t = 0: red (0, 1), green (2, 0), blue (0, 0).
    expectColor(at("Spotlight", 0, 0, 0), 0, 0, 1);
    expectColor(at("Spotlight", 0, 0, 0.5), 0.9375, 0, 0.9375);
    expectColor(at("Spotlight", 0, 2, 0), 0, 1, 0);
    expectColor(at("Spotlight", 0, 0, -1), 0, 0, 0, 0);
    expectColor(at("Spotlight", 0, 5, 5), 0, 0, 0, 0);

    // Bubble 4 sits on bubble 3 at the origin; bubble 1 is at (0, 1).
    const double centre = std::sin(0.5);
    const double half = std::sin(3 * 0.0625 + 0.5);
    expectColor(at("Bubbles", 0, 0, 0), centre, centre, centre);
    expectColor(at("Bubbles", 0, 0, 0.5), 2 * half, half, half);
    expectColor(at("Bubbles", 0, 4, 4), 0, 0, 0, 0);
}

TEST(CatalogueC, RingsRunRoundTheHueCircle)
{
    // At t = 0 the ring index is L = 2 + 6·fract(|x|) on the x axis.
    expectColor(at("Rings", 0, 0, 0), 1, 0, 0);
    expectColor(at("Rings", 0, 1, 0), 1, 0, 0);
    expectColor(at("Rings", 0, -2, 0), 1, 0, 0);
    expectColor(at("Rings", 0, 0.25, 0), 0.5, 1, 0);
    expectColor(at("Rings", 0, 0.5, 0), 0, 1, 1);
    expectColor(at("Rings", 0, 0, 0.75), 0.5, 0, 1);
}

TEST(CatalogueC, SpotValues)
{
    // Fiver at the origin: all five waves in phase, well outside 0..1.
    expectColor(at("Fiver", 0, 0, 0), 3, 3.25, -4.5);
    // Wiggling's red term has no cosine: at the origin it is 0 while green is 1.5.
    expectColor(at("Wiggling", 0, 0, 0), 0, 1.5, 1.5);
    const double s5 = std::sin(5.0);
    expectColor(at("Ringel", 0, 1, 0), s5, s5 * s5, -s5);
    expectColor(at("Ringel", 0, 0.3, 0.3), 0, 0, 0);
    const double g = std::cos(9.0);
    expectColor(at("Spirale4", 0, 1, 0), 1.1 - 2 * (1 + g), std::sin(2 * (1 + g)), 1.1 - 2 * (1 - g));
    // All eight bars meet at v = 0 when t = 0; overlapping bars add up beyond 1.
    expectColor(at("Bars", 0, 0.4, 0), 4.5, 3.5, 4);
    expectColor(at("Bars", 0, -0.7, 0.15), 2.25, 1.75, 2);
    EXPECT_DOUBLE_EQ(Thingi::curve(0, 0), 1);
    expectColor(at("Thingi", 0, 0, 0), 0, 0, 1);
}

TEST(CatalogueC, DoubleSpiralsPassesComponentsUnclamped)
{
    double lowest = 0, highest = 0;
    for (double x = -2; x <= 2; x += 0.13)
        for (double y = -2; y <= 2; y += 0.17) {
            const Color c = at("DoubleSpirals", 3.7, x, y);
            lowest = std::min({lowest, c.r, c.g, c.b});
            highest = std::max({highest, c.r, c.g, c.b});
        }
    EXPECT_LT(lowest, 0);
    EXPECT_GT(highest, 1);
}
