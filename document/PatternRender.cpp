#include "PatternRender.h"

#include "ColorBytes.h"

#include "patterns/framework/ColorPattern.h"

#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

namespace lumora {

namespace {

/// One frame's pixels, written into its own slice of the output.
void renderFrame(char *slice, int frame, const QList<QPointF> &grid, const ColorPattern &pattern)
{
    const double T = 0.2 * frame;
    const double scale = pattern.s0 + pattern.s1 * std::sin(0.000827 * T);
    const double angle = pattern.r1 * std::sin(0.000742 * T);
    const double c = std::cos(angle), s = std::sin(angle);
    Position position;
    position.time = pattern.speed * T;
    for (qsizetype j = 0; j < grid.size(); ++j) {
        position.index = j;
        const double X = grid[j].x() * scale;
        const double Y = grid[j].y() * scale;
        position.x = c * X - s * Y;
        position.y = s * X + c * Y;
        const Color color = pattern.color(position);
        const auto bytes = colorBytes(limitedColor(color.r, color.g, color.b));
        std::memcpy(slice + 3 * j, bytes.data(), 3);
    }
}

} // namespace

bool renderPatternAnimation(const RenderSink &sink, const QList<QPointF> &gridPoints, const ColorPattern &pattern,
                            int frames, int threads, RenderControl *control, qsizetype chunkBytes)
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
            for (int i = next++; i < count; i = next++) {
                if (control && control->cancelled)
                    return;
                renderFrame(data + frameBytes * i, first + i, gridPoints, pattern);
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
                            int frames, int threads, RenderControl *control)
{
    QByteArray pixels;
    pixels.reserve(3 * gridPoints.size() * frames);
    const auto append = [&](const char *data, qsizetype size) {
        pixels.append(data, size);
        return true;
    };
    if (!renderPatternAnimation(append, gridPoints, pattern, frames, threads, control))
        return false;
    out += pixels;
    return true;
}

} // namespace lumora
