#include "FramesColorSource.h"

#include "animation/AnimationEditor.h"
#include "common/ColorBytes.h"

namespace lumora {

namespace {

const PixelColor red{1, 0, 0, 1};
const PixelColor black{0, 0, 0, 1};

} // namespace

qsizetype FramesColorSource::frameCount(const FrameContext &context)
{
    return context.animation ? context.animation->track().frames.size() : 0;
}

std::optional<PixelColor> FramesColorSource::frameColor(const AnimationFrame &frame, qsizetype k, QPointF led,
                                                        const QImage &picture)
{
    const bool lit = k < frame.selection.size() && frame.selection[k];
    if (!lit)
        return black;
    if (frame.image)
        return picture.isNull() ? std::nullopt : samplePicture(picture, led);
    return red;
}

void FramesColorSource::colors(const FrameContext &context, std::span<PixelColor> out)
{
    const qsizetype count = frameCount(context);
    if (count == 0) {
        std::fill(out.begin(), out.end(), black);
        return;
    }
    const qsizetype index = ((context.frame % count) + count) % count;
    const AnimationFrame &frame = *context.animation->track().frames[index];
    const auto picture = frame.image ? frame.image->bitmap() : nullptr;
    const QImage none;
    for (std::size_t k = 0; k < out.size(); ++k) {
        const QPointF led = qsizetype(k) < context.leds.size() ? context.leds[k] : QPointF();
        out[k] = frameColor(frame, qsizetype(k), led, picture ? *picture : none).value_or(black);
    }
}

} // namespace lumora
