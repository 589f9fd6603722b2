#include "common/ColorBytes.h"
#include "colors/PatternFrame.h"
#include "colors/PatternRender.h"

#include "patterns/catalogue/Catalogue.h"
#include "patterns/framework/PixelPattern.h"

#include "tests/patterns/PatternTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using namespace lumora;

namespace {

using patterntest::pattern;

QList<QPointF> scatteredLeds(int count)
{
    QList<QPointF> leds;
    for (int k = 0; k < count; ++k)
        leds.append(QPointF(std::fmod(k * 7.31, 120.0) - 40, std::fmod(k * 3.77, 60.0) - 20));
    return leds;
}

/// The pattern export as it was first written: one color() call per LED and frame.
QByteArray exportByColorCalls(const QList<QPointF> &grid, const ColorPattern &pattern, int frames)
{
    QByteArray out;
    for (int frame = 0; frame < frames; ++frame) {
        const double T = 0.2 * frame;
        const double scale = pattern.s0 + pattern.s1 * std::sin(0.000827 * T);
        const double angle = pattern.r1 * std::sin(0.000742 * T);
        const double c = std::cos(angle), s = std::sin(angle);
        Position position;
        position.time = pattern.speed * T;
        for (qsizetype j = 0; j < grid.size(); ++j) {
            position.index = j;
            const double X = grid[j].x() * scale;
            const double Y = grid[j].y() * scale;
            position.x = c * X - s * Y;
            position.y = s * X + c * Y;
            const Color color = pattern.color(position);
            appendPixel(out, limitedColor(color.r, color.g, color.b));
        }
    }
    return out;
}

std::vector<Color> frame(const ColorPattern &pattern, double T, const QList<QPointF> &grid, bool fast, int threads)
{
    std::vector<Color> colors(grid.size());
    patternFrame(pattern, T, std::span(grid.constData(), grid.size()), colors, fast, threads);
    return colors;
}

} // namespace

TEST(PatternFrame, ExportIsByteIdenticalToOneColorCallPerLed)
{
    const QList<QPointF> grid = scatteredLeds(150);
    // Batch overrides of each kind, the default loop, and a pattern that reads the LED index.
    for (const char *name : {"Floating", "Field", "Glow", "OilSpiral", "Sinus", "Tunnel", "AcidTrip", "Walker10"}) {
        SCOPED_TRACE(name);
        QByteArray rendered;
        ASSERT_TRUE(renderPatternAnimation(rendered, grid, pattern(name), 40, 2));
        EXPECT_TRUE(rendered == exportByColorCalls(grid, pattern(name), 40));
    }
}

TEST(PatternFrame, ThreadsGiveTheSerialColoursOnBothPaths)
{
    const QList<QPointF> grid = scatteredLeds(2501);
    for (const bool fast : {false, true}) {
        for (const char *name : {"Spirals", "Walker10"}) {
            SCOPED_TRACE(name);
            const auto serial = frame(pattern(name), 8.07e8, grid, fast, 1);
            const auto shared = frame(pattern(name), 8.07e8, grid, fast, 3);
            EXPECT_EQ(std::memcmp(serial.data(), shared.data(), serial.size() * sizeof(Color)), 0);
        }
    }
}

TEST(PatternFrame, HelperThreadsSampleTheCallersPicture)
{
    // A picture whose every pixel differs, installed for this thread only.
    struct Gradient : Bitmap {
        double width() const override { return 64; }
        double height() const override { return 64; }
        std::optional<PixelColor> colorAt(long long column, long long row) const override
        {
            if (column < 0 || row < 0 || column >= 64 || row >= 64)
                return std::nullopt;
            return PixelColor{column / 63.0, row / 63.0, 0.5, 1};
        }
    };
    const PixelSource source{std::make_shared<Gradient>(), {-40, -20, 120, 60}};
    const PixelPattern::Scope scope(&source);
    const QList<QPointF> grid = scatteredLeds(1000);
    const auto serial = frame(pattern("Image"), 3, grid, false, 1);
    const auto shared = frame(pattern("Image"), 3, grid, false, 2);
    EXPECT_GT(serial[500].r + serial[500].g, 0);
    EXPECT_EQ(std::memcmp(serial.data(), shared.data(), serial.size() * sizeof(Color)), 0);
}

TEST(PatternFrame, FastExportStaysWithinOneStepOfTheExactBytes)
{
    const QList<QPointF> grid = scatteredLeds(200);
    QByteArray exact, fast;
    ASSERT_TRUE(renderPatternAnimation(exact, grid, pattern("Floating"), 60, 2));
    ASSERT_TRUE(renderPatternAnimation(fast, grid, pattern("Floating"), 60, 2, nullptr, nullptr, true));
    ASSERT_EQ(exact.size(), fast.size());
    int differing = 0;
    for (qsizetype k = 0; k < exact.size(); ++k) {
        const int step = std::abs(int(quint8(exact[k])) - int(quint8(fast[k])));
        EXPECT_LE(step, 1) << "byte " << k;
        differing += step != 0;
    }
    EXPECT_LE(differing, 3);
}
