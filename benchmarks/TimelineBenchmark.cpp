// The timeline of a large animation (500 frames of a 2,000-LED layout, pictures behind
// them): what adding, moving and reversing frames cost the GUI thread, including the sync
// and repaint that follow, and how long a full thumbnail redraw blocks it.
#include "editor/timeline/AnimationEditorView.h"
#include "document/UndoManager.h"
#include "editor/View.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QThread>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>

using namespace lumora;

namespace {

constexpr int frameCount = 500;
constexpr int ledCount = 2000;

QImage gradient(QColor from, QColor to)
{
    QImage image(1024, 768, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient fill(0, 0, 1024, 768);
    fill.setColorAt(0, from);
    fill.setColorAt(1, to);
    painter.fillRect(image.rect(), fill);
    return image;
}

/// A document window's layout editor and timeline, the timeline in its scroll area.
struct Animation {
    DocumentModel model;
    UndoManager &undo = *model.undoManager();
    View view{&model};
    QScrollArea area;
    AnimationEditorView *timeline = new AnimationEditorView(&model);
    std::shared_ptr<AnimationEditor> editor = model.animationEditor();

    Animation()
    {
        undo.disableUndoRegistration();
        view.resize(1024, 768);
        const int side = int(std::ceil(std::sqrt(double(ledCount))));
        const double step = 700.0 / side;
        for (int i = 0; i < ledCount; ++i)
            view.addVertex(QPointF(162 + (i % side) * step, 34 + (i / side) * step));
        const PicturePtr pictures[] = {Picture::fromImage(gradient(Qt::darkBlue, Qt::yellow)),
                                       Picture::fromImage(gradient(Qt::red, Qt::cyan))};
        QRandomGenerator random(7);
        for (int f = 0; f < frameCount; ++f) {
            auto frame = std::make_shared<AnimationFrame>();
            for (int k = 0; k < ledCount; ++k)
                frame->selection.append(random.bounded(3) == 0);
            frame->image = pictures[(f / 50) % 2];
            editor->track().frames.append(frame);
        }
        undo.enableUndoRegistration();

        area.setWidget(timeline);
        area.setWidgetResizable(true);
        area.resize(120, 700);
        timeline->setAnimationEditor(editor);
        area.show();
        settle();
    }

    /// Lets the timeline finish its background images and glides.
    void settle()
    {
        QCoreApplication::processEvents();
        while (timeline->isRenderingImages() || timeline->isAnimating())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        QCoreApplication::processEvents();
        undo.endGrouping();
    }

    /// Moves one LED a little, so that every thumbnail needs drawing again.
    void nudge()
    {
        const NodePtr &led = view.model()->leds().first();
        model.setLedPosition(led, led->position() + QPointF(nudged ? -1 : 1, 0));
        nudged = !nudged;
    }
    bool nudged = false;

    /// The queued sync and the repaint that follow a change.
    void flush()
    {
        QCoreApplication::processEvents();
        undo.endGrouping();
    }
};

Animation &animation()
{
    static Animation shared;
    return shared;
}

/// The layout editor's add-frame command in the middle of the track, with the sync and
/// repaint that follow; the frame is removed again outside the timing.
void addFrame(benchmark::State &state)
{
    Animation &a = animation();
    a.editor->setSelectedFrame(frameCount / 2);
    a.timeline->updateAnimationEditorView();
    a.settle();
    for (auto _ : state) {
        a.view.model()->addFrame();
        a.flush();
        state.PauseTiming();
        a.view.model()->removeFrame();
        a.settle();
        state.ResumeTiming();
    }
}

/// One frame moved far down the track and back, as one move of a drag.
void moveFrame(benchmark::State &state)
{
    Animation &a = animation();
    int round = 0;
    for (auto _ : state) {
        if (round++ % 2 == 0)
            a.timeline->moveFrameFromIndex(10, 400);
        else
            a.timeline->moveFrameFromIndex(399, 10);
        a.flush();
    }
}

/// One drag step of 50 selected frames over the next thumbnail: 50 single moves.
void dragStepOf50(benchmark::State &state)
{
    Animation &a = animation();
    for (int i = 0; i < frameCount; ++i)
        a.editor->track().frames[i]->selected = i >= 100 && i < 150;
    a.editor->setSelectedFrame(100);
    a.timeline->updateAnimationEditorView();
    a.settle();
    int round = 0;
    for (auto _ : state) {
        const bool down = round++ % 2 == 0;
        // Down: behind the frame after the block; up: back in front of it.
        for (int k = 0; k < 50; ++k) {
            if (down)
                a.timeline->moveFrameFromIndex(149 - k, 151 - k);
            else
                a.timeline->moveFrameFromIndex(101 + k, 100 + k);
        }
        a.flush();
    }
    for (int i = 0; i < frameCount; ++i)
        a.editor->track().frames[i]->selected = false;
    a.editor->setSelectedFrame(-1);
    a.timeline->updateAnimationEditorView();
    a.settle();
}

/// Reversing the whole track (no frame selected), the largest reversal there is.
void reverseTrack(benchmark::State &state)
{
    Animation &a = animation();
    for (auto _ : state) {
        a.timeline->reverseSelection();
        a.flush();
    }
}

/// The GUI thread's part of redrawing every thumbnail after the LEDs moved: copying what
/// the workers need.
void updateImagesCall(benchmark::State &state)
{
    Animation &a = animation();
    for (auto _ : state) {
        state.PauseTiming();
        a.nudge();
        state.ResumeTiming();
        a.timeline->updateImages();
        state.PauseTiming();
        a.settle();
        state.ResumeTiming();
    }
}

double threadCpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/// A whole redraw of every thumbnail until the last image arrived, and the longest time
/// the GUI thread spent in one go meanwhile (taking in results, repainting), by the clock
/// and in CPU time.
void updateImagesComplete(benchmark::State &state)
{
    Animation &a = animation();
    double longest = 0, longestCpu = 0;
    for (auto _ : state) {
        a.nudge();
        a.timeline->updateImages();
        QElapsedTimer step;
        while (a.timeline->isRenderingImages()) {
            QThread::msleep(1);
            step.start();
            const double cpu = threadCpuMilliseconds();
            QCoreApplication::processEvents();
            longest = std::max(longest, step.nsecsElapsed() / 1e6);
            longestCpu = std::max(longestCpu, threadCpuMilliseconds() - cpu);
        }
    }
    state.counters["longest_gui_step_ms"] = longest;
    state.counters["longest_gui_step_cpu_ms"] = longestCpu;
}

/// One thumbnail drawn on the GUI thread (changing a frame, inserting one).
void oneThumbnail(benchmark::State &state)
{
    Animation &a = animation();
    for (auto _ : state)
        benchmark::DoNotOptimize(a.timeline->createImage(frameCount / 2));
}

/// Painting the visible part of the strip, as each step of a glide does.
void paintVisible(benchmark::State &state)
{
    Animation &a = animation();
    const QRect visible = a.timeline->visibleRegion().boundingRect();
    QImage image(visible.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::gray);
        a.timeline->render(&image, QPoint(), QRegion(visible));
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["thumbnails"] = visible.height() / 64.0;
}

} // namespace

BENCHMARK(addFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(moveFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(dragStepOf50)->Unit(benchmark::kMillisecond);
BENCHMARK(reverseTrack)->Unit(benchmark::kMillisecond);
BENCHMARK(updateImagesCall)->Unit(benchmark::kMillisecond);
BENCHMARK(updateImagesComplete)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(oneThumbnail)->Unit(benchmark::kMillisecond);
BENCHMARK(paintVisible)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The diagnostic line of every move would dominate the measurement.
    QLoggingCategory::setFilterRules("lumora.timeline.info=false");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
