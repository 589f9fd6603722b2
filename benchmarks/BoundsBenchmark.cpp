// What undo, paste and reading cost at large sizes: undo memory per LED per step (the
// history's own count and the process's growth), a paste of 100,000 LEDs into 100,000, and
// reading 100 MB of rows (time, and peak memory over the file's size). Run the reading on
// its own (--benchmark_filter=read) so that the peak is its own.
#include "document/DocumentModel.h"
#include "document/DocumentReader.h"
#include "document/DocumentWriter.h"
#include "document/UndoManager.h"

#include <QCoreApplication>
#include <QFile>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

using namespace lumora;

namespace {

double peakBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) * 1024;
}

double currentBytes()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) : 0;
}

QList<QPointF> positions(qsizetype count)
{
    QList<QPointF> list;
    list.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        list.append(QPointF(100 + 0.0007 * i, 100 + (i % 997) * 0.5));
    return list;
}

void load(DocumentModel &model, qsizetype count)
{
    Model loaded;
    loaded.points = positions(count);
    model.load(loaded);
}

/// Drags of every LED, each one undo step: bytes per LED per step as the history counts
/// them and as the process grew.
void undoMemoryPerLedPerStep(benchmark::State &state)
{
    const qsizetype leds = state.range(0);
    constexpr int steps = 10;
    for (auto _ : state) {
        DocumentModel model;
        load(model, leds);
        UndoManager &undo = *model.undoManager();
        undo.setMemoryBudget(qint64(1) << 40);
        const QList<NodePtr> all = model.leds();
        const double before = currentBytes();
        for (int s = 0; s < steps; ++s) {
            QList<QPointF> starts, targets;
            starts.reserve(leds);
            targets.reserve(leds);
            for (const NodePtr &node : all) {
                starts.append(node->position());
                targets.append(node->position() + QPointF(0.5, 0.25));
            }
            model.setLedPositions(all, targets);
            model.registerMoves(all, starts, "move node");
            undo.endGrouping();
        }
        state.counters["history_bytes_per_led_step"] = double(undo.memoryUsed()) / double(leds * steps);
        state.counters["rss_bytes_per_led_step"] = (currentBytes() - before) / double(leds * steps);
        for (int s = 0; s < steps; ++s)
            undo.undo();
    }
}

/// 100,000 LEDs pasted in front of the first marked LED of a layout of 100,000.
void pasteIntoLayout(benchmark::State &state)
{
    const qsizetype leds = state.range(0);
    const QList<QPointF> clipboard = positions(leds);
    for (auto _ : state) {
        state.PauseTiming();
        DocumentModel model;
        load(model, leds);
        model.setMarking(QList<bool>(leds / 2, false) + QList<bool>{true});
        state.ResumeTiming();
        model.pasteLeds(clipboard);
        model.undoManager()->endGrouping();
        benchmark::DoNotOptimize(model.ledCount());
    }
}

/// Reading about 100 MB of rows: a layout with a grid, so the points and the positions.
void readRows(benchmark::State &state)
{
    LayoutSnapshot layout;
    layout.leds = positions(state.range(0));
    layout.grid = GridHandles{{100, 100}, {101, 100}, {100, 101}};
    const QByteArray text = writeDocument(layout);
    layout = {};
    const double before = currentBytes();
    for (auto _ : state) {
        Model model;
        const ReadResult result = readDocument(text, model);
        benchmark::DoNotOptimize(result.ok);
    }
    state.counters["file_mb"] = double(text.size()) / (1 << 20);
    state.counters["peak_over_file"] = (peakBytes() - before) / double(text.size());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::RegisterBenchmark("readRows", readRows)->Arg(3'000'000)->Unit(benchmark::kMillisecond)->Iterations(2);
    benchmark::RegisterBenchmark("undoMemoryPerLedPerStep", undoMemoryPerLedPerStep)
        ->Arg(1'000'000)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("pasteIntoLayout", pasteIntoLayout)
        ->Arg(100'000)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
