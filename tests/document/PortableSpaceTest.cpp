// A sketch places its LEDs in pattern space with the portable headers' patternSpace() and
// positionIn(); in double they must give the desktop's frames to the last bit, or a sketch's
// frames drift from the pattern export however good its float is.

#include "colors/PatternFrame.h"

#include "patterns/catalogue/Catalogue.h"
#include "patterns/catalogue/DoubleMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using namespace lumora;

namespace {

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(PortableSpace, PlacesLedsAsThePreviewAndTheExportsDo)
{
    std::vector<QPointF> grid;
    for (int k = 0; k < 12; ++k)
        grid.emplace_back(std::fmod(k * 7.31, 20.0) - 10, std::fmod(k * 3.77, 12.0) - 6);

    for (PatternFactory factory : catalogue()) {
        const auto pattern = factory();
        if (pattern->name() == "Image")
            continue;
        for (const double T : {0.0, 0.2, 157.4, 599.8, 86400.2}) {
            std::vector<Color> frame(grid.size());
            patternFrame(*pattern, T, grid, frame);
            const auto space = portable::patternSpace<double, DoubleMath>(pattern->s0, pattern->s1, pattern->r1,
                                                                         pattern->speed, T);
            for (std::size_t k = 0; k < grid.size(); ++k) {
                const auto p = portable::positionIn(space, grid[k].x(), grid[k].y(), static_cast<long long>(k));
                const Color c = pattern->color(Position{p.time, p.x, p.y, p.index});
                EXPECT_TRUE(sameBits(c.r, frame[k].r) && sameBits(c.g, frame[k].g) && sameBits(c.b, frame[k].b))
                    << pattern->name() << " at T = " << T << ", LED " << k;
            }
        }
    }
}
