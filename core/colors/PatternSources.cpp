#include "PatternSources.h"

#include "FrameContext.h"

#include "document/LayoutSnapshot.h"

namespace lumora {

PixelSource patternSources(const LayoutSnapshot &layout)
{
    return FrameContext::pixelSource(layout.background ? layout.background->bitmap() : nullptr, layout.boundingBox());
}

} // namespace lumora
