#pragma once

#include "patterns/framework/PixelPattern.h"

#include <QByteArray>
#include <QList>
#include <QPointF>

#include <atomic>

namespace lumora {

class ColorPattern;

/// Progress and cancellation of a long render, shared with the thread that shows it.
struct RenderControl {
    std::atomic<bool> cancelled{false};
    std::atomic<int> framesDone{0};
};

/// The pattern animation of the export: `frames` frames (T = 0.2 per frame) of one pixel per
/// LED, LEDs given in grid units and LED order, appended to `out` frame after frame. Frames
/// are rendered on `threads` threads (0: all cores); the bytes are the same as in serial
/// order. Returns false when cancelled (out is then left unchanged). With `pixels`, the
/// Image pattern samples that picture and box on every render thread rather than the
/// application-wide ones. With `fast` the pattern's vector path colours the frames: quicker
/// for the heavy patterns, but a few bytes may differ from the exact export.
bool renderPatternAnimation(QByteArray &out, const QList<QPointF> &gridPoints, const ColorPattern &pattern,
                            int frames = 3000, int threads = 0, RenderControl *control = nullptr,
                            const PixelSource *pixels = nullptr, bool fast = false);

} // namespace lumora
