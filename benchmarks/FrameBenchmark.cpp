// Whole frames of the patterns. tick/<pattern>/<path>/threads:N colours 10,000 LEDs at the
// live preview's clock on N threads, by one color() call per LED (the preview's loop before
// the batch call), by colors() (exact) and by colorsFast() (vector). export/Floating/<path>
// renders the 3000 × 1000 pattern PPM on one thread: by color() calls, exact, and fast, and
// counts the bytes in which fast differs from exact.
#include "GridLeds.h"
#include "PreviewClock.h"

#include "common/ColorBytes.h"
#include "colors/PatternFrame.h"
#include "colors/PatternRender.h"
#include "patterns/catalogue/Catalogue.h"
#include "patterns/vector/VectorKernels.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace lumora;

namespace {

enum class Path { ColorCalls, Exact, Fast };
const char *const kPathNames[] = {"color", "colors", "colorsFast"};

/// The preview's loop before the batch call: one color() per LED, the LEDs split over threads.
void colorCalls(const ColorPattern &pattern, double T, const QList<QPointF> &grid, std::vector<Color> &out,
                int threads)
{
    const double scale = pattern.s0 + pattern.s1 * std::sin(0.000827 * T);
    const double angle = pattern.r1 * std::sin(0.000742 * T);
    const double s = std::sin(angle), c = std::cos(angle);
    const double time = pattern.speed * T;
    auto work = [&](qsizetype begin, qsizetype end) {
        Position position;
        position.time = time;
        for (qsizetype k = begin; k < end; ++k) {
            const double X = grid[k].x() * scale, Y = grid[k].y() * scale;
            position.x = c * X - s * Y;
            position.y = s * X + c * Y;
            position.index = k;
            out[k] = pattern.color(position);
        }
    };
    const qsizetype n = grid.size();
    const qsizetype chunk = (n + threads - 1) / threads;
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work, std::min(n, t * chunk), std::min(n, (t + 1) * chunk));
    work(0, std::min(n, chunk));
    for (auto &thread : pool)
        thread.join();
}

void tick(benchmark::State &state, const ColorPattern *pattern, Path path)
{
    const QList<QPointF> grid = gridLeds(10000);
    const int threads = int(state.range(0));
    std::vector<Color> out(grid.size());
    double T = previewClockNow();
    for (auto _ : state) {
        if (path == Path::ColorCalls)
            colorCalls(*pattern, T, grid, out, threads);
        else
            patternFrame(*pattern, T, std::span(grid.constData(), grid.size()), out, path == Path::Fast, threads);
        benchmark::DoNotOptimize(out.data());
        T += 1; // one tick of the preview's clock
    }
    state.counters["ns_per_led"] = benchmark::Counter(
        double(grid.size()) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

/// The pattern PPM's pixels as the export made them before the batch call.
QByteArray exportByColorCalls(const QList<QPointF> &grid, const ColorPattern &pattern, int frames)
{
    QByteArray out;
    out.reserve(3 * grid.size() * frames);
    std::vector<Color> colors(grid.size());
    for (int frame = 0; frame < frames; ++frame) {
        colorCalls(pattern, 0.2 * frame, grid, colors, 1);
        for (const Color &c : colors)
            appendPixel(out, limitedColor(c.r, c.g, c.b));
    }
    return out;
}

QByteArray exportBy(Path path, const QList<QPointF> &grid, const ColorPattern &pattern)
{
    if (path == Path::ColorCalls)
        return exportByColorCalls(grid, pattern, 3000);
    QByteArray out;
    renderPatternAnimation(out, grid, pattern, 3000, 1, nullptr, nullptr, path == Path::Fast);
    return out;
}

void floatingExport(benchmark::State &state, const ColorPattern *pattern, Path path)
{
    const QList<QPointF> grid = gridLeds(1000);
    QByteArray bytes;
    for (auto _ : state) {
        bytes = exportBy(path, grid, *pattern);
        benchmark::DoNotOptimize(bytes.data());
    }
    if (path == Path::Fast) {
        const QByteArray exact = exportBy(Path::Exact, grid, *pattern);
        int differing = 0, largestStep = 0;
        for (qsizetype k = 0; k < exact.size(); ++k) {
            const int step = std::abs(int(quint8(exact[k])) - int(quint8(bytes[k])));
            differing += step != 0;
            largestStep = std::max(largestStep, step);
        }
        state.counters["bytes_differing"] = differing;
        state.counters["largest_step"] = largestStep;
    }
}

const int registered = [] {
    static const PatternRegistry patterns = builtInPatterns();
    const auto vector = vectorKernels();
    benchmark::AddCustomContext("vector_kernels", vector ? vector->instructionSet : "none");
    for (const Path path : {Path::ColorCalls, Path::Exact, Path::Fast}) {
        for (const ColorPattern *pattern : patterns.patterns()) {
            const std::string name = "tick/" + pattern->name() + "/" + kPathNames[int(path)];
            benchmark::RegisterBenchmark(name.c_str(), tick, pattern, path)
                ->Arg(1)->Arg(2)->ArgName("threads")->Unit(benchmark::kMillisecond)->UseRealTime();
        }
    }
    if (const ColorPattern *floating = patterns.named("Floating")) {
        for (const Path path : {Path::ColorCalls, Path::Exact, Path::Fast})
            benchmark::RegisterBenchmark((std::string("export/Floating/") + kPathNames[int(path)]).c_str(),
                                         floatingExport, floating, path)
                ->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
    }
    return 0;
}();

} // namespace

BENCHMARK_MAIN();
