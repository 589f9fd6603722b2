#include "patterns/catalogue/ScenePatterns.h"

#include "PatternTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumora;
using namespace lumora::patterntest;

TEST(CatalogueE, AnimationParameters)
{
    struct Case { const char *name; double s0, s1, r1, speed; };
    const double turn = 2 * PI;
    const Case cases[] = {
        {"Eggs", 0.6, 0.3, turn, 0.02},      {"Tunnel", 0.08, 0, 0, 0.05},
        {"Floating", 0.1, 0.05, turn, 0.02}, {"Lumora", 0.007, 0.002, turn, 0.002},
        {"Spirals", 0.01, 0.005, turn, 0.02}, {"Neon", 0.1, 0.05, turn, 0.02},
        {"Hexagon2", 0.1, 0.05, turn, 0.02}, {"Walker10", 0.1, 0.05, turn, 1},
    };
    for (const Case &c : cases) {
        expectParameters(c);
    }
}

TEST(CatalogueE, Walker10LightsOneLedInTen)
{
    for (std::int64_t index = 0; index < 25; ++index) {
        SCOPED_TRACE(index);
        const bool first = index % 10 == 0;
        const bool third = index % 10 == 2;
        expectColor(at("Walker10", 0, 0, 0, index), first ? 1 : 0, 0, 0, 0);
        // Hue 9 degrees; past 100 time units the hue starts again while the step goes on.
        expectColor(at("Walker10", 2.5, 0, 0, index), third ? 1 : 0, third ? 0.15 : 0, 0);
        expectColor(at("Walker10", 102.5, 0, 0, index), third ? 1 : 0, third ? 0.15 : 0, 0);
    }
    expectColor(at("Walker10", std::nan(""), 0, 0, 0), 0, 0, 0, 0);
    expectColor(at("Walker10", 1e300, 0, 0, 0), 0, 0, 0, 0);
}

TEST(CatalogueE, EggsShadedBallsWithBlackGaps)
{
    // At x = −π, y = 0 the point lies mid-way across its spiral turn (w = 0) on turn m = 2π;
    // t places it at s = 2.5, the centre of ball 2, whose normal faces the viewer.
    const double base = 0.02 * PI * (2 * PI * (2 * PI));
    const double diffuse = std::sqrt(0.5);
    const double specular = std::pow(std::cos(PI / 8), 40);
    expectColor(at("Eggs", base - 2.5, -PI, 0), diffuse * (0.5 * std::cos(4) + 0.5) + specular,
                diffuse * (0.5 * std::cos(6) + 0.5) + specular, diffuse * (0.5 * std::cos(2) + 0.5) + specular,
                1e-9);

    // At x = −1.8π the point sits at w = 0.8: inside the ball for u = 0.5, in the gap for u = 0.8.
    const Color inside = at("Eggs", base - 2.75, -1.8 * PI, 0);
    EXPECT_GT(inside.r + inside.g + inside.b, 0);
    expectColor(at("Eggs", base - 2.9, -1.8 * PI, 0), 0, 0, 0, 0);
}

TEST(CatalogueE, TunnelMissColourIsUnclamped)
{
    // This ray runs 64 steps of 4 without meeting a blob: s = 256, nothing accumulated.
    const Color miss = at("Tunnel", 0, 0, -0.25);
    EXPECT_DOUBLE_EQ(miss.r, 0.768);
    EXPECT_DOUBLE_EQ(miss.g, 1.536);
    EXPECT_DOUBLE_EQ(miss.b, 3.84);
    // The ray along the axis meets the blob at (0, 0, 2): it stops short and gets shaded.
    const Color hit = at("Tunnel", 0, 0, 0);
    EXPECT_LT(hit.b, 3.84 - 0.5);
}

TEST(CatalogueE, LumoraAndHexagon2)
{
    // At t = 0 both of Lumora's centres sit at (1, 1); a quarter ripple away the sum points
    // along y and blue goes negative, unclamped.
    expectColor(at("Lumora", 0, 1, 1), 1, 0, 0.5);
    expectColor(at("Lumora", 0, 1, 1 + PI / 128), 0, 1, -0.5);
    // Hexagon2 is sin(2.9·√11) at the centre; far out the radicand is negative, giving 0.
    const double centre = std::sin(2.9 * std::sqrt(11.0));
    expectColor(at("Hexagon2", 5, 0, 0), centre, centre, centre);
    expectColor(at("Hexagon2", 0, 3, 4), 0, 0, 0, 0);
}

TEST(CatalogueE, NeonLatticeSymmetry)
{
    EXPECT_EQ(Neon::MAXITER, 30);
    // At t = 0 the camera sits on a lattice node looking along z: swapping x and y swaps
    // the bars along x and y (green and blue), mirroring x changes nothing.
    for (double x : {0.1, 0.37, 1.3})
        for (double y : {-0.8, 0.05, 0.6}) {
            const Color c = at("Neon", 0, x, y);
            expectColor(at("Neon", 0, y, x), c.r, c.b, c.g, 1e-9);
            expectColor(at("Neon", 0, -x, y), c.r, c.g, c.b, 1e-9);
        }
}
