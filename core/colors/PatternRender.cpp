#include "PatternRender.h"

#include "PatternColorSource.h"
#include "PreviewClock.h"

#include "patterns/framework/ColorPattern.h"

#include <QThread>

#include <algorithm>
#include <thread>
#include <vector>

namespace lumora {

namespace {

/// The pixels at animation time T, written into their own slice of the output.
void renderFrame(char *slice, double T, FrameContext &context, PatternColorSource &source,
                 std::vector<PixelColor> &colors)
{
    context.time = T;
    source.colors(context, colors);
    ColorSource::toBytes(colors, slice);
}

/// The context of a render: the LEDs in grid units; the Image pattern's picture is the
/// render's own, installed on each of its threads.
FrameContext renderContext(const QList<QPointF> &gridPoints, const PixelSource *pixelSource)
{
    FrameContext context;
    context.grid = gridPoints;
    if (pixelSource)
        context.pixels = *pixelSource;
    else
        context.pixels = {PixelPattern::bitmap(), PixelPattern::boundingBox()};
    return context;
}

} // namespace

double previewTime()
{
    return PreviewClock::now();
}

QByteArray renderPatternFrame(const QList<QPointF> &gridPoints, const ColorPattern &pattern, double T,
                              const PixelSource *pixelSource)
{
    FrameContext context = renderContext(gridPoints, pixelSource);
    context.time = T;
    return PatternColorSource(pattern).bytes(context);
}

bool renderPatternAnimation(const RenderSink &sink, const QList<QPointF> &gridPoints, const ColorPattern &pattern,
                            int frames, int threads, RenderControl *control, const PixelSource *pixelSource,
                            bool fast, qsizetype chunkBytes)
{
    const qsizetype frameBytes = 3 * gridPoints.size();
    const int chunkFrames = int(std::clamp<qsizetype>(chunkBytes / std::max<qsizetype>(frameBytes, 1), 1,
                                                      std::max(frames, 1)));
    QByteArray pixels(frameBytes * chunkFrames, Qt::Uninitialized);
    char *data = pixels.data();
    if (threads <= 0)
        threads = std::max(1, QThread::idealThreadCount());
    threads = std::min(threads, chunkFrames);

    // Read on this thread, so that a picture scope of the caller reaches every render thread.
    const FrameContext base = renderContext(gridPoints, pixelSource);
    for (int first = 0; first < frames; first += chunkFrames) {
        const int count = std::min(chunkFrames, frames - first);
        // Frames are handed out one at a time so that threads finish together.
        std::atomic<int> next{0};
        auto work = [&] {
            // Each thread its own source and context: a source serves one thread.
            FrameContext context = base;
            PatternColorSource source(pattern, fast);
            std::vector<PixelColor> colors(gridPoints.size());
            for (int i = next++; i < count; i = next++) {
                if (control && control->cancelled)
                    return;
                renderFrame(data + frameBytes * i, 0.2 * (first + i), context, source, colors);
                if (control)
                    ++control->framesDone;
            }
        };
        std::vector<std::thread> pool;
        for (int t = 1; t < std::min(threads, count); ++t)
            pool.emplace_back(work);
        work();
        for (auto &thread : pool)
            thread.join();

        if (control && control->cancelled)
            return false;
        if (!sink(data, frameBytes * count))
            return false;
    }
    return true;
}

bool renderPatternAnimation(QByteArray &out, const QList<QPointF> &gridPoints, const ColorPattern &pattern,
                            int frames, int threads, RenderControl *control, const PixelSource *pixels, bool fast)
{
    QByteArray rendered;
    rendered.reserve(3 * gridPoints.size() * frames);
    const auto append = [&](const char *data, qsizetype size) {
        rendered.append(data, size);
        return true;
    };
    if (!renderPatternAnimation(append, gridPoints, pattern, frames, threads, control, pixels, fast))
        return false;
    out += rendered;
    return true;
}

} // namespace lumora
