// What undo, paste and reading cost at large sizes: undo memory per LED per step (the
// history's own count and the process's growth), a paste of 100,000 LEDs into 100,000, and
// reading 100 MB of rows (time, and peak memory over the file's size). Run the reading on
// its own (--benchmark_filter=read) so that the peak is its own. The records and the paste
// that these replaced are measured beside them for comparison.
#include "document/DocumentModel.h"
#include "document/DocumentReader.h"
#include "document/DocumentWriter.h"
#include "document/UndoManager.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>

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

/// Reading about 100 MB of rows: a layout with a grid, so the points and the positions, in
/// the writer's form (built row by row, so that the peak before reading is the text alone).
void readRows(benchmark::State &state)
{
    const qsizetype leds = state.range(0);
    QByteArray text;
    text.reserve(leds * 40);
    text += "Point points[" + QByteArray::number(leds) + "] =\n{\n";
    for (const QPointF &p : positions(leds))
        text += formatFixed(p.x()) + ',' + formatFixed(p.y()) + ",\n";
    text += "};\n\nPoint grid[3] =\n{\n100.000000,100.000000,\n101.000000,100.000000,\n100.000000,101.000000,\n};\n";
    text += "\nPoint positions[" + QByteArray::number(leds) + "] =\n{\n";
    for (qsizetype i = 0; i < leds; ++i)
        text += QByteArray::number(i % 3000) + ',' + QByteArray::number(i % 997) + ",\n";
    text += "};\n";
    text.squeeze();
    const double before = currentBytes();
    for (auto _ : state) {
        Model model;
        const ReadResult result = readDocument(text, model);
        benchmark::DoNotOptimize(result.ok);
    }
    state.counters["file_mb"] = double(text.size()) / (1 << 20);
    state.counters["peak_over_file"] = (peakBytes() - before) / double(text.size());
}

/// For comparison, the records these replaced: one closure per LED (a single move each,
/// as drags, rotations and scales registered them before).
void undoMemoryPerLedClosures(benchmark::State &state)
{
    const qsizetype leds = state.range(0);
    constexpr int steps = 3;
    for (auto _ : state) {
        DocumentModel model;
        load(model, leds);
        model.undoManager()->setMemoryBudget(qint64(1) << 40);
        const QList<NodePtr> all = model.leds();
        const double before = currentBytes();
        for (int s = 0; s < steps; ++s) {
            for (const NodePtr &node : all)
                model.moveLed(node, node->position() + QPointF(0.5, 0.25));
            model.undoManager()->endGrouping();
        }
        state.counters["rss_bytes_per_led_step"] = (currentBytes() - before) / double(leds * steps);
    }
}

/// For comparison, the paste these replaced: each LED placed by the insertion rule on its
/// own (a scan for the first marked LED, an insertion and a step of its own), then marked.
void pasteOneByOne(benchmark::State &state)
{
    const qsizetype leds = state.range(0);
    const QList<QPointF> clipboard = positions(leds);
    for (auto _ : state) {
        state.PauseTiming();
        DocumentModel model;
        load(model, leds);
        model.setMarking(QList<bool>(leds / 2, false) + QList<bool>{true});
        state.ResumeTiming();
        for (const QPointF &p : clipboard) {
            auto node = std::make_shared<Node>();
            node->setPosition(p);
            const QList<NodePtr> &list = model.leds();
            const auto first = std::find_if(list.cbegin(), list.cend(), [](const NodePtr &n) { return n->isMarked(); });
            if (first != list.cend())
                model.insertLed(node, first - list.cbegin());
            else
                model.addLed(node);
            model.markLed(node);
        }
        model.undoManager()->endGrouping();
        benchmark::DoNotOptimize(model.ledCount());
    }
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
    benchmark::RegisterBenchmark("undoMemoryPerLedClosures", undoMemoryPerLedClosures)
        ->Arg(1'000'000)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("pasteOneByOne", pasteOneByOne)
        ->Arg(10'000)
        ->Arg(100'000)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
