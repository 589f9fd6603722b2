// One whole preview tick per pattern: evaluate the pattern for every LED (spread over the
// cores), set the LEDs' colours, and paint the layout offscreen at 1024 × 768 with
// antialiasing, for 1,000, 2,000 and 10,000 LEDs; zoomed in, a pan step, a drag step and the
// LED number overlay. The last argument of tick, zoomedTick, panStep and dragStep switches
// compositing (1, as the editor paints) against painting every LED on every frame (0), so
// the two compare in one run. CPU times are those of all threads.
#include "document/UndoManager.h"
#include "editor/View.h"
#include "PreviewLayout.h"
#include "patterns/catalogue/Catalogue.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>

using namespace lumora;

namespace {

using Layout = PreviewLayout;

/// The paint path of the last frame: 0 every LED, 1 composited, 2 a drag step.
void reportPath(benchmark::State &state, const View &view)
{
    state.counters["path"] = double(int(view.layoutPainter().lastPaintPath()));
}

void tick(benchmark::State &state, const ColorPattern *pattern)
{
    Layout layout(int(state.range(0)));
    layout.view.layoutPainter().setCompositing(state.range(1) != 0);
    layout.view.setPatternSource([pattern] { return pattern; });
    QImage frame(1024, 768, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        layout.view.tick();
        QPainter painter(&frame);
        layout.view.render(&painter);
        painter.end();
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    reportPath(state, layout.view);
}

/// Paints the view into the frame, as a repaint of the window would.
void paintInto(View &view, QImage &frame)
{
    QPainter painter(&frame);
    view.render(&painter);
    painter.end();
    benchmark::DoNotOptimize(frame.constBits());
}

/// A mouse event at a widget position (`buttons` held after it).
void mouse(View &view, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, at, button, buttons, {});
    QApplication::sendEvent(&view, &event);
}

/// One drag event on one LED of a large layout, with the repaint it causes: the LED order
/// line, the duplicate search and the layer under the LEDs are redone each time. The third
/// argument zooms in about the dragged LED.
void dragStep(benchmark::State &state)
{
    Layout layout(int(state.range(0)));
    layout.view.layoutPainter().setCompositing(state.range(1) != 0);
    layout.view.setMode("Select");
    if (state.range(2) > 1) {
        layout.view.setViewCentre(layout.view.model()->leds()[layout.view.model()->leds().size() / 2]->position());
        layout.view.setZoom(double(state.range(2)), {512, 384});
    }
    const QPointF led = layout.view.model()->leds()[layout.view.model()->leds().size() / 2]->position();
    const QPointF start = layout.view.widgetPoint(led);
    mouse(layout.view, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    QImage frame(1024, 768, QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        const QPointF to = start + QPointF(step % 40, (step / 40) % 40);
        ++step;
        mouse(layout.view, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        paintInto(layout.view, frame);
    }
    reportPath(state, layout.view);
}

/// The first step of a drag: press on one LED of a large layout, one drag event with its
/// repaint (where compositing keeps the layout without the dragged LED once), and release.
void dragStart(benchmark::State &state)
{
    Layout layout(int(state.range(0)));
    layout.view.layoutPainter().setCompositing(state.range(1) != 0);
    layout.view.setMode("Select");
    QImage frame(1024, 768, QImage::Format_ARGB32_Premultiplied);
    paintInto(layout.view, frame); // settles the view's size and so where the LED is on screen
    const QPointF led = layout.view.model()->leds()[layout.view.model()->leds().size() / 2]->position();
    const QPointF start = layout.view.widgetPoint(led);
    for (auto _ : state) {
        mouse(layout.view, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        mouse(layout.view, QEvent::MouseMove, start + QPointF(3, 2), Qt::NoButton, Qt::LeftButton);
        paintInto(layout.view, frame);
        // Back where it started, so every press finds the LED.
        mouse(layout.view, QEvent::MouseMove, start, Qt::NoButton, Qt::LeftButton);
        mouse(layout.view, QEvent::MouseButtonRelease, start, Qt::LeftButton, Qt::NoButton);
    }
    reportPath(state, layout.view);
}

/// A preview tick zoomed in four times about the middle: only the LEDs on screen are drawn.
void zoomedTick(benchmark::State &state, const ColorPattern *pattern)
{
    Layout layout(int(state.range(0)));
    layout.view.layoutPainter().setCompositing(state.range(1) != 0);
    layout.view.setPatternSource([pattern] { return pattern; });
    layout.view.setZoom(4, {512, 384});
    QImage frame(1024, 768, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        layout.view.tick();
        paintInto(layout.view, frame);
    }
    reportPath(state, layout.view);
}

/// One pan step of a zoomed view with the repaint it causes (the layer under the LEDs is
/// redrawn for the new position).
void panStep(benchmark::State &state)
{
    Layout layout(int(state.range(0)));
    layout.view.layoutPainter().setCompositing(state.range(1) != 0);
    layout.view.setZoom(4, {512, 384});
    QImage frame(1024, 768, QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        layout.view.setViewCentre(QPointF(300 + (step % 400), 300 + (step / 400 % 100)));
        ++step;
        paintInto(layout.view, frame);
    }
    reportPath(state, layout.view);
}

/// A repaint of the whole layout with or without the LED numbers; the difference is what
/// the number overlay costs per frame.
void numbers(benchmark::State &state)
{
    Layout layout(int(state.range(0)));
    layout.view.setNumbersShown(state.range(1) != 0);
    // At twice the size every LED of 2,000 is on screen with its own number.
    const int width = int(state.range(2));
    layout.view.resize(width, width * 3 / 4);
    QImage frame(width, width * 3 / 4, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        paintInto(layout.view, frame);
    }
    state.counters["every"] = layout.view.numberStep();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const PatternRegistry patterns = builtInPatterns();
    // The cheapest pattern shows what painting costs, the heaviest what evaluating does.
    const ColorPattern *cheap = patterns.named("Walker");
    const ColorPattern *heavy = patterns.named("Floating");
    for (const ColorPattern *pattern : patterns.patterns()) {
        auto *b = benchmark::RegisterBenchmark(("tick/" + pattern->name()).c_str(), tick, pattern)
                      ->Args({1000, 1})->Args({2000, 1})->Args({10000, 1});
        if (pattern == cheap || pattern == heavy)
            b->Args({10000, 0});
        b->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->UseRealTime();
    }
    const ColorPattern *first = patterns.at(0);
    benchmark::RegisterBenchmark(("zoomedTick/" + first->name()).c_str(), zoomedTick, first)
        ->Args({10000, 1})->Args({10000, 0})->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("panStep", panStep)
        ->Args({10000, 1})->Args({10000, 0})->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->UseRealTime();
    // LEDs, numbers shown, view width.
    benchmark::RegisterBenchmark("numbers", numbers)
        ->Args({2000, 0, 1024})->Args({2000, 1, 1024})->Args({2000, 0, 2048})->Args({2000, 1, 2048})
        ->Unit(benchmark::kMillisecond)->UseRealTime();
    // LEDs, compositing, zoom.
    benchmark::RegisterBenchmark("dragStep", dragStep)
        ->Args({2000, 1, 1})->Args({2000, 0, 1})->Args({10000, 1, 1})->Args({10000, 0, 1})->Args({10000, 1, 4})
        ->Args({10000, 0, 4})
        ->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("dragStart", dragStart)
        ->Args({10000, 1})->Args({10000, 0})->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
