#include "patterns/catalogue/SpotPatterns.h"

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

TEST(CatalogueA, EveryPatternRegisteredWithItsParameters)
{
    struct Case { const char *name; double s0, s1, r1, speed; };
    const Case cases[] = {
        {"Stars2", kBaseS0 * 0.2, kBaseS1, kBaseR1, kBaseSpeed},
        {"Floor", kBaseS0, kBaseS1, 0, kBaseSpeed * 2.5}, // no slow rotation for the floor
        {"Lava", kBaseS0, kBaseS1, kBaseR1, kBaseSpeed},
        {"Beams", kBaseS0, kBaseS1, kBaseR1, kBaseSpeed},
        {"DoubleRings", kBaseS0, kBaseS1, kBaseR1, kBaseSpeed},
        {"Blobs", kBaseS0, kBaseS1, kBaseR1, kBaseSpeed},
        {"Oil", kBaseS0, kBaseS1, kBaseR1, kBaseSpeed},
        {"Field", kBaseS0 * 0.1, kBaseS1 * 0.1, kBaseR1, kBaseSpeed * 2},
        {"Klecks", kBaseS0, kBaseS1, kBaseR1, kBaseSpeed},
        {"AcidTrip", kBaseS0, kBaseS1, kBaseR1, kBaseSpeed},
        {"QuasiCrystal", kBaseS0 * 2.5, kBaseS1 * 2.5, kBaseR1, kBaseSpeed},
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
}

// One point per pattern; the values were worked out independently of this code from the
// pattern definitions, so a reordered sum, a short loop or a swapped argument shows here.
TEST(CatalogueA, ReferenceValues)
{
    struct Case { const char *name; double t, x, y, r, g, b; };
    const Case cases[] = {
        {"Stars2", 1.7, 0.43, -0.29, 0.0032794121682786677, 0.00034417140137960983, 0.0032575378532940249},
        {"Floor", 1.7, 0.43, -0.29, -0.083663520233429475, -0.49504883343206529, -0.64879689320739475},
        {"Lava", 1.7, 0.43, -0.29, 0.33056811023823346, 0.0048080539132485415, 0.89155843368368548},
        {"Beams", 1.7, 0.43, -0.29, 0.52721676522783245, 1.2685362255117114, 2.6936294861093155},
        {"DoubleRings", 23.0, 1.3, -0.29, 0.30571003224915327, 0.51965150719508157, 0.5},
        {"Blobs", 1.7, 0.43, -0.29, 49.897783215233559, 5.241957384954242, 1.0293022997178995},
        {"Oil", 1.7, 0.43, -0.29, 0.10617850741857185, 0.11810953149586888, 0.51787057779572354},
        {"Field", 1.7, 0.43, -0.29, 1.4272557326164366, 1.7870589262864811, -1.1272557326164365},
        {"Klecks", 1.7, 1.6, -0.3, 0.29552567059419826, 0, 0},
        {"AcidTrip", 1.7, 0.43, -0.29, 0.99982778228592706, 0.98966082837354663, 0.98977718668359371},
        {"QuasiCrystal", 1.7, 0.43, -0.29, 0.99270535157823758, 0.49270535157823758, 0.0072946484217624175},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Color color = at(c.name, c.t, c.x, c.y);
        expectRelative(color.r, c.r);
        expectRelative(color.g, c.g);
        expectRelative(color.b, c.b);
    }
}

TEST(CatalogueA, QuasiCrystalFoldsIntoUnitRange)
{
    // At (−20, −20) and t = 0 every wave has N = √0.5, so the sums are known in closed form.
    const double n9 = 9 * std::sqrt(0.5);
    const Color c = at("QuasiCrystal", 0, -20, -20);
    EXPECT_NEAR(c.r, 6.5 - n9, 1e-12);  // 19.86… folds back from above 1
    EXPECT_NEAR(c.g, 7 - n9, 1e-12);    // 33.36…
    EXPECT_NEAR(c.b, n9 - 5.5, 1e-12);  // 46.86… lies on the rising half
    for (double t : {-7.0, 0.0, 3.3})
        for (double x = -30; x <= 30; x += 2.9)
            for (double y = -30; y <= 30; y += 3.7) {
                const Color q = at("QuasiCrystal", t, x, y);
                for (double v : {q.r, q.g, q.b}) {
                    EXPECT_GE(v, 0);
                    EXPECT_LE(v, 1);
                }
            }
}

TEST(CatalogueA, SingularPoints)
{
    // Floor's horizon: the texture's arguments are infinite, their sines NaN, so black.
    for (double x : {0.0, 0.7, -3.0}) {
        const Color c = at("Floor", 2.5, x, 0.2);
        EXPECT_EQ(c.r, 0);
        EXPECT_EQ(c.g, 0);
        EXPECT_EQ(c.b, 0);
    }
    // Stars2 at t = 0 and x = 0 lies on the line a = 0 of all three points: infinities pass on.
    const Color s = at("Stars2", 0, 0, 0.5);
    EXPECT_EQ(s.r, INFINITY);
    EXPECT_EQ(s.g, INFINITY);
    EXPECT_EQ(s.b, INFINITY);
}

TEST(CatalogueA, LavaChannelIsZeroWhereItsSineIsNegative)
{
    // A negative base under the fractional power gives NaN, which becomes 0; with a
    // magnitude taken instead the channels would never be exactly 0.
    int zeros = 0, samples = 0;
    for (double t = 0; t < 40; t += 3.1)
        for (double x = -3; x <= 3; x += 0.7)
            for (double y = -3; y <= 3; y += 0.9) {
                const Color c = at("Lava", t, x, y);
                for (double v : {c.r, c.g, c.b}) {
                    ++samples;
                    zeros += v == 0;
                    EXPECT_GE(v, 0);
                    EXPECT_LE(v, 1);
                }
            }
    EXPECT_GT(zeros, samples / 5);
}

TEST(CatalogueA, KlecksSplotchesAndRims)
{
    for (double t : {0.0, 1.0, 17.5}) {
        const Color far = at("Klecks", t, 100, 100);
        EXPECT_EQ(far.r, 0);
        EXPECT_EQ(far.g, 0);
        EXPECT_EQ(far.b, 0);
    }
    // Centre of a splotch: d = 0 gives sin(0.3).
    EXPECT_DOUBLE_EQ(Klecks::klecks(0, 0, 1, 0, 0, 2), std::sin(0.3));
    // Along the positive x axis at t = 0 the rim sits at a fixed distance; the rim itself
    // is outside, a hair inside it is sin(3.3).
    const double rim = 1 - 0.1 / (0.8 + 0.1 / 0.9);
    EXPECT_EQ(Klecks::klecks(0, 0, 1, rim, 0, 0), 0);
    EXPECT_NEAR(Klecks::klecks(0, 0, 1, rim * (1 - 1e-12), 0, 0), std::sin(3.3), 1e-9);
}

TEST(CatalogueA, FieldStaysFiniteAndItsChannelsHangTogether)
{
    for (double t : {0.0, 12.0, -400.0})
        for (double x = -2; x <= 2; x += 0.37)
            for (double y = -2; y <= 2; y += 0.41) {
                const Color c = at("Field", t, x, y);
                ASSERT_TRUE(std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b));
                EXPECT_GE(c.r, 0);
                EXPECT_DOUBLE_EQ(c.g, (c.r - 0.5) * (c.r + 0.5));
                EXPECT_DOUBLE_EQ(c.b, 0.3 - c.r);
            }
}
