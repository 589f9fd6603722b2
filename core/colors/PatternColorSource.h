#pragma once

#include "ColorSource.h"

#include "patterns/framework/Color.h"

#include <vector>

namespace lumora {

class ColorPattern;

/// A built-in pattern over the LEDs' grid positions (see patternFrame), with the context's
/// picture and box for the Image pattern. Exact by default, as the exports colour; `fast`
/// takes the patterns' vector path (within 1e-9 of it) for the screen. One source serves one
/// thread at a time.
class PatternColorSource : public ColorSource {
public:
    /// `threads` as for patternFrame (0: all cores; a small layout stays on one).
    explicit PatternColorSource(const ColorPattern &pattern, bool fast = false, int threads = 1);

    const ColorPattern &pattern() const { return m_pattern; }
    void colors(const FrameContext &context, std::span<PixelColor> out) override;

private:
    const ColorPattern &m_pattern;
    std::vector<Color> m_scratch;
    bool m_fast;
    int m_threads;
};

} // namespace lumora
