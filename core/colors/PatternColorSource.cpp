#include "PatternColorSource.h"

#include "PatternFrame.h"

#include "patterns/framework/ColorPattern.h"

namespace lumora {

PatternColorSource::PatternColorSource(const ColorPattern &pattern, bool fast, int threads)
    : m_pattern(pattern), m_fast(fast), m_threads(threads)
{
}

void PatternColorSource::colors(const FrameContext &context, std::span<PixelColor> out)
{
    // The Image pattern reads the context's picture, on every thread the frame is shared over.
    const PixelPattern::Scope scope(&context.pixels);
    std::vector<Color> &colors = m_scratch;
    colors.resize(context.grid.size());
    patternFrame(m_pattern, context.time, std::span(context.grid.constData(), context.grid.size()), colors, m_fast,
                 m_threads);
    for (std::size_t k = 0; k < out.size(); ++k)
        out[k] = k < colors.size() ? PixelColor{colors[k].r, colors[k].g, colors[k].b, 1} : PixelColor{0, 0, 0, 1};
}

} // namespace lumora
