#include "patterns/framework/ColorPattern.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace lumora;

namespace {
void expectColor(const Color &c, double r, double g, double b, double tolerance = 1e-12)
{
    EXPECT_NEAR(c.r, r, tolerance);
    EXPECT_NEAR(c.g, g, tolerance);
    EXPECT_NEAR(c.b, b, tolerance);
}
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
} // namespace

TEST(ColorPattern, BaseParametersAndMagenta)
{
    ColorPattern base;
    EXPECT_EQ(base.s0, 0.1);
    EXPECT_EQ(base.s1, 0.05);
    EXPECT_EQ(base.r1, 6.283185307179586);
    EXPECT_EQ(base.speed, 0.02);
    expectColor(base.color(Position{3, -4, 5, 7}), 1, 0, 1, 0);
    EXPECT_EQ(base.name(), "ColorPattern");
}

TEST(Color, NaNComponentsBecomeZeroOthersUnclamped)
{
    const Color c(kNaN, 2, -1);
    EXPECT_EQ(c.r, 0);
    EXPECT_EQ(c.g, 2);
    EXPECT_EQ(c.b, -1);
    // Infinities pass through; the operators go through the same constructor.
    EXPECT_EQ(Color(kInf, 0, 0).r, kInf);
    EXPECT_EQ((Color(kInf, 1, 1) * 0.0).r, 0); // kInf·0 is NaN, made 0
    expectColor(Color(1, 2, 3) + 0.5, 1.5, 2.5, 3.5);
}

TEST(Color, HsvWheel)
{
    struct Case { double h, s, v, r, g, b; };
    const Case cases[] = {
        {0, 255, 255, 1, 0, 0},     {60, 255, 255, 1, 1, 0},   {120, 255, 255, 0, 1, 0},
        {240, 255, 255, 0, 0, 1},   {-60, 255, 255, 1, 0, 1},  {300, 255, 255, 1, 0, 1},
        {30, 255, 255, 1, 0.5, 0},  {200, 0, 255, 1, 1, 1},    {200, -10, 127.5, 0.5, 0.5, 0.5},
        {0, 300, 255, 1, 0, 0},     {0, 255, -5, 0, 0, 0},     {720, 255, 255, 1, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "hsv " << c.h << ' ' << c.s << ' ' << c.v);
        expectColor(Color::fromHsv(c.h, c.s, c.v), c.r, c.g, c.b);
    }
    // A hue that cannot be placed gives black rather than garbage.
    expectColor(Color::fromHsv(kNaN, 255, 255), 0, 0, 0, 0);
    expectColor(Color::fromHsv(kInf, 255, 255), 0, 0, 0, 0);
}

TEST(Color, Normalize)
{
    expectColor(Color(3, 4, 0).normalize(), 0.6, 0.8, 0);
    expectColor(Color(0, 0, 0).normalize(), 0, 0, 0, 0);
    const Color c(3, 4, 0);
    c.normalize();
    EXPECT_EQ(c.r, 3); // the receiver is unchanged
}

TEST(Functions, ScalarVocabulary)
{
    EXPECT_EQ(fract(-0.25), 0.75);
    EXPECT_EQ(fract(2.5), 0.5);
    EXPECT_EQ(mod(-30, 360), 330);
    EXPECT_EQ(mod(30, -360), -330);
    EXPECT_EQ(clamp(2, 0, 1), 1);
    EXPECT_EQ(clamp(-2, 0, 1), 0);
    EXPECT_TRUE(std::isnan(clamp(kNaN, 0, 1)));
    EXPECT_EQ(smoothstep(0.2, 0, 0.1), 0.5);
    EXPECT_EQ(smoothstep(0, 1, 2), 1);
    EXPECT_EQ(sin01(0), 0.5);
}

TEST(Functions, VectorVocabulary)
{
    const Vec2 r = rotated({1, 0}, PI / 2);
    EXPECT_NEAR(r.x, 0, 1e-15);
    EXPECT_NEAR(r.y, 1, 1e-15);
    EXPECT_EQ(length(Vec2{3, 4}), 5);
    EXPECT_EQ(distance(Vec2{1, 1}, Vec2{4, 5}), 5);
    EXPECT_TRUE(std::isnan(normalize(Vec2{0, 0}).x));
    const Vec2 m = mix(Vec2{0, 10}, Vec2{10, 20}, 0.25);
    EXPECT_EQ(m.x, 2.5);
    EXPECT_EQ(m.y, 12.5);

    Vec3 a{1, -2, 3};
    EXPECT_EQ(dot(a, Vec3{2, 3, 4}), 8);
    EXPECT_EQ(abs(a).y, 2);
    EXPECT_EQ(length(Vec3{2, 3, 6}), 7);
    EXPECT_EQ((2.0 - a).y, 4);
    a.setYz({7, 8});
    EXPECT_EQ(a.xy().y, 7);
    EXPECT_EQ(a.z, 8);
    a *= Vec3{2, 2, 2};
    EXPECT_EQ(a.x, 2);
}
