#pragma once

#include "ColorSource.h"

#include <optional>

namespace lumora {

class AnimationFrame;

/// The frame animation of the current track, frame after frame, round and round (the
/// context's frame number picks it): where a frame lights an LED, its picture's pixel under
/// the LED (red without a picture), black elsewhere, as the frame export colours it.
class FramesColorSource : public ColorSource {
public:
    void colors(const FrameContext &context, std::span<PixelColor> out) override;

    /// The frames of the context's current track (none without an animation).
    static qsizetype frameCount(const FrameContext &context);
    /// The colour of LED k at `led` for one frame; `picture` is the frame's picture in the
    /// format samplePicture reads (null when it cannot be read: its lit LEDs are none, black).
    static std::optional<PixelColor> frameColor(const AnimationFrame &frame, qsizetype k, QPointF led,
                                                const QImage &picture);
};

} // namespace lumora
