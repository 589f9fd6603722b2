#pragma once

#include "patterns/framework/PixelPattern.h"

#include <QByteArray>
#include <QList>
#include <QPointF>

#include <atomic>
#include <functional>

namespace lumora {

class ColorPattern;

/// Progress and cancellation of a long render, shared with the thread that shows it.
struct RenderControl {
    std::atomic<bool> cancelled{false};
    std::atomic<int> framesDone{0};
};

/// The preview's animation time now: seconds since 2001-01-01 00:00:00 UTC, 30 per second.
double previewTime();

/// One frame of the pattern at animation time T (the export's frame i is T = 0.2 i, the
/// preview's clock 30 per second): three bytes r, g, b per LED, LEDs in grid units and LED
/// order, coloured exactly as the export colours them. `pixels` as for renderPatternAnimation.
QByteArray renderPatternFrame(const QList<QPointF> &gridPoints, const ColorPattern &pattern, double T,
                              const PixelSource *pixels = nullptr);

/// Takes rendered bytes as they come; false stops the render (a write failed).
using RenderSink = std::function<bool(const char *data, qsizetype size)>;

/// Rendered frames are handed on in chunks of about this many bytes, so that memory stays
/// bounded whatever the LED count.
constexpr qsizetype renderChunkBytes = qsizetype(32) << 20;

/// The pattern animation of the export: `frames` frames (T = 0.2 per frame) of one pixel per
/// LED, LEDs given in grid units and LED order, handed to `sink` frame after frame in chunks
/// of about `chunkBytes`. Frames are rendered on `threads` threads (0: all cores); the bytes
/// are the same as in serial order whatever the threads and chunks. With `pixels`, the Image
/// pattern samples that picture and box on every render thread rather than the
/// application-wide ones. With `fast` the pattern's vector path colours the frames: quicker
/// for the heavy patterns, but a few bytes may differ from the exact export. Returns false
/// when cancelled or when the sink refused a chunk.
bool renderPatternAnimation(const RenderSink &sink, const QList<QPointF> &gridPoints, const ColorPattern &pattern,
                            int frames = 3000, int threads = 0, RenderControl *control = nullptr,
                            const PixelSource *pixels = nullptr, bool fast = false,
                            qsizetype chunkBytes = renderChunkBytes);
/// The same appended to `out`; false when cancelled (out is then left unchanged).
bool renderPatternAnimation(QByteArray &out, const QList<QPointF> &gridPoints, const ColorPattern &pattern,
                            int frames = 3000, int threads = 0, RenderControl *control = nullptr,
                            const PixelSource *pixels = nullptr, bool fast = false);

} // namespace lumora
