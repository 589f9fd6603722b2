#include "MarkingColorSource.h"

namespace lumora {

void MarkingColorSource::colors(const FrameContext &context, std::span<PixelColor> out)
{
    for (std::size_t k = 0; k < out.size(); ++k) {
        const bool marked = qsizetype(k) < context.marking.size() && context.marking[k];
        out[k] = {marked ? 1.0 : 0.0, 0, 0, 1};
    }
}

} // namespace lumora
