#include "PatternRender.h"

#include "common/ColorBytes.h"
#include "PatternFrame.h"

#include "patterns/framework/ColorPattern.h"

#include <QDateTime>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

namespace lumora {

namespace {

/// The pixels at animation time T, written into their own slice of the output; colors is
/// the thread's scratch, one per LED.
void renderFrame(char *slice, double T, const QList<QPointF> &grid, const ColorPattern &pattern,
                 std::vector<Color> &colors, bool fast)
{
    patternFrame(pattern, T, std::span(grid.constData(), grid.size()), colors, fast);
    for (std::size_t j = 0; j < colors.size(); ++j) {
        const auto bytes = colorBytes(limitedColor(colors[j].r, colors[j].g, colors[j].b));
        std::memcpy(slice + 3 * j, bytes.data(), 3);
    }
}

} // namespace

double previewTime()
{
    static const qint64 reference = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    return (QDateTime::currentMSecsSinceEpoch() - reference) / 1000.0 * 30;
}

QByteArray renderPatternFrame(const QList<QPointF> &gridPoints, const ColorPattern &pattern, double T,
                              const PixelSource *pixelSource)
{
    // One thread: the picture scope holds on this thread only.
    const PixelPattern::Scope scope(pixelSource);
    std::vector<Color> colors(gridPoints.size());
    QByteArray pixels(3 * gridPoints.size(), Qt::Uninitialized);
    renderFrame(pixels.data(), T, gridPoints, pattern, colors, false);
    return pixels;
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

    for (int first = 0; first < frames; first += chunkFrames) {
        const int count = std::min(chunkFrames, frames - first);
        // Frames are handed out one at a time so that threads finish together.
        std::atomic<int> next{0};
        auto work = [&] {
            const PixelPattern::Scope scope(pixelSource);
            std::vector<Color> colors(gridPoints.size());
            for (int i = next++; i < count; i = next++) {
                if (control && control->cancelled)
                    return;
                renderFrame(data + frameBytes * i, 0.2 * (first + i), gridPoints, pattern, colors, fast);
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
