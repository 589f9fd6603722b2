#include "patterns/catalogue/BarPatterns.h"

#include "PatternTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

using namespace lumora;
using namespace lumora::patterntest;

namespace {
constexpr double kBaseS0 = 0.1, kBaseS1 = 0.05, kBaseR1 = 2 * PI, kBaseSpeed = 0.02;
} // namespace

TEST(CatalogueB, EveryPatternRegisteredWithItsParameters)
{
    struct Case { const char *name; double s0, s1, r1, speed; };
    const Case cases[] = {
        {"Jelly", kBaseS0 * 0.3, kBaseS1 * 0.3, kBaseR1, kBaseSpeed},
        {"Heart", kBaseS0, kBaseS1, kBaseR1, kBaseSpeed},
        {"StarField2", kBaseS0 * 10, kBaseS1 * 10, kBaseR1, 0.025},
        {"Rose", kBaseS0, 0.025, kBaseR1, kBaseSpeed},
        {"Interference", kBaseS0 * 10, kBaseS1 * 2, kBaseR1, 0.01},
        {"Flower2", 0.1, 0.025, kBaseR1, kBaseSpeed},
        {"Tunnel2", kBaseS0, kBaseS1, kBaseR1, kBaseSpeed},
        {"WaveBars", kBaseS0, kBaseS1, kBaseR1, kBaseSpeed},
        {"Spirale2", kBaseS0, kBaseS1, kBaseR1, 3.6},
        {"GridPattern", kBaseS0, kBaseS1, kBaseR1, 0.01},
        {"Leadlight", kBaseS0 * 0.03, kBaseS1 * 0.03, kBaseR1, kBaseSpeed},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ColorPattern &p = pattern(c.name);
        EXPECT_EQ(p.name(), c.name);
        EXPECT_EQ(p.s0, c.s0);
        EXPECT_EQ(p.s1, c.s1);
        EXPECT_EQ(p.r1, c.r1);
        EXPECT_EQ(p.speed, c.speed);
    }
    EXPECT_EQ(static_cast<const WaveBars &>(pattern("WaveBars")).barsize(), 0.15);
}

// One point per pattern; the values were worked out independently of this code from the
// pattern definitions, so a reordered sum, a short loop or a swapped argument shows here.
TEST(CatalogueB, ReferenceValues)
{
    struct Case { const char *name; double t, x, y, r, g, b; };
    const Case cases[] = {
        {"Jelly", 1.7, 0.43, -0.29, 0.15683054705692234, 0.069453757935057148, 1.5025646092345581},
        {"Heart", 1.7, 0.43, -0.29, 0.71405369133080099, 0.35702684566540049, 0.53554026849810077},
        {"StarField2", 1.7, 0.43, -0.29, 0.30364087113921057, 0.16194179794091232, 0.12145634845568422},
        {"Rose", 1.7, 0.43, -0.29, 0.27687054467539141, 0.68270762081758318, 1},
        {"Interference", 1.7, 0.43, -0.29, -0.42774627630406631, 0.14927761588340518, 0.27846866042066115},
        {"Flower2", 1.7, 0.43, -0.29, 0.44633087050530351, 0.90538142480097361, 0.51158349945853843},
        {"Tunnel2", 1.7, 0.43, -0.29, 0.63286190789101282, 0.44438704894080794, 0.46188599485381432},
        {"WaveBars", 23.0, 0.43, 0.8, 0.66481896080183933, 0.66481896080183933, 0},
        {"Spirale2", 1.7, 0.43, -0.29, 1, 0.31245099249112551, 0.058823529411764719},
        {"GridPattern", 1.7, 0.43, -0.29, 1.1581676395469511, 0.37647431003789783, 0.9527106585383619},
        {"Leadlight", 1.7, 0.43, -0.29, 0.51344974211209704, 0.35107063369199498, 1.4264827779238163},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        expectColor(at(c.name, c.t, c.x, c.y), c.r, c.g, c.b);
    }
}

TEST(CatalogueB, HeartShapeAndBeat)
{
    // At t = 0 the heart is at rest (s = 0.5). On the negative y axis h = 1 and d = 1, so
    // f = 1 − r: at y = −0.4 (r = 0.5) v = 0.5^0.25.
    const double v = std::pow(0.5, 0.25);
    expectColor(at("Heart", 0, 0, -0.4), v, 0.5 * v, 0.75 * v);
    // Outside the heart, and in its cleft on the positive y axis, it is black.
    expectColor(at("Heart", 0, 0, -0.9), 0, 0, 0, 0);
    expectColor(at("Heart", 0, 0, 0.4), 0, 0, 0, 0);
    expectColor(at("Heart", 0.6, 3, 2), 0, 0, 0, 0);
    // One beat every 2 time units, also for negative times.
    for (double t : {-1.5, -0.3, 0.7}) {
        SCOPED_TRACE(t);
        const Color a = at("Heart", t, 0.1, -0.2);
        const Color b = at("Heart", t + 2, 0.1, -0.2);
        expectColor(b, a.r, a.g, a.b, 1e-9);
        EXPECT_GT(a.r, 0);
    }
}

TEST(CatalogueB, SingularOrigin)
{
    // r = 0: StarField2 and Tunnel2 divide by zero and end up black; Jelly is flat there.
    for (double t : {0.0, 1.3, -8.0}) {
        SCOPED_TRACE(t);
        expectColor(at("StarField2", t, 0, 0), 0, 0, 0, 0);
        expectColor(at("Tunnel2", t, 0, 0), 0, 0, 0, 0);
        expectColor(at("Jelly", t, 0, 0), 1, 1.1, 1.1, 0);
    }
}

TEST(CatalogueB, Spirale2IsAlwaysFullyBright)
{
    // At the origin the hue is −t: 30 gives hue 330, between magenta and red.
    expectColor(at("Spirale2", 30, 0, 0), 1, 15.0 / 255, 1 - 0.5 * 240 / 255);
    // Saturation 240 and value 255 everywhere: the largest channel is 1, the smallest 15/255.
    for (double t : {0.0, 47.0})
        for (double x = -1; x <= 1; x += 0.23)
            for (double y = -1; y <= 1; y += 0.31) {
                const Color c = at("Spirale2", t, x, y);
                EXPECT_NEAR(std::max({c.r, c.g, c.b}), 1, 1e-12);
                EXPECT_NEAR(std::min({c.r, c.g, c.b}), 15.0 / 255, 1e-12);
            }
}

TEST(CatalogueB, WaveBarsAddWhereTheyMeet)
{
    // At t = 0 all eight bars lie on the same line through the origin, so their colours add
    // up, unclamped.
    expectColor(at("WaveBars", 0, 0, 0), 4.5, 3.5, 4);
    // Far from every bar nothing is lit.
    expectColor(at("WaveBars", 0, 0, 100), 0, 0, 0, 0);
    expectColor(at("WaveBars", 31, 40, -70), 0, 0, 0, 0);
}
