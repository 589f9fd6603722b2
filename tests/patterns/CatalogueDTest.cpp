#include "patterns/catalogue/BarPatterns.h"
#include "patterns/catalogue/SpiralPatterns.h"

#include "PatternTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>

using namespace lumora;
using namespace lumora::patterntest;

namespace {
const char *const kNames[] = {"Colors2", "Flower3", "Upholstery", "Checkered", "DualScan", "Sinus",
                              "RotatingBars", "Flower", "Spirale3", "Grid", "Hexagon"};
} // namespace

TEST(CatalogueD, InitParameters)
{
    struct Case { const char *name; double s0, s1, r1, speed; };
    const double turn = 2 * PI;
    const Case cases[] = {
        {"Colors2", 0.1, 0.05, turn, 0.02},      {"Flower3", 0.1, 0.1025, turn, 0.02},
        {"Upholstery", 0.03, 0.015, turn, 0.02}, {"Checkered", 0.1, 0.05, turn, 0.02},
        {"DualScan", 0.1, 0.05, 0, 0.1},         {"Sinus", 0.1, 0, 0, 0.02},
        {"RotatingBars", 0.1, 0.05, turn, 0.02}, {"Flower", 0.05, 0.025, turn, 0.01},
        {"Spirale3", 0.02, 0, 0, 0.02},          {"Grid", 0.1, 0.05, turn, 0.01},
        {"Hexagon", 0.1, 0.05, turn, 0.02},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(pattern(c.name).name(), c.name);
        expectParameters(c);
    }
    EXPECT_EQ(dynamic_cast<const DualScan &>(pattern("DualScan")).barsize, 0.5);
    EXPECT_EQ(dynamic_cast<const RotatingBars &>(pattern("RotatingBars")).barsize, 0.3);
}

TEST(CatalogueD, DualScanBars)
{
    const double third = std::sin(2 * (PI / 3));
    expectColor(at("DualScan", 0, 0, 3), 1, 0, 0);
    expectColor(at("DualScan", 0, 0.25, 0), 0.5, 0, 0);
    expectColor(at("DualScan", 0, third, 0), 1, 0.5, 0);
    expectColor(at("DualScan", 0, -third, 0), 1, 1, 0);
    expectColor(at("DualScan", 0, 2, 0), 0, 0, 0, 0);
    // Half a turn later red is at 1.5 and the other two meet at −0.5, where they add up.
    expectColor(at("DualScan", PI, 1.5, 0), 1, 0, 0);
    expectColor(at("DualScan", PI, -0.5, 0), 2, 1.5, 0, 1e-9);
}

TEST(CatalogueD, RotatingBarsOverlapAtTimeZero)
{
    expectColor(at("RotatingBars", 0, 0.4, 0), 4.5, 3.5, 4);
    expectColor(at("RotatingBars", 0, -0.7, 0.15), 2.25, 1.75, 2);
    expectColor(at("RotatingBars", 0, 0, 0.5), 0, 0, 0, 0);
}

TEST(CatalogueD, CheckeredGridAndHexagonSpotValues)
{
    expectColor(at("Checkered", 0, 0, 0), 0.45598, 0.89783, 0.44034, 5e-6);
    for (double x : {-1.3, 0.0, 0.7})
        expectColor(at("Grid", 0, x, 0.4 - x), 0, 0, 0, 0);

    expectColor(at("Hexagon", 0, 0, 0), 1, 1, 1);
    expectColor(at("Hexagon", 0, 0.2, 0.7), 1, 1, 1); // on the line of every copy
    const double far = 1 - 100000 * (std::sqrt(2.0) * std::pow(0.8, 4));
    expectColor(at("Hexagon", 0, 1, 1), far, far, far, 1e-7);
    // Once the copies turn apart, x = 0.2 only zeroes the products that hold a0.
    const Color turned = at("Hexagon", 1, 0.2, 0.5);
    EXPECT_EQ(turned.r, 1);
    EXPECT_EQ(turned.g, 1);
    EXPECT_LT(turned.b, 1);
}

TEST(CatalogueD, Colors2FlipsOnlyPositiveCells)
{
    // At t = 0 the centre is (1, 1); the colour depends only on the distance to it.
    auto expected = [](double distance) {
        const double a = distance * 64;
        const double c = std::cos(a), s = std::sin(a);
        return Color(c * c, c * s, c - s);
    };
    auto expectAt = [&](double x, double y, double distance) {
        SCOPED_TRACE(testing::Message() << x << ", " << y);
        const Color e = expected(distance);
        expectColor(at("Colors2", 0, x, y), e.r, e.g, e.b, 1e-9);
    };
    expectAt(-0.01, -0.01, std::sqrt(2.0) * 1.01); // negative: never flipped
    expectAt(-0.04, -0.04, std::sqrt(2.0) * 1.04);
    expectAt(0.04, 0.04, std::sqrt(2.0) * 0.04);   // both flipped to (0.96, 0.96)
    expectAt(0.04, 0.01, std::sqrt(0.96 * 0.96 + 0.01 * 0.01)); // x's cell flips y only
}

TEST(CatalogueD, Spirale3RampChannel)
{
    struct Case { double v, ramp; };
    const Case cases[] = {{0, 0},   {6, 0},   {1.5, 0.49994}, {-1.5, 0.49994}, {2.5, 1},
                          {3, 1},   {4, 1},   {1, -0.00004},  {5, 0.0002}};
    for (const Case &c : cases)
        EXPECT_NEAR(Spirale3::rampChannel(c.v), c.ramp, 1e-9) << c.v;
}

TEST(CatalogueD, SinusSumsThirtyPoints)
{
    // At t = 0 the red string lies on y = 0 at x = −1.5, −1.4, …, 1.4.
    EXPECT_TRUE(std::isinf(at("Sinus", 0, -1.5, 0).r));
    EXPECT_TRUE(std::isinf(at("Sinus", 0, 29 / 10.0 - 1.5, 0).r));
    EXPECT_TRUE(std::isfinite(at("Sinus", 0, 1.5, 0).r));
}

TEST(CatalogueD, NoNaNReachesTheConsumer)
{
    // Upholstery divides by r, so the origin is all NaN and comes out black.
    for (double t : {0.0, 1.0, 17.5})
        expectColor(at("Upholstery", t, 0, 0), 0, 0, 0, 0);
    for (const char *name : kNames)
        for (double t : {0.0, 2.3, 150.0})
            for (double x = -2; x <= 2; x += 0.37)
                for (double y = -2; y <= 2; y += 0.41) {
                    const Color c = at(name, t, x, y);
                    ASSERT_FALSE(std::isnan(c.r) || std::isnan(c.g) || std::isnan(c.b))
                        << name << " t " << t << " at " << x << ", " << y;
                }
}
