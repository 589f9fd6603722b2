#include "PatternRender.h"

#include "ColorBytes.h"

#include "patterns/framework/ColorPattern.h"

#include <QDateTime>
#include <QThread>

#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

namespace lumora {

namespace {

/// The pixels at animation time T, written into their own slice of the output.
void renderFrame(char *slice, double T, const QList<QPointF> &grid, const ColorPattern &pattern)
{
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

double previewTime()
{
    static const qint64 reference = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    return (QDateTime::currentMSecsSinceEpoch() - reference) / 1000.0 * 30;
}

QByteArray renderPatternFrame(const QList<QPointF> &gridPoints, const ColorPattern &pattern, double T,
                              const PixelSource *pixelSource)
{
    const PixelPattern::Scope scope(pixelSource);
    QByteArray pixels(3 * gridPoints.size(), Qt::Uninitialized);
    renderFrame(pixels.data(), T, gridPoints, pattern);
    return pixels;
}

bool renderPatternAnimation(QByteArray &out, const QList<QPointF> &gridPoints, const ColorPattern &pattern,
                            int frames, int threads, RenderControl *control, const PixelSource *pixelSource)
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
        for (int i = next++; i < frames; i = next++) {
            if (control && control->cancelled)
                return;
            renderFrame(data + frameBytes * i, 0.2 * i, gridPoints, pattern);
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
