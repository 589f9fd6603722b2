#include "PatternRender.h"

#include "ColorBytes.h"
#include "PatternFrame.h"

#include "patterns/framework/ColorPattern.h"

#include <QThread>

#include <cstring>
#include <thread>
#include <vector>

namespace lumora {

namespace {

/// One frame's pixels, written into its own slice of the output; colors is the thread's
/// scratch, one per LED.
void renderFrame(char *slice, int frame, const QList<QPointF> &grid, const ColorPattern &pattern,
                 std::vector<Color> &colors, bool fast)
{
    patternFrame(pattern, 0.2 * frame, std::span(grid.constData(), grid.size()), colors, fast);
    for (std::size_t j = 0; j < colors.size(); ++j) {
        const auto bytes = colorBytes(limitedColor(colors[j].r, colors[j].g, colors[j].b));
        std::memcpy(slice + 3 * j, bytes.data(), 3);
    }
}

} // namespace

bool renderPatternAnimation(QByteArray &out, const QList<QPointF> &gridPoints, const ColorPattern &pattern,
                            int frames, int threads, RenderControl *control, const PixelSource *pixelSource,
                            bool fast)
{
    const qsizetype frameBytes = 3 * gridPoints.size();
    QByteArray pixels(frameBytes * frames, Qt::Uninitialized);
    char *data = pixels.data();
    if (threads <= 0)
        threads = std::max(1, QThread::idealThreadCount());
    threads = std::min(threads, std::max(frames, 1));

    // Frames are handed out one at a time so that threads finish together.
    std::atomic<int> next{0};
    auto work = [&] {
        const PixelPattern::Scope scope(pixelSource);
        std::vector<Color> colors(gridPoints.size());
        for (int i = next++; i < frames; i = next++) {
            if (control && control->cancelled)
                return;
            renderFrame(data + frameBytes * i, i, gridPoints, pattern, colors, fast);
            if (control)
                ++control->framesDone;
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (auto &thread : pool)
        thread.join();

    if (control && control->cancelled)
        return false;
    out += pixels;
    return true;
}

} // namespace lumora
