#include "PatternTestSupport.h"

#include <cstring>
#include <vector>

using namespace lumora;

namespace {

/// A 64 × 40 lattice in grid units, scaled and turned for the preview time T as the preview
/// does, plus the origin and a far point.
std::vector<Position> previewPositions(const ColorPattern &pattern, double T)
{
    const double scale = pattern.s0 + pattern.s1 * std::sin(0.000827 * T);
    const double angle = pattern.r1 * std::sin(0.000742 * T);
    const double c = std::cos(angle), s = std::sin(angle);
    std::vector<Position> positions;
    for (int row = 0; row < 40; ++row) {
        for (int column = 0; column < 64; ++column) {
            const double X = (column - 31.7) * 1.37 * scale;
            const double Y = (row - 19.2) * 1.37 * scale;
            positions.push_back({-1, c * X - s * Y, s * X + c * Y, std::int64_t(positions.size())});
        }
    }
    positions.push_back({-1, 0, 0, std::int64_t(positions.size())});
    positions.push_back({-1, 4e3, -7e2, std::int64_t(positions.size())});
    return positions;
}

bool sameBits(const Color &a, const Color &b)
{
    return std::memcmp(&a, &b, sizeof(Color)) == 0;
}

// Preview times T: small, the export's last frame, seconds since 2001 (the breathing and
// turn at large phases), and the preview's clock today and in ten years (seconds since 2001
// × 30), where the patterns' sines get arguments near 5e8.
const double kPreviewTimes[] = {0.0, 7.3, 599.8, 8.07e8, 2.45e10 + 0.37, 3.4e10};
// Pattern times handed over directly, near where glibc's sine changes its method.
const double kExtraTimes[] = {-2.5, 5.4e5, 2.7e7, 5.0e8 + 0.123};

} // namespace

TEST(BatchEvaluation, EveryPatternsBatchIsBitIdenticalToItsColor)
{
    for (const ColorPattern *pattern : patterntest::registry().patterns()) {
        SCOPED_TRACE(pattern->name());
        std::vector<std::pair<double, double>> times; // (T for the positions, pattern time)
        for (double T : kPreviewTimes)
            times.push_back({T, pattern->speed * T});
        for (double time : kExtraTimes)
            times.push_back({2.45e10, time});
        for (const auto &[T, time] : times) {
            const auto positions = previewPositions(*pattern, T);
            std::vector<Color> batch(positions.size());
            pattern->colors(time, positions, batch);
            int mismatches = 0;
            for (std::size_t k = 0; k < positions.size(); ++k) {
                Position p = positions[k];
                p.time = time;
                if (!sameBits(pattern->color(p), batch[k]) && ++mismatches <= 3)
                    ADD_FAILURE() << "time " << time << " LED " << k;
            }
            EXPECT_EQ(mismatches, 0) << "time " << time;
        }
    }
}
