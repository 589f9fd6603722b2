// Cost of one color() call per pattern over a realistic spread of positions, at the live
// preview's clock. frame_benchmark compares whole frames on the exact and the vector paths.
#include "PreviewClock.h"

#include "patterns/catalogue/Catalogue.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

using namespace lumora;

namespace {

/// A lattice of LEDs as the preview hands them over: grid units scaled and turned, over a
/// few seconds of animation time from the preview's clock now.
std::vector<Position> spreadFor(const ColorPattern &pattern, int count)
{
    std::vector<Position> positions;
    positions.reserve(count);
    const int side = int(std::ceil(std::sqrt(double(count))));
    const double now = previewClockNow();
    for (int i = 0; i < count; ++i) {
        const double T = now + 30.0 * (i % 97);
        const double u = (i % side) - side / 2.0;
        const double v = (i / side) - side / 2.0;
        const double scale = pattern.s0 + pattern.s1 * std::sin(8.27e-4 * T);
        const double angle = pattern.r1 * std::sin(7.42e-4 * T);
        Position p;
        p.time = pattern.speed * T;
        p.x = (u * std::cos(angle) - v * std::sin(angle)) * scale;
        p.y = (u * std::sin(angle) + v * std::cos(angle)) * scale;
        p.index = i;
        positions.push_back(p);
    }
    return positions;
}

void colorCall(benchmark::State &state, const ColorPattern *pattern)
{
    const auto positions = spreadFor(*pattern, 1024);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pattern->color(positions[i]));
        i = (i + 1) & 1023;
    }
    state.SetItemsProcessed(state.iterations());
}

const int registered = [] {
    static const PatternRegistry patterns = builtInPatterns();
    for (const ColorPattern *pattern : patterns.patterns())
        benchmark::RegisterBenchmark(("color/" + pattern->name()).c_str(), colorCall, pattern);
    return 0;
}();

} // namespace

BENCHMARK_MAIN();
