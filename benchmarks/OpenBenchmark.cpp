// The editor's whole open path for large layouts: reading the file, setting up the document
// model, the window with its layout editor, timeline and strip, and the first paint. Peak
// memory per LED is reported as a counter (the process's peak resident size over the LEDs
// of the largest layout opened so far).
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "document/DocumentWriter.h"
#include "document/LayoutSnapshot.h"
#include "editor/View.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

using namespace lumora;

namespace {

/// A square matrix of LEDs with a complete grid, written once per size.
QString largeDocument(const QTemporaryDir &folder, int leds)
{
    LayoutSnapshot layout;
    const int side = int(std::ceil(std::sqrt(double(leds))));
    const double step = 700.0 / side;
    layout.leds.reserve(leds);
    for (int i = 0; i < leds; ++i)
        layout.leds.append(QPointF(162 + (i % side) * step, 34 + (i / side) * step));
    layout.grid = GridHandles{{512, 384}, {512 + step, 384}, {512, 384 + step}};
    const QString fileName = folder.filePath(QString("matrix-%1.lumora").arg(leds));
    writeDocumentFile(layout, fileName);
    return fileName;
}

double peakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) * 1024;
}

void openLayout(benchmark::State &state)
{
    QTemporaryDir folder;
    const int leds = int(state.range(0));
    const QString fileName = largeDocument(folder, leds);
    const double before = peakResidentBytes();
    for (auto _ : state) {
        QString error;
        std::unique_ptr<Document> document(Document::open(fileName, &error));
        document->window()->resize(1280, 800);
        // The first paint, offscreen: what the user waits for before the window shows.
        benchmark::DoNotOptimize(document->view()->renderLayout(1024).constBits());
        state.PauseTiming();
        document.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["peak_bytes_per_led"] = (peakResidentBytes() - before) / leds;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::RegisterBenchmark("openLayout", openLayout)
        ->Arg(10'000)
        ->Arg(100'000)
        ->Arg(1'000'000)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(2);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
