// The pattern language against Node.js: the sample patterns, one frame (beforeRender(200)
// and every LED of a square grid) at 1,000, 10,000 and 100,000 LEDs on one core. The same
// patterns run in Node.js through ScriptNodeShim.js in the same run, as the reference; its
// rows carry the time Node reports for one frame after a warm-up.
#include "script/Instance.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace lumora::script;

namespace {

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void gridPositions(int count, std::vector<double> &x, std::vector<double> &y)
{
    const int width = int(std::ceil(std::sqrt(double(count))));
    x.resize(size_t(count));
    y.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        x[size_t(i)] = i % width;
        y[size_t(i)] = i / width;
    }
}

void runtimeFrame(benchmark::State &state, std::filesystem::path file)
{
    std::vector<Diagnostic> errors;
    auto program = Program::compile(readFile(file), errors);
    if (!program) {
        state.SkipWithError(errors.empty() ? "does not compile" : errors[0].message.c_str());
        return;
    }
    const int leds = int(state.range(0));
    std::vector<double> x, y, rgb(size_t(leds) * 3);
    gridPositions(leds, x, y);
    Instance instance(program, 1);
    instance.setPositions(x, y);
    for (int i = 0; i < 3; ++i)
        instance.renderFrame(200, rgb);
    for (auto _ : state) {
        if (!instance.renderFrame(200, rgb)) {
            state.SkipWithError(instance.error()->message.c_str());
            return;
        }
        benchmark::DoNotOptimize(rgb.data());
    }
    state.SetItemsProcessed(state.iterations() * leds);
}

void nodeFrame(benchmark::State &state, std::filesystem::path file)
{
    const int leds = int(state.range(0));
    const int frames = leds >= 100000 ? 5 : 20;
    std::string command = std::string(LUMORA_NODE) + " " + LUMORA_NODE_SHIM + " '" + file.string() + "' "
        + std::to_string(leds) + " " + std::to_string(frames) + " 2>&1";
    double ms = -1;
    if (FILE *pipe = ::popen(command.c_str(), "r")) {
        char line[256] = {};
        std::string last;
        while (std::fgets(line, sizeof line, pipe))
            last = line;
        if (::pclose(pipe) == 0)
            ms = std::atof(last.c_str());
    }
    for (auto _ : state) {
        if (ms < 0) {
            state.SkipWithError("Node.js could not run the pattern");
            return;
        }
        state.SetIterationTime(ms / 1000.0);
    }
    state.SetItemsProcessed(state.iterations() * leds);
}

const int registered = [] {
    std::vector<std::filesystem::path> files;
    for (auto &entry : std::filesystem::directory_iterator(LUMORA_PATTERN_SAMPLES))
        if (entry.path().extension() == ".js")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto &file : files) {
        const std::string name = file.stem().string();
        benchmark::RegisterBenchmark(("script/" + name).c_str(), runtimeFrame, file)
            ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(0.2);
        if (std::string(LUMORA_NODE).size())
            benchmark::RegisterBenchmark(("node/" + name).c_str(), nodeFrame, file)
                ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
    }
    return 0;
}();

} // namespace

BENCHMARK_MAIN();
