#include "ColorSource.h"

#include "common/ColorBytes.h"

#include <cstring>
#include <vector>

namespace lumora {

QByteArray ColorSource::bytes(const FrameContext &context)
{
    std::vector<PixelColor> colors(context.ledCount());
    this->colors(context, colors);
    return toBytes(colors);
}

void ColorSource::toBytes(std::span<const PixelColor> colors, char *out)
{
    for (const PixelColor &c : colors) {
        PixelColor limited = limitedColor(c.red, c.green, c.blue);
        limited.alpha = c.alpha;
        const auto bytes = colorBytes(limited);
        std::memcpy(out, bytes.data(), 3);
        out += 3;
    }
}

QByteArray ColorSource::toBytes(std::span<const PixelColor> colors)
{
    QByteArray rgb(3 * qsizetype(colors.size()), Qt::Uninitialized);
    toBytes(colors, rgb.data());
    return rgb;
}

} // namespace lumora
