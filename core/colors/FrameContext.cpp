#include "FrameContext.h"

#include "document/LayoutSnapshot.h"
#include "pictures/ImageBitmap.h"

namespace lumora {

FrameContext FrameContext::fromSnapshot(const LayoutSnapshot &layout, double time)
{
    FrameContext context;
    context.time = time;
    context.leds = layout.leds;
    context.grid = layout.points();
    if (layout.background) {
        if (auto picture = layout.background->bitmap(); picture && !picture->isNull())
            context.picture = std::move(picture);
    }
    context.pixels = pixelSource(context.picture, layout.boundingBox());
    context.animation = layout.animationEditor;
    return context;
}

PixelSource FrameContext::pixelSource(const std::shared_ptr<const QImage> &picture, const QRectF &gridBox)
{
    PixelSource pixels;
    // ImageBitmap shares the picture's pixels, which are in the format it reads already.
    if (picture && !picture->isNull())
        pixels.bitmap = std::make_shared<ImageBitmap>(*picture);
    pixels.box = {gridBox.x(), gridBox.y(), gridBox.width(), gridBox.height()};
    return pixels;
}

} // namespace lumora
