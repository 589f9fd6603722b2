#include "PatternTestSupport.h"

#include "patterns/vector/VectorKernels.h"

#include <vector>

using namespace lumora;

namespace {

/// The display byte of a component: trunc(clamp(c) · 255).
int displayByte(double c)
{
    return int(std::clamp(c, 0.0, 1.0) * 255);
}

/// Whether c lies within 1e-9 of a value where its display byte changes.
bool nearByteBoundary(double c)
{
    const double scaled = std::clamp(c, 0.0, 1.0) * 255;
    return std::fabs(scaled - std::round(scaled)) < 255e-9;
}

/// LEDs over a 120 × 60 grid-unit layout, scaled as the preview scales them.
std::vector<Position> layout(const ColorPattern &pattern)
{
    std::vector<Position> positions;
    for (int k = 0; k < 3001; ++k) {
        const double u = std::fmod(k * 7.31, 120.0) - 60;
        const double v = std::fmod(k * 3.77, 60.0) - 30;
        positions.push_back({0, u * pattern.s0, v * pattern.s0, k});
    }
    return positions;
}

struct Agreement {
    double largestDifference = 0;
    int bytesDiffering = 0;
    int bytesDifferingAwayFromBoundary = 0;
};

Agreement compare(const ColorPattern &pattern, double time)
{
    const auto positions = layout(pattern);
    std::vector<Color> exact(positions.size()), fast(positions.size());
    pattern.colors(time, positions, exact);
    pattern.colorsFast(time, positions, fast);
    Agreement agreement;
    for (std::size_t k = 0; k < positions.size(); ++k) {
        const double e[] = {exact[k].r, exact[k].g, exact[k].b};
        const double f[] = {fast[k].r, fast[k].g, fast[k].b};
        for (int c = 0; c < 3; ++c) {
            const double difference = std::isnan(e[c]) != std::isnan(f[c]) ? HUGE_VAL : std::fabs(e[c] - f[c]);
            agreement.largestDifference = std::max(agreement.largestDifference, std::isnan(difference) ? 0 : difference);
            if (displayByte(e[c]) != displayByte(f[c])) {
                ++agreement.bytesDiffering;
                if (!nearByteBoundary(e[c]))
                    ++agreement.bytesDifferingAwayFromBoundary;
            }
        }
    }
    return agreement;
}

} // namespace

TEST(VectorEvaluation, EveryKernelSetStaysWithinANanoOfTheExactPath)
{
    const auto sets = supportedVectorKernels();
    if (sets.empty())
        GTEST_SKIP() << "built without vector kernels";
    for (const VectorKernels *set : sets) {
        useVectorKernels(set);
        SCOPED_TRACE(set->instructionSet);
        int bytesDiffering = 0;
        for (const ColorPattern *pattern : patterntest::registry().patterns()) {
            SCOPED_TRACE(pattern->name());
            // Small times, and the preview's clock today (seconds since 2001 × 30).
            for (double T : {3.1, 611.0, 2.45e10 + 0.7}) {
                const Agreement a = compare(*pattern, pattern->speed * T);
                EXPECT_LE(a.largestDifference, 1e-9) << "T " << T;
                EXPECT_EQ(a.bytesDifferingAwayFromBoundary, 0) << "T " << T;
                bytesDiffering += a.bytesDiffering;
            }
        }
        // A differing byte needs a component within 1e-9 of a boundary: rare.
        EXPECT_LE(bytesDiffering, 10);
    }
    useVectorKernels(sets.front());
}
