#pragma once

#include "pictures/Picture.h"

#include <QList>
#include <QUrl>

#include <memory>

namespace lumora {

/// One frame of an animation: an on/off value per LED in LED order, and optionally the
/// background picture shown with it. The selection's length need not match the LED count;
/// everyone who reads it uses the common prefix.
class AnimationFrame {
public:
    AnimationFrame() = default;

    /// newWithSelection:image:url: — a frame for interactive adding; it starts selected.
    static std::shared_ptr<AnimationFrame> newWithSelection(const QList<bool> &selection,
                                                            PicturePtr image, const QUrl &url);

    QList<bool> selection;
    /// Part of the timeline's multiple selection; not stored in the document.
    bool selected = false;
    QUrl url;
    PicturePtr image;
};

using FramePtr = std::shared_ptr<AnimationFrame>;

/// An ordered list of frames.
class AnimationTrack {
public:
    QList<FramePtr> frames;
};

using TrackPtr = std::shared_ptr<AnimationTrack>;

} // namespace lumora
