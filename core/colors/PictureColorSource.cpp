#include "PictureColorSource.h"

#include "common/ColorBytes.h"

namespace lumora {

void PictureColorSource::colors(const FrameContext &context, std::span<PixelColor> out)
{
    const QImage *picture = context.picture ? context.picture.get() : nullptr;
    for (std::size_t k = 0; k < out.size(); ++k) {
        std::optional<PixelColor> color;
        if (picture && qsizetype(k) < context.leds.size())
            color = samplePicture(*picture, context.leds[k]);
        out[k] = color.value_or(PixelColor{0, 0, 0, 1});
    }
}

} // namespace lumora
