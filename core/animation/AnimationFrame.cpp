#include "AnimationFrame.h"

namespace lumora {

std::shared_ptr<AnimationFrame> AnimationFrame::newWithSelection(const QList<bool> &selection,
                                                                 PicturePtr image, const QUrl &url)
{
    auto frame = std::make_shared<AnimationFrame>();
    frame->selection = selection;
    frame->image = std::move(image);
    frame->url = url;
    frame->selected = true;
    return frame;
}

} // namespace lumora
