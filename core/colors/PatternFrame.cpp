#include "PatternFrame.h"

#include "patterns/framework/ColorPattern.h"
#include "patterns/framework/PixelPattern.h"

#include <QThread>

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

namespace lumora {

namespace {

/// The slow breathing and turn of the pattern space at one time T.
struct FrameTransform {
    double scale;
    double c;
    double s;
    double time;
};

FrameTransform frameTransform(const ColorPattern &pattern, double T)
{
    const double scale = pattern.s0 + pattern.s1 * std::sin(0.000827 * T);
    const double angle = pattern.r1 * std::sin(0.000742 * T);
    return {scale, std::cos(angle), std::sin(angle), pattern.speed * T};
}

/// Colours LEDs [begin, end) in blocks, so that a block's positions stay in the cache.
void colorRange(const ColorPattern &pattern, const FrameTransform &f, std::span<const QPointF> grid,
                std::span<Color> out, std::size_t begin, std::size_t end, bool fast)
{
    constexpr std::size_t kBlock = 512;
    Position positions[kBlock];
    for (std::size_t first = begin; first < end; first += kBlock) {
        const std::size_t count = std::min(kBlock, end - first);
        for (std::size_t j = 0; j < count; ++j) {
            const double X = grid[first + j].x() * f.scale;
            const double Y = grid[first + j].y() * f.scale;
            positions[j] = {f.time, f.c * X - f.s * Y, f.s * X + f.c * Y, std::int64_t(first + j)};
        }
        const std::span<const Position> block(positions, count);
        const std::span<Color> colors = out.subspan(first, count);
        if (fast)
            pattern.colorsFast(f.time, block, colors);
        else
            pattern.colors(f.time, block, colors);
    }
}

} // namespace

void patternFrame(const ColorPattern &pattern, double T, std::span<const QPointF> grid, std::span<Color> out,
                  bool fast, int threads)
{
    const FrameTransform f = frameTransform(pattern, T);
    const std::size_t n = grid.size();
    // Below a few hundred LEDs starting threads costs more than it saves.
    if (threads <= 0)
        threads = n < 256 ? 1 : std::max(1, QThread::idealThreadCount());
    threads = int(std::min<std::size_t>(std::size_t(threads), std::max<std::size_t>(n, 1)));

    const std::size_t chunk = (n + threads - 1) / threads;
    // The Image pattern must sample on the helpers what it samples on this thread.
    const PixelSource *source = PixelPattern::scopedSource();
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) {
        pool.emplace_back([&, t] {
            const PixelPattern::Scope scope(source);
            colorRange(pattern, f, grid, out, std::min(n, t * chunk), std::min(n, (t + 1) * chunk), fast);
        });
    }
    colorRange(pattern, f, grid, out, 0, std::min(n, chunk), fast);
    for (auto &thread : pool)
        thread.join();
}

} // namespace lumora
