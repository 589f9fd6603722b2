// The headless core's heavy paths: rendering the pattern animation export serially and on
// all cores, reading, setting up and writing a large document, and the template picture.
#include "GridLeds.h"

#include "document/DocumentReader.h"
#include "document/DocumentWriter.h"
#include "exports/Exporter.h"
#include "colors/PatternRender.h"
#include "patterns/catalogue/Catalogue.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace lumora;

namespace {

const ColorPattern &pattern(const char *name)
{
    static const PatternRegistry patterns = builtInPatterns();
    static const ColorPattern fallback;
    const ColorPattern *p = patterns.named(name);
    return p ? *p : fallback;
}

/// Arguments: thread count (1 = serial, 0 = all cores). 3000 frames of 1,000 LEDs.
void patternExport(benchmark::State &state, const char *name)
{
    const QList<QPointF> leds = gridLeds(1000);
    const ColorPattern &p = pattern(name);
    for (auto _ : state) {
        QByteArray out;
        renderPatternAnimation(out, leds, p, 3000, int(state.range(0)));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * 3000 * 1000);
}

LayoutSnapshot largeLayout(int leds)
{
    LayoutSnapshot layout;
    for (int i = 0; i < leds; ++i)
        layout.leds.append(QPointF(i % 1000 + 0.25, i / 1000 * 7.5));
    layout.grid = GridHandles{{0, 0}, {10, 0}, {0, 10}};
    auto &frames = layout.animationEditor->track().frames;
    for (int f = 0; f < 4; ++f) {
        QList<bool> selection(leds);
        for (int i = 0; i < leds; i += 3)
            selection[i] = true;
        frames.append(AnimationFrame::newWithSelection(selection, nullptr, QUrl("file:///pictures/frame.png")));
    }
    return layout;
}

void readLargeDocument(benchmark::State &state)
{
    const QByteArray text = writeDocument(largeLayout(int(state.range(0))));
    for (auto _ : state) {
        Model model;
        readDocument(text, model);
        benchmark::DoNotOptimize(model.points.data());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}

void setUpLargeDocument(benchmark::State &state)
{
    Model model;
    readDocument(writeDocument(largeLayout(int(state.range(0)))), model);
    for (auto _ : state) {
        LayoutSnapshot layout = LayoutSnapshot::fromModel(model);
        benchmark::DoNotOptimize(layout.points().data());
    }
}

void writeLargeDocument(benchmark::State &state)
{
    const LayoutSnapshot layout = largeLayout(int(state.range(0)));
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray text = writeDocument(layout);
        size = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * size);
}

/// The template picture of range(0) LEDs spread over the layout.
void templatePicture(benchmark::State &state)
{
    QList<QPointF> leds;
    for (int i = 0; i < state.range(0); ++i)
        leds.append(QPointF((i * 7919) % 10240 / 10.0, (i * 104729) % 7680 / 10.0));
    for (auto _ : state) {
        const QImage image = Exporter::templateImage(leds);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(templatePicture)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(patternExport, light, "AcidTrip")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(patternExport, medium, "QuasiCrystal")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(patternExport, heaviest, LUMORA_HEAVIEST_PATTERN)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(readLargeDocument)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(setUpLargeDocument)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(writeLargeDocument)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
