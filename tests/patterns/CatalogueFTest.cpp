#include "patterns/catalogue/ImagePattern.h"
#include "patterns/framework/PixelPattern.h"

#include "PatternTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumora;
using namespace lumora::patterntest;

namespace {
/// A picture whose pixels tell where they are: red = column / 10, green = row / 10.
/// The pixel at column 1, row 1 is half transparent.
class CoordinateBitmap : public Bitmap {
public:
    CoordinateBitmap(double width, double height) : m_width(width), m_height(height) {}
    double width() const override { return m_width; }
    double height() const override { return m_height; }
    std::optional<PixelColor> colorAt(long long column, long long row) const override
    {
        if (column < 0 || row < 0 || column >= m_width || row >= m_height)
            return std::nullopt;
        const double alpha = column == 1 && row == 1 ? 0.5 : 1;
        return PixelColor{column / 10.0, row / 10.0, 0.5, alpha};
    }

private:
    double m_width;
    double m_height;
};
} // namespace

TEST(CatalogueF, AnimationParameters)
{
    struct Case { const char *name; double s0, s1, r1, speed; };
    const double turn = 2 * PI;
    const Case cases[] = {
        {"Colors", 0.1, 0.05, turn, 0.02},      {"Image", 1, 0, 0, 5},
        {"Psychedelic", 0.02, 0.01, turn, 0.02}, {"Wiggle", 0.02, 0.01, turn, 0.02},
        {"Streifen", 0.1, 0.05, turn, 0.02},    {"Glow", 0.0125, 0.00625, turn, 0.02},
        {"OilSpiral", 0.1, 0.05, turn, 0.02},   {"Squiggle", 0.1, 0.05, turn, 0.02},
        {"Squares", 0.1, 0.05, turn, 0.02},
    };
    for (const Case &c : cases) {
        expectParameters(c);
    }
}

TEST(CatalogueF, SpotValues)
{
    // At t = 0 every moving centre sits at (1, 1).
    expectColor(at("Colors", 0, 1, 1), 1, 0, 1);
    expectColor(at("Colors", 0, 1, 1 + PI / 128), 0, 0, -1);
    expectColor(at("Psychedelic", 0, 1, 1), std::cos(3.5) + std::sin(2.0), std::cos(0.5),
                std::cos(-2.5) + std::sin(-2.0));
    const double d = std::sin(3 * std::sin(1.0));
    expectColor(at("Wiggle", 0, 1, 0), std::cos(5.0) * d, d, d);
    const double q = PI / 4;
    expectColor(at("Squiggle", 0, 0, q), std::sin(2.9 * q + 0.3 * q), std::sin(2.73 * q), std::sin(2.8 * q));
}

TEST(CatalogueF, StreifenAndSquares)
{
    // Streifen: red for every LED at t = 0; hue (index + 1)·t wraps every 100 units.
    for (std::int64_t index : {0, 1, 7, 1000})
        expectColor(at("Streifen", 0, 0.3, -2, index), 1, 0, 0, 0);
    expectColor(at("Streifen", 10, 0, 0, 1), 0.8, 1, 0);
    expectColor(at("Streifen", 30, 0, 0, 3), 0.8, 1, 0);
    // Squares is dark wherever its inner sine is negative.
    expectColor(at("Squares", 0, -PI / 2, -PI / 2), 0, 0, 0, 0);
    const double s = std::sin(2.0);
    expectColor(at("Squares", 0, PI / 2, PI / 2), std::pow(s, 0.1), std::pow(s, 0.2), std::pow(s, 0.3));
}

TEST(CatalogueF, LoopsAndSingularities)
{
    // Spark 0 of Glow sits at (0.5, 1) at t = 0: its weight divides by zero, the sums turn NaN.
    expectColor(at("Glow", 0, 0.5, 1), 0, 0, 0, 0);
    const Color near = at("Glow", 0, 0.5, 1.01);
    EXPECT_TRUE(std::isfinite(near.r) && std::isfinite(near.g) && std::isfinite(near.b));

    // At the origin and t = 0 only the y layers move: Σ (0.3 / i)·cos(0.3·i), i = 1 … 19.
    double y = 0;
    for (double i = 1; i < 20; i += 1)
        y += (0.3 / i) * std::cos(0.3 * i);
    expectColor(at("OilSpiral", 0, 0, 0), 0.2, std::sin(y * PI) + 0.2, 0.2 + std::sin(y));
}

/// Image reads the application-wide PixelPattern, which each test leaves empty again.
class CatalogueFImage : public testing::Test {
protected:
    void SetUp() override
    {
        PixelPattern::setBitmap(std::make_shared<CoordinateBitmap>(8, 4));
        // Height 2 against a picture 4 high: one grid unit is two picture points.
        PixelPattern::setBoundingBox({2, 3, 4, 2});
    }
    void TearDown() override
    {
        PixelPattern::setBitmap(nullptr);
        PixelPattern::setBoundingBox({});
    }
    static Color image(double x, double y, double t = 0) { return at("Image", t, x, y); }
};

TEST_F(CatalogueFImage, ReadsRowsFromTheTopAndPremultiplies)
{
    expectColor(image(2, 3), 0, 0.3, 0.5);
    expectColor(image(3, 3.5), 0.2, 0.2, 0.5);
    expectColor(image(2.5, 3.75), 0.05, 0.05, 0.25);
    // Just above the top the row truncates to 0; further up it is −1, outside.
    expectColor(image(2, 4.75), 0, 0, 0.5);
    expectColor(image(2, 5.25), 0, 0, 0, 0);
    PixelPattern::setBitmap(nullptr);
    expectColor(image(2, 3), 0, 0, 0, 0);
}

TEST_F(CatalogueFImage, ScrollsWithTimeKeepingTheDividendsSign)
{
    expectColor(image(2, 3, 1.9), 0.1, 0.3, 0.5);
    expectColor(image(2, 3, 8 + 3), 0.3, 0.3, 0.5);
    // Left of the box the remainder stays negative: half a point truncates to column 0,
    // further left there is no pixel instead of a wrap to the right edge.
    expectColor(image(1.75, 3), 0, 0.3, 0.5);
    expectColor(image(0.75, 3), 0, 0, 0, 0);
    expectColor(image(3, 3, -8), 0, 0, 0, 0);
    expectColor(image(0.75, 3, 8), 0.5, 0.3, 0.5);
}

TEST_F(CatalogueFImage, UnplaceablePixelsAreBlack)
{
    expectColor(image(INFINITY, 3), 0, 0, 0, 0);
    expectColor(image(2, -1e300), 0, 0, 0, 0);
    expectColor(image(std::nan(""), 3), 0, 0, 0, 0);
    PixelPattern::setBoundingBox({2, 3, 4, 0});
    expectColor(image(2.5, 3.5), 0, 0, 0, 0);
    PixelPattern::setBitmap(std::make_shared<CoordinateBitmap>(0, 4));
    PixelPattern::setBoundingBox({2, 3, 4, 2});
    expectColor(image(2, 3), 0, 0, 0, 0);
}
