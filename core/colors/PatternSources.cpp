#include "PatternSources.h"

#include "document/LayoutSnapshot.h"

#include "pictures/ImageBitmap.h"

namespace lumora {

PixelSource patternSources(const LayoutSnapshot &layout)
{
    PixelSource pixels;
    if (layout.background && !layout.background->image().isNull())
        pixels.bitmap = std::make_shared<ImageBitmap>(layout.background->image());
    const QRectF box = layout.boundingBox();
    pixels.box = {box.x(), box.y(), box.width(), box.height()};
    return pixels;
}

} // namespace lumora
