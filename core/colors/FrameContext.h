#pragma once

#include "patterns/framework/PixelPattern.h"

#include <QImage>
#include <QList>
#include <QPointF>

#include <memory>

namespace lumora {

class AnimationEditor;
struct LayoutSnapshot;

/// Everything a colour source reads for one frame, handed over as arguments so that a source
/// keeps no pointer into a widget or a process-wide holder. Lists are Qt's shared ones, so a
/// context is cheap to copy.
struct FrameContext {
    /// Animation time T: 30 per second on the preview's clock, 0.2 per frame in the exports.
    double time = 0;
    /// The frame's number from the start of a run (the export's row; a frame track's frame).
    qint64 frame = 0;
    /// Milliseconds since the previous frame, for sources that keep state between frames.
    double deltaMs = 0;
    /// The LEDs in grid units, LED order ((0, 0) for all without a complete grid).
    QList<QPointF> grid;
    /// The LEDs in layout units (1024 × 768, y up), LED order.
    QList<QPointF> leds;
    /// One flag per LED in LED order, true where marked; shorter lists leave the rest unmarked.
    QList<bool> marking;
    /// The background picture in the format samplePicture reads; none without one.
    std::shared_ptr<const QImage> picture;
    /// What the Image pattern samples: the picture and the LEDs' bounding box in grid units.
    PixelSource pixels;
    /// The frame track of the layout, for the frames source.
    std::shared_ptr<AnimationEditor> animation;

    /// The context of a layout at time T: its LEDs, background, box and frames (no marking:
    /// a snapshot does not carry it).
    static FrameContext fromSnapshot(const LayoutSnapshot &layout, double time = 0);
    /// The Image pattern's view of a picture and a layout's LEDs in grid units.
    static PixelSource pixelSource(const std::shared_ptr<const QImage> &picture, const QRectF &gridBox);

    qsizetype ledCount() const { return leds.isEmpty() ? grid.size() : leds.size(); }
};

} // namespace lumora
